// Text commands of metafile comments as independent readers see the written file: links
// (one for a 2501 followed by 501), a named destination at its place on a 96 dpi page,
// bookmark nesting by level commands, link commands with no page to put them on, hidden text
// amid fills and visible text, and a form placed by name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_record.h"
#include "emf_builder.h"
#include "font_test_env.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::CommandRecord;
using vellora_test::DocumentBytes;
using vellora_test::EmfBuilder;
using vellora_test::FixedDocumentEnvironment;
using vellora_test::kCommandAnsi;
using vellora_test::MuPdfLinks;
using vellora_test::QpdfJsonQuery;
using vellora_test::QpdfProblems;
using vellora_test::Raster;
using vellora_test::RecordingDevice;
using vellora_test::RenderOptions;
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
  // A picture of side x side points drawn at the page's top left.
  Commands& Play(const EmfBuilder& picture, int side) {
    const std::vector<unsigned char> bytes = picture.Bytes();
    const int units = side * d.xResolution / 72;
    d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, units, units, false, 0, 0);
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

std::vector<std::uint8_t> Command(std::int32_t code, const std::string& text) {
  return CommandRecord(code, kCommandAnsi, {0, 0, 0, 0}, text);
}

bool Red(std::uint32_t pixel) { return pixel == 0xFF0000; }

TEST(PDFDeviceCommands, HiddenTextIsFoundButLeavesNoInkAndNoColour) {
  REQUIRE_TEST_FONTS();
  FixedDocumentEnvironment env;
  Commands c(72);
  EmfBuilder b = vellora_test::PointPicture(200, 200);
  b.CreateBrush(1, 0 /* BS_SOLID */, 0x0000FF);
  b.SelectObject(0x80000008);  // NULL_PEN
  b.SelectObject(1);
  b.CreateFont(2, EmfBuilder::Font(u"Liberation Sans", -20));
  b.SelectObject(2);
  b.Rectangle({100, 100, 150, 150});
  b.GdiComment(Command(513, "Hidden words"));
  // The same brush again: its red must still be in the content, not the text's colour.
  b.Rectangle({100, 160, 150, 190});
  b.ExtTextOutW(10, 150, u"Seen");
  b.Eof();
  const std::string pdf = c.Play(b, 200).Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");

  const std::string text = vellora_test::PdfToText(pdf).out;
  EXPECT_NE(text.find("Hidden words"), std::string::npos) << text;
  EXPECT_NE(text.find("S e e n"), std::string::npos) << text;  // 10 units a letter
  RenderOptions colour;
  colour.colour = true;
  const Raster page = vellora_test::RenderPage(pdf, colour);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  EXPECT_TRUE(Red(page.At(125, 125)));
  EXPECT_TRUE(Red(page.At(125, 175))) << std::hex << page.At(125, 175);
  // The text after the hidden one is painted again; above it nothing but the two boxes.
  EXPECT_GT(page.DarkShare(10, 150, 60, 160), 0.05);
  EXPECT_EQ(page.DarkShare(0, 0, 612, 99), 0.0);
}

// The form "Stamp": a black box 40 points in from its top left.
void RecordStamp(RecordingDevice& d) {
  EmfBuilder b = vellora_test::PointPicture(100, 100);
  b.CreateBrush(1, 0 /* BS_SOLID */, 0x000000);
  b.SelectObject(0x80000008);  // NULL_PEN
  b.SelectObject(1);
  b.Rectangle({40, 40, 80, 80});
  b.Eof();
  const std::vector<unsigned char> bytes = b.Bytes();
  d.BeginXForm("Stamp", 100, 100, 72, 72, 0);
  d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 100, 100, false, 0, 0);
  d.EndXForm();
}

// A page with the form placed by the metafile command, or as the engine's place-form
// command places it.
Raster StampedPage(bool byCommand, const std::string& name) {
  FixedDocumentEnvironment env;
  RecordingDevice d;
  d.BeginDoc(576, 800, 72, 0);
  RecordStamp(d);
  d.BeginPage(816, 1056, 72, 72, 0);
  if (byCommand) {
    EmfBuilder b = vellora_test::PointPicture(200, 200);
    b.GdiComment(CommandRecord(506, kCommandAnsi, {20, 20, 120, 120}, name));
    b.Eof();
    const std::vector<unsigned char> bytes = b.Bytes();
    d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 200, 200, false, 0, 0);
  } else {
    d.DrawXForm(name, 0, 0, 0, 0, 0);
  }
  d.EndPage();
  d.EndDoc();
  const std::string pdf = DocumentBytes(d);
  EXPECT_EQ(QpdfProblems(pdf), "");
  return vellora_test::RenderPage(pdf);
}

TEST(PDFDeviceCommands, PlaceFormStandsWhereThePlaceFormCommandPutsIt) {
  const Raster byCommand = StampedPage(true, "stamp");
  const Raster byEngine = StampedPage(false, "Stamp");
  ASSERT_TRUE(byCommand.ok && byEngine.ok) << byCommand.diagnostics << byEngine.diagnostics;
  EXPECT_GT(byCommand.DarkShare(45, 45, 75, 75), 0.99);
  EXPECT_EQ(byCommand.pixels, byEngine.pixels);
  // An unknown name places nothing.
  const Raster missing = StampedPage(true, "nothing");
  EXPECT_EQ(missing.DarkShare(0, 0, missing.width, missing.height), 0.0);
}

}  // namespace
}  // namespace vellora
