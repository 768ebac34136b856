// The bitmap-drawing road: a DIB in any format becomes a 1-bit, raw RGB or JPEG image, stored
// once however often it is drawn.
#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "QVPDFDev/filters/jpeg_encoder.h"
#include "QVPDFDev/images/image_digest.h"
#include "QVPDFDev/images/image_rows.h"
#include "QVPDFDev/images/pdf_image_writer.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "QVPdfDC/system_colors.h"
#include "qvplatform/dib_convert.h"

namespace vellora {
namespace {

using qvplatform::DibFormat;
using qvplatform::DibView;
using qvplatform::RGBQUAD;

// Format tag of the content key of this road (AddImageData uses its format numbers).
constexpr std::int32_t kDibKeyFormat = 1000;

std::uint32_t RgbOf(const RGBQUAD& q) {
  return std::uint32_t{q.rgbRed} | std::uint32_t{q.rgbGreen} << 8 | std::uint32_t{q.rgbBlue} << 16;
}

enum class MonoKind { kGray, kGrayInverted, kIndexed };

char HexDigit(unsigned v) { return "0123456789ABCDEF"[v & 15]; }

void AppendHexColor(std::string& out, std::uint32_t rgb) {
  for (int shift : {0, 8, 16}) {
    const unsigned byte = (rgb >> shift) & 0xFF;
    out += HexDigit(byte >> 4);
    out += HexDigit(byte);
  }
}

// Only the rows the data holds are taken; the rest of the picture is left out. view's height
// becomes the rows taken (RLE bitmaps keep theirs); digested is the length of their data.
std::uint32_t TakeHeldRows(DibView& view, std::size_t& digested) {
  const DibFormat format = view.format;
  const std::uint32_t fullRows = format.AbsHeight();
  digested = view.bitsSize;
  if (format.Rle()) return fullRows;
  const std::uint32_t width = static_cast<std::uint32_t>(format.width);
  const std::uint64_t stride = qvplatform::DibStride(width, format.bitCount);
  const auto rows =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(fullRows, view.bitsSize / stride));
  view.format.height =
      format.TopDown() ? -static_cast<qvplatform::LONG>(rows) : static_cast<qvplatform::LONG>(rows);
  digested = static_cast<std::size_t>(stride * rows);
  return rows;
}

// The dictionary text of the samples and of the mask, and how a 1-bit image is stored.
struct DibSamples {
  std::string samples, mask;
  MonoKind monoKind = MonoKind::kGray;
};

DibSamples DescribeSamples(const DibView& view, bool mono, const TQVImageOptions& options,
                           std::uint32_t keyColor) {
  DibSamples out;
  if (!mono) {
    out.samples = "/BitsPerComponent 8\n/ColorSpace/DeviceRGB";
    if (options.transparent) out.mask = ColorKeyMask(keyColor);
    return out;
  }
  const std::uint32_t c0 = view.colorCount > 0 ? RgbOf(view.colors[0]) : 0x000000;
  const std::uint32_t c1 = view.colorCount > 1 ? RgbOf(view.colors[1]) : 0xFFFFFF;
  const bool maskWhite =
      (options.modes.Has(qvAllowTransparentBit) && options.modes.Has(qvWhiteBrushIsTransparent)) ||
      (options.transparent && keyColor == 0xFFFFFF);
  if (c0 == 0x000000 && c1 == 0xFFFFFF) {
    out.monoKind = MonoKind::kGray;
  } else if (c0 == 0xFFFFFF && c1 == 0x000000) {
    out.monoKind = MonoKind::kGrayInverted;
  } else {
    out.monoKind = MonoKind::kIndexed;
  }
  if (out.monoKind == MonoKind::kIndexed) {
    out.samples = "/BitsPerComponent 1/ColorSpace [/Indexed/DeviceRGB 1 <";
    AppendHexColor(out.samples, c0);
    AppendHexColor(out.samples, c1);
    out.samples += ">]";
    if (maskWhite && (c0 == 0xFFFFFF || c1 == 0xFFFFFF))
      out.mask = c0 == 0xFFFFFF ? "/Mask [0 0]" : "/Mask [1 1]";
  } else {
    out.samples = "/BitsPerComponent 1/ColorSpace/DeviceGray";
    if (maskWhite) out.mask = "/Mask [1 1]";  // after inversion 1 is white
  }
  return out;
}

// The content key: what shapes the image besides the pixels (depth, layout, colour table and
// mask), then the pixels.
TQVImageKey DibKey(const DibView& view, bool mono, std::size_t digested, const DibSamples& text) {
  const DibFormat& format = view.format;
  const std::string& samples = text.samples;
  const std::string& mask = text.mask;
  TQVImageKey key;
  key.format = kDibKeyFormat + (mono ? 1 : 0);
  key.width = format.width;
  key.height = view.format.height;
  key.dataLength = static_cast<std::int64_t>(digested);
  {
    TQVImageMD5 md5;
    const std::uint32_t layout[6] = {format.bitCount, format.compression, format.masks[0],
                                     format.masks[1], format.masks[2],    view.colorCount};
    md5.Update(layout, sizeof layout);
    md5.Update(samples.data(), samples.size());
    md5.Update(mask.data(), mask.size());
    md5.Update("|", 1);
    if (view.colorCount > 0 && format.bitCount <= 8)
      md5.Update(view.colors, sizeof(RGBQUAD) * std::min(view.colorCount, format.MaxColors()));
    md5.Update(view.bits, digested);
    key.digest = md5.HexDigest();
  }
  return key;
}

void FillRowFromReader(const void* reader, int y, std::uint8_t* bgr) {
  static_cast<const qvplatform::DibRowReader*>(reader)->Row(static_cast<std::uint32_t>(y), bgr);
}

// The rows a reader gives, top first, as R,G,B rows appended to out: each row is decoded in
// its place in out and its bytes turned there.
void AppendReaderRows(const qvplatform::DibRowReader& reader, std::vector<std::uint8_t>& out) {
  const std::size_t rowBytes = std::size_t{reader.Width()} * 3;
  std::size_t at = out.size();
  out.resize(at + rowBytes * reader.Height());
  for (std::uint32_t y = 0; y < reader.Height(); ++y, at += rowBytes) {
    std::uint8_t* row = out.data() + at;
    reader.Row(y, row);
    for (std::size_t x = 0; x < rowBytes; x += 3) std::swap(row[x], row[x + 2]);
  }
}

// The pixels as B,G,R rows into the stream: JPEG where the options allow it and the encoder
// succeeds, else raw rows. Plain 24-bit rows are read where they lie; every other format is
// decoded a row at a time into the encoder or the stream, never into a picture-sized copy.
// False for a bitmap that cannot be converted.
bool WriteRgbPixels(const DibView& view, std::uint32_t rows, std::size_t digested,
                    const TQVImageOptions& options, std::uint32_t keyColor,
                    TQVPDFImageStream& stream) {
  const DibFormat& format = view.format;
  const std::uint32_t width = static_cast<std::uint32_t>(format.width);
  std::vector<std::uint8_t>& data = stream.MutableData();
  const bool plain24 = format.bitCount == 24 && format.compression == qvplatform::BI_RGB;
  qvplatform::DibRowReader reader;
  if (!plain24 && reader.Open(view) != qvplatform::DibError::kOk) return false;
  const std::size_t stride = static_cast<std::size_t>(qvplatform::DibStride(width, 24));
  const bool keyAllowsJPEG = !options.transparent || keyColor == 0xFFFFFF || keyColor == 0x000000;
  bool encoded = false;
  if (options.jpegConversion && keyAllowsJPEG) {
    TJPEGImage jpeg;
    jpeg.SetQuality(std::min(options.jpegQuality, 90));
    TBgrRows source{view.bits,
                    digested,
                    stride,
                    !format.TopDown(),
                    static_cast<int>(width),
                    static_cast<int>(rows)};
    if (!plain24) {
      source.fill = FillRowFromReader;
      source.fillContext = &reader;
    }
    encoded = jpeg.EncodePixels(source, &data);  // on failure: raw, below
  }
  if (encoded) {
    stream.SetDCTFilter(false);
    stream.SetCompressed(true);
  } else {
    if (plain24)
      AppendRgbRows(view.bits, stride, !format.TopDown(), width, rows, data);
    else
      AppendReaderRows(reader, data);
    stream.SetForceCompression(true);
  }
  return true;
}

// The pixels into the stream: 1-bit rows for a mono image (monoKind given), else B,G,R rows.
bool WritePixels(const DibView& view, std::uint32_t rows, std::size_t digested,
                 const MonoKind* monoKind, const TQVImageOptions& options, std::uint32_t keyColor,
                 TQVPDFImageStream& stream) {
  if (monoKind == nullptr) return WriteRgbPixels(view, rows, digested, options, keyColor, stream);
  const auto width = static_cast<std::uint32_t>(view.format.width);
  AppendMonoRows(view.bits, static_cast<std::size_t>(qvplatform::DibStride(width, 1)),
                 !view.format.TopDown(), width, rows, *monoKind == MonoKind::kGrayInverted,
                 stream.MutableData());
  stream.SetForceCompression(true);
  return true;
}

}  // namespace

