// The bitmap-handle road: a bitmap read with GetDIBits becomes a 1-bit grey, raw RGB or JPEG
// image.
#include <exception>
#include <vector>

#include "QVPDFDev/filters/jpeg_encoder.h"
#include "QVPDFDev/images/image_rows.h"
#include "QVPDFDev/images/pdf_image_writer.h"
#include "QVPDFDev/resources/pdf_resource.h"

namespace vellora {
namespace {

using qvplatform::BITMAPINFOHEADER;
using qvplatform::DibStride;
using qvplatform::HBITMAP;

// Pixels read from a bitmap: rows of the given depth, bottom-up, padded to 4 bytes.
bool ReadRows(HBITMAP bitmap, qvplatform::HDC dc, std::uint32_t width, std::uint32_t height,
              qvplatform::WORD bitCount, std::vector<std::uint8_t>& rows) {
  // Sized for the padded rows GetDIBits writes: stride * rows.
  rows.assign(static_cast<std::size_t>(DibStride(width, bitCount) * height), 0);
  BITMAPINFOHEADER header;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = static_cast<qvplatform::LONG>(width);
  header.biHeight = static_cast<qvplatform::LONG>(height);
  header.biPlanes = 1;
  header.biBitCount = bitCount;
  header.biCompression = qvplatform::BI_RGB;
  const qvplatform::RGBQUAD mono[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  const int read = qvplatform::GetDIBits(dc, bitmap, 0, height, rows.data(), rows.size(), &header,
                                         bitCount == 1 ? mono : nullptr, bitCount == 1 ? 2 : 0,
                                         qvplatform::DIB_RGB_COLORS);
  return read == static_cast<int>(height);
}

}  // namespace

bool GetBitmapInfoHeader(HBITMAP bitmap, BITMAPINFOHEADER* header) {
  if (qvplatform::GetBitmapKind(bitmap) == qvplatform::BitmapKind::kNone) return false;
  qvplatform::DIBSECTION section;
  const int size = qvplatform::GetObjectA(bitmap, qvplatform::kDibSectionObjectSize, &section);
  if (size == 0) return false;
  if (size < 64 || section.dsBmih.biSize < sizeof(BITMAPINFOHEADER)) {
    *header = BITMAPINFOHEADER{};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = section.dsBm.bmWidth;
    header->biHeight = section.dsBm.bmHeight;
  } else {
    *header = section.dsBmih;
  }
  header->biBitCount =
      static_cast<qvplatform::WORD>(section.dsBm.bmBitsPixel * section.dsBm.bmPlanes);
  header->biPlanes = 1;
  if (header->biClrUsed < header->biClrImportant) header->biClrImportant = header->biClrUsed;
  if (header->biSizeImage == 0) {
    const std::int64_t h = header->biHeight;
    header->biSizeImage = static_cast<qvplatform::DWORD>(
        AlignedRowBytes(header->biWidth, header->biBitCount, 32) * (h < 0 ? -h : h));
  }
  return true;
}

std::int32_t TQVPDFImageWriter::AddBitmap(HBITMAP bitmap) {
  std::unique_ptr<TQVPDFImageStream> stream = AddBitmapEx(bitmap, kBitmapModeImage);
  if (stream == nullptr || Resources() == nullptr) {
    host_.ReportImageMessage("");
    return -1;
  }
  return ListImage(std::move(stream));
}

std::unique_ptr<TQVPDFImageStream> TQVPDFImageWriter::AddBitmapEx(HBITMAP bitmap,
                                                                  std::int32_t mode) {
  qvplatform::DIBSECTION section;
  if (qvplatform::GetBitmapKind(bitmap) == qvplatform::BitmapKind::kNone ||
      qvplatform::GetObjectA(bitmap, qvplatform::kDibSectionObjectSize, &section) == 0)
    return nullptr;
  return CreateBitmapImage(bitmap, 0, mode);
}

std::unique_ptr<TQVPDFImageStream> TQVPDFImageWriter::CreateBitmapImage(
    HBITMAP bitmap, qvplatform::HPALETTE palette, std::int32_t mode) {
  BITMAPINFOHEADER info;
  if (!GetBitmapInfoHeader(bitmap, &info) || info.biWidth <= 0 || info.biHeight == 0)
    return nullptr;
  const bool thumbnail = mode == kBitmapModeThumbnail;
  if (!thumbnail && Resources() == nullptr) return nullptr;
  const auto width = static_cast<std::uint32_t>(info.biWidth);
  const std::uint32_t height = qvplatform::DibFormat{info.biWidth, info.biHeight}.AbsHeight();
  const TQVImageOptions options = host_.ImageOptions();
  const bool monochrome = info.biBitCount == 1;
  const qvplatform::HDC dc = host_.ReferenceDC();

  std::vector<std::uint8_t> rows;
  std::unique_ptr<TQVPDFImageStream> stream;
  try {
    stream = NewStream();
    const std::string prefix = thumbnail ? "" : ImageTypeAndName(TakeImageName(*stream, false));
    if (monochrome) {
      if (!ReadRows(bitmap, dc, width, height, 1, rows)) return nullptr;
      std::string text =
          ImageDictionaryText(prefix, width, height, "/BitsPerComponent 1/ColorSpace/DeviceGray");
      if (options.modes.Has(qvAllowTransparentBit) &&
          host_.ImageOwner().WriterSettings().pdfaMode == folvioaOff &&
          (options.transparent || options.modes.Has(qvWhiteBrushIsTransparent)))
        text += "/Mask [1 1]";
      stream->SetExtraEntries(std::move(text));
      AppendMonoRows(rows.data(), static_cast<std::size_t>(DibStride(width, 1)), true, width,
                     height, false, stream->MutableData());
      stream->SetForceCompression(true);
    } else {
      // 4- and 8-bit device-dependent bitmaps read their colours through the palette given.
      qvplatform::HPALETTE previous = 0;
      if (palette != 0 && dc != 0) previous = qvplatform::SelectPalette(dc, palette, 0);
      const bool read = ReadRows(bitmap, dc, width, height, 24, rows);
      if (previous != 0) qvplatform::SelectPalette(dc, previous, 0);
      if (!read) return nullptr;
      stream->SetExtraEntries(
          ImageDictionaryText(prefix, width, height, "/BitsPerComponent 8\n/ColorSpace/DeviceRGB"));
      const std::size_t stride = static_cast<std::size_t>(DibStride(width, 24));
      bool encoded = false;
      if (options.jpegConversion && !thumbnail && (width > 8 || height > 8)) {
        TJPEGImage jpeg;
        jpeg.SetQuality(options.jpegQuality & 0xFF);
        TBgrRows source{rows.data(),
                        rows.size(),
                        stride,
                        true,
                        static_cast<int>(width),
                        static_cast<int>(height)};
        // A failed encoding leaves the data untouched: the raw road takes over.
        encoded = jpeg.EncodePixels(source, &stream->MutableData());
      }
      if (encoded) {
        stream->SetDCTFilter(false);
        stream->SetCompressed(true);
      } else {
        AppendRgbRows(rows.data(), stride, true, width, height, stream->MutableData());
        stream->SetForceCompression(true);
      }
    }
    std::vector<std::uint8_t>().swap(rows);
    stream->WriteStream();
    return stream;
  } catch (const std::bad_alloc&) {
    host_.ReportImageMessage(monochrome ? "MONOCHROME: Cannot allocate Memory"
                                        : "RGB: Cannot allocate Memory");
    return nullptr;
  }
}

}  // namespace vellora
