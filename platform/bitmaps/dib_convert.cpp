#include "qvplatform/dib_convert.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#include "dib_rle.h"

namespace qvplatform {
namespace {

DWORD ReadLe16(const BYTE* p) { return DWORD{p[0]} | DWORD{p[1]} << 8; }
DWORD ReadLe32(const BYTE* p) {
  return DWORD{p[0]} | DWORD{p[1]} << 8 | DWORD{p[2]} << 16 | DWORD{p[3]} << 24;
}

DWORD ChannelMask(const DibFormat& f, int i) {
  if (f.compression == BI_BITFIELDS) return f.masks[i];
  static constexpr DWORD k555[3] = {0x7C00, 0x03E0, 0x001F};
  static constexpr DWORD k888[3] = {0xFF0000, 0x00FF00, 0x0000FF};
  return f.bitCount == 16 ? k555[i] : k888[i];
}

void Put(BYTE* bgr, std::uint32_t x, const BYTE* c) { std::memcpy(bgr + 3 * std::size_t{x}, c, 3); }

int Distance(const BYTE* bgr, const RGBQUAD& c) {
  const int b = bgr[0] - c.rgbBlue, g = bgr[1] - c.rgbGreen, r = bgr[2] - c.rgbRed;
  return b * b + g * g + r * r;
}

void PackMono(const BYTE* bgr, std::uint32_t width, const RGBQUAD* mono, BYTE* out) {
  for (std::uint32_t x = 0; x < width; ++x) {
    const BYTE* p = bgr + 3 * std::size_t{x};
    if (Distance(p, mono[1]) < Distance(p, mono[0])) out[x >> 3] |= BYTE(0x80 >> (x & 7));
  }
}

}  // namespace

DibChannel::DibChannel(DWORD m) : mask(m) {
  if (m == 0) return;
  shift = static_cast<unsigned>(std::countr_zero(m));
  bits = 32 - static_cast<unsigned>(std::countl_zero(m >> shift));
}

BYTE DibChannel::Expand(DWORD pixel) const {
  const DWORD v = (pixel & mask) >> shift;
  if (bits >= 8) return static_cast<BYTE>(v >> (bits - 8));
  if (bits == 0) return 0;
  // Repeat the bits downwards so that the largest value becomes 255.
  const int n = static_cast<int>(bits);
  DWORD r = 0;
  for (int s = 8 - n; s > -n; s -= n) r |= s >= 0 ? v << s : v >> -s;
  return static_cast<BYTE>(r);
}

DibError DibRowReader::Open(const DibView& v) {
  const DibError status = CheckDibFormat(v.format);
  if (status != DibError::kOk) return status;
  format_ = v.format;
  width_ = static_cast<std::uint32_t>(v.format.width);
  height_ = v.format.AbsHeight();
  stride_ = static_cast<std::size_t>(DibStride(width_, v.format.bitCount));
  const std::size_t bitsSize = v.bits ? v.bitsSize : 0;
  bits_ = v.bits;
  damaged_ = false;
  if (!v.format.Rle() && DibImageSize(v.format) > bitsSize) return DibError::kShortBits;
  for (unsigned i = 0; i < 256; ++i) {
    RGBQUAD c{};
    if (i < v.colorCount && v.colors) {
      c = v.colors[i];
    } else if (v.colorCount > 0 && v.colors) {
      c = v.colors[0];
    }
    lut_[i][0] = c.rgbBlue;
    lut_[i][1] = c.rgbGreen;
    lut_[i][2] = c.rgbRed;
  }
  red_ = DibChannel(ChannelMask(format_, 0));
  green_ = DibChannel(ChannelMask(format_, 1));
  blue_ = DibChannel(ChannelMask(format_, 2));
  plane_.clear();
  if (v.format.Rle()) {
    try {
      plane_.assign(std::size_t{width_} * height_, 0);
    } catch (const std::bad_alloc&) {
      return DibError::kTooLarge;
    }
    damaged_ = !bitmaps::ExpandRle(v.format.compression == BI_RLE4, v.bits, bitsSize, width_,
                                   height_, plane_.data());
  }
  return DibError::kOk;
}

void DibRowReader::Row(std::uint32_t y, BYTE* bgr) const {
  const std::uint32_t w = width_;
  if (format_.Rle()) {
    const BYTE* idx = plane_.data() + std::size_t{height_ - 1 - y} * w;
    for (std::uint32_t x = 0; x < w; ++x) Put(bgr, x, lut_[idx[x]]);
    return;
  }
  const std::uint32_t stored = format_.TopDown() ? y : height_ - 1 - y;
  const BYTE* row = bits_ + std::size_t{stored} * stride_;
  switch (format_.bitCount) {
    case 1:
      for (std::uint32_t x = 0; x < w; ++x) Put(bgr, x, lut_[(row[x >> 3] >> (7 - (x & 7))) & 1]);
      break;
    case 4:
      for (std::uint32_t x = 0; x < w; ++x) {
        const BYTE b = row[x >> 1];
        Put(bgr, x, lut_[(x & 1) ? (b & 0x0F) : (b >> 4)]);
      }
      break;
    case 8:
      for (std::uint32_t x = 0; x < w; ++x) Put(bgr, x, lut_[row[x]]);
      break;
    case 16:
      for (std::uint32_t x = 0; x < w; ++x) Channels(bgr, x, ReadLe16(row + 2 * std::size_t{x}));
      break;
    case 24:
      std::memcpy(bgr, row, std::size_t{w} * 3);
      break;
    case 32:
      if (format_.compression == BI_RGB) {
        for (std::uint32_t x = 0; x < w; ++x)
          std::memcpy(bgr + 3 * std::size_t{x}, row + 4 * std::size_t{x}, 3);
      } else {
        for (std::uint32_t x = 0; x < w; ++x) Channels(bgr, x, ReadLe32(row + 4 * std::size_t{x}));
      }
      break;
  }
}

void DibRowReader::Channels(BYTE* bgr, std::uint32_t x, DWORD pixel) const {
  BYTE* p = bgr + 3 * std::size_t{x};
  p[0] = blue_.Expand(pixel);
  p[1] = green_.Expand(pixel);
  p[2] = red_.Expand(pixel);
}

std::uint64_t DibTargetSize(const DibFormat& format, const DibTarget& target,
                            std::uint32_t rowCount) {
  if (format.width <= 0) return 0;
  return DibStride(std::uint64_t(format.width), target.bitCount) * rowCount;
}

DibConvertResult ConvertDibRows(const DibView& source, const DibTarget& target,
                                std::uint32_t firstRow, std::uint32_t rowCount, BYTE* out,
                                std::size_t outSize) {
  DibConvertResult result;
  const DibFormat& f = source.format;
  result.error = CheckDibFormat(f);
  if (result.error != DibError::kOk) return result;
  const std::uint32_t width = static_cast<std::uint32_t>(f.width);
  const std::uint32_t height = f.AbsHeight();
  if (target.bitCount != 24 && target.bitCount != 1) {
    result.error = DibError::kBadTarget;
    return result;
  }
  const std::uint64_t outStride = DibStride(width, target.bitCount);
  if (firstRow > height || rowCount > height - firstRow || out == nullptr ||
      outStride * rowCount > outSize) {
    result.error = DibError::kBadTarget;
    return result;
  }
  DibRowReader reader;
  result.error = reader.Open(source);
  if (result.error != DibError::kOk) return result;
  result.damaged = reader.Damaged();
  std::vector<BYTE> scratch;
  try {
    if (target.bitCount == 1) scratch.resize(std::size_t{width} * 3);
  } catch (const std::bad_alloc&) {
    result.error = DibError::kTooLarge;
    return result;
  }
  for (std::uint32_t r = 0; r < rowCount; ++r) {
    const std::uint32_t row = firstRow + r;
    const std::uint32_t fromTop = target.topDown ? row : height - 1 - row;
    BYTE* dest = out + outStride * r;
    std::memset(dest, 0, static_cast<std::size_t>(outStride));
    if (target.bitCount == 24) {
      reader.Row(fromTop, dest);
    } else {
      reader.Row(fromTop, scratch.data());
      PackMono(scratch.data(), width, target.mono, dest);
    }
  }
  return result;
}

DibConvertResult ConvertDib(const DibView& source, const DibTarget& target,
                            std::vector<BYTE>* out) {
  DibConvertResult result;
  result.error = CheckDibFormat(source.format);
  if (result.error != DibError::kOk) return result;
  if (out == nullptr || (target.bitCount != 24 && target.bitCount != 1)) {
    result.error = DibError::kBadTarget;
    return result;
  }
  const std::uint32_t rows = source.format.AbsHeight();
  try {
    out->assign(static_cast<std::size_t>(DibTargetSize(source.format, target, rows)), 0);
  } catch (const std::bad_alloc&) {
    result.error = DibError::kTooLarge;
    return result;
  }
  result = ConvertDibRows(source, target, 0, rows, out->data(), out->size());
  if (result.error != DibError::kOk) out->clear();
  return result;
}

DibFormat DibFormatOf(const BITMAPINFOHEADER& header, const DWORD* masks) {
  DibFormat f;
  f.width = header.biWidth;
  f.height = header.biHeight;
  f.bitCount = header.biBitCount;
  f.compression = header.biCompression;
  if (masks && header.biCompression == BI_BITFIELDS)
    for (int i = 0; i < 3; ++i) f.masks[i] = masks[i];
  return f;
}

DibError DibViewOf(const EmfDib& dib, const PALETTEENTRY* palette, DWORD paletteCount,
                   DibColorTable* table, DibView* view) {
  if (dib.Status() != DibStatus::kOk || table == nullptr || view == nullptr)
    return DibError::kBadFormat;
  const BITMAPINFOHEADER& h = dib.Header();
  DWORD masks[3] = {dib.Mask(0), dib.Mask(1), dib.Mask(2)};
  DibView v;
  v.format = DibFormatOf(h, dib.MaskCount() == 3 ? masks : nullptr);
  const DibError status = CheckDibFormat(v.format);
  if (status != DibError::kOk) return status;

  *table = DibColorTable{};
  const DWORD maxColors = v.format.MaxColors();
  if (dib.ColorEntrySize() == sizeof(RGBQUAD)) {
    table->count = std::min<DWORD>(dib.ColorCount(), 256);
    for (DWORD i = 0; i < table->count; ++i) table->entries[i] = dib.Color(i);
  } else if (maxColors != 0) {
    // Palette indexes (DIB_PAL_COLORS) or pixels that index the palette (DIB_PAL_INDICES).
    const bool indexes = dib.ColorEntrySize() == sizeof(WORD);
    table->count = indexes ? std::min<DWORD>(dib.ColorCount(), 256) : maxColors;
    for (DWORD i = 0; i < table->count; ++i) {
      const DWORD at = indexes ? dib.PaletteIndex(i) : i;
      PALETTEENTRY e{};
      if (palette && paletteCount > 0) e = palette[at < paletteCount ? at : 0];
      table->entries[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
    }
  }
  v.colors = table->entries;
  v.colorCount = table->count;
  v.bits = dib.Bits();
  v.bitsSize = dib.BitsSize();
  if (v.format.Rle() && dib.RequiredBitsSize() < v.bitsSize)
    v.bitsSize = static_cast<std::size_t>(dib.RequiredBitsSize());
  *view = v;
  return DibError::kOk;
}

}  // namespace qvplatform
