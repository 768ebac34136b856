// RC4 against published vectors, and the two ways of calling it that the security handler
// relies on: a key stream spread over several calls, and encryption in place.
#include "qvmd5rc4/rc4.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vellora {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Crypt(const Bytes& key, const Bytes& input) {
  TQVRC4State state;
  RC4Init(state, key.data(), key.size());
  Bytes output(input.size());
  RC4Crypt(state, input.data(), output.data(), input.size());
  return output;
}

TEST(RC4, PublishedVectors) {
  const struct {
    Bytes key, input, expected;
  } cases[] = {
      {Of("Key"), Of("Plaintext"), {0xbb, 0xf3, 0x16, 0xe8, 0xd9, 0x40, 0xaf, 0x0a, 0xd3}},
      {Of("Wiki"), Of("pedia"), {0x10, 0x21, 0xbf, 0x04, 0x20}},
      {Of("Secret"),
       Of("Attack at dawn"),
       {0x45, 0xa0, 0x1f, 0x64, 0x5f, 0xc3, 0x5b, 0x38, 0x35, 0x52, 0x54, 0x4b, 0x9b, 0xf5}},
      // RFC 6229: the key streams (zeros in) of a 40-bit and a 128-bit key.
      {{1, 2, 3, 4, 5}, Bytes(8), {0xb2, 0x39, 0x63, 0x05, 0xf0, 0x3d, 0xc0, 0x27}},
      {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
       Bytes(8),
       {0x9a, 0xc7, 0xcc, 0x9a, 0x60, 0x9d, 0x1e, 0xf7}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Crypt(c.key, c.input), c.expected)
        << std::string(c.key.begin(), c.key.end()) << " / " << c.input.size() << " bytes";
}

// The same key stream whether the data comes at once, byte by byte or in uneven pieces, and
// whether it is encrypted in place; a second pass with the same key gives the input back.
TEST(RC4, PiecesInPlaceAndRoundTrip) {
  const Bytes key = {0x13, 0x37, 0xc0, 0xde, 0x42};
  Bytes input(1000);
  for (std::size_t n = 0; n < input.size(); ++n) input[n] = static_cast<std::uint8_t>(n * 31 + 7);
  const Bytes whole = Crypt(key, input);

  for (std::size_t piece : {1u, 7u, 255u, 256u, 257u}) {
    TQVRC4State state;
    RC4Init(state, key.data(), key.size());
    Bytes inPlace = input;
    for (std::size_t at = 0; at < inPlace.size(); at += piece) {
      const std::size_t n = std::min(piece, inPlace.size() - at);
      RC4Crypt(state, inPlace.data() + at, inPlace.data() + at, n);
    }
    EXPECT_EQ(inPlace, whole) << "in place, pieces of " << piece;
  }
  EXPECT_EQ(Crypt(key, whole), input);
  EXPECT_NE(whole, input);
}

TEST(RC4, AKeyOfNoBytesLeavesTheIdentityPermutation) {
  TQVRC4State state;
  RC4Init(state, nullptr, 0);
  for (int n = 0; n < 256; ++n) EXPECT_EQ(state.permutation[n], n);
  EXPECT_EQ(state.i, 0u);
  EXPECT_EQ(state.j, 0u);
  std::uint8_t none = 0x5a;
  RC4Crypt(state, &none, &none, 0);  // no bytes: nothing moves
  EXPECT_EQ(none, 0x5a);
  EXPECT_EQ(state.i, 0u);
}

}  // namespace
}  // namespace vellora
