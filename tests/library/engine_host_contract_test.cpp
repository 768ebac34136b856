// What the public header promises a host, where a first host met something else: outline
// filing by kind and N, a second document while one is open, a context freed with its
// document open, page sizes readers refuse, a negative JPEG quality, the C host example and
// emf2pdf's word on EMF+ pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "emf_builder.h"
#include "engine_host.h"
#include "qvplatform/debug_output.h"
#include "qvplatform/qvplatform_c.h"
#include "test_support.h"
#include "tool_run.h"

namespace vellora_test {
namespace {

void* Text(const char* text) { return const_cast<char*>(text); }

struct OutlineStep {
  std::int32_t level, parent;
  std::int32_t result;  // the entry's number, or -1
};

// A memory document of one page with an outline entry per step, titled A, B, ... in order.
std::string OutlineDocument(const std::vector<OutlineStep>& steps) {
  const EngineEntries* e = Engine();
  EngineContext c;
  const TQVPDFPageInit page = PageRecord(200, 200);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text("")), 0);
  EXPECT_EQ(e->InitializePage(c, 0, &page), 1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  char title = 'A';
  for (const OutlineStep& s : steps) {
    TQVPDFCommand entry{};
    entry.Head.Name.Text[0] = title++;
    entry.Level = s.level;
    entry.Parent = s.parent;
    EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_OUTLINE, 0, &entry), s.result) << entry.Head.Name.Text;
  }
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  return DocumentBytes(c);
}

TEST(EngineHostContract, OutlineFilingKindsAsTheHeaderTellsThem) {
  if (!HaveTool("qpdf") || !HaveTool("python3")) GTEST_SKIP() << "qpdf or python3 missing";
  ASSERT_NE(Engine(), nullptr);
  const struct {
    const char* name;
    std::vector<OutlineStep> steps;
    const char* tree;  // as QpdfOutlineTree gives it
  } cases[] = {
      {"0 and 1: siblings", {{0, 0, 1}, {1, 0, 2}, {9, 0, 3}}, "A@1 B@1 C@1 3"},
      {"level 4 with parent 0: the top level", {{0, 0, 1}, {4, 0, 2}}, "A@1 B@1 2"},
      {"level 4 with parent n: under entry n", {{0, 0, 1}, {0, 0, 2}, {4, 1, 3}}, "A@1(C@1) B@1 3"},
      {"level 4 naming itself: under the current entry", {{0, 0, 1}, {4, 2, 2}}, "A@1(B@1) 2"},
      {"level 4 with a negative parent is refused",
       {{0, 0, 1}, {4, -1, -1}, {0, 0, 2}},
       "A@1 C@1 2"},
      {"3 with n 2: two levels down through an untitled entry",
       {{0, 0, 1}, {3, 2, 2}},
       "A@1(@0(B@1)) 3"},
      {"3 with n -1: one level up", {{0, 0, 1}, {4, 1, 2}, {3, -1, 3}}, "A@1(B@1) C@1 3"},
      {"2 with n 0: after the parent", {{0, 0, 1}, {4, 1, 2}, {2, 0, 3}}, "A@1(B@1) C@1 3"},
      // Listed and never written before: now refused, and nothing moves.
      {"2 with n 1 is refused", {{0, 0, 1}, {4, 1, 2}, {2, 1, -1}, {0, 0, 3}}, "A@1(B@1 D@1) 3"},
      {"5 after entry n", {{0, 0, 1}, {4, 1, 2}, {5, 1, 3}}, "A@1(B@1) C@1 3"},
      {"5 with n 0: end of the top level", {{0, 0, 1}, {4, 1, 2}, {5, 0, 3}}, "A@1(B@1) C@1 3"},
      {"6 under entry n", {{0, 0, 1}, {0, 0, 2}, {6, 1, 3}}, "A@1(C@1) B@1 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string pdf = OutlineDocument(c.steps);
    EXPECT_EQ(QpdfProblems(pdf), "");
    EXPECT_EQ(QpdfOutlineTree(pdf), std::string(c.tree) + "\n");
  }
}

TEST(EngineHostContract, ASecondDocumentWhileOneIsOpenIsRefused) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  const TempDir dir;
  const std::string first = dir.File("first.pdf").string();
  const std::string second = dir.File("second.pdf").string();
  EngineContext c;
  const TQVPDFPageInit page = PageRecord(300, 200);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text(first.c_str())), 0);
  ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  qvplatform::ScopedDebugCapture debug;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text(second.c_str())), -1);
  EXPECT_EQ(debug.Lines(),
            std::vector<std::string>{
                "A document is open: end it (5559) before beginning another (5558)"});
  EXPECT_FALSE(std::filesystem::exists(second));
  // The open document goes on where it was.
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  EXPECT_EQ(QpdfProblems(ReadFile(first)), "");
  EXPECT_NE(ReadFile(first).find("/MediaBox [0 0 300.000 200.000]"), std::string::npos);
  // Once it is ended, the next one begins.
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text(second.c_str())), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  EXPECT_EQ(QpdfProblems(ReadFile(second)), "");
}

