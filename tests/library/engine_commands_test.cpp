// Commands through QVPDF_Do: the interface version, the page record and its coordinates,
// the memory copy protocol of the finished document, output files, outline entries,
// unknown commands, and failures that come back as -1 with a debug line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "engine_host.h"
#include "qvplatform/debug_output.h"

namespace vellora_test {
namespace {

constexpr char kMemory[] = "";

void* Text(const char* text) { return const_cast<char*>(text); }

// Begins a memory document, draws one empty page of the page record and ends it.
void WriteEmptyPage(TQVPDFEngineContext* c, const TQVPDFPageInit& page) {
  const EngineEntries* e = Engine();
  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text(kMemory)), 0);
  ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
}

TEST(EngineCommands, VersionsAndContexts) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->Initialize(4, nullptr, nullptr), nullptr);
  TQVPDFEngineContext* c = e->Initialize(3, nullptr, nullptr);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_INTERFACE_VERSION, 0, nullptr), 285);  // without a document
  e->Finalize(c);
  // A finalized context is no context any more; finalizing it again does nothing.
  EXPECT_EQ(e->Do(c, QVPDF_CMD_INTERFACE_VERSION, 0, nullptr), -1);
  e->Finalize(c);
  e->Finalize(nullptr);
  EXPECT_EQ(e->Do(nullptr, QVPDF_CMD_INTERFACE_VERSION, 0, nullptr), -1);
  // Word-processor elements answer 0 in every case, for a finalized context too.
  EngineContext live;
  EXPECT_EQ(e->QVKExec(live, nullptr, nullptr, nullptr, 0, 0), 0);
  EXPECT_EQ(e->QVKExec(c, nullptr, nullptr, nullptr, 0, 0), 0);
}

TEST(EngineCommands, UnknownCommandsGiveMinusOne) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  EngineContext c;
  qvplatform::ScopedDebugCapture debug;
  for (int command : {0, 5557, 5582, -5558}) EXPECT_EQ(e->Do(c, command, 0, nullptr), -1);
  EXPECT_TRUE(debug.Lines().empty());
  // The font alias command answers -1 whenever it is given an alias (added or not, and
  // without a debug line), 0 otherwise.
  debug.Clear();
  EXPECT_EQ(e->Do(c, QVPDF_CMD_FONT_ALIAS, 100, Text("Foo=Arial")), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_FONT_ALIAS, QVPDF_FONT_ALIAS_ADD, nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_FONT_ALIAS, QVPDF_FONT_ALIAS_ADD, Text("Foo=Arial")), -1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_FONT_ALIAS, QVPDF_FONT_ALIAS_ADD, Text("no pair")), -1);
  EXPECT_TRUE(debug.Lines().empty());
}

TEST(EngineCommands, AThrowingCommandGivesMinusOneAndItsDebugText) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  EngineContext c;
  qvplatform::ScopedDebugCapture debug;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), -1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_SAVE_TO_FILE, 0, Text("/nonexistent-folder/x.pdf")), -1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_OUTLINE, 0, nullptr), -1);
  EXPECT_EQ(debug.Lines(), (std::vector<std::string>{
                               "Device is not open! (5560)",
                               "No document to save (5563)",
                               "The outline command needs a record (5568)",
                           }));
  // The context stays usable.
  WriteEmptyPage(c, PageRecord(100, 100));
  EXPECT_EQ(QpdfProblems(DocumentBytes(c)), "");
}

TEST(EngineCommands, MemoryCopyProtocol) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  EngineContext c;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_COPY_TO_BUFFER, 0, nullptr), 0);  // no document yet
  WriteEmptyPage(c, PageRecord(300, 200));

  const std::int32_t size = e->Do(c, QVPDF_CMD_COPY_TO_BUFFER, 0, nullptr);
  ASSERT_GT(size, 100);
  std::string whole(static_cast<std::size_t>(size) + 8, '#');
  EXPECT_EQ(e->Do(c, QVPDF_CMD_COPY_TO_BUFFER, size + 8, whole.data()), size);
  EXPECT_EQ(whole.substr(static_cast<std::size_t>(size)), "########");
  whole.resize(static_cast<std::size_t>(size));
  EXPECT_EQ(whole.rfind("%PDF-1.4", 0), 0u);
  EXPECT_NE(whole.find("%%EOF"), std::string::npos);
  EXPECT_EQ(QpdfProblems(whole), "");

  // A short buffer gets its size and not a byte more; a negative size nothing.
  std::string part(40, '#');
  EXPECT_EQ(e->Do(c, QVPDF_CMD_COPY_TO_BUFFER, 32, part.data()), 32);
  EXPECT_EQ(part.substr(0, 32), whole.substr(0, 32));
  EXPECT_EQ(part.substr(32), "########");
  EXPECT_EQ(e->Do(c, QVPDF_CMD_COPY_TO_BUFFER, -5, part.data()), 0);

  // Saved to a file, the same bytes; closed, nothing is left.
  const std::filesystem::path folder = TempFolder("copy");
  const std::string saved = (folder / "saved.pdf").string();
  EXPECT_EQ(e->Do(c, QVPDF_CMD_SAVE_TO_FILE, 0, Text(saved.c_str())), 0);
  EXPECT_EQ(ReadFile(saved), whole);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_CLOSE_OUTPUT_STREAM, 0, nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_COPY_TO_BUFFER, 0, nullptr), 0);
  std::filesystem::remove_all(folder);
}

