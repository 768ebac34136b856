// A bitmap a host hands over as two pointers without lengths (the image command): the header
// says how long its masks, colour table and pixels are, and nothing beyond that is read.
#include <cstring>

#include "QVPDFDev/device/pdf_device.h"
#include "qvplatform/dib_convert.h"
#include "qvplatform/emf_dib.h"

namespace vellora {
namespace {

using qvplatform::BITMAPINFOHEADER;
using qvplatform::DWORD;

// The largest header version (BITMAPV5HEADER).
constexpr DWORD kLargestHeader = 124;
constexpr std::int32_t kMaxSide = 10000;

DWORD Le32(const std::uint8_t* p) {
  return DWORD{p[0]} | DWORD{p[1]} << 8 | DWORD{p[2]} << 16 | DWORD{p[3]} << 24;
}

enum class HostDib { kReady, kNothing, kOverBudget };

// The bytes of the header with its masks and colour table, and of the pixels; kNothing for a
// header that describes nothing that can be drawn, kOverBudget for one that claims more pixels
// than the image budget allows.
HostDib HostDibSizes(const std::uint8_t* info, std::size_t& infoSize, std::size_t& bitsSize) {
  const DWORD headerSize = Le32(info);
  BITMAPINFOHEADER h;
  std::size_t entrySize = sizeof(qvplatform::RGBQUAD);
  if (headerSize == qvplatform::kBitmapCoreHeaderSize) {
    qvplatform::BITMAPCOREHEADER core;
    std::memcpy(&core, info, sizeof core);
    h.biWidth = core.bcWidth;
    h.biHeight = core.bcHeight;
    h.biBitCount = core.bcBitCount;
    h.biCompression = qvplatform::BI_RGB;
    entrySize = sizeof(qvplatform::RGBTRIPLE);
  } else if (headerSize >= qvplatform::kBitmapInfoHeaderSize && headerSize <= kLargestHeader) {
    std::memcpy(&h, info, sizeof h);
  } else {
    return HostDib::kNothing;
  }
  if (h.biWidth < 1 || h.biHeight == 0) return HostDib::kNothing;
  if (h.biWidth > kMaxSide || h.biHeight < -kMaxSide || h.biHeight > kMaxSide)
    return HostDib::kOverBudget;

  std::size_t size = headerSize;
  if (h.biCompression == qvplatform::BI_BITFIELDS &&
      headerSize == qvplatform::kBitmapInfoHeaderSize)
    size += qvplatform::kBitfieldsMasksSize;
  if (h.biBitCount >= 1 && h.biBitCount <= 8) {
    const DWORD full = DWORD{1} << h.biBitCount;
    const DWORD used =
        entrySize != sizeof(qvplatform::RGBQUAD) || h.biClrUsed == 0 || h.biClrUsed > full
            ? full
            : h.biClrUsed;
    size += used * entrySize;
  }

  qvplatform::DibFormat format;
  format.width = h.biWidth;
  format.height = h.biHeight;
  format.bitCount = h.biBitCount;
  format.compression = h.biCompression;
  if (qvplatform::CheckDibFormat(format) != qvplatform::DibError::kOk) return HostDib::kNothing;
  if (format.Rle()) {
    // Compressed pixels are as long as the header says, and nothing says it otherwise.
    if (h.biSizeImage == 0) return HostDib::kNothing;
    bitsSize = h.biSizeImage;
  } else {
    bitsSize = static_cast<std::size_t>(qvplatform::DibImageSize(format));
  }
  // Checked before the host's pixels are looked at: the sizes above are only its claim.
  if (qvplatform::CheckDibBudget(format, bitsSize) != qvplatform::DibError::kOk)
    return HostDib::kOverBudget;
  infoSize = size;
  return HostDib::kReady;
}

}  // namespace

std::int32_t TQVPDFDevice::DrawHostDIB(const void* info, const void* bits, float x, float y,
                                       float width, float height) {
  if (info == nullptr || bits == nullptr) return 0;
  const auto* infoBytes = static_cast<const std::uint8_t*>(info);
  std::size_t infoSize = 0, bitsSize = 0;
  const HostDib sizes = HostDibSizes(infoBytes, infoSize, bitsSize);
  if (sizes == HostDib::kOverBudget) ReportMessage(2, "bitmap larger than the image budget");
  if (sizes != HostDib::kReady) return 0;
  qvplatform::EmfDib dib;
  if (qvplatform::ReadDibBytes(infoBytes, infoSize, static_cast<const std::uint8_t*>(bits),
                               bitsSize, qvplatform::DIB_RGB_COLORS,
                               dib) != qvplatform::DibStatus::kOk)
    return 0;
  const Bytes header(dib.Info(), qvplatform::kBitmapInfoHeaderSize);
  const Bytes colors(dib.AfterHeader(), dib.InfoSize() - qvplatform::kBitmapInfoHeaderSize);
  return DrawDIBits(dib.ColorCount() > 0, 0, 0, 0, 0, x, y, width, height, false,
                    Bytes(dib.Bits(), dib.BitsSize()), header, colors);
}

}  // namespace vellora
