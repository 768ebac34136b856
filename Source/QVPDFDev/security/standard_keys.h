// The key derivation of the standard security handler, revision 2 (40-bit keys) and revision 3
// (128-bit keys): password padding, the owner value /O, the document key, the user value /U
// and the key of one object.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "QVPDFDev/file/file_identifier.h"

namespace vellora {

using TQVPasswordBlock = std::array<std::uint8_t, 32>;

// The password's bytes up to the first NUL, at most 32, filled up to 32 with the standard
// padding string.
TQVPasswordBlock PadPassword(std::string_view password);
// The padding string itself (the padding of an empty password).
const TQVPasswordBlock& PasswordPadding();

struct TQVStandardKeys {
  TQVPasswordBlock ownerValue{};  // /O
  TQVPasswordBlock userValue{};   // /U
  std::array<std::uint8_t, 16> documentKey{};
  std::size_t keyLength = 0;  // 5 or 16
};

// /O from ownerSource (the padded owner password, or whatever stands for it) and the padded
// user password, then the document key and /U from /O, the permission value and the file
// identifier.
TQVStandardKeys ComputeStandardKeys(const TQVPasswordBlock& ownerSource,
                                    const TQVPasswordBlock& paddedUser, std::int32_t permissions,
                                    const TQVFileIdentifier& fileId, bool uses128Bit);

// The key of object number (generation 0) into key; returns its length, min(keyLength + 5,
// 16). The hash input has a buffer of its own: keyLength + 5 bytes, 21 at 128 bits.
std::size_t ObjectKey(const TQVStandardKeys& keys, std::int32_t objectNumber,
                      std::uint8_t (&key)[16]);

}  // namespace vellora
