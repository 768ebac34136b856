// MD5 (RFC 1321): the content keys of images, and the primitive the security handler's keys
// are built from. Incremental: data may arrive in any number of pieces.
#pragma once

#include <cstdint>

namespace vellora {

struct TQVMD5Context {
  std::uint32_t count[2];   // bits digested so far, modulo 2^64: low half first
  std::uint32_t state[4];   // the chaining values A, B, C, D
  std::uint8_t buffer[64];  // the bytes of an unfinished block
};

// Starts a digest: count 0, A..D = 0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476.
void MD5Init(TQVMD5Context& context);

// Adds length bytes, digesting every completed 64-byte block and keeping the rest in buffer. A
// length of 0 or below does nothing.
void MD5Update(TQVMD5Context& context, const void* data, std::int64_t length);

// Pads (0x80, zeros up to 56 bytes modulo 64, the bit count as 64 bits little-endian) and
// writes the 16-byte digest: A, B, C, D, each little-endian. The context is cleared and must
// be started again before another use.
void MD5Final(TQVMD5Context& context, std::uint8_t digest[16]);

// The block function: folds one 64-byte block into A..D (the count is not changed).
void MD5Transform(TQVMD5Context& context, const std::uint8_t block[64]);

}  // namespace vellora
