// The engine callback: numbered messages and the input page count arrive with the host's
// user data, and a host may call the exports again from inside the callback (the engine
// holds no lock then), even to finalize the context it is called from; commands that would
// change the running document are refused there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_host.h"

namespace vellora_test {
namespace {

struct Call {
  std::int32_t kind;
  std::int32_t value;
  std::string text;
  bool operator==(const Call&) const = default;
};

struct Host {
  TQVPDFEngineContext* context = nullptr;
  std::vector<Call> calls;
  // What the host does from inside the callback.
  bool reenter = false;
  bool finalizeOnMessage = false;
  std::vector<std::int32_t> answers;
  std::string nestedDocument;
};

void Record(void* userData, std::int32_t kind, std::int32_t value, const char* text) {
  Host& host = *static_cast<Host*>(userData);
  host.calls.push_back({kind, value, text});
  const EngineEntries* e = Engine();
  if (host.reenter && kind == QVPDF_CALLBACK_MESSAGE) {
    host.answers.push_back(e->Do(host.context, QVPDF_CMD_INTERFACE_VERSION, 0, nullptr));
    host.answers.push_back(e->SetSProp(host.context, QVPDF_SPROP_MERGE_TEXT, "answer") ? 1 : 0);
    host.answers.push_back(e->XPos(host.context, 10));
    // Commands that change the running document are refused; the running one goes on.
    host.answers.push_back(e->Do(host.context, QVPDF_CMD_END_DOC, 0, nullptr));
    host.answers.push_back(e->Do(host.context, QVPDF_CMD_BEGIN_PAGE, 0, nullptr));
    // A whole document of another context, written from inside the callback.
    EngineContext other;
    e->Do(other, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>(""));
    e->Do(other, QVPDF_CMD_END_DOC, 0, nullptr);
    host.nestedDocument = DocumentBytes(other);
  }
  if (host.finalizeOnMessage && kind == QVPDF_CALLBACK_MESSAGE) {
    e->Finalize(host.context);
    host.answers.push_back(e->Do(host.context, QVPDF_CMD_INTERFACE_VERSION, 0, nullptr));
  }
}

TEST(EngineCallback, MessagesArriveWithTheUserData) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  Host host;
  EngineContext c(&Record, &host);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")), 0);
  const TQVPDFPageInit page = PageRecord(120, 80);
  EXPECT_EQ(e->InitializePage(c, 0, &page), 1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);  // no page: a message, not a failure
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  EXPECT_EQ(host.calls, (std::vector<Call>{
                            {QVPDF_CALLBACK_INPUT_PAGES, 0, ""},
                            {QVPDF_CALLBACK_MESSAGE, 20, "internal error 120;80"},
                            {QVPDF_CALLBACK_MESSAGE, 7, "Page has not been started"},
                        }));
}

TEST(EngineCallback, TheHostMayCallTheExportsFromInsideTheCallback) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  Host host;
  host.reenter = true;
  EngineContext c(&Record, &host);
  host.context = c;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")), 0);
  const TQVPDFPageInit page = PageRecord(120, 80);
  EXPECT_EQ(e->InitializePage(c, 0, &page), 1);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  EXPECT_EQ(host.answers, (std::vector<std::int32_t>{285, 1, 10, -1, -1}));
  EXPECT_EQ(QpdfProblems(host.nestedDocument), "");
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr), 0);
  EXPECT_EQ(QpdfProblems(DocumentBytes(c)), "");
}

TEST(EngineCallback, ContextFinalizedFromItsOwnCallbackLivesUntilTheCallReturns) {
  const EngineEntries* e = Engine();
  ASSERT_NE(e, nullptr);
  Host host;
  host.finalizeOnMessage = true;
  host.context = e->Initialize(QVPDF_INTERFACE_VERSION, &Record, &host);
  ASSERT_NE(host.context, nullptr);
  EXPECT_EQ(e->Do(host.context, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")), 0);
  // The page's message finalizes the context; the page command still ends normally, and the
  // context is gone afterwards.
  const TQVPDFPageInit page = PageRecord(120, 80);
  EXPECT_EQ(e->InitializePage(host.context, 0, &page), 1);
  EXPECT_EQ(e->Do(host.context, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  EXPECT_EQ(host.answers, std::vector<std::int32_t>{-1});
  EXPECT_EQ(e->Do(host.context, QVPDF_CMD_END_PAGE, 0, nullptr), -1);
  EXPECT_EQ(e->InitializePage(host.context, 0, &page), 0);
  e->Finalize(host.context);
}

}  // namespace
}  // namespace vellora_test
