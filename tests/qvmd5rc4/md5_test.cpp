// MD5 against the test suite of RFC 1321, fed whole and in pieces, with the padding and the
// bit count at their boundaries.
#include "qvmd5rc4/md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace vellora {
namespace {

std::string Hex(const std::uint8_t (&digest)[16]) {
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : digest) {
    text += kHex[byte >> 4];
    text += kHex[byte & 15];
  }
  return text;
}

// The digest of text fed in pieces of `piece` bytes (0: all at once).
std::string Digest(const std::string& text, std::size_t piece = 0) {
  TQVMD5Context context;
  MD5Init(context);
  if (piece == 0) piece = text.size() + 1;
  for (std::size_t at = 0; at < text.size(); at += piece)
    MD5Update(context, text.data() + at,
              static_cast<std::int64_t>(std::min(piece, text.size() - at)));
  std::uint8_t digest[16];
  MD5Final(context, digest);
  return Hex(digest);
}

TEST(MD5, TheTestSuiteOfRFC1321) {
  const struct {
    std::string text;
    const char* digest;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Digest(c.text), c.digest) << '"' << c.text << '"';
    EXPECT_EQ(Digest(c.text, 1), c.digest) << '"' << c.text << "\" byte by byte";
    EXPECT_EQ(Digest(c.text, 7), c.digest) << '"' << c.text << "\" in pieces of 7";
  }
}

// Lengths around the block (64) and the padding limit (56): the padding takes a block of its
// own from 56 bytes on; pieces that end inside, at and after a block give the same digest.
TEST(MD5, PaddingAndBufferingAtTheBlockBoundaries) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += static_cast<char>(i * 7 + 3);
  for (std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 300u}) {
    const std::string part = text.substr(0, length);
    const std::string whole = Digest(part);
    for (std::size_t piece : {1u, 55u, 56u, 63u, 64u, 65u, 127u})
      EXPECT_EQ(Digest(part, piece), whole) << length << " in pieces of " << piece;
  }
  // The digests of 56 and 64 of these bytes, as Python's hashlib gives them.
  EXPECT_EQ(Digest(text.substr(0, 56)), "46c9907fc908ee68b1e7b8e71286a518");
  EXPECT_EQ(Digest(text.substr(0, 64)), "7160b8fb5e9e4023d549c3971fbaeead");
}

TEST(MD5, ALengthOfZeroOrBelowDoesNothing) {
  TQVMD5Context context;
  MD5Init(context);
  MD5Update(context, "abc", 3);
  TQVMD5Context before;
  std::memcpy(&before, &context, sizeof context);
  MD5Update(context, "xyz", 0);
  MD5Update(context, "xyz", -5);
  MD5Update(context, nullptr, -1);
  EXPECT_EQ(std::memcmp(&before, &context, sizeof context), 0);
  std::uint8_t digest[16];
  MD5Final(context, digest);
  EXPECT_EQ(Hex(digest), "900150983cd24fb0d6963f7d28e17f72");
}

// The count is kept in bits as two halves, low first: a carry moves into the high half, and
// the padding writes both, little-endian.
TEST(MD5, TheBitCountCarriesIntoItsHighHalf) {
  TQVMD5Context context;
  MD5Init(context);
  EXPECT_EQ(context.state[0], 0x67452301u);
  EXPECT_EQ(context.state[3], 0x10325476u);
  context.count[0] = 0xFFFFFFF8u;  // 2^32 - 8 bits seen, as after 512 MiB less one byte
  MD5Update(context, "ab", 2);
  EXPECT_EQ(context.count[0], 8u);
  EXPECT_EQ(context.count[1], 1u);
}

// MD5Transform is the bare block function: one padded block of "abc" folded into the initial
// values gives the digest of "abc".
TEST(MD5, TransformOfOnePaddedBlock) {
  std::uint8_t block[64] = {'a', 'b', 'c', 0x80};
  block[56] = 24;  // the bit count
  TQVMD5Context context;
  MD5Init(context);
  MD5Transform(context, block);
  EXPECT_EQ(context.count[0], 0u);  // the block function leaves the count alone
  std::uint8_t digest[16];
  for (int i = 0; i < 4; ++i)
    for (int b = 0; b < 4; ++b)
      digest[4 * i + b] = static_cast<std::uint8_t>(context.state[i] >> (8 * b));
  EXPECT_EQ(Hex(digest), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace vellora
