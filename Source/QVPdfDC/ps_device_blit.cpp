// Raster operations: BitBlt as filled rectangles, StretchDIBits handed to DrawDIBits.
#include "QVPdfDC/ps_device.h"
#include "qvplatform/emf_dib.h"

namespace vellora {

namespace {

constexpr std::uint32_t kBlackness = 0x00000042;
constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr std::uint32_t kWhiteness = 0x00FF0062;
constexpr std::uint32_t kPatCopy = 0x00F00021;
constexpr std::uint32_t kSrcAnd = 0x008800C6;
constexpr std::uint32_t kMergePaint = 0x00BB0226;
constexpr std::uint32_t kSrcPaint = 0x00EE0086;
constexpr std::uint32_t kBlitColorUsage = 777;  // a bitmap taken from a blit record

// Sets the device's transparent-blit flag for a scope and restores it, also on an exception.
class TransparentScope {
 public:
  TransparentScope(bool& flag, bool set) : flag_(flag), saved_(flag) {
    if (set) flag_ = true;
  }
  ~TransparentScope() { flag_ = saved_; }
  TransparentScope(const TransparentScope&) = delete;
  TransparentScope& operator=(const TransparentScope&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

}  // namespace

void TQVGenericPSDevice::BitBlt(std::int32_t x, std::int32_t y, std::int32_t width,
                                std::int32_t height, std::uint32_t rop) {
  PrepareDraw();
  const bool patCopy = rop == kPatCopy && !modes.Has(qvNoBITBLTFillRect);
  const COLORREF brush = CurrentDCState().brushColor;
  if (!dcStack.tenths) {
    if (rop == kBlackness || rop == kSrcCopy)
      FillSolidRect(x, y, width, height, 0);
    else if (rop == kWhiteness)
      FillSolidRect(x, y, width, height, 0xFFFFFF);
    else if (patCopy)
      FillSolidRect(x, y, width, height, brush);
    return;
  }
  const float fx = static_cast<float>(x) / 10.0f, fy = static_cast<float>(y) / 10.0f,
              fw = static_cast<float>(width) / 10.0f, fh = static_cast<float>(height) / 10.0f;
  if (rop == kBlackness)
    FillSolidRectF(0, fx, fy, fw, fh);
  else if (rop == kWhiteness)
    FillSolidRectF(0xFFFFFF, fx, fy, fw, fh);
  else if (patCopy)
    FillSolidRectF(brush, fx, fy, fw, fh);
}

std::int32_t TQVGenericPSDevice::StretchDIBits(std::int32_t dstX, std::int32_t dstY,
                                               std::uint32_t rop, std::uint32_t colorUsage,
                                               Bytes bitmapInfo, Bytes bits, std::int32_t srcX,
                                               std::int32_t srcY, std::int32_t srcWidth,
                                               std::int32_t srcHeight, std::int32_t dstWidth,
                                               std::int32_t dstHeight) {
  PrepareDraw();
  const float y = dcStack.yFlip ? -static_cast<float>(dstY) : static_cast<float>(dstY);
  const TransparentScope transparent(transparentBlit,
                                     rop == kSrcAnd || rop == kMergePaint || rop == kSrcPaint);
  // The header is read by its own size (a core header converted), the colour table after it
  // (after the masks for BI_BITFIELDS), and the bits must hold every row.
  qvplatform::EmfDib dib;
  const std::uint32_t usage =
      colorUsage == kBlitColorUsage ? qvplatform::DIB_RGB_COLORS : colorUsage;
  if (qvplatform::ReadDibBytes(bitmapInfo.data(), bitmapInfo.size(), bits.data(), bits.size(),
                               usage, dib) != qvplatform::DibStatus::kOk)
    return 0;
  const Bytes header(dib.Info(), qvplatform::kBitmapInfoHeaderSize);
  const Bytes colors(dib.AfterHeader(), dib.InfoSize() - qvplatform::kBitmapInfoHeaderSize);
  const bool hasColorTable =
      dib.ColorCount() > 0 && dib.ColorEntrySize() == sizeof(qvplatform::RGBQUAD);
  return DrawDIBits(hasColorTable, srcX, srcY, srcWidth, srcHeight, static_cast<float>(dstX), y,
                    static_cast<float>(dstWidth), static_cast<float>(dstHeight),
                    !modes.Has(qvDontCropBitmaps), Bytes(dib.Bits(), dib.BitsSize()), header,
                    colors);
}

}  // namespace vellora