TQVDIBImage TQVPDFImageWriter::CreateDIBImage(const qvplatform::BITMAPINFOHEADER& header,
                                              const qvplatform::DWORD* masks, const RGBQUAD* colors,
                                              qvplatform::DWORD colorCount,
                                              const std::uint8_t* bits, std::size_t bitsSize,
                                              bool oneBitDirect) {
  DibView view;
  view.format = qvplatform::DibFormatOf(header, masks);
  view.colors = colors;
  view.colorCount = colors == nullptr ? 0 : colorCount;
  view.bits = bits;
  view.bitsSize = bits == nullptr ? 0 : bitsSize;
  if (header.biSizeImage != 0)
    view.bitsSize = std::min<std::size_t>(view.bitsSize, header.biSizeImage);
  return CreateDIBImage(view, oneBitDirect);
}

TQVDIBImage TQVPDFImageWriter::CreateDIBImage(const DibView& dib, bool oneBitDirect) {
  TQVDIBImage result;
  if (Resources() == nullptr) return result;
  const qvplatform::DibError status =
      qvplatform::CheckDibBudget(dib.format, dib.bits == nullptr ? 0 : dib.bitsSize);
  if (status != qvplatform::DibError::kOk) {
    host_.ReportImageMessage(status == qvplatform::DibError::kTooLarge
                                 ? "Bitmap larger than its data or the image budget"
                                 : "Unsupported bitmap format");
    return result;
  }
  DibView view = dib;
  if (view.bits == nullptr) view.bitsSize = 0;
  std::size_t digested = 0;
  const std::uint32_t rows = TakeHeldRows(view, digested);
  if (rows == 0 || digested == 0) {
    host_.ReportImageMessage("No bitmap data");
    return result;
  }
  const DibFormat& format = dib.format;
  const std::uint32_t width = static_cast<std::uint32_t>(format.width);
  const bool topDown = format.TopDown();
  result.rows = static_cast<std::int32_t>(rows);
  result.droppedRows =
      static_cast<std::int32_t>(rows) - static_cast<std::int32_t>(format.AbsHeight());
  result.droppedAtTop = result.droppedRows < 0 && !topDown;

  const TQVImageOptions options = host_.ImageOptions();
  const std::uint32_t keyColor = ColorToRGB(options.transparentColor);
  const bool mono = oneBitDirect && format.bitCount == 1;
  const DibSamples text = DescribeSamples(view, mono, options, keyColor);
  TQVImageKey key = DibKey(view, mono, digested, text);
  if (const std::int32_t equal = FindEqual(key, false)) {
    auto* image = static_cast<TQVPDFImageStream*>(
        Resources()->XObjects().At(static_cast<std::size_t>(equal - 1)));
    result.number = equal;
    result.stream = image;
    result.reused = true;
    return result;
  }

  try {
    std::unique_ptr<TQVPDFImageStream> stream = NewStream();
    const std::string prefix = ImageTypeAndName(TakeImageName(*stream, false));
    if (!WritePixels(view, rows, digested, mono ? &text.monoKind : nullptr, options, keyColor,
                     *stream)) {
      host_.ReportImageMessage("Unsupported bitmap format");
      return TQVDIBImage{};
    }
    stream->SetExtraEntries(ImageDictionaryText(prefix, width, rows, text.samples) + text.mask);
    stream->SetKey(std::move(key));
    stream->SetRows(result.rows, result.droppedRows);
    stream->WriteStream();
    result.stream = stream.get();
    result.number = ListImage(std::move(stream));
    return result;
  } catch (const std::bad_alloc&) {
    host_.ReportImageMessage("RGB: Cannot allocate Memory");
    return TQVDIBImage{};
  }
}

}  // namespace vellora
