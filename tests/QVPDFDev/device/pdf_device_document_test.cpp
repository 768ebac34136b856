// The document lifecycle of the PDF device: a whole file read back by qpdf, pdfinfo and
// pdftoppm; its frame; documents without pages; large page trees; the header version of each
// condition; read mode; and an output file that cannot be made.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "QVGenDC/assertion_failed.h"
#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/objects/pdf_simple_objects.h"
#include "info_test_document.h"
#include "pdf_device_test_util.h"
#include "pdf_test_owner.h"

namespace vellora {
namespace {

using vellora_test::DocumentBytes;
using vellora_test::FixedDocumentEnvironment;
using vellora_test::QpdfProblems;
using vellora_test::RecordingDevice;

// A black rectangle from (100, 100) to (200, 150) points, y down.
void DrawRectangle(TQVPDFDevice& d) {
  d.SelectObject(d.objects.StockObject(8));  // null pen
  d.SelectObject(d.objects.StockObject(4));  // black brush
  d.Rectangle({100, 100, 200, 150});
}

std::string OnePageDocument(TQVPDFDevice& d) {
  d.BeginDoc(576, 800, 72, 0);
  d.BeginPage(612, 792, 72, 72, 0);
  DrawRectangle(d);
  d.EndPage();
  d.EndDoc();
  return DocumentBytes(d);
}

std::string Hex(const TQVFileIdentifier& id) {
  return TQVPDFFileWriter::HexString(id.data(), id.size());
}

TEST(PDFDeviceDocument, OnePageDocumentIsAWholeFile) {
  FixedDocumentEnvironment fixed;
  RecordingDevice d;
  const std::string pdf = OnePageDocument(d);
  EXPECT_EQ(QpdfProblems(pdf), "");

  // The header lines, each with CR LF.
  const std::string header =
      "%PDF-1.2\r\n%\xE2\xE3\xCF\xD3\r\n%\r\n%Folvio by Torvane GmbH V3.54[0]\r\n%\r\n%\r\n";
  EXPECT_EQ(pdf.substr(0, header.size()), header);
  // The trailer: identifier twice, information, startxref naming the table.
  const std::string id = Hex(vellora_test::kDeviceFileId);
  EXPECT_NE(pdf.find("\r\n/ID[" + id + id + "]\r\n"), std::string::npos);
  EXPECT_NE(pdf.find("\r\n/Info "), std::string::npos);
  const std::size_t startxref = pdf.rfind("startxref\r\n");
  ASSERT_NE(startxref, std::string::npos);
  const std::size_t offset = std::stoul(pdf.substr(startxref + 11));
  EXPECT_EQ(pdf.substr(offset, 8), "xref\r\n0 ");
  EXPECT_EQ(pdf.substr(pdf.size() - 7), "%%EOF\r\n");

  if (vellora_test::HaveTool("pdfinfo")) {
    auto info = vellora_test::Pdfinfo(pdf, "");
    EXPECT_EQ(info["Pages"], "1");
    EXPECT_EQ(info["Page size"].substr(0, 13), "612 x 792 pts");
    EXPECT_EQ(info["Producer"], "Folvio3 by Torvane GmbH");
  }
  const auto page = vellora_test::RenderPage(pdf);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  EXPECT_EQ(page.width, 612);
  EXPECT_GT(page.DarkShare(102, 102, 198, 148), 0.99);
  EXPECT_LT(page.DarkShare(0, 0, 612, 98), 0.001);
  EXPECT_LT(page.DarkShare(0, 152, 612, 792), 0.001);
  // The page-begin message carries the size as given.
  ASSERT_FALSE(d.messages.empty());
  EXPECT_EQ(d.messages[0], (std::pair<std::int32_t, std::string>{20, "internal error 612;792"}));
}

TEST(PDFDeviceDocument, DocumentsWithoutPagesAreValid) {
  for (const bool drawnOutsidePage : {false, true}) {
    SCOPED_TRACE(drawnOutsidePage);
    RecordingDevice d;
    ASSERT_TRUE(d.BeginDoc(576, 800, 72, 0));
    if (drawnOutsidePage) {
      // Without a page there is no content to draw into.
      EXPECT_THROW(DrawRectangle(d), EQVAssertionFailed);
    }
    d.EndDoc();
    const std::string pdf = DocumentBytes(d);
    EXPECT_EQ(QpdfProblems(pdf), "");
    // (poppler refuses a document without pages; qpdf counts them.)
    if (vellora_test::HaveTool("qpdf")) {
      vellora_test::TempFile file(pdf);
      EXPECT_EQ(vellora_test::RunTool({"qpdf", "--show-npages", file.Path().string()}).out, "0\n");
    }
  }
}

TEST(PDFDeviceDocument, ObjectNumberTakenButNeverWrittenIsAFreeEntry) {
  RecordingDevice d;
  d.BeginDoc(576, 800, 72, 0);
  TQVPDFNull unused(&d);
  const std::int32_t number = unused.GetObjectNumber();
  d.BeginPage(612, 792, 72, 72, 0);
  DrawRectangle(d);
  d.EndDoc();  // ends the open page too
  const std::string pdf = DocumentBytes(d);
  EXPECT_EQ(QpdfProblems(pdf), "");
  const std::size_t table = pdf.find("xref\r\n0 ");
  const std::size_t entries = pdf.find("\r\n", table + 6) + 2;
  EXPECT_EQ(pdf.substr(entries + 20 * static_cast<std::size_t>(number), 20),
            "0000000000 65535 f\r\n");
  if (vellora_test::HaveTool("pdfinfo")) {
    EXPECT_EQ(vellora_test::Pdfinfo(pdf, "")["Pages"], "1");
  }
}

TEST(PDFDeviceDocument, LargePageTreesAreGroupedAndValid) {
  if (!vellora_test::HaveTool("qpdf") || !vellora_test::HaveTool("python3"))
    GTEST_SKIP() << "qpdf or python3 missing";
  const struct {
    int pages;
    const char* tree;  // the root's count, then each kid's type and count
  } cases[] = {
      {110, "110 110xPage"},
      {111, "111 Pages:100 Pages:11"},
      {205, "205 Pages:100 Pages:105"},
      {206, "206 Pages:100 Pages:100 Pages:6"},
  };
  const std::string script = R"(
root = get(trailer['/Root'])
pages = get(root['/Pages'])
kids = [get(k) for k in pages['/Kids']]
if all(k['/Type'] == '/Page' for k in kids):
    print(pages['/Count'], '%dxPage' % len(kids))
else:
    print(pages['/Count'], ' '.join('Pages:%d' % k['/Count'] for k in kids))
)";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pages);
    RecordingDevice d;
    d.BeginDoc(576, 800, 72, 0);
    for (int i = 0; i < c.pages; ++i) {
      d.BeginPage(612, 792, 72, 72, 0);
      d.Rectangle({i, i, i + 10, i + 10});
      d.EndPage();
    }
    d.EndDoc();
    const std::string pdf = DocumentBytes(d);
    EXPECT_EQ(QpdfProblems(pdf), "");
    EXPECT_EQ(vellora_test::QpdfJsonQuery(pdf, script), std::string(c.tree) + "\n");
  }
}

