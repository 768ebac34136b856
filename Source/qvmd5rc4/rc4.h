// RC4: the stream cipher of the security handler. The state carries the permutation and both
// indices, so one key stream can cover data handed over in several calls.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vellora {

struct TQVRC4State {
  std::uint8_t permutation[256];
  std::uint32_t i;  // 0..255
  std::uint32_t j;  // 0..255
};

// The key schedule over key (its bytes used cyclically); i and j start at 0. A key of no bytes
// leaves the identity permutation.
void RC4Init(TQVRC4State& state, const std::uint8_t* key, std::size_t keyLength);

// XORs length bytes of input with the key stream into output; input and output may be the
// same memory (not otherwise overlapping). The state advances by length bytes.
void RC4Crypt(TQVRC4State& state, const std::uint8_t* input, std::uint8_t* output,
              std::size_t length);

}  // namespace vellora
