// Bitmap records of the player: blits, stretched DIBs, alpha and transparent blits, and the
// pattern brush. Every bitmap is validated by the platform's DIB reader (header and colour
// table normalised to the 40-byte form, pixels long enough for the header) before the device
// sees it; the device gets the normalised info block and the pixels inside the record.
#include <algorithm>
#include <exception>

#include "QVGenDC/metafile_player.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

using namespace qvplatform;  // NOLINT: the record names read best unqualified here

TQVGenericDevice::Bytes InfoOf(const EmfDib& dib) { return {dib.Info(), dib.InfoSize()}; }
TQVGenericDevice::Bytes BitsOf(const EmfDib& dib) { return {dib.Bits(), dib.BitsSize()}; }

std::int32_t Height32(const EmfDib& dib) {
  return static_cast<std::int32_t>(std::min<std::uint32_t>(dib.AbsHeight(), 0x7FFFFFFF));
}

std::int32_t Extent(LONG low, LONG high) {
  return ClampToInt32(std::int64_t{high} - std::int64_t{low});
}

// Clears the transparent-blit flag however the blit ends.
class TransparentBlitScope {
 public:
  TransparentBlitScope(TQVGenericDevice& d, COLORREF color) : d_(d) {
    d_.transparentBlit = true;
    d_.transparentColor = color;
  }
  ~TransparentBlitScope() { d_.transparentBlit = false; }
  TransparentBlitScope(const TransparentBlitScope&) = delete;
  TransparentBlitScope& operator=(const TransparentBlitScope&) = delete;

 private:
  TQVGenericDevice& d_;
};

}  // namespace

DibStatus TQVMetafilePlayer::ReadBitmap(const EmfRecord& r, const EmfDibSource& source,
                                        EmfDib& dib) {
  const DibStatus status = ReadDib(r, source, dib);
  if (status != DibStatus::kOk && status != DibStatus::kAbsent) Damaged();
  if (status == DibStatus::kBadBits) device_.BitmapRefused();
  return status;
}

void TQVMetafilePlayer::BlitBitmap(const EmfDib& dib, const EMRSTRETCHBLT& r, std::int32_t srcWidth,
                                   std::int32_t srcHeight) {
  try {
    device_.StretchDIBits(r.xDest, r.yDest, r.dwRop, kBlitColorUsage, InfoOf(dib), BitsOf(dib), 0,
                          0, srcWidth, srcHeight, r.cxDest, r.cyDest);
  } catch (const std::exception&) {
    // A blit that cannot be drawn leaves the rest of the picture standing.
  }
}

void TQVMetafilePlayer::PlayBitBlt(const EmfRecord& r) {
  EMRBITBLT f;
  if (!Fixed(r, f)) return;
  EmfDib dib;
  switch (ReadBitmap(r, DibSourceOf(f), dib)) {
    case DibStatus::kAbsent:
      device_.BitBlt(f.xDest, f.yDest, f.cxDest, f.cyDest, f.dwRop);
      return;
    case DibStatus::kOk: {
      // A blit that carries bits draws them, as a stretched blit of the same size would.
      EMRSTRETCHBLT s;
      s.xDest = f.xDest;
      s.yDest = f.yDest;
      s.cxDest = f.cxDest;
      s.cyDest = f.cyDest;
      s.dwRop = f.dwRop;
      BlitBitmap(dib, s, dib.Width(), Height32(dib));
      return;
    }
    default:
      return;
  }
}

void TQVMetafilePlayer::PlayStretchBlt(const EmfRecord& r) {
  EMRSTRETCHBLT f;
  if (!Fixed(r, f)) return;
  EmfDib dib;
  switch (ReadBitmap(r, DibSourceOf(f), dib)) {
    case DibStatus::kAbsent:
      device_.BitBlt(f.xDest, f.yDest, f.cxDest, f.cyDest, f.dwRop);
      return;
    case DibStatus::kOk:
      BlitBitmap(dib, f, dib.Width(), Height32(dib));
      return;
    default:
      return;
  }
}

void TQVMetafilePlayer::PlayAlphaBlend(const EmfRecord& r) {
  EMRALPHABLEND f;
  if (!Fixed(r, f)) return;
  EmfDib dib;
  if (ReadBitmap(r, DibSourceOf(f), dib) != DibStatus::kOk) return;
  // The blend function travels in the raster-operation place.
  BlitBitmap(dib, f, Extent(f.rclBounds.left, f.rclBounds.right),
             Extent(f.rclBounds.top, f.rclBounds.bottom));
}

void TQVMetafilePlayer::PlayStretchDIBits(const EmfRecord& r) {
  EMRSTRETCHDIBITS f;
  if (!Fixed(r, f)) return;
  EmfDib dib;
  if (ReadBitmap(r, DibSourceOf(f), dib) != DibStatus::kOk) return;
  device_.StretchDIBits(f.xDest, f.yDest, f.dwRop, f.iUsageSrc, InfoOf(dib), BitsOf(dib), f.xSrc,
                        f.ySrc, f.cxSrc, f.cySrc, f.cxDest, f.cyDest);
}

void TQVMetafilePlayer::PlayTransparentBlt(const EmfRecord& r) {
  EMRTRANSPARENTBLT f;
  if (!Fixed(r, f)) return;
  EmfDib dib;
  if (ReadBitmap(r, DibSourceOf(f), dib) != DibStatus::kOk) return;
  // The raster-operation field holds the transparent colour.
  TransparentBlitScope scope(device_, f.dwRop);
  device_.StretchDIBits(f.xDest, f.yDest, f.dwRop, f.iUsageSrc, InfoOf(dib), BitsOf(dib), f.xSrc,
                        f.ySrc, f.cxSrc, f.cySrc, f.cxDest, f.cyDest);
}

void TQVMetafilePlayer::PlayPatternBrush(const EmfRecord& r) {
  EMRCREATEDIBPATTERNBRUSHPT f;
  if (!Fixed(r, f) || !CanStore(f.ihBrush)) return;
  EmfDib dib;
  const DibStatus status = ReadBitmap(r, DibSourceOf(f), dib);
  if (status == DibStatus::kAbsent) Damaged();  // a pattern brush without its pattern
  if (status != DibStatus::kOk) return;
  // The device reads the table as blue, green, red only when the flag says a table is there.
  bool firstColorSet = false;
  if (dib.ColorCount() > 0) {
    if (dib.ColorEntrySize() == sizeof(RGBQUAD)) {
      const RGBQUAD c = dib.Color(0);
      firstColorSet = c.rgbBlue != 0 || c.rgbGreen != 0 || c.rgbRed != 0 || c.rgbReserved != 0;
    } else {
      firstColorSet = dib.PaletteIndex(0) != 0;
    }
  }
  const std::int32_t width = dib.Width();
  const std::int32_t height = Height32(dib);
  const TQVGenericDevice::Bytes header{dib.Info(), sizeof(BITMAPINFOHEADER)};
  const TQVGenericDevice::Bytes afterHeader{dib.AfterHeader(),
                                            dib.InfoSize() - sizeof(BITMAPINFOHEADER)};
  const std::int32_t image =
      device_.DrawDIBits(firstColorSet, 0, 0, width, height, 0.0f, 0.0f, 0.0f, 0.0f, false,
                         BitsOf(dib), header, afterHeader);
  StoreHandle(
      f.ihBrush,
      image >= 1 ? device_.CreateBrush(kBrushDibPattern, 0, static_cast<std::uint32_t>(image)) : 0);
}

}  // namespace vellora
