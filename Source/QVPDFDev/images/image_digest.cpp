#include "QVPDFDev/images/image_digest.h"

namespace vellora {

std::string TQVImageMD5::HexDigest() {
  std::uint8_t digest[16];
  MD5Final(context_, digest);
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(32);
  for (const std::uint8_t byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 15];
  }
  return text;
}

std::string ImageMD5Hex(const void* data, std::size_t size) {
  TQVImageMD5 md5;
  md5.Update(data, size);
  return md5.HexDigest();
}

}  // namespace vellora
