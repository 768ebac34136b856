#include "qvmd5rc4/rc4.h"

#include <utility>

namespace vellora {

void RC4Init(TQVRC4State& state, const std::uint8_t* key, std::size_t keyLength) {
  for (std::uint32_t n = 0; n < 256; ++n) state.permutation[n] = static_cast<std::uint8_t>(n);
  state.i = state.j = 0;
  if (keyLength == 0) return;
  std::uint32_t j = 0;
  for (std::size_t n = 0; n < 256; ++n) {
    j = (j + state.permutation[n] + key[n % keyLength]) & 0xFF;
    std::swap(state.permutation[n], state.permutation[j]);
  }
}

void RC4Crypt(TQVRC4State& state, const std::uint8_t* input, std::uint8_t* output,
              std::size_t length) {
  std::uint8_t* s = state.permutation;
  std::uint32_t i = state.i, j = state.j;
  for (std::size_t n = 0; n < length; ++n) {
    i = (i + 1) & 0xFF;
    j = (j + s[i]) & 0xFF;
    std::swap(s[i], s[j]);
    output[n] = static_cast<std::uint8_t>(input[n] ^ s[(s[i] + s[j]) & 0xFF]);
  }
  state.i = i;
  state.j = j;
}

}  // namespace vellora