TEST(EngineHostContract, FinalizeEndsAnOpenFileDocument) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  const TempDir dir;
  const std::string file = dir.File("left-open.pdf").string();
  {
    EngineContext c;
    const TQVPDFPageInit page = PageRecord(300, 200);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text(file.c_str())), 0);
    ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  }  // QVPDF_Finalize with the page and the document open
  EXPECT_EQ(QpdfProblems(ReadFile(file)), "");
  EXPECT_NE(ReadFile(file).find("/Count 1"), std::string::npos);
  {
    EngineContext c;  // a memory document is dropped without a word
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text("")), 0);
  }
}

void OnMessage(void* messages, std::int32_t kind, std::int32_t code, const char* text) {
  if (kind == QVPDF_CALLBACK_MESSAGE && code != 20)
    static_cast<std::vector<std::string>*>(messages)->push_back(std::to_string(code) + " " + text);
}

TEST(EngineHostContract, PagesLargerThanReadersTakeAreCutToTheLimit) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  const struct {
    std::int32_t width, height, resolution;
    const char* box;
    bool cut;
  } cases[] = {
      {2000000000, 2000000000, 72, "/MediaBox [0 0 14400.000 14400.000]", true},
      {14400, 100, 72, "/MediaBox [0 0 14400.000 100.000]", false},
      {14401, 100, 72, "/MediaBox [0 0 14400.000 100.000]", true},
      {300, 2000000000, 300, "/MediaBox [0 0 72.000 14400.000]", true},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.box);
    std::vector<std::string> messages;
    EngineContext c(&OnMessage, &messages);
    const TQVPDFPageInit page = PageRecord(k.width, k.height, k.resolution);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text("")), 0);
    ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
    const std::string pdf = DocumentBytes(c);
    EXPECT_EQ(QpdfProblems(pdf), "");
    EXPECT_NE(pdf.find(k.box), std::string::npos);
    EXPECT_EQ(messages, k.cut ? std::vector<std::string>{"11 Page size limited to 14400 x 14400 "
                                                         "points"}
                              : std::vector<std::string>{});
  }
}

std::filesystem::path Program(const char* name) {
  return EngineLibraryPath().parent_path() / ".." / "bin" / name;
}

TEST(EngineHostContract, TheCHostConvertsTheSampleBindingNoCxxName) {
  if (!HaveTool("qpdf") || !HaveTool("nm")) GTEST_SKIP() << "qpdf or nm missing";
  const TempDir dir;
  const std::string pdf = dir.File("sample.pdf").string();
  const ToolResult run =
      RunTool({Program("minimal_host").string(), (SourceDir() / "examples" / "sample.emf").string(),
               pdf, EngineLibraryPath().string()});
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(QpdfProblems(ReadFile(pdf)), "");
  const ToolResult text = PdfToText(ReadFile(pdf));
  EXPECT_NE(text.out.find("vellora sample"), std::string::npos) << text.out;
  const ToolResult undefined = RunTool({"nm", "-D", "--undefined-only", Program("minimal_host")});
  EXPECT_EQ(undefined.out.find(" _Z"), std::string::npos) << undefined.out;
  EXPECT_NE(undefined.out.find("QvGetEnhMetaFile"), std::string::npos) << undefined.out;
}

TEST(EngineHostContract, Emf2PdfSaysWhenEmfPlusIsNotDrawn) {
  // A comment record holding an EMF+ header record (type 0x4001, flags, size 28, data 16).
  const std::vector<BYTE> emfPlusHeader = {'E', 'M',  'F',  '+', 0x01, 0x40, 0x01, 0x00, 0x1C, 0, 0,
                                           0,   0x10, 0,    0,   0,    0x02, 0x10, 0xC0, 0xDB, 0, 0,
                                           0,   0,    0x60, 0,   0,    0,    0x60, 0,    0,    0};
  const struct {
    const char* name;
    bool plain;
    const char* said;
  } cases[] = {
      {"only EMF+", false, "holds only EMF+ drawing, which is not drawn: its page stays blank"},
      {"EMF+ and plain records", true,
       "holds EMF+ records, which are not drawn; its plain "
       "records are"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    EmfBuilder b;
    b.GdiComment(emfPlusHeader);
    if (k.plain) b.Rectangle({10, 10, 50, 50});
    b.Eof();
    const std::vector<BYTE> bytes = b.Bytes();
    const TempFile emf(std::string(bytes.begin(), bytes.end()), ".emf");
    const TempDir dir;
    const ToolResult run =
        RunTool({Program("emf2pdf").string(), emf.Path().string(), dir.File("out.pdf").string()});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find(k.said), std::string::npos) << run.out;
  }
}

}  // namespace
}  // namespace vellora_test