TEST(EngineCommands, FileOutputAndItsName) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  const std::filesystem::path folder = TempFolder("file");
  const std::string name = (folder / "out.pdf").string();
  EngineContext c;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text(name.c_str())), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  const std::string first = ReadFile(name);
  EXPECT_EQ(QpdfProblems(first), "");
  EXPECT_EQ(DocumentBytes(c), first);
  // A null record keeps the stored name.
  std::filesystem::remove(name);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  EXPECT_TRUE(std::filesystem::exists(name));
  // A name without a terminator within the limit is refused, nothing is read past it.
  std::string endless(5000, 'a');
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, endless.data()), -1);
  std::filesystem::remove_all(folder);
}

TEST(EngineCommands, PageRecordSizesRotationAndCoordinates) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  EngineContext c;
  EXPECT_EQ(e->InitializePage(nullptr, 0, nullptr), 0);
  EXPECT_EQ(e->InitializePage(c, 0, nullptr), 0);
  EXPECT_EQ(e->XPos(nullptr, 1234), 1234);
  EXPECT_EQ(e->YPos(nullptr, -77), -77);

  TQVPDFPageInit page = PageRecord(0, 0, 144);
  page.OriginX = 100;
  ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
  EXPECT_EQ(e->XPos(c, 244), 72);
  EXPECT_EQ(e->YPos(c, 288), 144);
  EXPECT_EQ(e->XPos(c, 101), 0);  // 0.5 rounds to even
  EXPECT_EQ(e->XPos(c, 103), 2);  // 1.5 rounds to even
  // Resolutions of 0 or below are 72 (no infinite scale).
  page = PageRecord(0, 0, 0);
  page.YResolution = -300;
  ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
  EXPECT_EQ(e->XPos(c, 2147483647), 2147483647);
  EXPECT_EQ(e->YPos(c, -2147483647 - 1), -2147483647 - 1);

  struct Case {
    std::uint32_t flags;
    const char* rotate;  // nullptr: no /Rotate
    int sign;            // negative sizes are taken by their magnitude
  };
  for (const Case& k : {Case{3, "/Rotate 270", 1}, Case{1, "/Rotate 90", 1},
                        Case{180, "/Rotate 180", 1}, Case{2, nullptr, 1}, Case{0, nullptr, -1}}) {
    SCOPED_TRACE(k.flags);
    EngineContext d;
    page = PageRecord(1200 * k.sign, 600 * k.sign, 300);  // 288 x 144 points
    page.RotationFlags = k.flags;
    WriteEmptyPage(d, page);
    const std::string pdf = DocumentBytes(d);
    EXPECT_NE(pdf.find("/MediaBox [0 0 288.000 144.000]"), std::string::npos) << pdf;
    if (k.rotate != nullptr) {
      EXPECT_NE(pdf.find(k.rotate), std::string::npos);
    } else {
      EXPECT_EQ(pdf.find("/Rotate"), std::string::npos);
    }
    EXPECT_EQ(QpdfProblems(pdf), "");
  }
}

TEST(EngineCommands, OutlineEntriesByLevelAndTitle) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  EngineContext c;
  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, Text(kMemory)), 0);
  const TQVPDFPageInit page = PageRecord(200, 200);
  ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);

  TQVPDFCommand top{};
  std::strcpy(top.Head.Name.Text, "Top");
  top.X = 10;
  top.Y = 20;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_OUTLINE, 0, &top), 1);
  // Level 4 files the entry as a child of entry 1 (kind 6), with a UTF-16 title.
  TQVPDFCommand child{};
  const char16_t title[] = u"K\u00F6ln";
  child.TextFlags = QVPDF_TEXT_WIDE_TITLE;
  child.Text = title;
  child.Level = 4;
  child.Parent = 1;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_OUTLINE, 0, &child), 2);
  // Key 24 is the charset of 8-bit titles: 65001 reads them as UTF-8.
  EXPECT_TRUE(e->SetIProp(c, QVPDF_IPROP_OUTLINE_CHARSET, 65001));
  TQVPDFCommand utf8{};
  std::strcpy(utf8.Head.Name.Text, "K\xC3\xB6ln");
  utf8.Level = 5;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_OUTLINE, 0, &utf8), 3);
  // A title that fills its whole field is read up to the field's end.
  TQVPDFCommand full{};
  std::memset(full.Head.Name.Text, 'x', sizeof full.Head.Name.Text);
  full.Level = 5;  // at the end of the top level
  full.Parent = 0;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_OUTLINE, 0, &full), 4);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);

  const std::string pdf = DocumentBytes(c);
  EXPECT_EQ(QpdfProblems(pdf), "");
  // Titles in UTF-16BE, escaped: "Top", "Köln", 256 "x".
  EXPECT_NE(pdf.find(R"(/Title(\376\377\000T\000o\000p))"), std::string::npos);
  const std::string koeln = R"(/Title(\376\377\000K\000\366\000l\000n))";
  ASSERT_NE(pdf.find(koeln), std::string::npos);
  EXPECT_NE(pdf.find(koeln, pdf.find(koeln) + 1), std::string::npos);  // wide and UTF-8
  std::string xs;
  for (int i = 0; i < 256; ++i) xs += R"(\000x)";
  EXPECT_NE(pdf.find(R"(/Title(\376\377)" + xs + ")"), std::string::npos);
  // The first entry has one child and leads to the page at (10, 20) from the top.
  EXPECT_NE(pdf.find("/XYZ 10 180 0"), std::string::npos);
  EXPECT_NE(pdf.find("/Count -1"), std::string::npos);
  EXPECT_NE(pdf.find("/Count 4\n"), std::string::npos);
}

}  // namespace
}  // namespace vellora_test
