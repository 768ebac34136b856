// The XMP packet: well-formed XML (xmllint) whatever the texts hold, the same values as the
// information dictionary (pdfinfo against pdfinfo -meta), the PDF/A identification, padding
// and extension schema, and the pdfx properties as valid XML names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QVPDFDev/metadata/xmp_escape.h"
#include "info_test_document.h"

namespace vellora {
namespace {

using vellora_test::RunTool;
using vellora_test::TempFile;
using vellora_test::TestDocument;
using vellora_test::ToolErrors;

bool HaveTools() { return vellora_test::HaveTool("xmllint") && vellora_test::HaveTool("pdfinfo"); }

// xmllint's verdict on the text: empty when well-formed.
std::string XmlProblems(const std::string& xml) {
  TempFile file(xml, ".xml");
  const auto result = RunTool({"xmllint", "--noout", file.Path().string()});
  return result.status == 0 ? result.out : "status " + std::to_string(result.status) + result.out;
}

// The string value of an XPath expression over the XML; names by local-name() so that no
// namespace needs declaring.
std::string XPath(const std::string& xml, const std::string& expression) {
  TempFile file(xml, ".xml");
  std::string out =
      RunTool({"xmllint", "--xpath", "string(" + expression + ")", file.Path().string()},
              ToolErrors::kDrop)
          .out;
  if (!out.empty() && out.back() == '\n') out.pop_back();  // xmllint adds a line feed
  return out;
}

std::string Element(const std::string& name) { return "//*[local-name()='" + name + "']"; }

std::string Written(TestDocument& doc) {
  doc.WriteInformation(vellora_test::FixedTime());
  return doc.Finish();
}

struct TitleCase {
  const char* name;
  const char* title;
  bool utf8;
  const char* read;  // the title as an XML reader gives it back, UTF-8
  bool plain;        // pdfinfo shows it on one line as it is
};

TEST(XMPPacket, WellFormedForAnyTitle) {
  if (!HaveTools()) GTEST_SKIP() << "xmllint or pdfinfo missing";
  const TitleCase cases[] = {
      {"ampersand", "A & B", false, "A & B", true},
      {"markup", "<b>\"q\"</b> 'x' &amp;", false, "<b>\"q\"</b> 'x' &amp;", true},
      {"latin", "\xE9t\xE9", false, "\xC3\xA9t\xC3\xA9", true},
      {"cp1252 upper half", "\x80 \x93q\x94", false, "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D",
       true},
      {"utf8 with emoji", "Caf\xC3\xA9 \xF0\x9F\x98\x80", true, "Caf\xC3\xA9 \xF0\x9F\x98\x80",
       true},
      {"controls", "a\x01z\x07\x1F", false, "a\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD", false},
      {"line ends and tab", "one\ttwo\nthree\rfour", false, "one\ttwo\nthree\rfour", false},
      {"broken utf8", "x\xC3(\xF0\x9F", true, "x\xEF\xBF\xBD(\xEF\xBF\xBD", false},
  };
  for (const TitleCase& c : cases) {
    SCOPED_TRACE(c.name);
    TestDocument doc;
    doc.info.utf8 = c.utf8;
    doc.info.title = c.title;
    doc.info.subject = c.title;
    doc.info.author = c.title;
    const std::string file = Written(doc);
    const std::string packet = vellora_test::XMPPacket(file);
    EXPECT_EQ(XmlProblems(packet), "");
    for (const char* schemaElement : {"title", "description", "creator"})
      EXPECT_EQ(XPath(packet, Element(schemaElement) + "//*[local-name()='li']"), c.read)
          << schemaElement;
    if (c.plain) {
      auto fields = vellora_test::Pdfinfo(file, "");
      EXPECT_EQ(fields["Title"], c.read);
      EXPECT_EQ(fields["Author"], c.read);
    }
  }
}

TEST(XMPPacket, PdfinfoAndItsMetadataAgree) {
  if (!HaveTools()) GTEST_SKIP() << "xmllint or pdfinfo missing";
  TestDocument doc;
  doc.info.utf8 = true;
  doc.info.title = "Quarterly \xE2\x80\x9Creport\xE2\x80\x9D & notes";
  doc.info.author = "Zo\xC3\xAB";
  doc.info.subject = "Sales";
  doc.info.keywords = "one,two";
  doc.info.creator = "Brenlow";
  const std::string file = Written(doc);
  TempFile pdf(file);
  const std::string meta =
      RunTool({"pdfinfo", "-meta", pdf.Path().string()}, ToolErrors::kDrop).out;
  EXPECT_NE(meta.find("<x:xmpmeta"), std::string::npos) << meta;
  EXPECT_EQ(XmlProblems(meta), "");
  auto fields = vellora_test::Pdfinfo(file, "-isodates");
  const std::pair<const char*, std::string> pairs[] = {
      {"Title", Element("title") + "//*[local-name()='li']"},
      {"Author", Element("creator") + "//*[local-name()='li']"},
      {"Subject", Element("description") + "//*[local-name()='li']"},
      {"Keywords", Element("Keywords")},
      {"Creator", Element("CreatorTool")},
      {"Producer", Element("Producer")},
      {"CreationDate", Element("CreateDate")},
      {"ModDate", Element("ModifyDate")},
  };
  for (const auto& [field, path] : pairs) {
    EXPECT_FALSE(fields[field].empty()) << field;
    EXPECT_EQ(fields[field], XPath(meta, path)) << field;
  }
  EXPECT_EQ(fields["CreationDate"], "2024-01-31T12:00:00Z");
}

TEST(XMPPacket, KeywordsAsBagAndEmptyValues) {
  TestDocument doc;
  doc.info.keywords = "pdf,xmp,a";
  std::string packet = vellora_test::XMPPacket(Written(doc));
  EXPECT_NE(packet.find(" <rdf:Bag>\n  <rdf:li>pdf</rdf:li>\n  <rdf:li>xmp</rdf:li>\n"
                        "  <rdf:li>a</rdf:li>\n </rdf:Bag>\n"),
            std::string::npos)
      << packet;
  EXPECT_NE(packet.find("<pdf:Keywords>pdf,xmp,a</pdf:Keywords>"), std::string::npos);

  TestDocument empty;
  packet = vellora_test::XMPPacket(Written(empty));
  EXPECT_NE(packet.find(" <rdf:Bag>\n  <rdf:li/>\n </rdf:Bag>\n"), std::string::npos) << packet;
  EXPECT_NE(packet.find(" <pdf:Keywords/>\n"), std::string::npos);
  EXPECT_NE(packet.find("<xapMM:DocumentID>uuid:00112233445566778899aabbccddeeff<"),
            std::string::npos);
  // Without PDF/A: no identification and no padding.
  EXPECT_EQ(packet.find("pdfaid"), std::string::npos);
  EXPECT_NE(packet.find("</x:xmpmeta>\n<?xpacket end=\"w\"?>"), std::string::npos);
  if (vellora_test::HaveTool("xmllint")) {
    EXPECT_EQ(XmlProblems(packet), "");
  }
}

TEST(XMPPacket, PDFAIdentificationPaddingAndExtensionSchema) {
  const bool xmllint = vellora_test::HaveTool("xmllint");
  for (TQVPDFAMode mode : {folvioaLevelA, folvioaLevelB}) {
    SCOPED_TRACE(int(mode));
    TestDocument doc(1, mode);
    doc.info.utf8 = true;
    doc.info.extraEntries.SetText(
        "Company Name=ACME\n1st=one\nGr\xC3\xB6\xC3\x9F"
        "e=big\na:b=c\nx<y=z\n"
        "rights=(c) us\ncreatortool=skipped\nCompany Name=again\n_Lang=de");
    const std::string packet = vellora_test::XMPPacket(Written(doc));
    const std::string conformance = mode == folvioaLevelA ? "A" : "B";
    EXPECT_NE(packet.find("<pdfaid:part>1</pdfaid:part>"), std::string::npos);
    EXPECT_NE(packet.find("<pdfaid:conformance>" + conformance + "</pdfaid:conformance>"),
              std::string::npos);
    EXPECT_NE(packet.find("</x:xmpmeta>\n" + std::string(512, ' ') + "<?xpacket end=\"w\"?>"),
              std::string::npos);
    if (!xmllint) continue;
    EXPECT_EQ(XmlProblems(packet), "");
    // Every pdfx property, named as a valid XML name, and each declared in the extension.
    const std::string pdfx = "//*[namespace-uri()='http://ns.adobe.com/pdfx/1.3/']";
    EXPECT_EQ(XPath(packet, "count(" + pdfx + ")"), "6");
    const std::vector<std::pair<std::string, std::string>> expected = {{"Company_Name", "ACME"},
                                                                       {"_1st", "one"},
                                                                       {"Gr\xC3\xB6\xC3\x9F"
                                                                        "e",
                                                                        "big"},
                                                                       {"a_b", "c"},
                                                                       {"x_y", "z"},
                                                                       {"_Lang", "de"}};
    for (const auto& [name, value] : expected) {
      EXPECT_EQ(XPath(packet, pdfx + "[local-name()='" + name + "']"), value) << name;
      EXPECT_EQ(XPath(packet, "count(" + Element("schemas") +
                                  "//*[local-name()='li'][*[local-name()='namespaceURI']="
                                  "'http://ns.adobe.com/pdfx/1.3/']//*[local-name()='name'][.='" +
                                  name + "'])"),
                "1")
          << name;
    }
    EXPECT_EQ(XPath(packet, Element("rights") + "//*[local-name()='li']"), "(c) us");
    for (const char* declared : {"InstanceID", "part", "amd", "conformance"})
      EXPECT_EQ(XPath(packet, "count(" + Element("schemas") + "//*[local-name()='name'][.='" +
                                  declared + "'])"),
                "1")
          << declared;
  }
}

TEST(XMPPacket, StreamIsNeverCompressedOrArmoured) {
  TestDocument doc;
  doc.owner.settings.compression = qvCompressFlate;
  doc.owner.settings.armour = qvASCII85Encode;
  doc.info.title = "plain text";
  const std::string file = Written(doc);
  const std::size_t at = file.find("/Type/Metadata/Subtype/XML/Length ");
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(file.substr(at, file.find(">>", at) - at).find("/Filter"), std::string::npos);
  EXPECT_NE(file.find("<dc:format>application/pdf</dc:format>"), std::string::npos);
  EXPECT_NE(
      file.find("/Metadata " + std::to_string(doc.catalog.Metadata().ObjectNumber()) + " 0 R"),
      std::string::npos);
  if (!vellora_test::HaveTool("qpdf")) GTEST_SKIP() << "qpdf missing";
  const auto check = vellora_test::QpdfCheck(file);
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
}

TEST(XMPPacket, PropertyWithoutDescriptionRaises) {
  vellora_test::TestOwner owner;
  TQVXMPString xmp(&owner);
  try {
    xmp.AddProperty(u"title", std::u16string_view(u"x"));
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "XMP - no property defined!");
  }
  xmp.OpenDescription("rdf:Description", "dc", "http://purl.org/dc/elements/1.1/");
  xmp.CloseDescription();
  EXPECT_THROW(xmp.AddProperty(u"title", std::u16string_view(u"x")), std::runtime_error);
  EXPECT_FALSE(xmp.HasProperties());
}

TEST(XMPPacket, TextEscapes) {
  struct Case {
    std::u16string text;
    std::u16string xml;
  };
  const Case cases[] = {
      {u"a<b>&c", u"a&lt;b&gt;&amp;c"},
      {u"\u00E9\u20AC", u"&#233;&#8364;"},
      {u"\U0001F600", u"&#128512;"},
      {std::u16string(1, char16_t(0xD83D)) + u"x", u"&#65533;x"},  // unpaired high
      {u"x" + std::u16string(1, char16_t(0xDE00)), u"x&#65533;"},  // unpaired low
      {std::u16string(u"\uFFFE\uFFFF\0", 3), u"&#65533;&#65533;&#65533;"},
      {u"\t\n\r", u"\t\n&#13;"},
  };
  for (const Case& c : cases) {
    std::u16string out;
    AppendXMLText(out, c.text);
    EXPECT_TRUE(out == c.xml) << std::string(out.begin(), out.end());
  }
  EXPECT_TRUE(XMLPropertyName(u"Company Name") == u"Company_Name");
  EXPECT_TRUE(XMLPropertyName(u"-x") == u"_-x");
  EXPECT_TRUE(XMLPropertyName(u"\u00B7") == u"_\u00B7");
  EXPECT_TRUE(XMLPropertyName(u"a\u2000b") == u"a_b");  // not a name character
  EXPECT_TRUE(XMLPropertyName(u"\U0001F600") == u"\U0001F600");
  EXPECT_TRUE(XMLPropertyName(u"valid.Name-1") == u"valid.Name-1");
}

}  // namespace
}  // namespace vellora
