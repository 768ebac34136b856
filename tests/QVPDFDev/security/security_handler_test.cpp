// The security handler on its own: the permission value of every option set, the dictionary
// it writes for each key strength, the owner value's random bytes and what happens without
// them, and the password padding. Whether readers accept its keys is shown on whole
// documents (tests/QVPDFDev/device/pdf_device_encryption_test.cpp).
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "QVPDFDev/security/encrypt_info.h"
#include "QVPDFDev/security/permission_value.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

using vellora_test::TestOwner;

constexpr TQVFileIdentifier kId = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

TEST(SecurityHandler, PermissionValueByOptionSet) {
  const struct {
    std::uint16_t options;
    bool uses128Bit;
    std::int32_t p;
  } cases[] = {
      {0, false, -3904},
      {kEnablePrinting | kEnableCopying, false, -3884},
      {kEnablePrinting | kEnableChanging | kEnableCopying | kEnableForms, false, -3844},
      // Fill-in, accessibility and assembly have no bits at 40 bits; low quality neither.
      {kEnableFormFieldFillIn | kEnableAccessibilityOp | kEnableDocAssembly, false, -3904},
      {kEnablePrinting | kLowQualityPrintOnly, false, -3900},
      {kEnablePrinting, true, -1852},
      {kEnablePrinting | kLowQualityPrintOnly, true, -3900},
      {kEnableFormFieldFillIn, true, -3648},
      {0x1FF & ~kLowQualityPrintOnly, true, -4},
      {0x1FF, true, -2052},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PermissionValue(c.options, c.uses128Bit), c.p)
        << std::hex << c.options << (c.uses128Bit ? " 128" : " 40");
    // The encryption switch itself grants nothing.
    EXPECT_EQ(PermissionValue(c.options | kEncryptFile, c.uses128Bit), c.p);
  }
}

TQVPDFSecurityOptions Options(std::uint8_t level, std::string owner, std::string user) {
  TQVPDFSecurityOptions o;
  o.SetEncryption(kEncryptFile | kEnablePrinting);
  o.SetSecurityLevel(level);
  o.SetOwnerPassword(std::move(owner));
  o.SetUserPassword(std::move(user));
  return o;
}

// The dictionary's lines for each strength; any level but 1 is 40-bit. At 128 bits /U ends
// with the first 16 bytes of the padding string.
TEST(SecurityHandler, DictionaryOfEachStrength) {
  TestOwner owner;
  for (const int level : {0, 1, 2, 255}) {
    TFolvioEncryptInfo info(&owner, Options(static_cast<std::uint8_t>(level), "owner", "user"));
    EXPECT_TRUE(info.DoNotEncrypt());
    info.SetFileIdentifier(kId);
    const bool strong = level == kSecurity128Bit;
    EXPECT_EQ(info.Uses128Bit(), strong);
    EXPECT_EQ(info.DocumentKey().size(), strong ? 16u : 5u);
    const std::string text = info.AsString();
    const std::string o = TQVPDFFileWriter::HexString(info.Keys().ownerValue.data(), 32);
    const std::string u = TQVPDFFileWriter::HexString(info.Keys().userValue.data(), 32);
    EXPECT_EQ(text, std::string("/Filter/Standard\n") +
                        (strong ? "/R 3 /V 2 /Length 128" : "/R 2 /V 1") + "\n/O" + o + "\n/U" + u +
                        "\n/P " + (strong ? "-1852" : "-3900"));
    const std::string paddingHead = TQVPDFFileWriter::HexString(PasswordPadding().data(), 16);
    EXPECT_EQ(u.substr(33, 32) == paddingHead.substr(1, 32), strong) << u;
  }
}

// Same passwords and identifier give the same keys; another identifier another key.
TEST(SecurityHandler, KeysFollowPasswordsAndIdentifier) {
  TestOwner owner;
  auto key = [&](const TQVPDFSecurityOptions& o, const TQVFileIdentifier& id) {
    TFolvioEncryptInfo info(&owner, o);
    info.SetFileIdentifier(id);
    return std::string(info.DocumentKey().begin(), info.DocumentKey().end()) + info.AsString();
  };
  const auto strong = Options(kSecurity128Bit, "owner", "user");
  EXPECT_EQ(key(strong, kId), key(strong, kId));
  TQVFileIdentifier other = kId;
  other[15] ^= 1;
  EXPECT_NE(key(strong, kId), key(strong, other));
  EXPECT_NE(key(strong, kId), key(Options(kSecurity128Bit, "owner", "resu"), kId));
  // Only a user password: it stands for the owner password too.
  EXPECT_EQ(key(Options(kSecurity40Bit, "", "user"), kId),
            key(Options(kSecurity40Bit, "user", "user"), kId));
}

