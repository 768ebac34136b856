// Text commands of metafile comments as independent readers see the written file: links
// (one for a 2501 followed by 501), a named destination at its place on a 96 dpi page,
// bookmark nesting by level commands, and link commands with no page to put them on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_record.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::CommandRecord;
using vellora_test::DocumentBytes;
using vellora_test::FixedDocumentEnvironment;
using vellora_test::kCommandAnsi;
using vellora_test::MuPdfLinks;
using vellora_test::QpdfJsonQuery;
using vellora_test::QpdfProblems;
using vellora_test::RecordingDevice;
using vellora_test::RunTool;
using vellora_test::TempFile;

struct Commands {
  RecordingDevice d;
  explicit Commands(std::int32_t resolution) {
    d.BeginDoc(576, 800, resolution, 0);
    d.BeginPage(816, 1056, resolution, resolution, 0);
  }
  Commands& Send(std::int32_t code, const std::string& text, qvplatform::RECTL r = {0, 0, 0, 0}) {
    const std::vector<std::uint8_t> record = CommandRecord(code, kCommandAnsi, r, text);
    d.GdiComment({record.data(), record.size()});
    return *this;
  }
  std::string Finish() {
    if (d.PageOpen()) d.EndPage();
    d.EndDoc();
    return DocumentBytes(d);
  }
};

TEST(PDFDeviceCommands, LinkOnceThenLinkMakesOneLink) {
  FixedDocumentEnvironment env;
  Commands c(72);
  const qvplatform::RECTL area{10, 10, 110, 40};
  c.Send(2501, "http://example.org/a", area).Send(501, "http://example.org/a", area);
  c.Send(501, "http://example.org/b", {10, 60, 110, 90});
  const std::string pdf = c.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  const std::string links = MuPdfLinks(pdf);
  EXPECT_NE(links.find("example.org/a"), std::string::npos) << links;
  EXPECT_NE(links.find("example.org/b"), std::string::npos) << links;
  EXPECT_EQ(links.find("example.org/a"), links.rfind("example.org/a")) << links;
}

TEST(PDFDeviceCommands, DestinationsLandWhereTheyWereDrawn) {
  FixedDocumentEnvironment env;
  Commands c(96);
  c.Send(507, "global", {192, 96, 192, 96});
  const std::string pdf = c.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  const TempFile file(pdf, ".pdf");
  const std::string dests = RunTool({"pdfinfo", "-dests", file.Path().string()}).out;
  // 192 pixels at 96 dpi are 144 points; y counts up from the foot of the 792-point page.
  EXPECT_NE(dests.find("[ XYZ  144  720"), std::string::npos) << dests;
}

TEST(PDFDeviceCommands, LevelCommandsNestBookmarks) {
  FixedDocumentEnvironment env;
  Commands c(72);
  c.Send(503, "a=Top").Send(504, "").Send(504, "").Send(503, "b=Two down");
  c.Send(505, "").Send(503, "c=Back up one");
  const std::string pdf = c.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  const std::string tree = QpdfJsonQuery(pdf, R"(
def walk(ref, depth):
    while ref:
        o = get(ref)
        print('  ' * depth + o['/Title'][2:])
        if '/First' in o: walk(o['/First'], depth + 1)
        ref = o.get('/Next')
walk(get(get(trailer['/Root'])['/Outlines'])['/First'], 0)
)");
  // Two levels down from "Top" passes an untitled entry of the level between.
  EXPECT_EQ(tree, "Top\n  \n    Two down\n  Back up one\n") << tree;
}

TEST(PDFDeviceCommands, LinksWithoutAPageAreLeftOut) {
  FixedDocumentEnvironment env;
  Commands c(72);
  c.d.EndPage();
  EXPECT_NO_THROW(c.Send(501, "http://example.org/", {0, 0, 10, 10}));
  EXPECT_NO_THROW(c.Send(2501, "http://example.org/", {0, 0, 10, 10}));
  const std::string pdf = c.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_EQ(pdf.find("/Annots"), std::string::npos);
}

}  // namespace
}  // namespace vellora
