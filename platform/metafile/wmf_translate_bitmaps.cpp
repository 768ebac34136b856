// Blits and pattern brushes. Packed DIBs are split into the info block and the pixels that the
// enhanced records keep apart; the old device-dependent bitmaps (1, 24 and 32 bits) become
// top-down DIBs. Validating the bitmap is left to the player, which reads every DIB through the
// platform's checked reader.
#include <algorithm>
#include <cstring>

#include "qvplatform/dib.h"
#include "wmf_translator_impl.h"

namespace qvplatform {
namespace metafile {
namespace {

constexpr RECTL kNoBounds{0, 0, -1, -1};
constexpr WORD kPatternStyle = 3;  // BS_PATTERN: an old bitmap follows instead of a DIB
constexpr DWORD kCoreHeaderSize = 12;
constexpr std::size_t kPad = 3;

std::size_t Padded(std::size_t n) { return (n + kPad) / 4 * 4; }

// Blits without a bitmap carry a reserved word in its place: their parameter count is the
// high byte of the function number.
bool WithoutBitmap(const WmfParams& p, WORD function) {
  return p.Words() <= static_cast<std::size_t>(function >> 8);
}

}  // namespace

bool WmfTranslator::PackedDib(std::span<const BYTE> bytes, DWORD usage) {
  if (bytes.size() < kCoreHeaderSize) return false;
  const DWORD headerSize = LeDword(bytes.data());
  std::uint64_t info = 0;
  if (headerSize == kCoreHeaderSize) {
    const WORD bitCount = LeWord(bytes.data() + 10);
    info = kCoreHeaderSize + (bitCount <= 8 ? (std::uint64_t{1} << bitCount) * 3 : 0);
  } else {
    if (headerSize < sizeof(BITMAPINFOHEADER) || bytes.size() < sizeof(BITMAPINFOHEADER))
      return false;
    const WORD bitCount = LeWord(bytes.data() + 14);
    const DWORD compression = LeDword(bytes.data() + 16);
    std::uint64_t colors = LeDword(bytes.data() + 32);
    if (colors == 0 && bitCount <= 8) colors = std::uint64_t{1} << bitCount;
    const std::uint64_t masks =
        headerSize == sizeof(BITMAPINFOHEADER) && compression == BI_BITFIELDS ? 12 : 0;
    info = headerSize + masks + colors * (usage == DIB_PAL_COLORS ? 2 : 4);
  }
  if (info > bytes.size()) return false;
  bitmapInfoSize_ = static_cast<std::size_t>(info);
  const std::size_t bits = bytes.size() - bitmapInfoSize_;
  bitmap_.assign(Padded(bitmapInfoSize_) + bits, 0);
  std::memcpy(bitmap_.data(), bytes.data(), bitmapInfoSize_);
  if (bits != 0) std::memcpy(bitmap_.data() + Padded(bitmapInfoSize_), bytes.data() + info, bits);
  return true;
}

// Type, width, height, bytes per row, planes and bits per pixel (one byte each), from word
// `head`; top-down rows from word `bits`.
bool WmfTranslator::OldBitmap(const WmfParams& p, std::size_t head, std::size_t bits) {
  const LONG width = p.Short(head + 1), height = p.Short(head + 2);
  const std::size_t rowBytes = p.Word(head + 3);
  const WORD planesAndDepth = p.Word(head + 4);
  const WORD depth = planesAndDepth >> 8;
  if (!p.Has(head + 5) || (planesAndDepth & 0xFF) != 1 || width <= 0 || height <= 0 ||
      (depth != 1 && depth != 24 && depth != 32))
    return false;
  const auto rowCount = static_cast<std::size_t>(height);
  const std::uint64_t used = (static_cast<std::uint64_t>(width) * depth + 7) / 8;
  const std::span<const BYTE> rows = p.Bytes(bits, std::uint64_t{rowBytes} * rowCount);
  if (rowBytes < used || rows.size() != std::uint64_t{rowBytes} * rowCount) return false;
  BITMAPINFOHEADER h;
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = -height;
  h.biPlanes = 1;
  h.biBitCount = depth;
  const RGBQUAD mono[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  bitmapInfoSize_ = sizeof h + (depth == 1 ? sizeof mono : 0);
  const std::size_t stride =
      static_cast<std::size_t>(DibStride(static_cast<std::uint64_t>(width), depth));
  bitmap_.assign(bitmapInfoSize_ + stride * rowCount, 0);
  std::memcpy(bitmap_.data(), &h, sizeof h);
  if (depth == 1) std::memcpy(bitmap_.data() + sizeof h, mono, sizeof mono);
  for (std::size_t y = 0; y < rowCount; ++y)
    std::memcpy(bitmap_.data() + bitmapInfoSize_ + y * stride, rows.data() + y * rowBytes,
                static_cast<std::size_t>(used));
  return true;
}

void WmfTranslator::StretchDib(LONG xDest, LONG yDest, LONG cxDest, LONG cyDest, LONG xSrc,
                               LONG ySrc, LONG cxSrc, LONG cySrc, DWORD usage, DWORD rop) {
  EMRSTRETCHDIBITS f;
  f.rclBounds = kNoBounds;
  f.xDest = xDest;
  f.yDest = yDest;
  f.xSrc = xSrc;
  f.ySrc = ySrc;
  f.cxSrc = cxSrc;
  f.cySrc = cySrc;
  f.offBmiSrc = sizeof f;
  f.cbBmiSrc = static_cast<DWORD>(bitmapInfoSize_);
  f.offBitsSrc = static_cast<DWORD>(sizeof f + Padded(bitmapInfoSize_));
  f.cbBitsSrc = static_cast<DWORD>(bitmap_.size() - Padded(bitmapInfoSize_));
  f.iUsageSrc = usage;
  f.dwRop = rop;
  f.cxDest = cxDest;
  f.cyDest = cyDest;
  Emit(EMR_STRETCHDIBITS, f, bitmap_.data(), bitmap_.size());
}

void WmfTranslator::BlitWithoutSource(LONG x, LONG y, LONG cx, LONG cy, DWORD rop) {
  EMRBITBLT f;
  f.rclBounds = kNoBounds;
  f.xDest = x;
  f.yDest = y;
  f.cxDest = cx;
  f.cyDest = cy;
  f.dwRop = rop;
  Emit(EMR_BITBLT, f);
}

// Raster operation, height, width, y, x.
void WmfTranslator::PatBlt(const WmfParams& p) {
  BlitWithoutSource(p.Short(5), p.Short(4), p.Short(3), p.Short(2), p.Dword(0));
}

// The new blits carry a DIB, the old ones a device-dependent bitmap, each from word `at`.
bool WmfTranslator::BlitBitmap(const WmfParams& p, bool dib, std::size_t at) {
  if (dib ? PackedDib(p.Rest(at), DIB_RGB_COLORS) : OldBitmap(p, at, at + 5)) return true;
  Damage("a bitmap past the record");
  return false;
}

// Raster operation, source y and x, height, width, y, x, then the bitmap.
void WmfTranslator::UnstretchedBlit(const WmfParams& p, WORD function, bool dib) {
  if (WithoutBitmap(p, function))
    return BlitWithoutSource(p.Short(8), p.Short(7), p.Short(6), p.Short(5), p.Dword(0));
  if (!BlitBitmap(p, dib, 8)) return;
  const LONG w = p.Short(5), h = p.Short(4);
  StretchDib(p.Short(7), p.Short(6), w, h, p.Short(3), p.Short(2), w, h, DIB_RGB_COLORS,
             p.Dword(0));
}

// Raster operation, source height, width, y and x, height, width, y, x, then the bitmap.
void WmfTranslator::StretchedBlit(const WmfParams& p, WORD function, bool dib) {
  if (WithoutBitmap(p, function))
    return BlitWithoutSource(p.Short(10), p.Short(9), p.Short(8), p.Short(7), p.Dword(0));
  if (!BlitBitmap(p, dib, 10)) return;
  StretchDib(p.Short(9), p.Short(8), p.Short(7), p.Short(6), p.Short(5), p.Short(4), p.Short(3),
             p.Short(2), DIB_RGB_COLORS, p.Dword(0));
}

void WmfTranslator::DibBitBlt(const WmfParams& p) { UnstretchedBlit(p, META_DIBBITBLT, true); }
void WmfTranslator::BitBlt(const WmfParams& p) { UnstretchedBlit(p, META_BITBLT, false); }
void WmfTranslator::DibStretchBlt(const WmfParams& p) {
  StretchedBlit(p, META_DIBSTRETCHBLT, true);
}
void WmfTranslator::StretchBlt(const WmfParams& p) { StretchedBlit(p, META_STRETCHBLT, false); }

// Raster operation, colour usage, source height, width, y and x, height, width, y, x, bitmap.
void WmfTranslator::StretchDibRecord(const WmfParams& p) {
  const DWORD usage = p.Word(2);
  if (!PackedDib(p.Rest(11), usage)) return Damage("a bitmap past the record");
  StretchDib(p.Short(10), p.Short(9), p.Short(8), p.Short(7), p.Short(6), p.Short(5), p.Short(4),
             p.Short(3), usage, p.Dword(0));
}

// Colour usage, scan count, first scan, source y and x, height, width, y, x, bitmap.
void WmfTranslator::SetDibToDev(const WmfParams& p) {
  const DWORD usage = p.Word(0);
  if (!PackedDib(p.Rest(9), usage)) return Damage("a bitmap past the record");
  const LONG w = p.Short(6), h = p.Short(5);
  StretchDib(p.Short(8), p.Short(7), w, h, p.Short(4), p.Short(3), w, h, usage, SRCCOPY);
}

void WmfTranslator::EmitPatternBrush(DWORD usage) {
  std::size_t slot;
  if (!NewSlot(WmfObjectKind::kBrush, slot)) return;
  EMRCREATEDIBPATTERNBRUSHPT f;
  f.ihBrush = Handle(slot);
  f.iUsage = usage;
  f.offBmi = sizeof f;
  f.cbBmi = static_cast<DWORD>(bitmapInfoSize_);
  f.offBits = static_cast<DWORD>(sizeof f + Padded(bitmapInfoSize_));
  f.cbBits = static_cast<DWORD>(bitmap_.size() - Padded(bitmapInfoSize_));
  Emit(EMR_CREATEDIBPATTERNBRUSHPT, f, bitmap_.data(), bitmap_.size());
}

// Style, colour usage, then the bitmap.
void WmfTranslator::CreateDibPatternBrush(const WmfParams& p) {
  const WORD style = p.Word(0);
  const DWORD usage = style == kPatternStyle ? DIB_RGB_COLORS : p.Word(1);
  const bool ok = style == kPatternStyle ? OldBitmap(p, 2, 7) : PackedDib(p.Rest(2), usage);
  if (!ok) return Damage("a pattern past the record");
  EmitPatternBrush(usage);
}

// The old bitmap's head (its bits pointer unused), 18 reserved bytes, then the pattern rows.
void WmfTranslator::CreatePatternBrush(const WmfParams& p) {
  if (!OldBitmap(p, 0, 16)) return Damage("a pattern past the record");
  EmitPatternBrush(DIB_RGB_COLORS);
}

}  // namespace metafile
}  // namespace qvplatform
