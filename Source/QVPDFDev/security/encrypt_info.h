// TFolvioEncryptInfo: the encryption dictionary of the standard security handler (RC4 with a
// 40-bit key, revision 2, or a 128-bit key, revision 3) and the cipher of every string and
// stream of the document. The device makes it when a document that asks for encryption
// begins, writes it right after the header's comment lines and sets it on the file writer
// until the document ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "QVPDFDev/file/file_identifier.h"
#include "QVPDFDev/file/pdf_file_writer.h"
#include "QVPDFDev/objects/pdf_object.h"
#include "QVPDFDev/security/security_options.h"
#include "QVPDFDev/security/standard_keys.h"

namespace vellora {

// Raised when /O needs random bytes and the system gives none: the document does not begin.
inline constexpr const char* kNoRandomBytes =
    "Cannot encrypt the document: the system gives no random bytes";

class TFolvioEncryptInfo final : public TQVCustomPDFType, public TQVPDFObjectCipher {
 public:
  // Copies the settings; marks itself do-not-encrypt. When neither password is given the
  // owner value is built from 32 bytes of options.randomSource (raises kNoRandomBytes when
  // it fails).
  TFolvioEncryptInfo(TQVPDFObjectOwner* owner, const TQVPDFSecurityOptions& options);
  ~TFolvioEncryptInfo() override;

  std::string_view ClassName() const override { return "TFolvioEncryptInfo"; }

  // Computes /O, the document key and /U for the document's identifier; before it is written.
  void SetFileIdentifier(const TQVFileIdentifier& fileId);

  // "/Filter/Standard", "/R 2 /V 1" or "/R 3 /V 2 /Length 128", /O and /U as hex strings and
  // /P, one entry a line.
  std::string AsString() override;

  std::int32_t PermissionValue() const { return permissions_; }
  bool Uses128Bit() const { return uses128Bit_; }
  // 5 or 16 bytes, once SetFileIdentifier ran.
  std::span<const std::uint8_t> DocumentKey() const {
    return {keys_.documentKey.data(), keys_.keyLength};
  }
  const TQVStandardKeys& Keys() const { return keys_; }

  // Encrypts in place under the object's key, from the start of a fresh key stream.
  void EncryptObjectData(std::int32_t objectNumber, std::uint8_t* bytes,
                         std::size_t count) override;

 private:
  bool uses128Bit_;
  std::int32_t permissions_;
  TQVPasswordBlock ownerSource_;
  TQVPasswordBlock paddedUser_;
  TQVStandardKeys keys_;
  bool keysReady_ = false;
};

}  // namespace vellora
