// The component driving the real engine: a host draws three pages on the page canvas and takes
// the document as a file, into a memory stream and into another stream; independent readers
// check what came out.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "brenlow/pdf_printer.h"
#include "font_test_env.h"
#include "page_render.h"
#include "pdf_tools.h"
#include "temp_files.h"
#include "tool_run.h"

namespace brenlow_test {
namespace {

using namespace brenlow;

class Collected : public qvplatform::TStream {
 public:
  std::size_t Write(const void* data, std::size_t size) override {
    bytes.append(static_cast<const char*>(data), size);
    return size;
  }
  std::string bytes;
};

qvplatform::LOGFONTW Face(const std::u16string& name, int height) {
  qvplatform::LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWeight = 400;
  std::copy(name.begin(), name.end(), lf.lfFaceName);
  return lf;
}

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// Three A4 pages at 100 pixels per inch: a frame of lines, a line of text in each of two faces,
// and a red 24-bit bitmap at (100, 100)-(300, 300) pixels.
void DrawThreePages(TQVPDFPrinter& printer) {
  qvplatform::BITMAPINFOHEADER info;
  info.biSize = 40;
  info.biWidth = 2;
  info.biHeight = 2;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const qvplatform::BYTE red[16] = {0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0};
  printer.BeginDoc();
  for (int page = 1; page <= 3; ++page) {
    printer.StartPage(827, 1169, 100, 100, 0);
    qvplatform::TMetafileCanvas& c = printer.Canvas();
    c.SetPen(qvplatform::PS_SOLID, 2, qvplatform::RGB(0, 0, 0));
    c.Polyline({{50, 50}, {777, 50}, {777, 1119}, {50, 1119}, {50, 50}});
    c.SetBkMode(qvplatform::TRANSPARENT);
    c.SetFont(Face(u"Liberation Sans", -40));
    c.ExtTextOutW(100, 400, 0, nullptr, Wide("Sans text of page " + std::to_string(page)));
    c.SetFont(Face(u"Liberation Serif", -40));
    c.ExtTextOutW(100, 500, 0, nullptr, Wide("Serif text of page " + std::to_string(page)));
    c.StretchDIBits({100, 100, 300, 300}, {0, 0, 2, 2}, &info, sizeof info, red, sizeof red,
                    qvplatform::DIB_RGB_COLORS, qvplatform::SRCCOPY);
    printer.EndPage();
  }
  printer.EndDoc();
}

class RealEngineTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!vellora_test::UsePrivateFontConfig()) GTEST_SKIP() << "test fonts missing";
    TQVCustomPDFExport().SetDLLName(REAL_ENGINE);
  }
  void TearDown() override { EXPECT_EQ(EngineLibraryReferenceCount(), 0); }

  static void CheckDocument(const std::string& pdf) {
    ASSERT_EQ(vellora_test::QpdfProblems(pdf), "");
    vellora_test::TempFile file(pdf);
    const vellora_test::ToolResult info = vellora_test::RunTool({"pdfinfo", file.Path().string()});
    EXPECT_NE(info.out.find("Pages:           3"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("595.44 x 841.68 pts"), std::string::npos) << info.out;
    for (int page = 1; page <= 3; ++page) {
      const std::string n = std::to_string(page);
      const std::string text = vellora_test::PdfToText(pdf, {"-f", n, "-l", n, "-raw"}).out;
      EXPECT_NE(text.find("Sans text of page " + n), std::string::npos) << text;
      EXPECT_NE(text.find("Serif text of page " + n), std::string::npos) << text;
    }
    vellora_test::RenderOptions options;
    options.colour = true;
    const vellora_test::Raster r = vellora_test::RenderPage(pdf, options);
    ASSERT_TRUE(r.ok) << r.diagnostics;
    // 100..300 pixels at 100 per inch are 72..216 points.
    EXPECT_EQ(r.At(144, 144), 0xFF0000u);
    EXPECT_EQ(r.At(80, 80), 0xFF0000u);
    EXPECT_EQ(r.At(210, 210), 0xFF0000u);
    EXPECT_EQ(r.At(300, 144), 0xFFFFFFu);
    EXPECT_TRUE(r.Dark(36, 200)) << "the frame line at 50 pixels";
  }
};

TEST_F(RealEngineTest, AHostWritesAFile) {
  vellora_test::TempDir dir;
  TQVPDFPrinter printer;
  printer.SetFilename(dir.File("three pages.pdf").string());
  DrawThreePages(printer);
  std::ifstream in(dir.File("three pages.pdf"), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  CheckDocument(bytes.str());
  EXPECT_FALSE(printer.MetafileError());
}

TEST_F(RealEngineTest, AHostTakesTheDocumentAsAStream) {
  qvplatform::TMemoryStream memory;
  Collected other;
  for (qvplatform::TStream* stream :
       {static_cast<qvplatform::TStream*>(&memory), static_cast<qvplatform::TStream*>(&other)}) {
    TQVPDFPrinter printer;
    printer.SetOutputStream(stream);
    DrawThreePages(printer);
  }
  CheckDocument(std::string(memory.Bytes().begin(), memory.Bytes().end()));
  CheckDocument(other.bytes);
}

}  // namespace
}  // namespace brenlow_test
