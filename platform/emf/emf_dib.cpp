#include "qvplatform/emf_dib.h"

#include <algorithm>
#include <cstring>

namespace qvplatform {
namespace {

DWORD ReadDword(const BYTE* p) {
  DWORD v;
  std::memcpy(&v, p, sizeof(v));
  return v;
}

bool ValidDepth(WORD bitCount, DWORD compression) {
  switch (compression) {
    case BI_RGB:
      return bitCount == 1 || bitCount == 2 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
             bitCount == 24 || bitCount == 32;
    case BI_RLE8:
      return bitCount == 8;
    case BI_RLE4:
      return bitCount == 4;
    case BI_BITFIELDS:
      return bitCount == 16 || bitCount == 32;
    case BI_JPEG:
    case BI_PNG:
      return true;  // the depth is the compressed image's own
    default:
      return false;
  }
}

}  // namespace

DWORD EmfDib::Mask(DWORD i) const {
  return i < maskCount_ ? ReadDword(info_.tail + i * sizeof(DWORD)) : 0;
}

RGBQUAD EmfDib::Color(DWORD i) const {
  RGBQUAD c;
  if (entrySize_ == sizeof(RGBQUAD) && i < ColorCount())
    std::memcpy(&c, ColorTable() + i * sizeof(RGBQUAD), sizeof(c));
  return c;
}

WORD EmfDib::PaletteIndex(DWORD i) const {
  WORD w = 0;
  if (entrySize_ == sizeof(WORD) && i < ColorCount())
    std::memcpy(&w, ColorTable() + i * sizeof(WORD), sizeof(w));
  return w;
}

std::uint32_t EmfDib::AbsHeightOf(LONG height) {
  const std::int64_t h = height;
  return static_cast<std::uint32_t>(h < 0 ? -h : h);
}

DibStatus ReadDibBytes(const BYTE* info, std::size_t infoSize, const BYTE* bits,
                       std::size_t bitsSize, DWORD usage, EmfDib& dib) {
  const auto Fail = [](EmfDib& out, DibStatus status) {
    out = EmfDib{};
    out.status_ = status;
    return status;
  };
  dib = EmfDib{};
  if (info == nullptr || infoSize < sizeof(DWORD)) return Fail(dib, DibStatus::kBadInfo);
  BITMAPINFOHEADER h;
  const DWORD headerSize = ReadDword(info);
  std::size_t sourceEntrySize = sizeof(RGBQUAD);
  if (headerSize == kBitmapCoreHeaderSize) {
    if (infoSize < kBitmapCoreHeaderSize) return Fail(dib, DibStatus::kBadInfo);
    BITMAPCOREHEADER core;
    std::memcpy(&core, info, sizeof(core));
    h.biWidth = core.bcWidth;
    h.biHeight = core.bcHeight;
    h.biPlanes = core.bcPlanes;
    h.biBitCount = core.bcBitCount;
    h.biCompression = BI_RGB;
    sourceEntrySize = sizeof(RGBTRIPLE);
    dib.core_ = true;
  } else {
    if (headerSize < kBitmapInfoHeaderSize || headerSize > infoSize)
      return Fail(dib, DibStatus::kBadInfo);
    std::memcpy(&h, info, sizeof(h));
  }
  h.biSize = kBitmapInfoHeaderSize;

  if (h.biWidth <= 0 || h.biHeight == 0 || !ValidDepth(h.biBitCount, h.biCompression))
    return Fail(dib, DibStatus::kBadInfo);
  const bool rle = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
  if (rle && h.biHeight < 0) return Fail(dib, DibStatus::kBadInfo);  // RLE is bottom-up only

  // Masks: after a 40-byte header, inside any longer one (at offset 40).
  std::uint64_t tableAt = headerSize;
  if (h.biCompression == BI_BITFIELDS) {
    if (headerSize == kBitmapInfoHeaderSize) {
      tableAt += kBitfieldsMasksSize;
    } else if (headerSize < kBitmapInfoHeaderSize + kBitfieldsMasksSize) {
      return Fail(dib, DibStatus::kBadInfo);
    }
    if (kBitmapInfoHeaderSize + kBitfieldsMasksSize > infoSize)
      return Fail(dib, DibStatus::kBadColorTable);
    std::memcpy(dib.info_.tail, info + kBitmapInfoHeaderSize, kBitfieldsMasksSize);
    dib.maskCount_ = 3;
  }

  // Colour table: the full or the used part of the table for 1 to 8 bits, none deeper. Writers
  // exist that store fewer entries than the header implies; the entries that cbBmi holds are
  // kept (pixels beyond them are the drawing code's to map).
  DWORD colors = 0;
  if (usage != DIB_PAL_INDICES && h.biBitCount >= 1 && h.biBitCount <= 8) {
    const DWORD full = DWORD{1} << h.biBitCount;
    colors = (dib.core_ || h.biClrUsed == 0 || h.biClrUsed > full) ? full : h.biClrUsed;
  }
  if (usage == DIB_PAL_COLORS) sourceEntrySize = sizeof(WORD);
  if (tableAt > infoSize) return Fail(dib, DibStatus::kBadColorTable);
  colors =
      static_cast<DWORD>(std::min<std::uint64_t>(colors, (infoSize - tableAt) / sourceEntrySize));
  BYTE* table = dib.info_.tail + dib.maskCount_ * sizeof(DWORD);
  const BYTE* from = info + tableAt;
  if (usage == DIB_PAL_COLORS) {
    std::memcpy(table, from, colors * sizeof(WORD));
    dib.entrySize_ = sizeof(WORD);
  } else if (colors != 0) {
    for (DWORD i = 0; i < colors; ++i, from += sourceEntrySize, table += sizeof(RGBQUAD)) {
      table[0] = from[0];
      table[1] = from[1];
      table[2] = from[2];
      table[3] = sourceEntrySize == sizeof(RGBQUAD) ? from[3] : 0;
    }
    dib.entrySize_ = sizeof(RGBQUAD);
  }
  h.biClrUsed = colors;
  if (colors == 0) dib.entrySize_ = 0;

  // Pixels.
  if (bits == nullptr) bitsSize = 0;
  if (h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS) {
    const std::uint64_t rowBits = std::uint64_t(h.biWidth) * h.biBitCount;
    const std::uint64_t stride = (rowBits + 31) / 32 * 4;
    const std::uint64_t absRows = dib.AbsHeightOf(h.biHeight);
    if (stride > bitsSize || absRows > bitsSize / stride) return Fail(dib, DibStatus::kBadBits);
    dib.stride_ = stride;
    dib.requiredBits_ = stride * absRows;
  } else {
    const std::uint64_t need = h.biSizeImage != 0 ? h.biSizeImage : bitsSize;
    if (need == 0 || need > bitsSize) return Fail(dib, DibStatus::kBadBits);
    dib.requiredBits_ = need;
  }
  dib.info_.header = h;
  dib.bits_ = bits;
  dib.bitsSize_ = bitsSize;
  dib.status_ = DibStatus::kOk;
  return DibStatus::kOk;
}

DibStatus ReadDib(const EmfRecord& record, const EmfDibSource& source, EmfDib& dib) {
  dib = EmfDib{};
  if (source.cbBmi == 0) return DibStatus::kAbsent;
  const DWORD fixedSize = record.Type() == EMR_ALPHADIBBLEND ? sizeof(EMRSTRETCHDIBITS)
                                                             : EmfMinRecordSize(record.Type());
  const EmfBytes info = record.Block(source.offBmi, source.cbBmi, fixedSize);
  const EmfBytes bits = record.Block(source.offBits, source.cbBits, fixedSize);
  if (!info.Valid() || !bits.Valid()) {
    dib.status_ = info.Valid() ? DibStatus::kBadBits : DibStatus::kBadInfo;
    return dib.status_;
  }
  return ReadDibBytes(info.Bytes(), info.ByteSize(), bits.Bytes(), bits.ByteSize(), source.usage,
                      dib);
}

}  // namespace qvplatform
