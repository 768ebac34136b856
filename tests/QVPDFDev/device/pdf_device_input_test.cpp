// The input PDF of a document, checked with independent readers: appended pages keep their
// text, pixels and size under a new page tree; watermark forms show each input page in place
// at any resolution; read mode hands the decoded content to the host and stops when asked;
// every failure is message 6 with its reason and the document goes on without the input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "QVPDFDev/filters/zlib_binding.h"
#include "input_pdf_builder.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::DocumentBytes;
using vellora_test::InputPdfBuilder;
using vellora_test::MarkedPdf;
using vellora_test::PdfToText;
using vellora_test::QpdfJsonQuery;
using vellora_test::QpdfProblems;
using vellora_test::Raster;
using vellora_test::RecordingDevice;
using vellora_test::RenderPage;
using vellora_test::TempFile;

struct ReadCall {
  std::int32_t number;
  float width, height;
  std::string content;
};

// The host's side of read mode: records each kind-3 record and answers stop after stopAfter.
struct ReadHost {
  std::vector<ReadCall> calls;
  int stopAfter = 1000;
  static void Callback(void* user, std::int32_t kind, std::int32_t value, const char* text) {
    if (kind != 3) return;
    auto* host = static_cast<ReadHost*>(user);
    unsigned char record[104];
    std::memcpy(record, text, sizeof record);
    ReadCall call{};
    std::int32_t size = 0, one = 0;
    const void* data = nullptr;
    std::memcpy(&size, record + 0, 4);
    std::memcpy(&call.number, record + 4, 4);
    std::memcpy(&one, record + 16, 4);
    std::memcpy(&call.width, record + 28, 4);
    std::memcpy(&call.height, record + 32, 4);
    std::memcpy(&data, record + 96, sizeof data);
    EXPECT_EQ(size, value);
    EXPECT_EQ(one, 1);
    call.content.assign(static_cast<const char*>(data), static_cast<std::size_t>(size));
    host->calls.push_back(call);
    if (static_cast<int>(host->calls.size()) >= host->stopAfter) {
      const std::int32_t stop = 1;
      std::memcpy(const_cast<char*>(text) + 8, &stop, 4);
    }
  }
};

// Pages of pdfinfo: "w x h" of each, in order.
std::vector<std::string> PageSizes(const std::string& pdf) {
  TempFile file(pdf);
  const auto result = vellora_test::RunTool(
      {"pdfinfo", "-f", "1", "-l", "9999", file.Path().string()}, vellora_test::ToolErrors::kDrop);
  std::vector<std::string> sizes;
  std::size_t line = 0;
  while (line < result.out.size()) {
    const std::size_t end = std::min(result.out.find('\n', line), result.out.size());
    const std::string text = result.out.substr(line, end - line);
    const std::size_t at = text.find(" size: ");
    if (text.rfind("Page ", 0) == 0 && at != std::string::npos &&
        text.find(" pts") != std::string::npos)
      sizes.push_back(text.substr(text.find_first_not_of(' ', at + 7),
                                  text.find(" pts") - text.find_first_not_of(' ', at + 7)));
    line = end + 1;
  }
  return sizes;
}

