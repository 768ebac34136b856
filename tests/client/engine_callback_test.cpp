// The engine's callback: merge-text answers, read-mode polls and their abort answer, and
// failures of event handlers, which must not unwind through the engine.
#include "fake_engine_test.h"

namespace brenlow_test {
namespace {

using namespace brenlow;

class EngineCallbackTest : public FakeEngineTest {
 protected:
  // A document whose BeginDoc sends a read-content poll.
  std::string RunReadDocument(TQVPDFPrinter& p) {
    FakeLog().callbacks.push_back({QVPDF_CMD_BEGIN_DOC, QVPDF_CALLBACK_READ_CONTENT, 1, ""});
    const std::string failure = FailureOf([&] { p.BeginDoc(); });
    p.EndDoc();
    return failure;
  }
};

TEST_F(EngineCallbackTest, MergeTextIsAnsweredInsideTheCallback) {
  TQVPDFPrinter p;
  p.SetInMemoryMode(true);
  p.OnMergeText = [](TQVCustomPDFExport&, std::string& text) { text = "[" + text + "]"; };
  FakeLog().callbacks.push_back({QVPDF_CMD_BEGIN_DOC, QVPDF_CALLBACK_MERGE_TEXT, 0, "name"});
  p.BeginDoc();
  const auto calls = FakeLog().Calls();
  ASSERT_GE(calls.size(), 2u);
  // The answer comes right after the command that asked, before the command returns.
  EXPECT_EQ(calls[calls.size() - 2].key, QVPDF_CMD_BEGIN_DOC);
  EXPECT_EQ(calls.back().entry, "SetSProp");
  EXPECT_EQ(calls.back().key, QVPDF_SPROP_MERGE_TEXT);
  EXPECT_EQ(calls.back().text, "[name]");
  p.EndDoc();
}

TEST_F(EngineCallbackTest, TheAbortAnswerGoesOnlyToAProgressPoll) {
  struct Case {
    const char* name;
    bool progress, content;
    std::int32_t answer;
  };
  for (const Case& c : {Case{"progress", true, false, 1}, Case{"content", true, true, 0},
                        Case{"neither", false, false, 0}}) {
    SCOPED_TRACE(c.name);
    FakeLog().Reset();
    TQVPDFPrinter p;
    p.SetPDFReadMode(folvioRetrieveASCII);
    int contents = 0;
    if (c.progress) p.OnReadProgress = [](TQVCustomPDFExport&) {};
    if (c.content)
      p.OnReadContent = [&](TQVCustomPDFExport&, const TQVPDFReadContent* data) {
        EXPECT_EQ(data->One, 1);
        ++contents;
      };
    p.AfterBeginDoc = [](TQVCustomPDFExport& sender) { sender.Abort(); };
    FakeLog().callbacks.push_back({QVPDF_CMD_END_DOC, QVPDF_CALLBACK_READ_CONTENT, 1, ""});
    p.BeginDoc();
    p.EndDoc();
    EXPECT_EQ(FakeLog().readAnswers, std::vector<std::int32_t>{c.answer});
    EXPECT_EQ(contents, c.content ? 1 : 0);
  }
}

TEST_F(EngineCallbackTest, ImportIsRefusedForPicturesAndForAnEngineWithItsOwnImport) {
  struct Case {
    const char* library;
    TQVPDFReadMode mode;
    bool refused;
  };
  const Case cases[] = {
      {FAKE_ENGINE, folvioRetrieveBMP, true},
      {FAKE_ENGINE, folvioRetrieveASCII, false},
      {FAKE_ENGINE, folvioRetrieveEMF, false},
      {FAKE_ENGINE_PROCESS_PDF, folvioRetrieveBMP, true},
      {FAKE_ENGINE_PROCESS_PDF, folvioRetrieveASCII, true},
      {FAKE_ENGINE_PROCESS_PDF, folvioRetrieveEMF, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.library) + " mode " + std::to_string(c.mode));
    FakeLog().Reset();
    UseEngineLibrary(c.library);
    TQVPDFPrinter p;
    p.SetPDFReadMode(c.mode);
    p.OnReadProgress = [](TQVCustomPDFExport&) {};
    EXPECT_EQ(RunReadDocument(p), c.refused ? "PDF Import is not supported" : "");
    // The engine was told to stop, and no exception passed through it.
    EXPECT_EQ(FakeLog().readAnswers, std::vector<std::int32_t>{c.refused ? 1 : 0});
  }
  UseEngineLibrary(FAKE_ENGINE);
}

TEST_F(EngineCallbackTest, AFailingHandlerIsRaisedAfterTheEngineReturns) {
  TQVPDFPrinter p;
  p.SetInMemoryMode(true);
  p.OnError = [](TQVCustomPDFExport&, int, const std::string&) {
    throw std::runtime_error("handler failed");
  };
  FakeLog().callbacks.push_back({QVPDF_CMD_BEGIN_DOC, QVPDF_CALLBACK_MESSAGE, 5, "m"});
  FakeLog().callbacks.push_back({QVPDF_CMD_BEGIN_DOC, QVPDF_CALLBACK_MESSAGE, 6, "m"});
  try {
    p.BeginDoc();
    FAIL() << "no failure";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "handler failed");
  }
  // The engine finished its command: both messages went out, the command returned.
  EXPECT_EQ(Commands(), std::vector<int>{QVPDF_CMD_BEGIN_DOC});
  EXPECT_FALSE(p.InDocument());
  p.OnError = nullptr;
  p.BeginDoc();  // the left context is finalised first
  EXPECT_EQ(CallsOf("Finalize").size(), 1u);
  p.EndDoc();
}

}  // namespace
}  // namespace brenlow_test
