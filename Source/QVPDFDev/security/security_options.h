// What a document asks of encryption: the permission set, the key strength, the passwords and
// the random source for an owner value without a password. The host sets them through the
// engine's properties; the security handler copies them when a document begins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "qvplatform/random_bytes.h"

namespace vellora {

// The permission set (TFolvioEncryption): member n is bit n.
constexpr std::uint16_t kEncryptFile = 1u << 0;  // qvEncryptFile: encrypt at all
constexpr std::uint16_t kEnablePrinting = 1u << 1;
constexpr std::uint16_t kEnableChanging = 1u << 2;
constexpr std::uint16_t kEnableCopying = 1u << 3;
constexpr std::uint16_t kEnableForms = 1u << 4;
constexpr std::uint16_t kLowQualityPrintOnly = 1u << 5;
constexpr std::uint16_t kEnableDocAssembly = 1u << 6;
constexpr std::uint16_t kEnableFormFieldFillIn = 1u << 7;
constexpr std::uint16_t kEnableAccessibilityOp = 1u << 8;

// Key strengths (TFolvioSecurity); every level but 128-bit means 40-bit.
constexpr std::uint8_t kSecurity40Bit = 0;
constexpr std::uint8_t kSecurity128Bit = 1;

// Fills count bytes with unpredictable values; false when it cannot.
using TQVRandomSource = bool (*)(void* out, std::size_t count);

// Encryption and the file version it asks for.
struct TQVPDFSecurityOptions {
  std::uint16_t encryptionOptions = 0;  // kEncrypt* / kEnable* bits
  std::uint8_t securityLevel = kSecurity40Bit;
  // Version 1.4 whatever else the document asks for (the extended device's version flag).
  bool version14Requested = false;
  std::string ownerPassword;  // 8-bit, as the host gave it
  std::string userPassword;
  // Where the owner value's bytes come from when neither password is given: the system's
  // source, never a generator whose output can be guessed.
  TQVRandomSource randomSource = qvplatform::FillRandomBytes;

  void SetEncryption(std::uint16_t optionBits) { encryptionOptions = optionBits; }
  void SetSecurityLevel(std::uint8_t level) { securityLevel = level; }
  void RequestVersion14() { version14Requested = true; }
  void SetOwnerPassword(std::string password) { ownerPassword = std::move(password); }
  void SetUserPassword(std::string password) { userPassword = std::move(password); }
  bool EncryptsFile() const { return (encryptionOptions & kEncryptFile) != 0; }
  bool Uses128Bit() const { return securityLevel == kSecurity128Bit; }
};

}  // namespace vellora
