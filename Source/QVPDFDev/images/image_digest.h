// The digest of an image's content key: MD5 of the image data as 32 lower-case hexadecimal
// characters, by which equal images are stored once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "qvmd5rc4/md5.h"

namespace vellora {

// Incremental, so that a key can cover a descriptor and the pixels without copying them
// together.
class TQVImageMD5 {
 public:
  TQVImageMD5() { MD5Init(context_); }
  void Update(const void* data, std::size_t size) {
    MD5Update(context_, data, static_cast<std::int64_t>(size));
  }
  // The digest as its hexadecimal text; the object is spent afterwards.
  std::string HexDigest();

 private:
  TQVMD5Context context_;
};

// MD5 of one block of bytes as 32 lower-case hexadecimal characters.
std::string ImageMD5Hex(const void* data, std::size_t size);

}  // namespace vellora
