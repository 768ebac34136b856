#include "QVPDFDev/security/standard_keys.h"

#include <cstring>

#include "qvmd5rc4/md5.h"
#include "qvmd5rc4/rc4.h"

namespace vellora {
namespace {

constexpr TQVPasswordBlock kPadding = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
    0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

// Revision 3 hashes its digest 50 more times.
constexpr int kExtraDigests = 50;
// Revision 3 encrypts 19 more times, with the key's bytes XORed with the pass number.
constexpr int kExtraPasses = 19;

void Digest(const void* data, std::size_t size, std::uint8_t (&digest)[16]) {
  TQVMD5Context context;
  MD5Init(context);
  MD5Update(context, data, static_cast<std::int64_t>(size));
  MD5Final(context, digest);
}

void Rehash(std::uint8_t (&digest)[16]) {
  for (int n = 0; n < kExtraDigests; ++n) Digest(digest, sizeof digest, digest);
}

void Crypt(const std::uint8_t* key, std::size_t keyLength, std::uint8_t* data, std::size_t size) {
  TQVRC4State state;
  RC4Init(state, key, keyLength);
  RC4Crypt(state, data, data, size);
}

// The 19 further passes of revision 3 over data, under key XOR 1 .. key XOR 19.
void ExtraPasses(const std::uint8_t* key, std::size_t keyLength, std::uint8_t* data,
                 std::size_t size) {
  std::uint8_t passKey[16];
  for (int pass = 1; pass <= kExtraPasses; ++pass) {
    for (std::size_t n = 0; n < keyLength; ++n)
      passKey[n] = static_cast<std::uint8_t>(key[n] ^ pass);
    Crypt(passKey, keyLength, data, size);
  }
}

}  // namespace

const TQVPasswordBlock& PasswordPadding() { return kPadding; }

TQVPasswordBlock PadPassword(std::string_view password) {
  const std::size_t end = password.find('\0');
  if (end != std::string_view::npos) password = password.substr(0, end);
  if (password.size() > 32) password = password.substr(0, 32);
  TQVPasswordBlock block;
  std::memcpy(block.data(), password.data(), password.size());
  std::memcpy(block.data() + password.size(), kPadding.data(), 32 - password.size());
  return block;
}

TQVStandardKeys ComputeStandardKeys(const TQVPasswordBlock& ownerSource,
                                    const TQVPasswordBlock& paddedUser, std::int32_t permissions,
                                    const TQVFileIdentifier& fileId, bool uses128Bit) {
  TQVStandardKeys keys;
  const std::size_t n = uses128Bit ? 16 : 5;
  keys.keyLength = n;

  // /O: the user password encrypted under a key from the owner password.
  std::uint8_t digest[16];
  Digest(ownerSource.data(), ownerSource.size(), digest);
  if (uses128Bit) Rehash(digest);
  keys.ownerValue = paddedUser;
  Crypt(digest, n, keys.ownerValue.data(), keys.ownerValue.size());
  if (uses128Bit) ExtraPasses(digest, n, keys.ownerValue.data(), keys.ownerValue.size());

  // The document key.
  TQVMD5Context context;
  MD5Init(context);
  MD5Update(context, paddedUser.data(), 32);
  MD5Update(context, keys.ownerValue.data(), 32);
  const auto p = static_cast<std::uint32_t>(permissions);
  const std::uint8_t pBytes[4] = {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                                  static_cast<std::uint8_t>(p >> 16),
                                  static_cast<std::uint8_t>(p >> 24)};
  MD5Update(context, pBytes, 4);
  MD5Update(context, fileId.data(), static_cast<std::int64_t>(fileId.size()));
  MD5Final(context, digest);
  if (uses128Bit) Rehash(digest);
  std::memcpy(keys.documentKey.data(), digest, n);

  // /U: what a reader decrypts with the key it derived from a password, to check it.
  if (!uses128Bit) {
    keys.userValue = kPadding;
    Crypt(keys.documentKey.data(), n, keys.userValue.data(), keys.userValue.size());
  } else {
    MD5Init(context);
    MD5Update(context, kPadding.data(), 32);
    MD5Update(context, fileId.data(), static_cast<std::int64_t>(fileId.size()));
    MD5Final(context, digest);
    Crypt(keys.documentKey.data(), n, digest, sizeof digest);
    ExtraPasses(keys.documentKey.data(), n, digest, sizeof digest);
    std::memcpy(keys.userValue.data(), digest, 16);
    std::memcpy(keys.userValue.data() + 16, kPadding.data(), 16);
  }
  return keys;
}

std::size_t ObjectKey(const TQVStandardKeys& keys, std::int32_t objectNumber,
                      std::uint8_t (&key)[16]) {
  const std::size_t n = keys.keyLength;
  std::uint8_t input[16 + 5];
  std::memcpy(input, keys.documentKey.data(), n);
  const auto number = static_cast<std::uint32_t>(objectNumber);
  input[n] = static_cast<std::uint8_t>(number);
  input[n + 1] = static_cast<std::uint8_t>(number >> 8);
  input[n + 2] = static_cast<std::uint8_t>(number >> 16);
  input[n + 3] = 0;  // generation 0
  input[n + 4] = 0;
  std::uint8_t digest[16];
  Digest(input, n + 5, digest);
  const std::size_t length = n + 5 < 16 ? n + 5 : 16;
  std::memcpy(key, digest, length);
  return length;
}

}  // namespace vellora
