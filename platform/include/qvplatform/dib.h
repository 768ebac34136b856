// Device-independent bitmaps held in memory: the pixel format (DibFormat), a read-only view of
// pixels that live elsewhere (DibView, what the converters read), and Dib, which owns its
// colour table and pixels (the storage behind bitmap handles).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "qvplatform/bitmap_headers.h"

namespace qvplatform {

// A larger bitmap is refused before anything is allocated (2^28 pixels: 768 MiB as 24-bit rows).
constexpr std::uint64_t kMaxDibPixels = std::uint64_t{1} << 28;

enum class DibError : std::uint8_t {
  kOk,
  kBadFormat,    // size, depth or compression that no bitmap has
  kTooLarge,     // more than kMaxDibPixels pixels
  kShortBits,    // fewer pixel bytes than the format needs
  kUnsupported,  // a valid format this code does not convert (BI_JPEG, BI_PNG, 2-bit)
  kBadTarget,    // output format or output buffer the converter cannot fill
};

struct DibFormat {
  LONG width = 0;              // > 0
  LONG height = 0;             // != 0; negative: rows stored top-down
  WORD bitCount = 0;           // 1, 4, 8, 16, 24 or 32
  DWORD compression = BI_RGB;  // BI_RGB, BI_BITFIELDS (16, 32), BI_RLE8 (8), BI_RLE4 (4)
  DWORD masks[3] = {};         // red, green, blue; read only for BI_BITFIELDS

  std::uint32_t AbsHeight() const {
    const std::int64_t h = height;
    return static_cast<std::uint32_t>(h < 0 ? -h : h);
  }
  bool TopDown() const { return height < 0; }
  bool Rle() const { return compression == BI_RLE8 || compression == BI_RLE4; }
  // Colour-table entries the pixels can index (0 for 16, 24 and 32 bits).
  DWORD MaxColors() const { return bitCount <= 8 ? DWORD{1} << bitCount : 0; }
};

// Bytes per row of an uncompressed DIB: padded to 4 bytes. 64-bit, so no width overflows it.
constexpr std::uint64_t DibStride(std::uint64_t width, unsigned bitCount) {
  return (width * bitCount + 31) / 32 * 4;
}

// Checks a format: kOk, kBadFormat, kUnsupported or kTooLarge. Every converter checks first.
DibError CheckDibFormat(const DibFormat& format);

// What one image drawn from untrusted data may cost. A bitmap is decoded only when its pixels
// are at most kMaxImagePixels (2^26: 192 MiB as 24-bit rows) and, for RLE, when its data could
// honestly describe it: a delta or end-of-line code of two to four bytes skips any number of
// pixels, so a picture claiming more than kMaxRlePixelsPerByte pixels for each byte of its RLE data
// is refused. A plain run already gives at most 127.5 pixels a byte; the margin above that leaves
// room for pictures whose background rows are skipped. Uncompressed pixels need no such rule: only
// the rows the data holds are decoded.
constexpr std::uint64_t kMaxImagePixels = std::uint64_t{1} << 26;
constexpr std::uint64_t kMaxRlePixelsPerByte = 1024;

// kOk, or kTooLarge when the format (checked first, its error returned) exceeds the image
// budget for bitsSize bytes of pixel data.
DibError CheckDibBudget(const DibFormat& format, std::size_t bitsSize);

// Bytes the pixels of a format take: stride * rows, or 0 for RLE (its length is the data's).
std::uint64_t DibImageSize(const DibFormat& format);

// Pixels that live elsewhere, with their length. colors holds colorCount entries in B,G,R order
// (the table of 1-, 4- and 8-bit bitmaps; a pixel index past the table takes entry 0, black for
// an empty table). For RLE the data ends at bitsSize.
struct DibView {
  DibFormat format;
  const RGBQUAD* colors = nullptr;
  DWORD colorCount = 0;
  const BYTE* bits = nullptr;
  std::size_t bitsSize = 0;
};

// An uncompressed DIB that owns its pixels (zeroed at creation) and colour table.
class Dib {
 public:
  // kOk and the bitmap in *out, or the error; RLE formats are refused (kBadFormat). colors may
  // be null; a table longer than the depth allows is cut.
  static DibError Create(const DibFormat& format, const RGBQUAD* colors, DWORD colorCount,
                         Dib* out);

  const DibFormat& Format() const { return format_; }
  LONG Width() const { return format_.width; }
  std::uint32_t AbsHeight() const { return format_.AbsHeight(); }
  std::size_t Stride() const { return stride_; }

  const std::vector<RGBQUAD>& Colors() const { return colors_; }
  std::vector<RGBQUAD>& Colors() { return colors_; }

  BYTE* Bits() { return bits_.data(); }
  const BYTE* Bits() const { return bits_.data(); }
  std::size_t BitsSize() const { return bits_.size(); }
  // Row y counted from the top of the picture, whatever the storage order; y < AbsHeight().
  BYTE* RowFromTop(std::uint32_t y);
  const BYTE* RowFromTop(std::uint32_t y) const;

  DibView View() const;

 private:
  DibFormat format_;
  std::size_t stride_ = 0;
  std::vector<RGBQUAD> colors_;
  std::vector<BYTE> bits_;
};

}  // namespace qvplatform