TEST(PDFDeviceDocument, HeaderVersionFollowsTheDocument) {
  if (!vellora_test::HaveTool("pdfinfo")) GTEST_SKIP() << "pdfinfo missing";
  const struct {
    const char* name;
    void (*setUp)(TQVPDFDevice&);
    const char* version;
    const char* producerLine;
  } cases[] = {
      {"plain", [](TQVPDFDevice&) {}, "1.2", "%Folvio by Torvane GmbH V3.54[0]\r\n"},
      {"transparency allowed", [](TQVPDFDevice& d) { d.modes.Include(qvAllowTransparentBit); },
       "1.3", "%Folvio by Torvane GmbH V3.54[512]\r\n"},
      {"PDF/A-1a", [](TQVPDFDevice& d) { d.options.writer.pdfaMode = folvioaLevelA; }, "1.4",
       "%Folvio by Torvane GmbH V3.54[0] #PDF/A-1a\r\n"},
      {"PDF/A-1b with transparency",
       [](TQVPDFDevice& d) {
         d.options.writer.pdfaMode = folvioaLevelB;
         d.modes.Include(qvAllowTransparentBit);
       },
       "1.4", "%Folvio by Torvane GmbH V3.54[512] #PDF/A-1b\r\n"},
      {"CID fonts", [](TQVPDFDevice& d) { d.contentOptions.cidFontMode = 1; }, "1.4",
       "%Folvio by Torvane GmbH V3.54[0]\r\n"},
      {"extended device", [](TQVPDFDevice& d) { d.options.security.version14Requested = true; },
       "1.4", "%Folvio by Torvane GmbH V3.54[0]\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingDevice d;
    c.setUp(d);
    const std::string pdf = OnePageDocument(d);
    EXPECT_EQ(QpdfProblems(pdf), "");
    EXPECT_EQ(vellora_test::Pdfinfo(pdf, "")["PDF version"], c.version);
    EXPECT_NE(pdf.find(std::string("\r\n") + c.producerLine), std::string::npos);
  }
}

TEST(PDFDeviceDocument, PdfADocumentsCarryTheirOutputIntent) {
  if (!vellora_test::HaveTool("qpdf") || !vellora_test::HaveTool("python3"))
    GTEST_SKIP() << "qpdf or python3 missing";
  for (const TQVPDFAMode mode : {folvioaLevelA, folvioaLevelB}) {
    RecordingDevice d;
    d.options.writer.pdfaMode = mode;
    const std::string pdf = OnePageDocument(d);
    EXPECT_TRUE(d.contentOptions.pdfAConformance);
    EXPECT_EQ(QpdfProblems(pdf), "");
    EXPECT_EQ(vellora_test::QpdfJsonQuery(pdf, R"(
root = get(trailer['/Root'])
intent = get(root['/OutputIntents'])[0]
print(intent['/S'], get(intent['/DestOutputProfile'])['/N'], '/Metadata' in root)
)"),
              "/GTS_PDFA1 3 True\n");
    const std::string xmp = vellora_test::XMPPacket(pdf);
    EXPECT_NE(
        xmp.find(mode == folvioaLevelA ? ">A</pdfaid:conformance>" : ">B</pdfaid:conformance>"),
        std::string::npos)
        << xmp;
  }
}

// Records the binary commands that reach the command hook.
class CommandDevice : public RecordingDevice {
 public:
  void HandleTaggingCommand(const RECTL&, std::int32_t code, const std::uint8_t* data,
                            std::int32_t length, bool&) override {
    commands.emplace_back(code, std::vector<std::uint8_t>(data, data + length));
  }
  std::vector<std::pair<std::int32_t, std::vector<std::uint8_t>>> commands;
};

TEST(PDFDeviceDocument, PdfA1aPagesBeginWithAnArtifactUnlessSwitchedOff) {
  std::vector<std::uint8_t> parameters(32, 0);
  parameters[8] = 8;
  parameters[16] = 80;
  const struct {
    TQVPDFAMode mode;
    bool noAutoTags;
    std::size_t commands;
  } cases[] = {{folvioaLevelA, false, 4},
               {folvioaLevelA, true, 0},
               {folvioaLevelB, false, 0},
               {folvioaOff, false, 0}};
  for (const auto& c : cases) {
    CommandDevice d;
    d.options.writer.pdfaMode = c.mode;
    if (c.noAutoTags) d.modes.Include(kModeNoAutoStructureTags);
    d.BeginDoc(576, 800, 72, 0);
    d.BeginPage(612, 792, 72, 72, 0);
    d.BeginPage(612, 792, 72, 72, 0);
    d.EndDoc();
    ASSERT_EQ(d.commands.size(), c.commands);
    for (std::size_t i = 0; i < d.commands.size(); ++i) {
      EXPECT_EQ(d.commands[i].first, i % 2 == 0 ? 3014 : 3015);
      EXPECT_EQ(d.commands[i].second, parameters);
    }
  }
}

TEST(PDFDeviceDocument, BeginDocTakesResolutionZeroAs72) {
  RecordingDevice d;
  d.BeginDoc(576, 800, 0, 0);
  EXPECT_EQ(d.xResolution, 72);
  EXPECT_EQ(d.yResolution, 72);
  EXPECT_FLOAT_EQ(d.pageWidth, 576);
  EXPECT_FLOAT_EQ(d.pageHeight, 800);
  EXPECT_TRUE(d.firstPageSizePending);
  d.BeginDoc(300, 600, 150, 0);  // an unfinished document is dropped
  EXPECT_FLOAT_EQ(d.pageWidth, 144);
  EXPECT_FLOAT_EQ(d.pageHeight, 288);
  // A page size of 0 keeps the one before; resolutions of 0 keep the current ones.
  d.BeginPage(0, 300, 0, 0, 0);
  EXPECT_FLOAT_EQ(d.pageWidth, 144);
  EXPECT_FLOAT_EQ(d.pageHeight, 144);
  EXPECT_FALSE(d.firstPageSizePending);
  d.EndDoc();
  EXPECT_EQ(QpdfProblems(DocumentBytes(d)), "");
}

TEST(PDFDeviceDocument, PageChecksAndReadMode) {
  RecordingDevice d;
  try {
    d.CheckPageStarted();
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Device is not open!");
  }
  EXPECT_THROW(d.BeginPage(612, 792, 72, 72, 0), std::runtime_error);
  d.BeginDoc(576, 800, 72, 0);
  try {
    d.CheckPageStarted();
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Page has not been started!");
  }
  d.BeginPage(612, 792, 72, 72, 90);
  EXPECT_NO_THROW(d.CheckPageStarted());
  EXPECT_TRUE(d.landscape);
  d.EndDoc();
  EXPECT_FALSE(d.DocumentOpen());

  // Read mode: nothing is written, no page can begin.
  d.options.file.readMode = 1;
  d.options.file.outputFileName = (std::filesystem::temp_directory_path() /
                                   ("pdfdev-read-mode-" + std::to_string(getpid()) + ".pdf"))
                                      .string();
  std::filesystem::remove(d.options.file.outputFileName);
  ASSERT_TRUE(d.BeginDoc(576, 800, 72, 0));
  try {
    d.BeginPage(612, 792, 72, 72, 0);
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "PDF Engine in read-only mode!");
  }
  d.EndDoc();
  EXPECT_EQ(d.CopyToBuffer(0, nullptr), 0);
  d.SaveToFile(d.options.file.outputFileName);
  EXPECT_FALSE(std::filesystem::exists(d.options.file.outputFileName));
}

TEST(PDFDeviceDocument, OutputFileThatCannotBeCreated) {
  RecordingDevice d;
  d.options.file.outputFileName = "/nonexistent-pdfdev-folder/out.pdf";
  try {
    d.BeginDoc(576, 800, 72, 0);
    ADD_FAILURE();
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file /nonexistent-pdfdev-folder/out.pdf");
  }
  EXPECT_FALSE(d.DocumentOpen());
  ASSERT_EQ(d.messages.size(), 1u);
  EXPECT_EQ(d.messages[0], (std::pair<std::int32_t, std::string>{
                               3, "Cannot open file /nonexistent-pdfdev-folder/out.pdf"}));
  // The device is usable afterwards.
  d.options.file.outputFileName.clear();
  EXPECT_EQ(QpdfProblems(OnePageDocument(d)), "");
}

}  // namespace
}  // namespace vellora
