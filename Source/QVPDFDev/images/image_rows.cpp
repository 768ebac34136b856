#include "QVPDFDev/images/image_rows.h"

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

std::string ImageTypeAndName(std::string_view name) {
  if (name.empty()) return {};
  std::string text = "/Type/XObject/Subtype/Image\n/Name";
  AppendNameEntry(text, name);
  text += '\n';
  return text;
}

std::string ImageDictionaryText(std::string_view prefix, std::int64_t width, std::int64_t height,
                                std::string_view samples) {
  std::string text = "\n";
  text += prefix;
  text += "/Width " + std::to_string(width) + "\n/Height " + std::to_string(height) + "\n";
  text += samples;
  text += '\n';
  return text;
}

std::string ColorKeyMask(std::uint32_t rgb) {
  const std::string r = std::to_string(rgb & 0xFF);
  const std::string g = std::to_string((rgb >> 8) & 0xFF);
  const std::string b = std::to_string((rgb >> 16) & 0xFF);
  return "/Mask [" + r + ' ' + r + ' ' + g + ' ' + g + ' ' + b + ' ' + b + ']';
}

void AppendRgbRows(const std::uint8_t* rows, std::size_t stride, bool bottomUp, std::uint32_t width,
                   std::uint32_t height, std::vector<std::uint8_t>& out) {
  const std::size_t rowBytes = std::size_t{width} * 3;
  std::size_t at = out.size();
  out.resize(at + rowBytes * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* p = rows + stride * (bottomUp ? height - 1 - y : y);
    std::uint8_t* q = out.data() + at;
    for (std::uint32_t x = 0; x < width; ++x, p += 3, q += 3) {
      q[0] = p[2];
      q[1] = p[1];
      q[2] = p[0];
    }
    at += rowBytes;
  }
}

void AppendMonoRows(const std::uint8_t* rows, std::size_t stride, bool bottomUp,
                    std::uint32_t width, std::uint32_t height, bool invert,
                    std::vector<std::uint8_t>& out) {
  const std::size_t rowBytes = (std::size_t{width} + 7) / 8;
  std::size_t at = out.size();
  out.resize(at + rowBytes * height);
  const std::uint8_t flip = invert ? 0xFF : 0x00;
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* p = rows + stride * (bottomUp ? height - 1 - y : y);
    for (std::size_t i = 0; i < rowBytes; ++i) out[at + i] = p[i] ^ flip;
    at += rowBytes;
  }
}

}  // namespace vellora