std::string PageText(const std::string& pdf, int page) {
  return PdfToText(pdf, {"-f", std::to_string(page), "-l", std::to_string(page)}).out;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The share of pixels whose grey differs by more than a quarter.
double DifferentShare(const Raster& a, const Raster& b) {
  if (!a.ok || !b.ok || a.width != b.width || a.height != b.height) return 1;
  int differ = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (std::abs(a.Grey(x, y) - b.Grey(x, y)) > 64) ++differ;
  return static_cast<double>(differ) / (a.width * a.height);
}

class InputDocument : public ::testing::Test {
 protected:
  // A document on the input with the mode; newPages blank pages of 200 x 100 points.
  std::string Write(const std::string& input, std::int32_t mode, int newPages = 2) {
    TempFile file(input);
    d.options.file.SetInputFile(file.Path().string());
    d.options.file.SetInputFileMode(mode);
    d.BeginDoc(576, 800, 72, 0);
    for (int i = 0; i < newPages; ++i) {
      d.BeginPage(200, 100, 72, 72, 0);
      d.EndPage();
    }
    d.EndDoc();
    return DocumentBytes(d);
  }
  // The messages of code 6.
  std::vector<std::string> ImportProblems() const {
    std::vector<std::string> texts;
    for (const auto& [code, text] : d.messages)
      if (code == 6) texts.push_back(text);
    return texts;
  }

  vellora_test::FixedDocumentEnvironment env;
  RecordingDevice d;
};

// An input whose pages inherit from a nested node, one of them with generation 1, and whose
// second page's content is a Flate array split inside a text object.
std::string MixedInput() {
  auto flate = [](std::string_view text) {
    std::vector<std::uint8_t> z = ZCompressBuffer(text.data(), text.size(), 3);
    return std::string(z.begin(), z.end());
  };
  InputPdfBuilder b("%PDF-1.3\n");
  b.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
  b.Object(
      2, "<< /Type /Pages /Kids [3 0 R 7 1 R] /Count 2 /Resources << /Font << /F1 4 0 R >> >> >>");
  b.Object(3, "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R] /Count 1 /MediaBox [0 0 300 400] >>");
  b.Object(4, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  b.Object(5, "<< /Type /Page /Parent 3 0 R /Contents 6 0 R >>");
  b.Stream(6, "", "BT /F1 20 Tf 30 300 Td (Marker page 1) Tj ET");
  b.Object(7, "<< /Type /Page /Parent 2 0 R /MediaBox [50 60 350.5 460] /Contents [8 0 R 9 0 R] >>",
           1);
  b.Stream(8, " /Filter /FlateDecode", flate("BT /F1 20 Tf 80 360 Td (Marker"));
  b.Stream(9, " /Filter /FlateDecode", flate(" page 2) Tj ET"), 10);
  b.EndSection(" /Root 1 0 R");
  return b.Bytes();
}

// The notification of a loaded input: kind 4 with the file name and the page count.
struct Notices {
  std::vector<std::pair<std::string, std::int32_t>> loaded;
  static void Callback(void* user, std::int32_t kind, const char* text, std::int32_t value) {
    if (kind == 4) static_cast<Notices*>(user)->loaded.emplace_back(text, value);
  }
};

TEST_F(InputDocument, AppendKeepsInputPagesUnderTheNewTree) {
  const std::string input = MixedInput();
  Notices notices;
  d.receivers.notifyCallback = &Notices::Callback;
  d.receivers.callbackUserData = &notices;
  const std::string pdf = Write(input, 1);
  ASSERT_EQ(notices.loaded.size(), 1u);
  EXPECT_EQ(notices.loaded[0].second, 2);
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_TRUE(ImportProblems().empty());
  EXPECT_EQ(d.inputPageCount, 2);
  EXPECT_EQ(PageSizes(pdf),
            (std::vector<std::string>{"300 x 400", "300.5 x 400", "200 x 100", "200 x 100"}));
  // qpdf agrees on the pages, and every page's /Parent lists it.
  EXPECT_EQ(QpdfJsonQuery(pdf, R"(
pages = doc["pages"]
print(len(pages))
for p in pages:
    parent = get(get(p["object"])["/Parent"])
    print(p["object"] in parent["/Kids"])
)"),
            "4\nTrue\nTrue\nTrue\nTrue\n");
  for (int page = 1; page <= 2; ++page) {
    EXPECT_EQ(Count(PageText(pdf, page), "Marker page " + std::to_string(page)), 1) << page;
    vellora_test::RenderOptions options;
    options.page = page;
    EXPECT_LT(DifferentShare(RenderPage(pdf, options), RenderPage(input, options)), 0.001) << page;
  }
}

TEST_F(InputDocument, AppendAfterPutsTheInputPagesLast) {
  const std::string pdf = Write(MarkedPdf(3, 300, 400), 4, 1);
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_EQ(PageSizes(pdf),
            (std::vector<std::string>{"200 x 100", "300 x 400", "300 x 400", "300 x 400"}));
  EXPECT_EQ(Count(PageText(pdf, 4), "Marker page 3"), 1);
}

// Watermark forms at 72 and 300 dpi: each new page shows its input page in place.
TEST_F(InputDocument, WatermarkFormsShowTheInputPageInPlace) {
  const std::string input = MixedInput();
  for (int resolution : {72, 300}) {
    RecordingDevice doc;
    TempFile file(input);
    doc.options.file.SetInputFile(file.Path().string());
    doc.options.file.SetInputFileMode(3);
    doc.BeginDoc(576, 800, resolution, 0);
    ASSERT_EQ(doc.inputPageCount, 2);
    for (int page = 1; page <= 2; ++page) {
      const int w = page == 1 ? 300 : 301, h = 400;
      doc.BeginPage(w * resolution / 72, h * resolution / 72, resolution, resolution, 0);
      EXPECT_TRUE(doc.DrawXForm("inpage" + std::to_string(page), 0, 0, 0, 0, 0));
      doc.EndPage();
    }
    doc.EndDoc();
    const std::string pdf = DocumentBytes(doc);
    EXPECT_EQ(QpdfProblems(pdf), "") << resolution;
    for (int page = 1; page <= 2; ++page) {
      const std::string marker = "Marker page " + std::to_string(page);
      EXPECT_EQ(Count(PageText(pdf, page), marker), 1) << resolution << " " << page;
      vellora_test::RenderOptions options;
      options.page = page;
      const Raster in = RenderPage(input, options);
      const Raster out = RenderPage(pdf, options);
      // The input page's box starts at (50, 60): the form moves it to the origin.
      Raster cropped = out;
      if (page == 2) {
        cropped.width = in.width;
        cropped.pixels.clear();
        for (int y = 0; y < out.height; ++y)
          for (int x = 0; x < in.width; ++x) cropped.pixels.push_back(out.At(x, y));
      }
      // At 300 dpi the page is 1666 pixels high, 0.16 points short of the input's 400: edges
      // of the glyphs may fall into the next pixel row.
      EXPECT_LT(DifferentShare(cropped, in), 0.01) << resolution << " " << page;
    }
  }
}

TEST_F(InputDocument, ReadModeHandsEachPageDecodedAndStops) {
  const std::string input = MixedInput();
  for (int stopAfter : {1000, 1}) {
    RecordingDevice doc;
    ReadHost host;
    host.stopAfter = stopAfter;
    TempFile file(input);
    doc.receivers.SetEngineCallback(&ReadHost::Callback, &host);
    doc.options.file.SetInputFile(file.Path().string());
    doc.options.file.SetInputFileMode(1);
    doc.options.file.readMode = 1;
    doc.BeginDoc(576, 800, 72, 0);
    doc.EndDoc();
    EXPECT_EQ(DocumentBytes(doc), "");  // nothing is written
    ASSERT_EQ(host.calls.size(), stopAfter == 1 ? 1u : 2u);
    EXPECT_EQ(host.calls[0].number, 1);
    EXPECT_EQ(host.calls[0].content, vellora_test::QpdfStreamData(input, 6));
    EXPECT_EQ(host.calls[0].width, 300);
    EXPECT_EQ(host.calls[0].height, 400);
    if (stopAfter == 1) continue;
    EXPECT_EQ(host.calls[1].number, 2);
    EXPECT_EQ(host.calls[1].content, vellora_test::QpdfStreamData(input, 8) + "\n" +
                                         vellora_test::QpdfStreamData(input, 9));
    EXPECT_FLOAT_EQ(host.calls[1].width, 300.5);
  }
}

TEST_F(InputDocument, FailuresAreMessageSixAndTheDocumentGoesOn) {
  std::string damaged = MarkedPdf(2);
  damaged.replace(damaged.find("/Kids [4 0 R 6 0 R ]"), 20, "/Kids [4 0 R 2 0 R ]");
  const std::string pdf = Write(damaged, 1, 1);
  EXPECT_EQ(QpdfProblems(pdf), "");
  ASSERT_EQ(ImportProblems().size(), 1u);
  EXPECT_EQ(ImportProblems()[0].rfind("Problem in importfile ", 0), 0u);
  EXPECT_NE(ImportProblems()[0].find(": loop in the page tree at object 2"), std::string::npos)
      << ImportProblems()[0];
  EXPECT_EQ(d.options.file.inputFileMode, 0);
  EXPECT_EQ(d.inputPageCount, 0);
  EXPECT_EQ(PageSizes(pdf), (std::vector<std::string>{"200 x 100"}));
}

// The input's objects would stay plain in an encrypted file: the input is refused, the
// document is written encrypted without it.
TEST_F(InputDocument, AnEncryptedDocumentRefusesTheInput) {
  d.options.security.SetEncryption(kEncryptFile);
  d.options.security.SetOwnerPassword("owner");
  const std::string pdf = Write(MarkedPdf(2), 1, 1);
  ASSERT_EQ(ImportProblems().size(), 1u);
  EXPECT_NE(ImportProblems()[0].find(": an input file cannot be copied into an encrypted document"),
            std::string::npos)
      << ImportProblems()[0];
  EXPECT_EQ(d.inputPageCount, 0);
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_NE(pdf.find("/Encrypt "), std::string::npos);
  EXPECT_EQ(PageSizes(pdf), (std::vector<std::string>{"200 x 100"}));
}

TEST_F(InputDocument, MissingFileSwitchesTheInputOffQuietly) {
  d.options.file.SetInputFile("/nonexistent/input.pdf");
  d.options.file.SetInputFileMode(1);
  d.BeginDoc(576, 800, 72, 0);
  d.EndDoc();
  EXPECT_TRUE(ImportProblems().empty());
  EXPECT_EQ(d.options.file.inputFileMode, 0);
  EXPECT_EQ(QpdfProblems(DocumentBytes(d)), "");
}

TEST_F(InputDocument, PdfAKeepsTheInputNumbers) {
  d.options.writer.pdfaMode = folvioaLevelB;
  const std::string pdf = Write(MarkedPdf(2), 1, 1);
  EXPECT_TRUE(ImportProblems().empty()) << ImportProblems()[0];
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_EQ(Count(PageText(pdf, 2), "Marker page 2"), 1);
}

// ---- Files by other programs ------------------------------------------------------------

std::string CairoPdf(int pages) {
  vellora_test::TempDir dir;
  const std::string path = dir.File("cairo.pdf").string();
  const auto result = vellora_test::RunTool({MAKE_CAIRO_PDF, path, std::to_string(pages)});
  EXPECT_EQ(result.status, 0) << result.out;
  return vellora_test::ReadFile(path);
}

// The input rewritten by qpdf with the options.
std::string QpdfRewrite(const std::string& input, const std::vector<std::string>& options) {
  TempFile in(input);
  vellora_test::TempDir dir;
  std::vector<std::string> argv = {"qpdf"};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.push_back(in.Path().string());
  argv.push_back(dir.File("out.pdf").string());
  const auto result = vellora_test::RunTool(argv);
  EXPECT_TRUE(result.status == 0 || result.status == 3) << result.out;  // 3: warnings
  return vellora_test::ReadFile(dir.File("out.pdf"));
}

// cairo's files (indirect lengths, comments) and qpdf's rewrites of an input, appended and
// read: the pages keep their text and pixels, read mode sees qpdf's decoded content.
TEST_F(InputDocument, FilesByOtherProgramsAreAppended) {
  const std::string cairo = CairoPdf(3);
  ASSERT_FALSE(cairo.empty());
  const std::string mixed = MixedInput();
  struct Case {
    const char* name;
    std::string input;
    int pages;
  };
  const Case cases[] = {
      {"cairo", cairo, 3},
      {"qpdf plain", QpdfRewrite(mixed, {"--object-streams=disable"}), 2},
      {"qpdf qdf", QpdfRewrite(mixed, {"--qdf", "--object-streams=disable"}), 2},
      {"qpdf linearized", QpdfRewrite(cairo, {"--linearize", "--object-streams=disable"}), 3},
  };
  for (const Case& c : cases) {
    RecordingDevice doc;
    TempFile file(c.input);
    doc.options.file.SetInputFile(file.Path().string());
    doc.options.file.SetInputFileMode(1);
    doc.BeginDoc(576, 800, 72, 0);
    doc.BeginPage(200, 100, 72, 72, 0);
    doc.EndPage();
    doc.EndDoc();
    const std::string pdf = DocumentBytes(doc);
    for (const auto& [code, text] : doc.messages) EXPECT_NE(code, 6) << c.name << ": " << text;
    EXPECT_EQ(QpdfProblems(pdf), "") << c.name;
    EXPECT_EQ(PageSizes(pdf).size(), static_cast<std::size_t>(c.pages + 1)) << c.name;
    for (int page = 1; page <= c.pages; ++page) {
      EXPECT_EQ(Count(PageText(pdf, page), "Marker page " + std::to_string(page)), 1)
          << c.name << " " << page;
      vellora_test::RenderOptions options;
      options.page = page;
      EXPECT_LT(DifferentShare(RenderPage(pdf, options), RenderPage(c.input, options)), 0.001)
          << c.name << " " << page;
    }
  }
}

// A long input appended and turned into forms: every page arrives (speed and memory are
// measured outside the suite).
TEST_F(InputDocument, ThousandPageInputIsAppendedAndImported) {
  const std::string cairo = CairoPdf(1000);
  for (std::int32_t mode : {1, 2}) {
    RecordingDevice doc;
    TempFile file(cairo);
    doc.options.file.SetInputFile(file.Path().string());
    doc.options.file.SetInputFileMode(mode);
    doc.BeginDoc(576, 800, 72, 0);
    EXPECT_EQ(doc.inputPageCount, 1000);
    doc.BeginPage(300, 400, 72, 72, 0);
    EXPECT_TRUE(doc.DrawXForm(mode == 1 ? "none" : "inpage1000", 0, 0, 0, 0, 0) == (mode == 2));
    doc.EndPage();
    doc.EndDoc();
    const std::string pdf = DocumentBytes(doc);
    EXPECT_EQ(QpdfProblems(pdf), "") << mode;
    EXPECT_EQ(PageSizes(pdf).size(), mode == 1 ? 1001u : 1u);
    EXPECT_EQ(Count(PageText(pdf, mode == 1 ? 1000 : 1), "Marker page 1000"), 1) << mode;
  }
}

TEST_F(InputDocument, ObjectStreamsAreRefusedWithTheirReason) {
  Write(QpdfRewrite(MixedInput(), {"--object-streams=generate"}), 1, 1);
  ASSERT_EQ(ImportProblems().size(), 1u);
  EXPECT_NE(ImportProblems()[0].find(": xref not found"), std::string::npos) << ImportProblems()[0];
}

}  // namespace
}  // namespace vellora
