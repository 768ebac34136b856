// Outline entries filed through the PDF device: trees from filing sequences read back with
// qpdf --json (titles, nesting, the pages entries lead to, /Count), and their destinations
// (positions in points, local named destinations, a name that is not found).
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "QVPDFDev/document/pdf_catalog.h"
#include "info_test_document.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::DocumentBytes;
using vellora_test::QpdfProblems;
using vellora_test::RecordingDevice;

struct Step {
  int page;  // the entry is added while this page (1-based) is open; 0 between pages
  std::int32_t kind, n;
};

std::string TreeOf(const std::vector<Step>& steps, RecordingDevice& d) {
  d.BeginDoc(576, 800, 72, 0);
  int open = 0;
  char title = 'A';
  for (const Step& s : steps) {
    while (open < s.page) {
      if (d.PageOpen()) d.EndPage();
      d.BeginPage(612, 792, 72, 72, 0);
      ++open;
    }
    if (s.page == 0 && d.PageOpen()) d.EndPage();
    d.AddOutline(d.CreateOutlineNode(std::string(1, title++), {}), s.kind, s.n);
  }
  while (open < 3) {  // every document has three pages
    d.BeginPage(612, 792, 72, 72, 0);
    ++open;
  }
  d.EndDoc();
  return DocumentBytes(d);
}

TEST(PDFDeviceOutline, TreesFromFilingSequences) {
  if (!vellora_test::HaveTool("qpdf") || !vellora_test::HaveTool("python3"))
    GTEST_SKIP() << "qpdf or python3 missing";
  const struct {
    const char* name;
    std::vector<Step> steps;
    const char* tree;
  } cases[] = {
      {"siblings on the pages they were added on",
       {{1, 0, 0}, {2, 0, 0}, {3, 1, 0}},
       "A@1 B@2 C@3 3"},
      {"between pages: the last page", {{1, 0, 0}, {0, 0, 0}}, "A@1 B@1 2"},
      {"4, 4, 0: two levels and a sibling", {{1, 4, 0}, {1, 4, 0}, {1, 0, 0}}, "A@1(B@1 C@1) 3"},
      {"3 with n 3: two empty entries between, leading nowhere",
       {{1, 0, 0}, {2, 3, 3}},
       "A@1(@0(@0(B@2))) 4"},
      {"3 with n -1: one level up",
       {{1, 4, 0}, {1, 4, 0}, {1, 4, 0}, {2, 3, -1}},
       "A@1(B@1(C@1) D@2) 4"},
      {"2 with n 0: after the parent", {{1, 0, 0}, {1, 4, 0}, {2, 2, 0}}, "A@1(B@1) C@2 3"},
      {"2 on an empty tree", {{1, 2, 0}, {1, 4, 0}}, "A@1(B@1) 2"},
      {"2 with n 1 stays unfiled", {{1, 0, 0}, {1, 2, 1}, {1, 0, 0}}, "A@1 C@1 2"},
      {"5 after entry n", {{1, 0, 0}, {1, 4, 0}, {1, 0, 0}, {2, 5, 1}}, "A@1(B@1 C@1) D@2 4"},
      {"5 naming itself files after the current entry", {{1, 0, 0}, {1, 5, 2}}, "A@1 B@1 2"},
      {"6 with n 0: end of the top level", {{1, 4, 0}, {1, 4, 0}, {1, 6, 0}}, "A@1(B@1) C@1 3"},
      {"6 under entry n", {{1, 0, 0}, {1, 0, 0}, {1, 6, 1}}, "A@1(C@1) B@1 3"},
      {"6 referring to an unfiled entry: under the filed one in its place",
       {{1, 0, 0}, {1, 2, 7}, {1, 6, 2}},
       "A@1(C@1) 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingDevice d;
    const std::string pdf = TreeOf(c.steps, d);
    EXPECT_EQ(QpdfProblems(pdf), "");
    EXPECT_EQ(vellora_test::QpdfOutlineTree(pdf), std::string(c.tree) + "\n");
  }
}

TEST(PDFDeviceOutline, NumbersAndErrors) {
  RecordingDevice d;
  EXPECT_THROW(d.AddOutline(d.CreateOutlineNode("x", {}), 0, 0), std::runtime_error);
  d.BeginDoc(576, 800, 72, 0);
  EXPECT_EQ(d.AddOutline(d.CreateOutlineNode("one", {}), 0, 0), 1);
  EXPECT_EQ(d.AddOutline(d.CreateOutlineNode("two", {}), 4, 0), 2);
  EXPECT_THROW(d.AddOutline(d.CreateOutlineNode("bad", {}), 6, -1), std::out_of_range);
  EXPECT_EQ(d.AddOutline(d.CreateOutlineNode("three", {}), 0, 0), 3);
  d.BeginPage(612, 792, 72, 72, 0);
  d.EndDoc();
  // Entries filed before any page lead nowhere, and the file is still valid.
  const std::string pdf = DocumentBytes(d);
  EXPECT_EQ(QpdfProblems(pdf), "");
  if (vellora_test::HaveTool("python3")) {
    EXPECT_EQ(vellora_test::QpdfOutlineTree(pdf), "one@0(two@0 three@0) 3\n");
  }
}

TEST(PDFDeviceOutline, DestinationsInPointsAndByName) {
  if (!vellora_test::HaveTool("qpdf") || !vellora_test::HaveTool("python3"))
    GTEST_SKIP() << "qpdf or python3 missing";
  RecordingDevice d;
  d.options.text.outlineCharset = 65001;
  d.BeginDoc(576, 800, 72, 0);
  d.BeginPage(816, 1056, 96, 96, 0);  // letter at 96 dpi: 612 x 792 points
  d.LocalDestinations().Add("Intro", {d.CurrentPage(), 192, 96});
  TQVOutlineTarget xyz;
  xyz.left = 96;
  xyz.top = 144;
  xyz.zoom = 2;
  d.AddOutline(d.CreateOutlineNode("Caf\xC3\xA9", xyz), 0, 0);
  TQVOutlineTarget fit;
  fit.mode = 1;
  d.AddOutline(d.CreateOutlineNode("Fit", fit), 0, 0);
  TQVOutlineTarget named;
  named.destName = "intro";  // names compare without letter case
  d.AddOutline(d.CreateOutlineNode("Named", named), 0, 0);
  TQVOutlineTarget missing;
  missing.destName = "Nowhere";
  d.AddOutline(d.CreateOutlineNode("Missing", missing), 0, 0);
  d.EndDoc();
  const std::string pdf = DocumentBytes(d);
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_EQ(vellora_test::QpdfJsonQuery(pdf, R"(
root = get(trailer['/Root'])
page = get(root['/Pages'])['/Kids'][0]
ref = get(root['/Outlines'])['/First']
while ref:
    o = get(ref)
    d = o.get('/Dest')
    print(o['/Title'], d[0] == page if d else None, d[1:] if d else '-')
    ref = o.get('/Next')
)"),
            "u:Caf\xC3\xA9 True ['/XYZ', 72, 684, 2]\n"
            "u:Fit True ['/Fit']\n"
            "u:Named True ['/XYZ', 144, 720, 0]\n"
            "u:Missing None -\n");
  ASSERT_FALSE(d.messages.empty());
  EXPECT_EQ(d.messages.back(),
            (std::pair<std::int32_t, std::string>{1, "Bookmark \"Nowhere\" not found"}));
}

}  // namespace
}  // namespace vellora
