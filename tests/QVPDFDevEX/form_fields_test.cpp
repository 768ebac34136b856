// Form fields placed by metafile commands, 8-bit records and record 291102, as independent
// readers see them: qpdf's form view and checks, poppler's text and pixels.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "command_record.h"
#include "ex_test_document.h"
#include "font_test_env.h"
#include "page_render.h"
#include "pdf_tools.h"
#include "temp_files.h"

namespace vellora {
namespace {

using vellora_test::ExDocument;
using vellora_test::QpdfFormFields;
using vellora_test::QpdfJsonQuery;
using vellora_test::QpdfProblems;
using vellora_test::RenderPage;

// "Omega" in code page 1253.
const std::string kGreek1253 = "\xD9\xEC\xDD\xE3\xE1";
const std::string kGreekUtf8 = "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1";

// The fields of one page: Greek through a DejaVu face, plain, aligned, multi-line, two check
// boxes, a radio button, and a text field and a box from record 291102.
std::string FieldsPage() {
  ExDocument doc;
  doc.Command(518, "CODEPAGE=1253").Command(518, "CHARSET=161").Command(518, "FONTEX=DejaVu Sans");
  doc.Command(519, "@Greek=" + kGreek1253 + "@@HINT@@Greek value", {20, 20, 220, 45});
  doc.Command(518, "RESET=1");
  doc.Command(519, "@Plain=Hello", {20, 60, 220, 80});
  doc.Command(517, "2").Command(519, "@Aligned=Right@@HINT@@Right aligned", {20, 90, 220, 110});
  doc.Command(518, "MULTI=1").Command(519, "@Notes=Line one", {20, 120, 220, 170});
  doc.Command(518, "RESET=1");
  doc.Command(515, "Agree=TRUE@@HINT@@Please confirm", {20, 180, 40, 200});
  doc.Command(515, "Decline=0", {60, 180, 80, 200});
  doc.Command(511, "003/FT/Btn/Ff 49152/V/Yes/AS/Yes/T(Choice)", {100, 180, 120, 200});
  doc.Unicode(511, u"000/FT/Tx/T(Uni)/V(Unicode \u03A9)/TU(Wide tip)", {20, 210, 220, 230});
  // Corners in the other order: the box is the same.
  doc.Unicode(511, u"001/FT/Btn/Ff 0/T(UniBox)", {160, 200, 140, 180});
  return doc.Finish();
}

TEST(FormFields, QpdfListsEveryField) {
  const std::string pdf = FieldsPage();
  EXPECT_EQ(QpdfProblems(pdf), "");
  const std::string fields = QpdfFormFields(pdf);
  for (const std::string& line : {
           "Greek|/Tx|" + std::string("\u03A9\u03BC\u03AD\u03B3\u03B1") + "|0|Greek value|-|",
           std::string("Plain|/Tx|Hello|0|Plain|-|"),
           std::string("Aligned|/Tx|Right|0|Right aligned|-|"),
           std::string("Notes|/Tx|Line one|4096|Notes|-|"),
           std::string("Agree|/Btn|/Yes|0|Please confirm|checkbox|/Yes"),
           std::string("Decline|/Btn|/Off|0|Decline|checkbox|/Off"),
           std::string("Choice|/Btn|/Yes|49152|Choice|radio|/Yes"),
           std::string("Uni|/Tx|Unicode \u03A9|0|Wide tip|-|"),
           std::string("UniBox|/Btn|/Off|0|UniBox|checkbox|/Off"),
       })
    EXPECT_NE(fields.find(line + "\n"), std::string::npos) << line << "\n" << fields;
}

TEST(FormFields, BoxesHaveBothAppearancesAndOneMkEach) {
  const std::string pdf = FieldsPage();
  const std::string report = QpdfJsonQuery(pdf, R"(
for key, o in sorted(objs.items()):
    v = o.get('value')
    if not isinstance(v, dict) or v.get('/Subtype') != '/Widget':
        continue
    n = v.get('/AP', {}).get('/N')
    if v.get('/FT') == '/Btn':
        print(v['/T'], sorted(n.keys()), v.get('/AS'))
    else:
        print(v['/T'], 'MK' if '/MK' in v else 'no MK', 'AP' if n else 'no AP')
)");
  for (const char* line :
       {"u:Agree ['/Off', '/Yes'] /Yes", "u:Decline ['/Off', '/Yes'] /Off",
        "u:Choice ['/Off', '/Yes'] /Yes", "u:UniBox ['/Off', '/Yes'] /Off", "u:Plain MK AP"})
    EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
}

TEST(FormFields, ValuesAndCrossesShowWhereTheFieldsAre) {
  ASSERT_TRUE(vellora_test::UsePrivateFontConfig());
  const std::string pdf = FieldsPage();
  const vellora_test::Raster page = RenderPage(pdf);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  // Each value inks its own field and nothing between the fields.
  for (const auto& [top, bottom] : {std::pair{20, 45}, {60, 80}, {90, 110}, {120, 170}, {210, 230}})
    EXPECT_GT(page.DarkShare(20, top, 220, bottom), 0.002) << top;
  EXPECT_EQ(page.DarkShare(0, 46, 400, 59), 0.0);
  // The right-aligned value keeps to its field too (alignment belongs to the viewer's
  // regenerated appearance, not to this one).
  EXPECT_EQ(page.DarkShare(221, 0, 400, 175), 0.0);
  // The cross meets the box's centre only when the box is checked.
  EXPECT_TRUE(page.Dark(30, 190));
  EXPECT_FALSE(page.Dark(70, 190));
  EXPECT_TRUE(page.Dark(110, 190));
  EXPECT_FALSE(page.Dark(150, 190));
}

TEST(FormFields, GreekValueReadsBackAsText) {
  ASSERT_TRUE(vellora_test::UsePrivateFontConfig());
  const std::string pdf = FieldsPage();
  const std::string text = vellora_test::PdfToText(pdf, {"-layout"}).out;
  EXPECT_NE(text.find(kGreekUtf8), std::string::npos) << text;
}

TEST(FormFields, NoPageNoDocumentAndBrokenTextsMakeNothing) {
  ExDocument doc;
  // Unclosed strings and dictionaries, short flag texts and an unbalanced value.
  doc.Command(511, "000/FT/Tx/T(Open/V(x", {0, 0, 10, 10});
  doc.Command(511, "0", {0, 0, 10, 10}).Command(511, "", {0, 0, 10, 10});
  doc.Command(519, "@=", {0, 0, 10, 10});
  doc.Unicode(511, u"000/FT/Tx/V(", {0, 0, 10, 10});
  doc.Command(524, "/AA<</O (");
  // Outside the page: the device's own commands between documents.
  TQVPDFDeviceEX idle;
  bool handled = false;
  idle.HandleEmbeddedCommand({0, 0, 10, 10}, 519, "@A=b", handled);
  EXPECT_EQ(idle.AddJavaScriptAction("a", u"x"), -1);
  EXPECT_FALSE(idle.AddOpenAction("OPENACTION", "A"));
  EXPECT_THROW(idle.AddFieldWidget("000/FT/Tx", {0, 0, 10, 10}), std::runtime_error);
  const std::string pdf = doc.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  // Two short texts are fields without flags; the rest made nothing.
  const std::string fields = QpdfFormFields(pdf);
  EXPECT_EQ(fields.find("Open"), std::string::npos) << fields;
}

TEST(FormFields, UnnamedFieldsNeverShareAName) {
  ExDocument doc;
  doc.Command(519, "a", {0, 0, 50, 20}).Command(519, "b", {0, 30, 50, 50});
  doc.Command(515, "1", {0, 60, 20, 80}).Command(510, "000/FT/Tx", {0, 90, 50, 110});
  doc.Unicode(510, u"000/FT/Tx", {0, 120, 50, 140});
  const std::string fields = QpdfFormFields(doc.Finish());
  std::set<std::string> names;
  std::size_t count = 0;
  for (std::size_t at = 0; at < fields.size(); at = fields.find('\n', at) + 1, ++count)
    names.insert(fields.substr(at, fields.find('|', at) - at));
  EXPECT_EQ(count, 5u) << fields;
  EXPECT_EQ(names.size(), count) << fields;
}

TEST(FormFields, RecordsOfAnotherSizeGoToThePdfDevice) {
  ExDocument doc;
  const std::vector<std::uint8_t> longer =
      vellora_test::UnicodeCommandRecord(511, {0, 0, 10, 10}, u"001/FT/Btn/T(Long)", 2);
  doc.Comment(longer).Comment({longer.begin(), longer.begin() + 51});
  EXPECT_EQ(QpdfFormFields(doc.Finish()), "no form\n");
}

}  // namespace
}  // namespace vellora
