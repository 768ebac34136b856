// The one DIB converter: any DIB (1, 4, 8 bits with a colour table, RLE4, RLE8, 16 bits 5-5-5
// or with bitfields, 24 bits, 32 bits plain or with bitfields, top-down or bottom-up) into
// 24-bit B,G,R rows or 1-bit rows with a given two-entry table, rows padded to 4 bytes.
// GetDIBits and the engine's bitmap drawing both call it. Every read stays inside the view's
// bitsSize and every write inside the output size; formats are checked (CheckDibFormat, which
// caps the pixel count) before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "qvplatform/dib.h"
#include "qvplatform/emf_dib.h"

namespace qvplatform {

struct DibTarget {
  WORD bitCount = 24;  // 24: B,G,R bytes; 1: bit set = mono[1], most significant bit first
  bool topDown = false;
  RGBQUAD mono[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};  // 1-bit output: black, white
};

struct DibConvertResult {
  DibError error = DibError::kOk;
  // RLE data that ended without its end-of-bitmap code, or a run cut by the end of the data.
  // The pixels it did give are converted; those it never reached keep colour-table entry 0.
  bool damaged = false;
};

// One colour channel of a 16- or 32-bit pixel, widened to 8 bits.
struct DibChannel {
  DWORD mask = 0;
  unsigned shift = 0;
  unsigned bits = 0;

  DibChannel() = default;
  explicit DibChannel(DWORD m);
  BYTE Expand(DWORD pixel) const;
};

// The rows of a picture as B,G,R triplets, one at a time, so that a caller decodes straight
// into its destination. RLE data is expanded once into one index byte per pixel (a third of the
// 24-bit rows); every other format is read where it lies.
class DibRowReader {
 public:
  // Errors: those of CheckDibFormat; kShortBits when uncompressed pixels are shorter than
  // stride * rows; kTooLarge when the RLE index plane cannot be allocated. The view's colours
  // are copied; its pixels must outlive the reader.
  DibError Open(const DibView& source);

  std::uint32_t Width() const { return width_; }
  std::uint32_t Height() const { return height_; }
  // RLE data that ended early (see DibConvertResult::damaged).
  bool Damaged() const { return damaged_; }
  // Row y, counted from the top of the picture, into bgr (3 * Width() bytes); y < Height().
  void Row(std::uint32_t y, BYTE* bgr) const;

 private:
  void Channels(BYTE* bgr, std::uint32_t x, DWORD pixel) const;

  DibFormat format_;
  const BYTE* bits_ = nullptr;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
  std::size_t stride_ = 0;
  bool damaged_ = false;
  std::vector<BYTE> plane_;  // RLE: index bytes, row 0 at the bottom
  DibChannel red_, green_, blue_;
  BYTE lut_[256][3] = {};
};

// Bytes of rowCount output rows: DibStride(width, target bit count) * rowCount.
std::uint64_t DibTargetSize(const DibFormat& format, const DibTarget& target,
                            std::uint32_t rowCount);

// Converts rowCount rows starting at row firstRow, both counted in the target's order (from the
// bottom of the picture for bottom-up output, from its top for top-down), into out, which holds
// outSize bytes. A 1-bit output pixel takes the nearer of the two table colours; 16- and
// 32-bit channels narrower than 8 bits are widened by repeating their bits (5-bit 31 is 255).
// Errors: those of CheckDibFormat; kShortBits when uncompressed pixels are shorter than
// stride * rows; kBadTarget for a target depth other than 1 and 24, rows outside the picture
// or an output smaller than DibTargetSize.
DibConvertResult ConvertDibRows(const DibView& source, const DibTarget& target,
                                std::uint32_t firstRow, std::uint32_t rowCount, BYTE* out,
                                std::size_t outSize);

// The whole picture into *out (resized to DibTargetSize of all rows).
DibConvertResult ConvertDib(const DibView& source, const DibTarget& target, std::vector<BYTE>* out);

// The format a header describes (masks for BI_BITFIELDS: red, green, blue; null = none).
DibFormat DibFormatOf(const BITMAPINFOHEADER& header, const DWORD* masks);

// A colour table resolved for a view: the DIB's own RGBQUADs, or palette entries.
struct DibColorTable {
  RGBQUAD entries[256] = {};
  DWORD count = 0;
};

// The view of a bitmap validated by ReadDib/ReadDibBytes. A DIB_PAL_COLORS table (16-bit
// indexes) and a DIB_PAL_INDICES bitmap (no table: the pixels are indexes) are resolved against
// palette (paletteCount entries, see palette.h); an index past the palette takes entry 0. The
// view points into dib and table, which must outlive it. RLE data is bounded by the header's
// image size when it gives one. kBadFormat when dib is not valid.
DibError DibViewOf(const EmfDib& dib, const PALETTEENTRY* palette, DWORD paletteCount,
                   DibColorTable* table, DibView* view);

}  // namespace qvplatform
