#include "QVPDFDev/security/encrypt_info.h"

#include <string.h>  // explicit_bzero

#include <stdexcept>

#include "QVPDFDev/security/permission_value.h"
#include "qvmd5rc4/rc4.h"

namespace vellora {

TFolvioEncryptInfo::TFolvioEncryptInfo(TQVPDFObjectOwner* owner,
                                       const TQVPDFSecurityOptions& options)
    : TQVCustomPDFType(owner),
      uses128Bit_(options.Uses128Bit()),
      permissions_(vellora::PermissionValue(options.encryptionOptions, options.Uses128Bit())),
      paddedUser_(PadPassword(options.userPassword)) {
  SetDoNotEncrypt(true);
  if (!options.ownerPassword.empty()) {
    ownerSource_ = PadPassword(options.ownerPassword);
  } else if (!options.userPassword.empty()) {
    ownerSource_ = paddedUser_;
  } else if (options.randomSource == nullptr ||
             !options.randomSource(ownerSource_.data(), ownerSource_.size())) {
    // No fallback: bytes that can be guessed would give the owner's rights away.
    throw std::runtime_error(kNoRandomBytes);
  }
}

TFolvioEncryptInfo::~TFolvioEncryptInfo() {
  explicit_bzero(ownerSource_.data(), ownerSource_.size());
  explicit_bzero(paddedUser_.data(), paddedUser_.size());
  explicit_bzero(keys_.documentKey.data(), keys_.documentKey.size());
}

void TFolvioEncryptInfo::SetFileIdentifier(const TQVFileIdentifier& fileId) {
  keys_ = ComputeStandardKeys(ownerSource_, paddedUser_, permissions_, fileId, uses128Bit_);
  keysReady_ = true;
}

std::string TFolvioEncryptInfo::AsString() {
  if (!keysReady_) throw std::logic_error("The encryption keys are not computed");
  std::string text = "/Filter/Standard\n";
  text += uses128Bit_ ? "/R 3 /V 2 /Length 128" : "/R 2 /V 1";
  text += "\n/O";
  text += TQVPDFFileWriter::HexString(keys_.ownerValue.data(), keys_.ownerValue.size());
  text += "\n/U";
  text += TQVPDFFileWriter::HexString(keys_.userValue.data(), keys_.userValue.size());
  text += "\n/P ";
  text += std::to_string(permissions_);
  return text;
}

void TFolvioEncryptInfo::EncryptObjectData(std::int32_t objectNumber, std::uint8_t* bytes,
                                           std::size_t count) {
  if (count == 0) return;
  if (!keysReady_) throw std::logic_error("The encryption keys are not computed");
  std::uint8_t key[16];
  const std::size_t length = ObjectKey(keys_, objectNumber, key);
  TQVRC4State state;
  RC4Init(state, key, length);
  RC4Crypt(state, bytes, bytes, count);
}

}  // namespace vellora
