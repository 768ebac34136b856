// The device-independent bitmap that a record carries (offBmi/cbBmi for the header and colour
// table, offBits/cbBits for the pixels), validated and normalised: the header always in the
// 40-byte form (a 12-byte core header is converted, never read as 40 bytes), the BI_BITFIELDS
// masks right after it, then the colour table, all in one block owned by EmfDib; the pixels stay
// in the record, checked to be long enough for the width, height and depth.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qvplatform/bitmap_headers.h"
#include "qvplatform/emf_reader.h"

namespace qvplatform {

// Where a record keeps its bitmap and how its colour table is to be read.
struct EmfDibSource {
  DWORD offBmi = 0;
  DWORD cbBmi = 0;
  DWORD offBits = 0;
  DWORD cbBits = 0;
  DWORD usage = DIB_RGB_COLORS;
};

inline EmfDibSource DibSourceOf(const EMRBITBLT& r) {
  return {r.offBmiSrc, r.cbBmiSrc, r.offBitsSrc, r.cbBitsSrc, r.iUsageSrc};
}
inline EmfDibSource DibSourceOf(const EMRSTRETCHBLT& r) {  // also 114 and 116
  return {r.offBmiSrc, r.cbBmiSrc, r.offBitsSrc, r.cbBitsSrc, r.iUsageSrc};
}
inline EmfDibSource DibSourceOf(const EMRSTRETCHDIBITS& r) {  // also the old 115
  return {r.offBmiSrc, r.cbBmiSrc, r.offBitsSrc, r.cbBitsSrc, r.iUsageSrc};
}
inline EmfDibSource DibSourceOf(const EMRSETDIBITSTODEVICE& r) {
  return {r.offBmiSrc, r.cbBmiSrc, r.offBitsSrc, r.cbBitsSrc, r.iUsageSrc};
}
inline EmfDibSource DibSourceOf(const EMRCREATEDIBPATTERNBRUSHPT& r) {  // also 93
  return {r.offBmi, r.cbBmi, r.offBits, r.cbBits, r.iUsage};
}
// A pen with a DIB pattern brush (styles 5 and 6) keeps the colour usage in the low word of its
// colour.
inline EmfDibSource DibSourceOf(const EMREXTCREATEPEN& r) {
  const bool dibBrush = r.elp.elpBrushStyle == 5 || r.elp.elpBrushStyle == 6;
  return {r.offBmi, r.cbBmi, r.offBits, r.cbBits, dibBrush ? (r.elp.elpColor & 0xFFFF) : 0};
}

enum class DibStatus : std::uint8_t {
  kOk,
  kAbsent,         // cbBmi is 0: the record carries no bitmap
  kBadInfo,        // header outside the record, too short, or with values that cannot be drawn
  kBadColorTable,  // BI_BITFIELDS masks run past cbBmi
  kBadBits,        // pixels outside the record or shorter than the header needs
};

class EmfDib {
 public:
  static constexpr DWORD kMaxColors = 256;

  DibStatus Status() const { return status_; }

  // The 40-byte header: biSize is 40; biClrUsed is the number of colour-table entries kept: for
  // 1 to 8 bits the used (or full) table as far as cbBmi holds it, so pixel values may lie past
  // the table; none for deeper bitmaps, whose optional table is dropped.
  const BITMAPINFOHEADER& Header() const { return info_.header; }
  // Header, masks and colour table as one block of InfoSize() bytes (4-byte aligned).
  const BYTE* Info() const { return reinterpret_cast<const BYTE*>(&info_); }
  std::size_t InfoSize() const { return sizeof(BITMAPINFOHEADER) + TailSize(); }
  // What follows the header: the masks (MaskCount() 32-bit values), then the colour table.
  const BYTE* AfterHeader() const { return info_.tail; }
  DWORD MaskCount() const { return maskCount_; }
  DWORD Mask(DWORD i) const;
  const BYTE* ColorTable() const { return info_.tail + maskCount_ * sizeof(DWORD); }
  DWORD ColorCount() const { return info_.header.biClrUsed; }
  // 4 (RGBQUAD, also for a converted core table), 2 (DIB_PAL_COLORS indexes) or 0 (no table).
  DWORD ColorEntrySize() const { return entrySize_; }
  RGBQUAD Color(DWORD i) const;      // DIB_RGB_COLORS tables; zero beyond the table
  WORD PaletteIndex(DWORD i) const;  // DIB_PAL_COLORS tables; zero beyond the table

  // The pixel block as the record gives it (BitsSize() bytes, at least RequiredBitsSize()).
  const BYTE* Bits() const { return bits_; }
  std::size_t BitsSize() const { return bitsSize_; }
  // Rows of Stride() bytes times the rows for uncompressed bitmaps; the image size (or the
  // whole block) for RLE, JPEG and PNG data, whose Stride() is 0.
  std::uint64_t RequiredBitsSize() const { return requiredBits_; }
  std::uint64_t Stride() const { return stride_; }

  LONG Width() const { return info_.header.biWidth; }
  std::uint32_t AbsHeight() const { return AbsHeightOf(info_.header.biHeight); }
  bool TopDown() const { return info_.header.biHeight < 0; }
  bool FromCoreHeader() const { return core_; }

 private:
  friend DibStatus ReadDibBytes(const BYTE*, std::size_t, const BYTE*, std::size_t, DWORD, EmfDib&);
  friend DibStatus ReadDib(const EmfRecord&, const EmfDibSource&, EmfDib&);
  static std::uint32_t AbsHeightOf(LONG height);
  std::size_t TailSize() const { return maskCount_ * sizeof(DWORD) + ColorCount() * entrySize_; }

  struct Info {
    BITMAPINFOHEADER header;
    alignas(4) BYTE tail[12 + kMaxColors * sizeof(RGBQUAD)];
  } info_{};
  const BYTE* bits_ = nullptr;
  std::size_t bitsSize_ = 0;
  std::uint64_t requiredBits_ = 0;
  std::uint64_t stride_ = 0;
  DWORD maskCount_ = 0;
  DWORD entrySize_ = 0;
  bool core_ = false;
  DibStatus status_ = DibStatus::kAbsent;
};

// Validates a bitmap given as its info block (header and colour table, infoSize bytes) and its
// pixels, and fills dib. usage is the record's DIB_ colour usage.
DibStatus ReadDibBytes(const BYTE* info, std::size_t infoSize, const BYTE* bits,
                       std::size_t bitsSize, DWORD usage, EmfDib& dib);

// The bitmap of a record: both blocks must lie inside the record after its fixed part (the
// EMR_STRETCHDIBITS layout's for type 115; the caller has checked that such a record is long
// enough for that layout).
DibStatus ReadDib(const EmfRecord& record, const EmfDibSource& source, EmfDib& dib);

}  // namespace qvplatform
