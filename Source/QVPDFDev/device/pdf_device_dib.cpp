// Slot 5 of the PDF device: a device-independent bitmap that a blit or a metafile record draws
// becomes an image XObject (stored once however often it is drawn) placed at the destination.
// The colour table is resolved here, the source rectangle cut out, and the placement narrowed
// to what the image holds; the image writer converts every format.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "QVPDFDev/device/pdf_device.h"
#include "qvplatform/dib_convert.h"
#include "qvplatform/numbers.h"
#include "qvplatform/palette.h"

namespace vellora {
namespace {

using qvplatform::BITMAPINFOHEADER;
using qvplatform::DibFormat;
using qvplatform::DibView;
using qvplatform::DWORD;
using qvplatform::RGBQUAD;
using Bytes = TQVGenericDevice::Bytes;

constexpr DWORD kMaxHeaderSize = 1024;
constexpr std::int64_t kMaxBitmapSide = 10000;
constexpr std::string_view kOverBudgetDetail = "bitmap larger than its data or the image budget";

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

DWORD Le32(const std::uint8_t* p) {
  return DWORD{p[0]} | DWORD{p[1]} << 8 | DWORD{p[2]} << 16 | DWORD{p[3]} << 24;
}

RGBQUAD FromPaletteEntry(std::uint32_t entry) {  // red in the low byte
  RGBQUAD q;
  q.rgbRed = static_cast<std::uint8_t>(entry);
  q.rgbGreen = static_cast<std::uint8_t>(entry >> 8);
  q.rgbBlue = static_cast<std::uint8_t>(entry >> 16);
  return q;
}

// The colours of a 1- to 8-bit bitmap, as many as its depth can index, so that a pixel past
// the entries it was given takes entry 0. entries holds what follows the masks: RGBQUADs with
// fromTable, else nothing or 16-bit indexes into the palette (null: the default palette).
struct ColorTable {
  RGBQUAD colors[256] = {};
  DWORD count = 0;

