#include "qvplatform/dib.h"

#include <algorithm>
#include <new>

namespace qvplatform {

DibError CheckDibFormat(const DibFormat& f) {
  if (f.width <= 0 || f.height == 0) return DibError::kBadFormat;
  switch (f.compression) {
    case BI_RGB:
      if (f.bitCount == 2) return DibError::kUnsupported;
      if (f.bitCount != 1 && f.bitCount != 4 && f.bitCount != 8 && f.bitCount != 16 &&
          f.bitCount != 24 && f.bitCount != 32)
        return DibError::kBadFormat;
      break;
    case BI_BITFIELDS:
      if (f.bitCount != 16 && f.bitCount != 32) return DibError::kBadFormat;
      break;
    case BI_RLE8:
    case BI_RLE4:
      if (f.bitCount != (f.compression == BI_RLE8 ? 8 : 4)) return DibError::kBadFormat;
      if (f.TopDown()) return DibError::kBadFormat;  // run-length data is bottom-up only
      break;
    case BI_JPEG:
    case BI_PNG:
      return DibError::kUnsupported;
    default:
      return DibError::kBadFormat;
  }
  if (std::uint64_t(f.width) * f.AbsHeight() > kMaxDibPixels) return DibError::kTooLarge;
  return DibError::kOk;
}

DibError CheckDibBudget(const DibFormat& f, std::size_t bitsSize) {
  const DibError status = CheckDibFormat(f);
  if (status != DibError::kOk) return status;
  const std::uint64_t pixels = std::uint64_t(f.width) * f.AbsHeight();
  if (pixels > kMaxImagePixels) return DibError::kTooLarge;
  if (f.Rle() && pixels > kMaxRlePixelsPerByte * std::uint64_t{bitsSize})
    return DibError::kTooLarge;
  return DibError::kOk;
}

std::uint64_t DibImageSize(const DibFormat& f) {
  if (f.Rle()) return 0;
  return DibStride(std::uint64_t(f.width), f.bitCount) * f.AbsHeight();
}

DibError Dib::Create(const DibFormat& format, const RGBQUAD* colors, DWORD colorCount, Dib* out) {
  const DibError status = CheckDibFormat(format);
  if (status != DibError::kOk) return status;
  if (format.Rle()) return DibError::kBadFormat;
  Dib dib;
  dib.format_ = format;
  if (format.compression == BI_RGB)
    std::fill(std::begin(dib.format_.masks), std::end(dib.format_.masks), 0);
  dib.stride_ = static_cast<std::size_t>(DibStride(std::uint64_t(format.width), format.bitCount));
  const DWORD kept = colors ? std::min(colorCount, format.MaxColors()) : 0;
  try {
    dib.colors_.assign(colors, colors + kept);
    dib.bits_.assign(static_cast<std::size_t>(DibImageSize(format)), 0);
  } catch (const std::bad_alloc&) {
    return DibError::kTooLarge;
  }
  *out = std::move(dib);
  return DibError::kOk;
}

BYTE* Dib::RowFromTop(std::uint32_t y) {
  const std::uint32_t stored = format_.TopDown() ? y : AbsHeight() - 1 - y;
  return bits_.data() + std::size_t{stored} * stride_;
}

const BYTE* Dib::RowFromTop(std::uint32_t y) const { return const_cast<Dib*>(this)->RowFromTop(y); }

DibView Dib::View() const {
  DibView view;
  view.format = format_;
  view.colors = colors_.data();
  view.colorCount = static_cast<DWORD>(colors_.size());
  view.bits = bits_.data();
  view.bitsSize = bits_.size();
  return view;
}

}  // namespace qvplatform
