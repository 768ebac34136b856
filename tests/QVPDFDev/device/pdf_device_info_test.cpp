// The document information of a device's document: the dates of /Info and of the XMP packet
// are the same instant (UTC, from the document's start), the packet is well-formed XML
// whatever the title holds, and the information block reaches /Info, the XMP packet and the
// catalog's /Lang.
#include <gtest/gtest.h>

#include <string>

#include "info_test_document.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::DocumentBytes;
using vellora_test::FixedDocumentEnvironment;
using vellora_test::QpdfProblems;
using vellora_test::RecordingDevice;

std::string Document(TQVPDFDevice& d) {
  d.BeginDoc(576, 800, 72, 0);
  d.BeginPage(612, 792, 72, 72, 0);
  d.Rectangle({10, 10, 50, 50});
  d.EndDoc();
  return DocumentBytes(d);
}

// The text between <name> and </name> in the packet.
std::string ElementText(const std::string& xml, const std::string& name) {
  const std::size_t begin = xml.find("<" + name + ">");
  const std::size_t end = xml.find("</" + name + ">");
  if (begin == std::string::npos || end == std::string::npos) return {};
  return xml.substr(begin + name.size() + 2, end - begin - name.size() - 2);
}

TEST(PDFDeviceInfo, InfoAndXmpDatesAreTheSameInstant) {
  if (!vellora_test::HaveTool("pdfinfo")) GTEST_SKIP() << "pdfinfo missing";
  FixedDocumentEnvironment fixed;  // 14:00 local at UTC+2
  RecordingDevice d;
  const std::string pdf = Document(d);
  ASSERT_EQ(QpdfProblems(pdf), "");
  auto info = vellora_test::Pdfinfo(pdf, "-isodates");
  EXPECT_EQ(info["CreationDate"], "2024-01-31T12:00:00Z");
  EXPECT_EQ(info["ModDate"], "2024-01-31T12:00:00Z");
  const std::string meta =
      vellora_test::RunTool({"pdfinfo", "-meta", vellora_test::TempFile(pdf).Path().string()},
                            vellora_test::ToolErrors::kDrop)
          .out;
  for (const char* name : {"xmp:CreateDate", "xmp:ModifyDate", "xmp:MetadataDate"})
    EXPECT_EQ(ElementText(meta, name), "2024-01-31T12:00:00Z") << name;
}

TEST(PDFDeviceInfo, XmpIsWellFormedForAnyTitle) {
  if (!vellora_test::HaveTool("xmllint") || !vellora_test::HaveTool("pdfinfo"))
    GTEST_SKIP() << "xmllint or pdfinfo missing";
  const struct {
    const char* name;
    const char* title;
    bool utf8;
    const char* shown;  // pdfinfo's title (UTF-8); null: not compared
  } cases[] = {
      {"ampersand", "Fish & Chips", false, "Fish & Chips"},
      {"latin", "caf\xE9", false, "caf\xC3\xA9"},
      {"emoji", "smile \xF0\x9F\x98\x80", true, "smile \xF0\x9F\x98\x80"},
      {"controls", "a\x01z\x1F", false, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingDevice d;
    d.options.info.utf8 = c.utf8;
    d.options.info.title = c.title;
    d.options.info.author = c.title;
    d.options.info.extraEntries.SetText("_Lang=de\nCompany Name=A & B");
    const std::string pdf = Document(d);
    EXPECT_EQ(QpdfProblems(pdf), "");
    vellora_test::TempFile xmp(vellora_test::XMPPacket(pdf), ".xml");
    const auto lint = vellora_test::RunTool({"xmllint", "--noout", xmp.Path().string()});
    EXPECT_EQ(lint.status, 0) << lint.out;
    auto info = vellora_test::Pdfinfo(pdf, "");
    if (c.shown != nullptr) {
      EXPECT_EQ(info["Title"], c.shown);
      EXPECT_EQ(info["Author"], c.shown);
    }
    EXPECT_NE(pdf.find("/Lang(de)"), std::string::npos);
    EXPECT_NE(pdf.find("/Company_Name(A & B)"), std::string::npos);
  }
}

TEST(PDFDeviceInfo, NoInformationObjectWhenSwitchedOff) {
  RecordingDevice d;
  d.options.info.noInformationObject = true;
  const std::string pdf = Document(d);
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_EQ(pdf.find("/Info "), std::string::npos);
  EXPECT_EQ(pdf.find("/Metadata"), std::string::npos);
}

}  // namespace
}  // namespace vellora
