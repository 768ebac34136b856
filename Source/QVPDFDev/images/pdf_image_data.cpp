// AddImageData: encoded (JPEG, CCITT fax) or raw samples from memory as image XObjects.
#include <exception>

#include "QVPDFDev/filters/image_jpeg_frame.h"
#include "QVPDFDev/images/image_digest.h"
#include "QVPDFDev/images/image_rows.h"
#include "QVPDFDev/images/pdf_image_writer.h"
#include "QVPDFDev/resources/pdf_resource.h"

namespace vellora {
namespace {

const char* ColorSpaceOf(int components) {
  switch (components) {
    case 1:
      return "/BitsPerComponent 8/ColorSpace/DeviceGray";
    case 4:
      return "/BitsPerComponent 8/ColorSpace/DeviceCMYK";
    default:
      return "/BitsPerComponent 8/ColorSpace/DeviceRGB";
  }
}

int ComponentsOf(std::int32_t format) {
  switch (format) {
    case qvImageJPEGCMYK:
    case qvImageRawCMYK:
      return 4;
    case qvImageJPEGGray:
    case qvImageRawGray:
      return 1;
    default:
      return 3;
  }
}

bool IsJPEG(std::int32_t format) {
  return format == qvImageJPEGRGB || format == qvImageJPEGCMYK || format == qvImageJPEGGray;
}
bool IsRaw(std::int32_t format) { return format >= qvImageRawRGB && format <= qvImageRawGray; }
bool IsCCITT(std::int32_t format) { return format >= qvImageCCITTG4 && format <= qvImageCCITTG32D; }

}  // namespace

std::int32_t TQVPDFImageWriter::AddImageData(qvplatform::HBITMAP bitmap, const std::uint8_t* data,
                                             std::size_t length, std::int32_t format,
                                             std::int32_t width, std::int32_t height) {
  if (bitmap != 0) {
    qvplatform::DIBSECTION section;
    if (qvplatform::GetBitmapKind(bitmap) != qvplatform::BitmapKind::kNone &&
        qvplatform::GetObjectA(bitmap, qvplatform::kDibSectionObjectSize, &section) > 0) {
      width = section.dsBm.bmWidth;
      height = section.dsBm.bmHeight;
    }
  }
  if (Resources() == nullptr) return -1;
  if (data == nullptr || length == 0 || !(IsJPEG(format) || IsRaw(format) || IsCCITT(format))) {
    host_.ReportImageMessage("Unknow data format");
    return -1;
  }
  if (width <= 0 || height <= 0) return -1;
  try {
    if (IsCCITT(format)) return AddCCITT(data, length, format, width, height);

    int components = ComponentsOf(format);
    std::size_t stored = length;
    if (IsJPEG(format)) {
      // The frame header, not the caller, says what the data holds.
      TQVJPEGFrame frame;
      if (!ReadJPEGFrame(data, length, &frame)) {
        host_.ReportImageMessage("Bad JPEG data");
        return -1;
      }
      width = frame.width;
      height = frame.height;
      components = frame.components;
    } else {
      const std::uint64_t needed =
          std::uint64_t(width) * std::uint64_t(height) * std::uint64_t(components);
      if (length < needed) {
        host_.ReportImageMessage("Image data too short");
        return -1;
      }
      stored = static_cast<std::size_t>(needed);
    }

    TQVImageKey key;
    key.format = format;
    key.width = width;
    key.height = height;
    key.dataLength = static_cast<std::int64_t>(stored);
    key.digest = ImageMD5Hex(data, stored);
    if (const std::int32_t equal = FindEqual(key, true)) {
      RegisterAlias(equal);
      return equal;
    }

    std::unique_ptr<TQVPDFImageStream> stream = NewStream();
    const std::string name = TakeImageName(*stream, true);
    stream->SetExtraEntries(
        ImageDictionaryText(ImageTypeAndName(name), width, height, ColorSpaceOf(components)));
    stream->SetKey(std::move(key));
    stream->WriteBytes(data, stored);
    if (IsJPEG(format)) {
      stream->SetDCTFilter(false);
      stream->SetCompressed(true);  // encoded data is never compressed again
    } else {
      stream->SetForceCompression(true);
    }
    stream->WriteStream();
    return ListImage(std::move(stream));
  } catch (const std::bad_alloc&) {
    host_.ReportImageMessage("Cannot allocate Memory");
    return -1;
  }
}

std::int32_t TQVPDFImageWriter::AddCCITT(const std::uint8_t* data, std::size_t length,
                                         std::int32_t format, std::int32_t width,
                                         std::int32_t height) {
  const char* k = format == qvImageCCITTG4 ? "-1" : format == qvImageCCITTG31D ? "0" : "1";
  const std::string w = std::to_string(width), h = std::to_string(height);
  // The decoder's parameters belong in /DecodeParms, one entry per filter: armour puts its
  // decoder in front of the fax decoder.
  std::string parms = "<</K " + std::string(k) + "/Columns " + w + "/Rows " + h + ">>";
  const bool armoured = host_.ImageOwner().WriterSettings().armour != qvEncodeNone;
  parms = armoured ? "[null " + parms + "]" : "[" + parms + "]";

  std::unique_ptr<TQVPDFImageStream> stream = NewStream();
  const std::string name = TakeImageName(*stream, true);
  stream->SetExtraEntries(
      ImageDictionaryText(ImageTypeAndName(name), width, height,
                          "/BitsPerComponent 1/ColorSpace/DeviceGray\n/DecodeParms " + parms));
  stream->WriteBytes(data, length);
  stream->SetCCITTFilter(false);
  stream->SetCompressed(true);
  stream->WriteStream();
  return ListImage(std::move(stream));
}

}  // namespace vellora
