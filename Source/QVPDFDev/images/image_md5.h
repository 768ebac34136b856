// MD5 of image data, the content key by which equal images are stored once. Incremental, so
// a key can cover a descriptor and the pixels without copying them together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vellora {

class TQVImageMD5 {
 public:
  TQVImageMD5();
  void Update(const void* data, std::size_t size);
  // The digest as 32 lower-case hexadecimal characters; the object is spent afterwards.
  std::string HexDigest();

 private:
  void Block(const std::uint8_t* block);

  std::uint32_t state_[4];
  std::uint64_t length_ = 0;  // bytes seen
  std::uint8_t buffer_[64];
  std::size_t buffered_ = 0;
};

// MD5 of one block of bytes as 32 lower-case hexadecimal characters.
std::string ImageMD5Hex(const void* data, std::size_t size);

}  // namespace vellora
