// Documents against the fake engine: the start sequence of properties, the roads of EndDoc,
// the order of events, and the launch of the written file.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "fake_engine_test.h"
#include "qvplatform/launcher.h"

namespace brenlow_test {
namespace {

using namespace brenlow;

const std::vector<int> kIntegerKeys = {1,  2,  3,  14, 4,  6, 7, 51, 50,
                                       15, 12, 25, 26, 27, 9, 8, 21, 10};

// A stream that is not a memory stream.
class StringStream : public qvplatform::TStream {
 public:
  std::size_t Write(const void* data, std::size_t size) override {
    text.append(static_cast<const char*>(data), size);
    return size;
  }
  std::string text;
};

class DocumentTest : public FakeEngineTest {
 protected:
  void SetUp() override {
    FakeEngineTest::SetUp();
    qvplatform::SetFileOpener([this](const std::string& file) {
      launched_.push_back(file);
      return true;
    });
  }
  void TearDown() override {
    qvplatform::SetFileOpener({});
    FakeEngineTest::TearDown();
  }
  std::vector<std::string> launched_;
};

TEST_F(DocumentTest, BeginDocSendsTheDefaults) {
  const qvplatform::ScopedClockOverride clock(qvplatform::EncodeDateTime(2024, 3, 9, 7, 5, 4));
  TQVPDFPrinter printer;
  printer.SetFilename(OutputFile("out.pdf"));
  printer.BeginDoc();
  EXPECT_EQ(Keys("SetIProp"), kIntegerKeys);
  EXPECT_EQ(Keys("SetSProp"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 9, 11, 10, 12, 14}));
  const std::pair<int, int> values[] = {{1, 0},   {2, 0},  {3, 0},  {14, 0}, {4, 0},  {6, 0},
                                        {7, 0},   {51, 0}, {50, 0}, {15, 0}, {12, 0}, {25, 0},
                                        {26, 32}, {27, 0}, {9, 0},  {8, 0},  {21, 0}, {10, 300}};
  for (const auto& [key, value] : values) EXPECT_EQ(IntegerProperty(key), value) << key;
  EXPECT_EQ(StringProperty(2), "D:20240309070504");
  EXPECT_EQ(StringProperty(3), "D:20240309070504");
  const auto commands = CallsOf("Do");
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_EQ(commands[0].key, QVPDF_CMD_BEGIN_DOC);
  EXPECT_EQ(commands[0].text, OutputFile("out.pdf"));
  EXPECT_TRUE(CallsOf("InitializePage").empty());
  printer.EndDoc();
}

TEST_F(DocumentTest, BeginDocSendsEveryChangedProperty) {
  TQVPDFPrinter p;
  p.SetInMemoryMode(true);
  p.SetEncodeStreamMethod(qvASCIIHexEncode);
  p.SetCompressStreamMethod(qvCompressFastFlate);
  p.SetPageMode(qvFullScreen);
  p.SetZoomMode(pwZoomFitHorizontal);
  p.SetFontMode(qvEmbedSubsetTrueType_UsedChar);
  p.SetConvertJPEGData(true);
  p.SetEncryption({qvEncryptFile, qvEnableAccessibilityOp});
  p.SetCidFontMode(qvCIDSymbolOnly);
  p.SetPDFAMode(folvioaLevelA);
  p.SetSecurity(qvp128bit);
  p.SetJPEGQuality(qvJPEG_50);
  p.SetCreateThumbnails(true);
  p.SetModes({qvExactTextPositioning, qvGlobalDestinations});
  p.SetOptions({qvCreateAutoLinks, qvHideWindowUI});
  p.SetPDFReadMode(folvioRetrieveEMF);  // read mode forces key 8 to 2
  p.SetInputfileMode(pwAppendToInput);
  p.SetExtraMessages({qvOnEmbedFonts});
  p.Info().SetAuthor("Au");
  p.Info().SetProducer("Pr");
  p.Info().SetTitle("Ti");
  p.Info().SetSubject("Su");
  p.Info().SetKeywords("Ke");
  p.Info().Strings().Add("Company=Torvane");
  p.Info().Strings().Add("Dept=Print");
  p.Info().SetCreationDate(qvplatform::EncodeDateTime(1999, 12, 31, 23, 59, 58));
  p.Info().SetModDate(qvplatform::EncodeDateTime(2001, 1, 2, 3, 4, 5));
  p.ExcludedFonts().Add("Arial");
  p.ExcludedFonts().Add("Times New Roman");
  p.SetUserPassword("user");
  p.SetOwnerPassword("owner");
  p.SetInputFile("in.pdf");
  p.SetMergeStart("<<");
  p.BeginDoc();
  EXPECT_EQ(Keys("SetIProp"), kIntegerKeys);
  EXPECT_EQ(Keys("SetSProp"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 9, 11, 10, 12, 14, 16}));
  const std::pair<int, int> values[] = {{1, 2},
                                        {2, 3},
                                        {3, 3},
                                        {14, 3},
                                        {4, 5},
                                        {6, 1},
                                        {7, 0x101},
                                        {51, 2},
                                        {50, 1},
                                        {15, 1},
                                        {12, 3},
                                        {25, 1},
                                        {26, int(1u << 3 | 1u << 31)},
                                        {27, 9},
                                        {9, 2},
                                        {8, 2},
                                        {21, 1}};
  for (const auto& [key, value] : values) EXPECT_EQ(IntegerProperty(key), value) << key;
  const std::pair<int, std::string> texts[] = {{1, "Au"},
                                               {2, "D:19991231235958"},
                                               {3, "D:20010102030405"},
                                               {4, "Pr"},
                                               {5, "Ti"},
                                               {6, "Su"},
                                               {7, "Ke"},
                                               {9, "Arial,\"Times New Roman\""},
                                               {11, "user"},
                                               {10, "owner"},
                                               {12, "in.pdf"},
                                               {14, "<<"},
                                               {16, "Company=Torvane\r\nDept=Print"}};
  for (const auto& [key, text] : texts) EXPECT_EQ(StringProperty(key), text) << key;
  EXPECT_EQ(CallsOf("Do")[0].text, "") << "memory output sends no name";
  p.EndDoc();
}

