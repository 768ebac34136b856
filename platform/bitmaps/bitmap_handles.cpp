#include "qvplatform/bitmap_handles.h"

#include <cstring>

#include "bitmap_object.h"
#include "palette_object.h"
#include "qvplatform/dib_convert.h"
#include "qvplatform/handle_table.h"

namespace qvplatform {
namespace bitmaps {

std::shared_ptr<BitmapObject> FindBitmap(HBITMAP bitmap) {
  return HandleTable::Instance().Get<BitmapObject>(bitmap, HandleKind::kBitmap);
}

}  // namespace bitmaps

namespace {

using bitmaps::BitmapObject;

HBITMAP AddBitmap(BitmapKind kind, Dib&& dib) {
  auto object = std::make_shared<BitmapObject>();
  object->kind = kind;
  object->dib = std::move(dib);
  return HandleTable::Instance().Add(HandleKind::kBitmap, std::move(object));
}

// The masks a 16- or 32-bit bitmap's pixels are read with.
void EffectiveMasks(const DibFormat& f, DWORD* out) {
  if (f.compression == BI_BITFIELDS) {
    std::memcpy(out, f.masks, sizeof(f.masks));
  } else if (f.bitCount == 16) {
    out[0] = 0x7C00, out[1] = 0x03E0, out[2] = 0x001F;
  } else if (f.bitCount == 32) {
    out[0] = 0xFF0000, out[1] = 0x00FF00, out[2] = 0x0000FF;
  } else {
    out[0] = out[1] = out[2] = 0;
  }
}

}  // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits,
                     std::size_t bitsSize) {
  if (width <= 0 || height <= 0 || planes != 1) return 0;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32)
    return 0;
  DibFormat f;
  f.width = width;
  f.height = -height;  // held top-down
  f.bitCount = static_cast<WORD>(bitCount);
  if (bitCount == 16) {
    f.compression = BI_BITFIELDS;
    f.masks[0] = 0xF800, f.masks[1] = 0x07E0, f.masks[2] = 0x001F;
  }
  if (CheckDibFormat(f) != DibError::kOk) return 0;
  const std::uint64_t rowBytes = bitmaps::DeviceRowBytes(std::uint64_t(width), bitCount);
  if (bits != nullptr && rowBytes * std::uint64_t(height) > bitsSize) return 0;
  static const RGBQUAD kMono[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  Dib dib;
  if (Dib::Create(f, bitCount == 1 ? kMono : nullptr, bitCount == 1 ? 2 : 0, &dib) != DibError::kOk)
    return 0;
  if (bits != nullptr) {
    const BYTE* from = static_cast<const BYTE*>(bits);
    for (std::uint32_t y = 0; y < std::uint32_t(height); ++y)
      std::memcpy(dib.RowFromTop(y), from + y * rowBytes, static_cast<std::size_t>(rowBytes));
  }
  return AddBitmap(BitmapKind::kDeviceDependent, std::move(dib));
}

HBITMAP CreateCompatibleBitmap(HDC /*hdc*/, int width, int height) {
  return CreateBitmap(width, height, 1, 32, nullptr, 0);
}

HBITMAP CreateDIBSection(HDC /*hdc*/, const BITMAPINFOHEADER& header, const DWORD* masks,
                         const RGBQUAD* colors, UINT colorCount, void** bits) {
  if (bits) *bits = nullptr;
  if (header.biSize < kBitmapInfoHeaderSize || header.biPlanes != 1) return 0;
  if (header.biCompression == BI_BITFIELDS && masks == nullptr) return 0;
  const DibFormat f = DibFormatOf(header, masks);
  Dib dib;
  if (f.Rle() || Dib::Create(f, colors, colorCount, &dib) != DibError::kOk) return 0;
  dib.Colors().resize(f.MaxColors());  // a short table is completed with black
  BYTE* pixels = dib.Bits();
  const HBITMAP handle = AddBitmap(BitmapKind::kDibSection, std::move(dib));
  if (handle && bits) *bits = pixels;  // the vector's buffer moved with it
  return handle;
}

HBITMAP CreateDIBSectionFromView(const DibView& view) {
  const DibFormat& f = view.format;
  if (f.Rle() || view.bits == nullptr) return 0;
  Dib dib;
  if (Dib::Create(f, view.colors, view.colorCount, &dib) != DibError::kOk) return 0;
  if (DibImageSize(f) > view.bitsSize) return 0;
  dib.Colors().resize(f.MaxColors());
  std::memcpy(dib.Bits(), view.bits, dib.BitsSize());
  return AddBitmap(BitmapKind::kDibSection, std::move(dib));
}

BitmapKind GetBitmapKind(HBITMAP bitmap) {
  const auto object = bitmaps::FindBitmap(bitmap);
  return object ? object->kind : BitmapKind::kNone;
}

void* GetDibSectionBits(HBITMAP bitmap) {
  const auto object = bitmaps::FindBitmap(bitmap);
  return object && object->kind == BitmapKind::kDibSection ? object->dib.Bits() : nullptr;
}

int GetObjectA(HGDIOBJ handle, int size, void* buffer) {
  HandleKind kind;
  if (!HandleTable::Instance().KindOf(handle, &kind)) return 0;
  if (kind == HandleKind::kPalette) {
    const auto palette = bitmaps::FindPalette(handle);
    if (!palette) return 0;
    if (buffer == nullptr) return sizeof(WORD);
    if (size < int(sizeof(WORD))) return 0;
    const WORD count = static_cast<WORD>(palette->entries.size());
    std::memcpy(buffer, &count, sizeof(count));
    return sizeof(WORD);
  }
  if (kind != HandleKind::kBitmap) return 0;
  const auto object = bitmaps::FindBitmap(handle);
  if (!object) return 0;
  const bool section = object->kind == BitmapKind::kDibSection;
  if (buffer == nullptr) return section ? kDibSectionObjectSize : kBitmapObjectSize;
  if (size < kBitmapObjectSize) return 0;

  const DibFormat& f = object->dib.Format();
  DIBSECTION ds;
  ds.dsBm.bmWidth = f.width;
  ds.dsBm.bmHeight = static_cast<LONG>(f.AbsHeight());
  ds.dsBm.bmWidthBytes = static_cast<LONG>(
      section ? object->dib.Stride() : bitmaps::DeviceRowBytes(std::uint64_t(f.width), f.bitCount));
  ds.dsBm.bmPlanes = 1;
  ds.dsBm.bmBitsPixel = f.bitCount;
  if (!section || size < kDibSectionObjectSize) {
    std::memcpy(buffer, &ds.dsBm, sizeof(ds.dsBm));
    return kBitmapObjectSize;
  }
  BITMAPINFOHEADER& h = ds.dsBmih;
  h.biSize = kBitmapInfoHeaderSize;
  h.biWidth = f.width;
  h.biHeight = f.height;
  h.biPlanes = 1;
  h.biBitCount = f.bitCount;
  h.biCompression = f.compression;
  h.biSizeImage = static_cast<DWORD>(object->dib.BitsSize());
  h.biClrUsed = static_cast<DWORD>(object->dib.Colors().size());
  EffectiveMasks(f, ds.dsBitfields);
  std::memcpy(buffer, &ds, sizeof(ds));
  return kDibSectionObjectSize;
}

}  // namespace qvplatform