int randomCalls = 0;
bool CountingSource(void* out, std::size_t count) {
  ++randomCalls;
  std::memset(out, 0x5A + randomCalls, count);
  return true;
}
bool FailingSource(void*, std::size_t) { return false; }

// Without passwords the owner value comes from the random source, one draw per document;
// a source that gives nothing stops the handler, with no guessable fallback.
TEST(SecurityHandler, OwnerValueWithoutPasswordsNeedsRandomBytes) {
  TestOwner owner;
  TQVPDFSecurityOptions o = Options(kSecurity128Bit, "", "");
  o.randomSource = CountingSource;
  randomCalls = 0;
  TFolvioEncryptInfo first(&owner, o);
  TFolvioEncryptInfo second(&owner, o);
  EXPECT_EQ(randomCalls, 2);
  first.SetFileIdentifier(kId);
  second.SetFileIdentifier(kId);
  EXPECT_NE(first.Keys().ownerValue, second.Keys().ownerValue);
  // The document key follows /O, so it differs too (both still open without a password).
  EXPECT_NE(first.Keys().documentKey, second.Keys().documentKey);

  // A password given: no random bytes are drawn.
  TQVPDFSecurityOptions withPassword = Options(kSecurity40Bit, "owner", "");
  withPassword.randomSource = FailingSource;
  EXPECT_NO_THROW((TFolvioEncryptInfo{&owner, withPassword}));

  o.randomSource = FailingSource;
  try {
    TFolvioEncryptInfo info(&owner, o);
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), kNoRandomBytes);
  }
  o.randomSource = nullptr;
  EXPECT_THROW((TFolvioEncryptInfo{&owner, o}), std::runtime_error);
}

TEST(SecurityHandler, PasswordPadding) {
  const TQVPasswordBlock& padding = PasswordPadding();
  EXPECT_EQ(padding[0], 0x28);
  EXPECT_EQ(padding[31], 0x7A);
  EXPECT_EQ(PadPassword(""), padding);
  const TQVPasswordBlock abc = PadPassword("abc");
  EXPECT_EQ(std::string(abc.begin(), abc.begin() + 3), "abc");
  EXPECT_TRUE(std::equal(abc.begin() + 3, abc.end(), padding.begin()));
  // Bytes after a NUL do not count; beyond 32 bytes nothing does.
  EXPECT_EQ(PadPassword(std::string("abc\0def", 7)), abc);
  const std::string long40(40, 'x');
  EXPECT_EQ(PadPassword(long40), PadPassword(long40.substr(0, 32)));
  EXPECT_EQ(PadPassword(long40)[31], 'x');
}

// The handler encrypts in place with a fresh key stream for every call: the same bytes of
// the same object give the same result; another object another one; the dictionary itself
// is never encrypted.
TEST(SecurityHandler, ObjectDataUnderTheObjectsKey) {
  TestOwner owner;
  TFolvioEncryptInfo info(&owner, Options(kSecurity128Bit, "owner", "user"));
  info.SetFileIdentifier(kId);
  auto crypt = [&](std::int32_t number, std::string text) {
    info.EncryptObjectData(number, reinterpret_cast<std::uint8_t*>(text.data()), text.size());
    return text;
  };
  const std::string plain = "Known text";
  EXPECT_NE(crypt(7, plain), plain);
  EXPECT_EQ(crypt(7, plain), crypt(7, plain));
  EXPECT_NE(crypt(7, plain), crypt(8, plain));
  EXPECT_EQ(crypt(7, crypt(7, plain)), plain);

  owner.writer.SetCipher(&info);
  std::string own = plain;
  info.EncryptData(reinterpret_cast<std::uint8_t*>(own.data()), own.size());
  EXPECT_EQ(own, plain);
  owner.writer.SetCipher(nullptr);
}

}  // namespace
}  // namespace vellora