TEST_F(DocumentTest, EndDocRoads) {
  struct Road {
    const char* name;
    bool file, memoryStream, otherStream, inMemory;
    TQVPDFReadMode read;
    std::vector<int> commands;
  };
  const Road roads[] = {
      {"file", true, false, false, false, folvioStandard, {5558, 5559, 5580, 5563, 5564}},
      {"memory stream",
       false,
       true,
       false,
       false,
       folvioStandard,
       {5558, 5559, 5580, 5562, 5562, 5564}},
      {"other stream",
       false,
       false,
       true,
       false,
       folvioStandard,
       {5558, 5559, 5580, 5562, 5562, 5564}},
      {"memory only", false, false, false, true, folvioStandard, {5558, 5559, 5580, 5564}},
      {"read mode", true, true, false, false, folvioRetrieveASCII, {5558, 5559, 5580, 5564}},
  };
  for (const Road& road : roads) {
    SCOPED_TRACE(road.name);
    FakeLog().Reset();
    launched_.clear();
    const std::string file = OutputFile(std::string(road.name) + ".pdf");
    qvplatform::TMemoryStream memory;
    StringStream other;
    {
      TQVPDFPrinter p;
      p.SetAutoLaunch(true);
      if (road.file) p.SetFilename(file);
      if (road.memoryStream) p.SetOutputStream(&memory);
      if (road.otherStream) p.SetOutputStream(&other);
      p.SetInMemoryMode(road.inMemory);
      p.SetPDFReadMode(road.read);
      p.BeginDoc();
      p.EndDoc();
      EXPECT_FALSE(p.InDocument());
      EXPECT_EQ(p.EngineContext(), nullptr);
      EXPECT_EQ(CallsOf("Finalize").size(), 1u);
    }
    EXPECT_EQ(Commands(), road.commands);
    const bool saved = road.file && road.read == folvioStandard;
    struct stat info {};
    EXPECT_EQ(stat(file.c_str(), &info) == 0, saved);
    EXPECT_EQ(launched_, saved ? std::vector<std::string>{file} : std::vector<std::string>{});
    if (road.memoryStream && road.read == folvioStandard) {
      EXPECT_EQ(std::string(memory.Bytes().begin(), memory.Bytes().end()), FakeLog().document);
    }
    if (road.otherStream) {
      EXPECT_EQ(other.text, FakeLog().document);
    }
    if (road.file && road.memoryStream) {
      EXPECT_TRUE(CallsOf("Do")[0].text.empty()) << "a stream takes the place of the file";
    }
  }
}

