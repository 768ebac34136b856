// Links, widgets and named destinations of the PDF device: automatic links of played text
// (where pdftotext and pdftohtml see the word), global names in byte order as pdfinfo and
// MuPDF read them, PDF/A's launch rule, and the calls that need an open page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "QVPDFDev/navigation/pdf_link.h"
#include "emf_builder.h"
#include "font_test_env.h"
#include "pdf_device_test_util.h"
#include "qvplatform/emf_record_types.h"

namespace vellora {
namespace {

using vellora_test::DocumentBytes;
using vellora_test::HaveTool;
using vellora_test::QpdfJsonQuery;
using vellora_test::QpdfProblems;
using vellora_test::RecordingDevice;
using vellora_test::RunTool;
using vellora_test::TempFile;

// Each annotation of page 1: its /Rect, its /URI or its /Dest.
const char kAnnotScript[] = R"(
root = get(trailer['/Root'])
kids = get(root['/Pages'])['/Kids']
for ref in get(kids[0]).get('/Annots', []):
    o = get(ref)
    a = o.get('/A', {})
    d = o.get('/Dest')
    if isinstance(d, list):
        d = ['page%d' % (kids.index(d[0]) + 1)] + d[1:]
    uri = a.get('/URI')
    print([round(v) for v in o['/Rect']], uri[2:] if uri else None, d)
)";

struct Box {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// pdftotext's box of the first word that is exactly text (y down from the top).
bool WordBox(const std::string& pdf, const std::string& text, Box& box) {
  const TempFile file(pdf);
  std::istringstream lines(
      RunTool({"pdftotext", "-bbox", file.Path().string(), "-"}, vellora_test::ToolErrors::kDrop)
          .out);
  for (std::string line; std::getline(lines, line);) {
    if (line.find(">" + text + "</word>") == std::string::npos) continue;
    double* fields[] = {&box.xMin, &box.yMin, &box.xMax, &box.yMax};
    const char* keys[] = {"xMin=\"", "yMin=\"", "xMax=\"", "yMax=\""};
    for (int i = 0; i < 4; ++i)
      *fields[i] = std::atof(line.c_str() + line.find(keys[i]) + std::strlen(keys[i]));
    return true;
  }
  return false;
}

// A 600 x 400 point picture with lines of 20-point Arial at x 40 and the given baselines.
std::vector<std::uint8_t> TextPicture(
    const std::vector<std::pair<std::int32_t, std::u16string>>& lines) {
  vellora_test::EmfBuilder b = vellora_test::PointPicture(600, 400);
  b.SetHandles(2);
  b.Append(qvplatform::EMR_SETTEXTALIGN, {24});  // baseline
  b.CreateFont(1, vellora_test::EmfBuilder::Font(u"Arial", -20));
  b.SelectObject(1);
  for (const auto& [y, text] : lines) b.ExtTextOutW(40, y, text);
  b.Eof();
  return b.Bytes();
}

TEST(PDFDeviceLinks, AutomaticLinksOfPlayedText) {
  REQUIRE_TEST_FONTS();
  if (!HaveTool("qpdf") || !HaveTool("python3") || !HaveTool("pdftotext"))
    GTEST_SKIP() << "qpdf, python3 or poppler missing";
  const auto emf =
      TextPicture({{50, u"http://example.com/x"}, {120, u"bookm://Intro"}, {200, u"plain"}});

  RecordingDevice d;
  d.contentOptions.optionBits |= TQVGenericPSDevice::kOptionAutoLinks;
  d.BeginDoc(576, 800, 72, 0);
  d.AddNamedDest("Intro", 0, 300, false);  // no page yet: the picture's page gets it
  d.PlayMetafile(emf.data(), emf.size(), 0, 0, 0, 0, false, 0, 0);
  d.EndDoc();
  const std::string pdf = DocumentBytes(d);
  ASSERT_EQ(QpdfProblems(pdf), "");

  std::istringstream annots(QpdfJsonQuery(pdf, kAnnotScript));
  std::string web, mark, extra;
  std::getline(annots, web);
  std::getline(annots, mark);
  EXPECT_FALSE(std::getline(annots, extra)) << extra;
  EXPECT_NE(mark.find("None ['page1', '/XYZ', 0, "), std::string::npos) << mark;
  EXPECT_TRUE(d.messages.empty() || d.messages[0].first != 1);

  // The link covers the word as poppler places it.
  Box word;
  ASSERT_TRUE(WordBox(pdf, "http://example.com/x", word));
  double rect[4] = {};
  ASSERT_EQ(std::sscanf(web.c_str(), "[%lf, %lf, %lf, %lf] http://example.com/x None", &rect[0],
                        &rect[1], &rect[2], &rect[3]),
            4)
      << web;
  EXPECT_LE(rect[0], word.xMin + 1);
  EXPECT_GE(rect[2], word.xMax - 1);
  const TempFile file(pdf);
  const std::string info = RunTool({"pdfinfo", file.Path().string()}).out;
  const double pageHeight = std::atof(info.c_str() + info.find(" x ") + 3);
  EXPECT_LE(rect[1], pageHeight - word.yMax + 1) << info;
  EXPECT_GE(rect[3], pageHeight - word.yMin - 1) << info;

  // The bookmark link's text is not drawn.
  const std::string text = vellora_test::PdfToText(pdf).out;
  EXPECT_EQ(text.find("Intro"), std::string::npos) << text;
  EXPECT_NE(text.find("plain"), std::string::npos) << text;
  if (HaveTool("pdftohtml")) {
    const std::string xml = RunTool({"pdftohtml", "-xml", "-stdout", "-i", file.Path().string()},
                                    vellora_test::ToolErrors::kDrop)
                                .out;
    EXPECT_NE(xml.find("<a href=\"http://example.com/x\">http://example.com/x</a>"),
              std::string::npos)
        << xml;
  }
}

// A device that plays pictures into a form object without opening a page for them.
class PagelessPictureDevice : public RecordingDevice {
 public:
  std::int32_t BeginPicture(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {
    return 0;
  }
};

TEST(PDFDeviceLinks, APictureWithoutPageSkipsItsLinks) {
  REQUIRE_TEST_FONTS();
  const auto emf = TextPicture({{50, u"http://example.com/x"}, {80, u"after the link"}});
  PagelessPictureDevice d;
  d.contentOptions.optionBits |= TQVGenericPSDevice::kOptionAutoLinks;
  d.BeginDoc(576, 800, 72, 0);
  TQVPDFStream form(&d, 'T');
  d.xformStream = &form;
  d.StartContent(&form);
  EXPECT_NO_THROW(d.PlayMetafile(emf.data(), emf.size(), 0, 0, 0, 0, false, 0, 0));
  d.EndXForm();
  EXPECT_TRUE(d.Annotations().empty());
  // Outside a play the same call is an error.
  EXPECT_THROW(d.AddLinkArea(0, 0, 10, 10, "http://example.com/x", ""), std::runtime_error);
  d.EndDoc();
}

TEST(PDFDeviceLinks, GlobalNamesInByteOrderResolve) {
  if (!HaveTool("pdfinfo") || !HaveTool("qpdf")) GTEST_SKIP() << "poppler or qpdf missing";
  RecordingDevice d;
  d.BeginDoc(576, 800, 72, 0);
  d.BeginPage(816, 1056, 96, 96, 0);
  for (const char* name : {"a", "\xE9t\xE9", "B"}) d.AddLinkArea(10, 10, 50, 20, name, "");
  d.AddLinkArea(10, 40, 50, 20, "missing", "");
  d.EndPage();
  d.BeginPage(816, 1056, 96, 96, 0);
  d.AddNamedDest("B", 96, 96, true);
  d.AddNamedDest("a", 192, 0, true);
  d.AddNamedDest("\xE9t\xE9", 0, 960, true);
  d.AddNamedDest("b", 1, 1, true);  // the same name in another case: not added
  d.EndDoc();
  const std::string pdf = DocumentBytes(d);
  ASSERT_EQ(QpdfProblems(pdf), "");
  // Message 1 once for the link that leads nowhere.
  int notFound = 0;
  for (const auto& m : d.messages) notFound += m.first == 1;
  EXPECT_EQ(notFound, 1);

  const TempFile file(pdf);
  const std::string dests = RunTool({"pdfinfo", "-dests", file.Path().string()}).out;
  const std::size_t upper = dests.find("2 [ XYZ   72  720 null      ] \"B\"");
  const std::size_t lower = dests.find("2 [ XYZ  144  792 null      ] \"a\"");
  const std::size_t accented = dests.find("2 [ XYZ    0   72 null      ] \"\xC3\xA9t\xC3\xA9\"");
  EXPECT_NE(upper, std::string::npos) << dests;
  EXPECT_NE(lower, std::string::npos) << dests;
  EXPECT_NE(accented, std::string::npos) << dests;
  EXPECT_LT(upper, lower);
  EXPECT_LT(lower, accented);
  if (HaveTool("python3")) {
    EXPECT_EQ(QpdfJsonQuery(pdf, R"(
tree = get(get(get(trailer['/Root'])['/Names'])['/Dests'])['/Names']
print(tree[0::2]))"),
              "['u:B', 'u:a', 'u:\xC3\xA9t\xC3\xA9']\n");
  }
  if (HaveTool("mutool")) {
    const std::string links = vellora_test::MuPdfLinks(pdf);
    // In link order: "a", the accented name, "B".
    for (const char* target : {"1 10 10 60 30 #page=2&zoom=100,144,0 -> 2\n",
                               "1 10 10 60 30 #page=2&zoom=100,0,720 -> 2\n",
                               "1 10 10 60 30 #page=2&zoom=100,72,72 -> 2\n"})
      EXPECT_NE(links.find(target), std::string::npos) << target << "\n" << links;
  }
}

TEST(PDFDeviceLinks, PdfaRefusesLaunchTargetsOnly) {
  if (!HaveTool("qpdf") || !HaveTool("python3")) GTEST_SKIP() << "qpdf or python3 missing";
  RecordingDevice d;
  d.options.writer.pdfaMode = folvioaLevelB;
  d.BeginDoc(576, 800, 72, 0);
  d.BeginPage(612, 792, 72, 72, 0);
  for (const char* target : {"file://x.txt", "launch://x.exe", "LAUNCHN://y.exe"})
    d.AddLinkArea(0, 0, 10, 10, target, "");
  d.AddLinkArea(0, 0, 10, 10, "http://example.com/", "");
  d.EndDoc();
  const std::string pdf = DocumentBytes(d);
  EXPECT_EQ(QpdfJsonQuery(pdf, kAnnotScript), "[0, 782, 10, 792] http://example.com/ None\n");
}

TEST(PDFDeviceLinks, LinksAndWidgetsNeedAnOpenPage) {
  RecordingDevice d;
  d.BeginDoc(576, 800, 72, 0);
  EXPECT_EQ(d.formFieldCounter, 1);
  try {
    d.AddLinkArea(0, 0, 1, 1, "http://example.com/", "");
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "No page active!");
  }
  EXPECT_THROW(d.AddWidget({0, 0, 10, 10}, "/FT/Tx"), std::runtime_error);
  d.BeginPage(612, 792, 72, 72, 0);
  TQVPDFLink* widget = d.AddWidget({10, 20, 110, 40}, "/FT/Tx/T(Field2)");
  ASSERT_NE(widget, nullptr);
  EXPECT_TRUE(widget->IsReserved());
  const std::int32_t number = widget->ObjectNumber();  // the device frees it with the document
  EXPECT_EQ(d.formFieldCounter, 2);
  d.EndDoc();
  const std::string pdf = DocumentBytes(d);
  EXPECT_EQ(QpdfProblems(pdf), "");
  // (qpdf --json gives up on a widget outside a form; --show-object reads it.)
  const TempFile file(pdf);
  EXPECT_EQ(RunTool({"qpdf", "--show-object=" + std::to_string(number), file.Path().string()}).out,
            "<< /F 4 /FT /Tx /P 3 0 R /Rect [ 10 752 110 772 ] /Subtype /Widget /T (Field2) "
            "/Type /Annot >>\n");
}

}  // namespace
}  // namespace vellora
