// GetDIBits: a bitmap's pixels through the DIB converter.
#include <algorithm>

#include "bitmap_object.h"
#include "palette_object.h"
#include "qvplatform/bitmap_handles.h"
#include "qvplatform/dib_convert.h"

namespace qvplatform {
namespace {

// Fills the header for a caller that asks for sizes only.
int DescribeOnly(const bitmaps::BitmapObject& object, BITMAPINFOHEADER* header) {
  const DibFormat& f = object.dib.Format();
  const bool section = object.kind == BitmapKind::kDibSection;
  if (header->biBitCount == 0) {
    header->biBitCount = f.bitCount;
    header->biCompression = section ? f.compression : (f.bitCount == 16 ? BI_BITFIELDS : BI_RGB);
  }
  const LONG h = static_cast<LONG>(f.AbsHeight());
  header->biWidth = f.width;
  header->biHeight = header->biHeight < 0 ? -h : h;
  header->biPlanes = 1;
  header->biSizeImage =
      static_cast<DWORD>(DibStride(std::uint64_t(f.width), header->biBitCount) * f.AbsHeight());
  return 1;
}

}  // namespace

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, std::size_t bitsSize,
              BITMAPINFOHEADER* header, const RGBQUAD* colors, UINT colorCount, UINT usage) {
  const auto object = bitmaps::FindBitmap(bitmap);
  if (!object || header == nullptr || header->biSize < kBitmapInfoHeaderSize ||
      usage != DIB_RGB_COLORS)
    return 0;
  if (bits == nullptr) return DescribeOnly(*object, header);

  const DibFormat& f = object->dib.Format();
  const std::uint32_t height = f.AbsHeight();
  const std::int64_t askedHeight = header->biHeight;
  if (header->biCompression != BI_RGB || header->biWidth != f.width ||
      (askedHeight < 0 ? -askedHeight : askedHeight) != std::int64_t{height})
    return 0;
  DibTarget target;
  target.topDown = askedHeight < 0;
  if (header->biBitCount == 24) {
    target.bitCount = 24;
  } else if (header->biBitCount == 1 && colors != nullptr && colorCount >= 2) {
    target.bitCount = 1;
    target.mono[0] = colors[0];
    target.mono[1] = colors[1];
  } else {
    return 0;
  }
  if (start >= height) return 0;
  const std::uint32_t rows = std::min<std::uint32_t>(lines, height - start);
  if (rows == 0 || DibTargetSize(f, target, rows) > bitsSize) return 0;

  // 4- and 8-bit device-dependent pixels index the DC's palette.
  std::vector<RGBQUAD> table;
  DibView view = object->dib.View();
  if (object->kind == BitmapKind::kDeviceDependent && (f.bitCount == 4 || f.bitCount == 8)) {
    const auto palette = bitmaps::SelectedPalette(hdc);
    const std::size_t n = std::min<std::size_t>(palette->entries.size(), f.MaxColors());
    for (std::size_t i = 0; i < n; ++i) {
      const PALETTEENTRY& e = palette->entries[i];
      table.push_back(RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0});
    }
    view.colors = table.data();
    view.colorCount = static_cast<DWORD>(table.size());
  }
  DibConvertResult result;
  {
    std::lock_guard lock(object->mutex);
    result = ConvertDibRows(view, target, start, rows, static_cast<BYTE*>(bits), bitsSize);
  }
  if (result.error != DibError::kOk) return 0;
  header->biPlanes = 1;
  header->biSizeImage = static_cast<DWORD>(DibTargetSize(f, target, height));
  return static_cast<int>(rows);
}

}  // namespace qvplatform