  void Resolve(const BITMAPINFOHEADER& header, bool fromTable, Bytes entries,
               const TQVDvPalette* palette) {
    const DWORD full = DWORD{1} << header.biBitCount;
    const DWORD used = header.biClrUsed == 0 || header.biClrUsed > full ? full : header.biClrUsed;
    DWORD given = 0;
    if (fromTable) {
      given = std::min<DWORD>(used, static_cast<DWORD>(entries.size() / sizeof(RGBQUAD)));
      if (given == 0) return;  // an empty table: every pixel black
      std::memcpy(colors, entries.data(), given * sizeof(RGBQUAD));
    } else {
      const auto paletteColor = [palette](std::size_t i) {
        const std::size_t n =
            palette != nullptr ? palette->entries.size() : qvplatform::kDefaultPaletteSize;
        if (n == 0) return RGBQUAD{};
        if (i >= n) i = 0;
        if (palette != nullptr) return FromPaletteEntry(palette->entries[i]);
        const qvplatform::PALETTEENTRY& e = qvplatform::kDefaultPaletteEntries[i];
        return RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
      };
      if (entries.size() >= 2 * std::size_t{used} && entries.size() < 4 * std::size_t{used}) {
        // DIB_PAL_COLORS: each entry is an index into the palette.
        for (DWORD i = 0; i < used; ++i)
          colors[i] = paletteColor(entries[2 * i] | std::size_t{entries[2 * i + 1]} << 8);
        given = used;
      } else {
        for (DWORD i = 0; i < full; ++i) colors[i] = paletteColor(i);
        given = full;
      }
    }
    for (DWORD i = given; i < full; ++i) colors[i] = colors[0];
    count = full;
  }
};

// The rows of the picture a source rectangle covers, in picture rows from the top, and the
// share of the rectangle it is (the rest lies outside the bitmap).
struct SourceWindow {
  std::uint32_t left = 0, top = 0, width = 0, height = 0;
  double x0 = 0, x1 = 1, y0 = 0, y1 = 1;  // fractions of the rectangle, y from its top
};

// False when the rectangle misses the bitmap. Rows of srcY count from the first stored row:
// from the bottom of a bottom-up bitmap, from the top of a top-down one.
bool WindowOf(const DibFormat& f, std::int64_t srcX, std::int64_t srcY, std::int64_t srcWidth,
              std::int64_t srcHeight, SourceWindow& w) {
  const std::int64_t width = f.width, height = f.AbsHeight();
  const std::int64_t sw = std::llabs(srcWidth), sh = std::llabs(srcHeight);
  const std::int64_t top = f.TopDown() ? srcY : height - srcY - sh;
  const std::int64_t l = std::max<std::int64_t>(srcX, 0);
  const std::int64_t r = std::min<std::int64_t>(srcX + sw, width);
  const std::int64_t t = std::max<std::int64_t>(top, 0);
  const std::int64_t b = std::min<std::int64_t>(top + sh, height);
  if (l >= r || t >= b) return false;
  w.left = static_cast<std::uint32_t>(l);
  w.top = static_cast<std::uint32_t>(t);
  w.width = static_cast<std::uint32_t>(r - l);
  w.height = static_cast<std::uint32_t>(b - t);
  w.x0 = double(l - srcX) / double(sw);
  w.x1 = double(r - srcX) / double(sw);
  w.y0 = double(t - top) / double(sh);
  w.y1 = double(b - top) / double(sh);
  return true;
}

// The window of a 1-bit bitmap as top-down 1-bit rows in out.
DibView CropMono(const DibView& v, const SourceWindow& w, std::vector<std::uint8_t>& out) {
  const std::size_t srcStride = static_cast<std::size_t>(
      qvplatform::DibStride(static_cast<std::uint64_t>(v.format.width), 1));
  const std::size_t dstStride = static_cast<std::size_t>(qvplatform::DibStride(w.width, 1));
  const std::size_t rowBytes = (std::size_t{w.width} + 7) / 8;
  const unsigned shift = w.left % 8;
  out.assign(dstStride * w.height, 0);
  const std::uint32_t rows = v.format.AbsHeight();
  for (std::uint32_t r = 0; r < w.height; ++r) {
    const std::uint32_t pictureRow = w.top + r;
    const std::uint32_t stored = v.format.TopDown() ? pictureRow : rows - 1 - pictureRow;
    const std::uint8_t* src = v.bits + std::size_t{stored} * srcStride + w.left / 8;
    const std::size_t readable = srcStride - w.left / 8;
    std::uint8_t* dst = out.data() + std::size_t{r} * dstStride;
    for (std::size_t j = 0; j < rowBytes; ++j) {
      unsigned byte = unsigned{src[j]} << shift;
      if (shift != 0 && j + 1 < readable) byte |= unsigned{src[j + 1]} >> (8 - shift);
      dst[j] = static_cast<std::uint8_t>(byte);
    }
  }
  DibView cropped = v;
  cropped.format.width = static_cast<qvplatform::LONG>(w.width);
  cropped.format.height = -static_cast<qvplatform::LONG>(w.height);
  cropped.format.compression = qvplatform::BI_RGB;
  cropped.bits = out.data();
  cropped.bitsSize = out.size();
  return cropped;
}

// The window of any other bitmap as top-down 24-bit rows in out; bitsSize 0 on failure.
DibView CropToRgb(const DibView& v, const SourceWindow& w, std::vector<std::uint8_t>& out) {
  qvplatform::DibTarget target;
  target.bitCount = 24;
  target.topDown = true;
  const std::uint64_t size = qvplatform::DibTargetSize(v.format, target, w.height);
  out.resize(static_cast<std::size_t>(size));
  DibView cropped;
  if (qvplatform::ConvertDibRows(v, target, w.top, w.height, out.data(), out.size()).error !=
      qvplatform::DibError::kOk)
    return cropped;
  // Rows move to the front, each to its new stride: never over a row not yet moved.
  const std::size_t fullStride = static_cast<std::size_t>(
      qvplatform::DibStride(static_cast<std::uint64_t>(v.format.width), 24));
  const std::size_t stride = static_cast<std::size_t>(qvplatform::DibStride(w.width, 24));
  for (std::uint32_t r = 0; r < w.height; ++r)
    std::memmove(out.data() + r * stride, out.data() + r * fullStride + std::size_t{w.left} * 3,
                 std::size_t{w.width} * 3);
  out.resize(stride * w.height);
  cropped.format.width = static_cast<qvplatform::LONG>(w.width);
  cropped.format.height = -static_cast<qvplatform::LONG>(w.height);
  cropped.format.bitCount = 24;
  cropped.bits = out.data();
  cropped.bitsSize = out.size();
  return cropped;
}

// A destination that can show an image: finite and, unless the image is only registered, not
// degenerate.
bool DrawableDestination(float dstX, float dstY, float dstWidth, float dstHeight,
                         bool registerOnly) {
  if (!std::isfinite(dstX) || !std::isfinite(dstY) || !std::isfinite(dstWidth) ||
      !std::isfinite(dstHeight))
    return false;
  return registerOnly || (std::fabs(dstWidth) >= 0.01f && std::fabs(dstHeight) >= 0.01f);
}

// The header, masks, colour table and pixels as the view the image writer takes; false for a
// bitmap that draws nothing, with overBudget set when it claims more pixels than the image
// budget allows (nothing has been allocated for it then). The colours of a 1- to 8-bit bitmap
// are resolved into table.
bool ReadBitmapView(TQVGenericDevice& device, bool hasColorTable, Bytes bits, Bytes bitmapHeader,
                    Bytes colorTable, BITMAPINFOHEADER& header, ColorTable& table, DibView& view,
                    bool& overBudget) {
  overBudget = false;
  if (bitmapHeader.size() < sizeof header) return false;
  std::memcpy(&header, bitmapHeader.data(), sizeof header);
  if (header.biSize > kMaxHeaderSize || header.biWidth < 1 || header.biHeight == 0) return false;
  DWORD masks[3] = {};
  std::size_t maskBytes = 0;
  if (header.biCompression == qvplatform::BI_BITFIELDS) {
    maskBytes = sizeof masks;
    if (colorTable.size() < maskBytes) return false;
    for (int i = 0; i < 3; ++i) masks[i] = Le32(colorTable.data() + 4 * i);
  }
  view.format = qvplatform::DibFormatOf(header, maskBytes != 0 ? masks : nullptr);
  view.bits = bits.data();
  view.bitsSize = bits.size();
  if (view.format.Rle() && header.biSizeImage != 0)
    view.bitsSize = std::min<std::size_t>(view.bitsSize, header.biSizeImage);
  // 2-bit, JPEG and PNG bitmaps and unknown depths draw nothing.
  const qvplatform::DibError status = qvplatform::CheckDibBudget(view.format, view.bitsSize);
  overBudget = status == qvplatform::DibError::kTooLarge || header.biWidth > kMaxBitmapSide ||
               std::llabs(std::int64_t{header.biHeight}) > kMaxBitmapSide;
  if (status != qvplatform::DibError::kOk || overBudget) return false;

  if (header.biBitCount <= 8) {
    table.Resolve(header, hasColorTable, colorTable.subspan(maskBytes),
                  device.objects.Palette(device.CurrentDCState().selectedPalette));
    view.colors = table.colors;
    view.colorCount = table.count;
  }
  return true;
}

// Only the source rectangle is drawn: window becomes the region of the bitmap it covers, and
// view is cut to it (in scratch) when that is not the whole bitmap. A bitmap whose pixels end
// early goes whole (the writer leaves out the rows it lacks). False when nothing is left.
bool CutToSource(bool crop, std::int32_t srcX, std::int32_t srcY, std::int32_t srcWidth,
                 std::int32_t srcHeight, const BITMAPINFOHEADER& header, DibView& view,
                 SourceWindow& window, std::vector<std::uint8_t>& scratch) {
  window.width = static_cast<std::uint32_t>(view.format.width);
  window.height = view.format.AbsHeight();
  const bool complete = view.format.Rle() || view.bitsSize >= qvplatform::DibImageSize(view.format);
  if (!crop || srcWidth == 0 || srcHeight == 0 || !complete) return true;
  if (!WindowOf(view.format, srcX, srcY, srcWidth, srcHeight, window)) return false;
  const bool whole = window.width == static_cast<std::uint32_t>(view.format.width) &&
                     window.height == view.format.AbsHeight();
  if (whole) return true;
  view =
      header.biBitCount == 1 ? CropMono(view, window, scratch) : CropToRgb(view, window, scratch);
  return view.bitsSize != 0;
}

// The destination of the source region that the window holds, in the writer's terms: top
// y, and the height downwards on the page.
void PlaceImage(TQVPDFImageWriter& images, const TQVDIBImage& image, const SourceWindow& window,
                bool yFlip, float dstX, float dstY, float dstWidth, float dstHeight) {
  const double flip = yFlip ? -1.0 : 1.0;
  double x = dstX, width = dstWidth;
  double top = dstY, down = flip * dstHeight;
  x += width * window.x0;
  width *= window.x1 - window.x0;
  top += down * window.y0;
  down *= window.y1 - window.y0;
  float y = static_cast<float>(top), h = static_cast<float>(down);
  image.FitDestination(y, h);
  images.DrawImage(image.number, static_cast<float>(x), y, static_cast<float>(width),
                   static_cast<float>(flip * h));
}

}  // namespace

std::int32_t TQVPDFDevice::DrawDIBits(bool hasColorTable, std::int32_t srcX, std::int32_t srcY,
                                      std::int32_t srcWidth, std::int32_t srcHeight, float dstX,
                                      float dstY, float dstWidth, float dstHeight, bool crop,
                                      Bytes bits, Bytes bitmapHeader, Bytes colorTable) {
  if (!resources_) return 0;
  if (!pendingBitmapName.empty()) {
    // A bitmap the commands named before is drawn again under its name.
    const int alias = imageAliases.IndexOf(UpperAscii(pendingBitmapName));
    if (alias >= 0) {
      const std::int32_t number =
          qvplatform::ClampToInt32(static_cast<std::int64_t>(imageAliases.Objects(alias)));
      pendingBitmapName.clear();
      if (dstHeight != 0) images_.DrawImage(number, dstX, dstY, dstWidth, dstHeight);
      return number;
    }
  }

  // A destination of exactly 0 by 0 registers the image without placing it: the player
  // asks so for the bitmap of a pattern brush, which must not show where it is created.
  const bool registerOnly = dstWidth == 0 && dstHeight == 0;
  std::int32_t number = 0;
  BITMAPINFOHEADER header;
  ColorTable table;
  DibView view;
  SourceWindow window;
  bool overBudget = false;
  if (DrawableDestination(dstX, dstY, dstWidth, dstHeight, registerOnly) &&
      ReadBitmapView(*this, hasColorTable, bits, bitmapHeader, colorTable, header, table, view,
                     overBudget) &&
      CutToSource(crop, srcX, srcY, srcWidth, srcHeight, header, view, window, dibScratch_)) {
    const TQVDIBImage image = images_.CreateDIBImage(view, header.biBitCount == 1);
    number = image.number;
    if (number > 0 && !registerOnly)
      PlaceImage(images_, image, window, dcStack.yFlip, dstX, dstY, dstWidth, dstHeight);
  }
  if (overBudget) ReportMessage(2, kOverBudgetDetail);

  if (!pendingBitmapName.empty()) {
    if (number > 0) {
      const std::string name = UpperAscii(pendingBitmapName);
      const int alias = imageAliases.IndexOf(name);
      if (alias >= 0)
        imageAliases.PutObject(alias, number);
      else
        imageAliases.AddObject(name, number);
    }
    pendingBitmapName.clear();
  }
  return number;
}

}  // namespace vellora
