// The demonstration program against the fake engine: its start, the settings it sends, the
// CID box, and how failures reach the user while the form stays usable.
#include <gtest/gtest.h>

#include <algorithm>

#include "demo_test_support.h"
#include "qvplatform/emf_records.h"

namespace brenlow_test {
namespace {

using namespace brenlow;

TEST_F(DemoFormTest, TheFirstArgumentNamesTheLibrary) {
  StartForm({"/opt/lib/libvellora.so", "second"});
  EXPECT_EQ(Edit1().text(), "/opt/lib/libvellora.so");
  StartForm();
  EXPECT_EQ(Edit1().text(), "{hkcu}Software\\Torvane\\Folvio\\3.0\\path");
}

TEST_F(DemoFormTest, CidBoxSetsTheModesAndTheFileInTheProgramFolder) {
  TQVPDFPrinter& p = StartForm().QVPDFPrinter1();
  EXPECT_EQ(p.Filename(), ProgramFolder() + "folvio_fontembed.pdf");
  EXPECT_EQ(p.FontMode(), qvEmbedTrueTypeFonts);
  Box("CheckBox1").click();
  EXPECT_EQ(p.Filename(), ProgramFolder() + "folvio_cid.pdf");
  EXPECT_EQ(p.CidFontMode(), qvCIDUnicode);
  Box("CheckBox1").click();
  EXPECT_EQ(p.Filename(), ProgramFolder() + "folvio_fontembed.pdf");
  EXPECT_EQ(p.CidFontMode(), qvCIDOff);
  EXPECT_EQ(p.FontMode(), qvEmbedTrueTypeFonts);
}

TEST_F(DemoFormTest, ExportSendsTheStoredSettingsAndOpensTheFile) {
  StartForm();
  Export(FAKE_ENGINE);
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  const std::pair<int, int> expected[] = {
      {QVPDF_IPROP_COMPRESS_STREAM_METHOD, 3}, {QVPDF_IPROP_FONT_MODE, 1},
      {QVPDF_IPROP_ENCRYPTION, 0x1E},          {QVPDF_IPROP_SECURITY, 1},
      {QVPDF_IPROP_CREATE_THUMBNAILS, 1},      {QVPDF_IPROP_MODES, 0x28}};
  for (const auto& [key, value] : expected) EXPECT_EQ(IntegerProperty(key), value) << key;
  EXPECT_EQ(StringProperty(QVPDF_SPROP_CREATOR), "Marlisk");
  // One metafile, the stored picture at its own size, on a page the engine makes for it.
  const std::vector<fake_engine::Call> draws = CallsOf("Do");
  std::vector<fake_engine::Call> metafiles;
  for (const fake_engine::Call& c : draws)
    if (c.key == QVPDF_CMD_DRAW_METAFILE) metafiles.push_back(c);
  ASSERT_EQ(metafiles.size(), 1u);
  EXPECT_EQ(metafiles[0].width, 0);
  EXPECT_EQ(metafiles[0].header.rclBounds.right, 599);
  EXPECT_EQ(launched_, std::vector<std::string>{ProgramFolder() + "folvio_fontembed.pdf"});

  FakeLog().Reset();
  Box("ClipSupport").click();
  Export(FAKE_ENGINE);
  EXPECT_EQ(IntegerProperty(QVPDF_IPROP_MODES), 0x08);
}

TEST_F(DemoFormTest, ExportingTwiceKeepsTheLibraryLoaded) {
  TQVPDFPrinter& p = StartForm().QVPDFPrinter1();
  Export(FAKE_ENGINE);
  ASSERT_TRUE(p.EngineHeld());
  EXPECT_EQ(EngineLibraryReferenceCount(), 1);
  Export(FAKE_ENGINE);
  EXPECT_TRUE(p.EngineHeld());
  EXPECT_EQ(EngineLibraryReferenceCount(), 1);
  EXPECT_EQ(launched_.size(), 2u);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(DemoFormTest, FailuresAreShownAndTheNextExportWorks) {
  const std::string missing = folder_.File("no-such-engine.so").string();
  struct Case {
    std::string library;
    std::function<void()> arrange;
    std::string message;  // a part of the text shown
  } cases[] = {
      {missing, [] {}, "was not found"},
      // The stored reference, while no registry file names a library.
      {"{hkcu}Software\\Torvane\\Folvio\\3.0\\path",
       [this] { setenv("BRENLOW_REGISTRY_DIR", folder_.Path().c_str(), 1); }, "was not found"},
      {FAKE_ENGINE_WITHOUT_DO, [] {}, "is not compatible"},
      {FAKE_ENGINE, [] { FakeLog().results[QVPDF_CMD_BEGIN_DOC] = 1; }, "Error in BeginDoc!"},
  };
  StartForm();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.library);
    FakeLog().Reset();
    messages_.clear();
    launched_.clear();
    c.arrange();
    Export(c.library);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find(c.message), std::string::npos) << messages_[0];
    EXPECT_TRUE(launched_.empty());

    FakeLog().Reset();
    messages_.clear();
    Export(FAKE_ENGINE);
    EXPECT_TRUE(messages_.empty()) << messages_.front();
    EXPECT_EQ(launched_.size(), 1u);
  }
  unsetenv("BRENLOW_REGISTRY_DIR");
}

TEST_F(DemoFormTest, AFailedDrawingStillEndsTheDocument) {
  TQVPDFPrinter& p = StartForm().QVPDFPrinter1();
  FakeLog().callbacks.push_back({QVPDF_CMD_DRAW_METAFILE, QVPDF_CALLBACK_MESSAGE, 7, "bad"});
  p.OnError = [](TQVCustomPDFExport&, int, const std::string&) {
    throw std::runtime_error("drawing refused");
  };
  Export(FAKE_ENGINE);
  EXPECT_EQ(messages_, std::vector<std::string>{"drawing refused"});
  EXPECT_FALSE(p.InDocument());
  const std::vector<int> commands = Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.back(), QVPDF_CMD_CLOSE_OUTPUT_STREAM);
  EXPECT_TRUE(launched_.empty());

  // The next export starts a document of its own with one page.
  p.OnError = nullptr;
  FakeLog().Reset();
  messages_.clear();
  Export(FAKE_ENGINE);
  EXPECT_TRUE(messages_.empty());
  const std::vector<int> again = Commands();
  EXPECT_EQ(std::count(again.begin(), again.end(), QVPDF_CMD_BEGIN_DOC), 1);
  EXPECT_EQ(launched_.size(), 1u);
}

}  // namespace
}  // namespace brenlow_test