TEST_F(DocumentTest, AFailedEndIsReportedAfterReleasingAndLaunchesNothing) {
  struct Case {
    const char* name;
    int command, result, shortBy;
    const char* message;
  };
  const Case cases[] = {
      {"end", QVPDF_CMD_END_DOC, -1, 0, "PDF Engine could not finish the document"},
      {"size", QVPDF_CMD_COPY_TO_BUFFER, -1, 0, "PDF Engine could not give the document's size"},
      {"short copy", 0, 0, 3, "PDF Engine could not copy the document"},
      {"save", QVPDF_CMD_SAVE_TO_FILE, -1, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeLog().Reset();
    launched_.clear();
    if (c.command != 0) FakeLog().results[c.command] = c.result;
    FakeLog().copyShortBy = c.shortBy;
    qvplatform::TMemoryStream memory;
    TQVPDFPrinter p;
    p.SetAutoLaunch(true);
    p.SetFilename(OutputFile("x.pdf"));
    p.SetOutputStream(&memory);
    int afterEnd = 0;
    p.AfterEndDoc = [&](TQVCustomPDFExport&) { ++afterEnd; };
    p.BeginDoc();
    const std::string failure = FailureOf([&] { p.EndDoc(); });
    const std::string expected =
        *c.message ? c.message
                   : "PDF Engine could not save the document to \"" + OutputFile("x.pdf") + "\"";
    EXPECT_EQ(failure, expected);
    EXPECT_EQ(afterEnd, 1);
    EXPECT_EQ(Commands().back(), QVPDF_CMD_CLOSE_OUTPUT_STREAM);
    EXPECT_EQ(CallsOf("Finalize").size(), 1u);
    EXPECT_FALSE(p.InDocument());
    EXPECT_TRUE(launched_.empty());
  }
}

TEST_F(DocumentTest, EventsComeInOrder) {
  std::vector<std::string> events;
  TQVPDFPrinter p;
  p.SetFilename(OutputFile("e.pdf"));
  p.SetAutoLaunch(true);
  auto note = [&](const char* name) {
    return [&events, name](TQVCustomPDFExport& sender) {
      EXPECT_EQ(sender.ClassName(), "TQVPDFPrinter");
      events.push_back(name);
    };
  };
  p.OnUpdateGauge = [&](TQVCustomPDFExport&, int position) {
    events.push_back("gauge " + std::to_string(position));
  };
  p.BeforeBeginDoc = note("BeforeBeginDoc");
  p.AfterBeginDoc = note("AfterBeginDoc");
  p.BeforeEndDoc = note("BeforeEndDoc");
  p.AfterEndDoc = note("AfterEndDoc");
  p.OnError = [&](TQVCustomPDFExport&, int num, const std::string& text) {
    events.push_back("error " + std::to_string(num) + " " + text);
  };
  p.OnMergePage = [&](TQVCustomPDFExport&, int page, HENHMETAFILE&, std::string&) {
    events.push_back("merge page " + std::to_string(page));
  };
  SetGlobalOnFileCreated([&](TQVCustomPDFExport&, const std::string& file, bool& launch) {
    events.push_back("file created " + std::string(launch ? "launch " : "") +
                     (file == OutputFile("e.pdf") ? "e.pdf" : file));
  });
  FakeLog().callbacks.push_back({QVPDF_CMD_BEGIN_DOC, QVPDF_CALLBACK_MESSAGE, 7, "hello"});
  p.BeginDoc();
  p.BeginDoc();  // a second call does nothing
  p.StartPage(100, 100, 72, 72, 0);
  p.EndPage();
  p.EndDoc();
  p.EndDoc();  // nothing, no events
  SetGlobalOnFileCreated({});
  EXPECT_EQ(events, (std::vector<std::string>{"gauge 0", "BeforeBeginDoc", "error 7 hello",
                                              "AfterBeginDoc", "merge page 1", "BeforeEndDoc",
                                              "AfterEndDoc", "file created launch e.pdf"}));
  EXPECT_EQ(CallsOf("Initialize").size(), 1u);
  EXPECT_EQ(launched_.size(), 1u);
}

TEST_F(DocumentTest, ASecondBeginKeepsTheRunningDocument) {
  TQVPDFPrinter p;
  p.SetInMemoryMode(true);
  FakeLog().callbacks.push_back({QVPDF_CMD_BEGIN_DOC, QVPDF_CALLBACK_INPUT_PAGES, 3, ""});
  p.BeginDoc();
  p.BeginDoc();
  EXPECT_EQ(p.InputPageCount(), 3);
  p.SetInMemoryMode(false);
  EXPECT_EQ(FailureOf([&] { p.BeginDoc(); }), "No filename or InMemoryMode was specified!");
  p.EndDoc();
  TQVPDFPrinter reader;
  reader.SetPDFReadMode(folvioRetrieveBMP);
  EXPECT_EQ(FailureOf([&] { reader.BeginDoc(); }), "") << "read mode needs no output";
  reader.EndDoc();
}

TEST_F(DocumentTest, TheShellOpensTheFileThroughXdgOpen) {
  qvplatform::SetFileOpener({});
  const std::string record = OutputFile("args.txt");
  const std::string bin = OutputFile("bin");
  ::mkdir(bin.c_str(), 0755);
  {
    std::ofstream script(bin + "/xdg-open");
    script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" << record << "'\n";
  }
  ::chmod((bin + "/xdg-open").c_str(), 0755);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin + ":" + oldPath).c_str(), 1);
  {
    TQVPDFPrinter p;
    p.SetFilename(OutputFile("shown file.pdf"));
    p.SetAutoLaunch(true);
    p.BeginDoc();
    p.EndDoc();
  }
  setenv("PATH", oldPath.c_str(), 1);
  std::string text;
  for (int i = 0; i < 200 && text.empty(); ++i) {  // the opener runs on its own
    std::ifstream in(record);
    std::stringstream s;
    s << in.rdbuf();
    text = s.str();
    if (text.empty()) usleep(10000);
  }
  EXPECT_EQ(text, OutputFile("shown file.pdf") + "\n");
}

}  // namespace
}  // namespace brenlow_test
