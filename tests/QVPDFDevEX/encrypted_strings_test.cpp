// Every string that fields and actions bring into the file goes through its object's string
// writer: with a cipher set none of them stands in the file in clear.
#include <gtest/gtest.h>

#include <string>

#include "QVPDFDev/file/pdf_file_writer.h"
#include "ex_test_document.h"

namespace vellora {
namespace {

// Not a real cipher: enough to show which bytes went through the writer's encryption.
class XorCipher : public TQVPDFObjectCipher {
 public:
  void EncryptObjectData(std::int32_t, std::uint8_t* bytes, std::size_t count) override {
    for (std::size_t i = 0; i < count; ++i) bytes[i] ^= 0x5A;
  }
};

TEST(EncryptedStrings, NoFieldOrScriptTextInClear) {
  XorCipher cipher;
  vellora_test::ExDocument doc;
  doc.device.Output().SetCipher(&cipher);
  doc.Command(519, "@TypedName=TypedValue@@HINT@@TypedTip", {20, 20, 220, 45});
  doc.Command(515, "BoxName=1@@HINT@@BoxTip", {20, 60, 40, 80});
  doc.Command(511, "000/FT/Tx/T(RawName)/TU(RawTip)/V(RawValue)", {20, 90, 220, 110});
  doc.Unicode(510, u"000/FT/Tx/TU(WideTip)/V(WideValue)", {20, 120, 220, 140});
  doc.Command(520, "act=fieldScript()").Command(521, "openaction=act");
  doc.Unicode(520, u"wide=wideScript()");
  doc.Command(524, "/AA<</O <</S/JavaScript/JS(pageScript())>>>>");
  const std::string pdf = doc.Finish();
  for (const char* secret :
       {"TypedName", "TypedValue", "TypedTip", "BoxName", "BoxTip", "RawName", "RawTip", "RawValue",
        "WideTip", "WideValue", "fieldScript", "wideScript", "pageScript", "(Field", "Helv 0 Tf"})
    EXPECT_EQ(pdf.find(secret), std::string::npos) << secret;
  // The widgets are there, their strings encrypted.
  EXPECT_NE(pdf.find("/Subtype /Widget"), std::string::npos);
}

}  // namespace
}  // namespace vellora
