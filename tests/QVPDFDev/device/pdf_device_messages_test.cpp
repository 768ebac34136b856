// The numbered messages of the PDF device: their texts, their three receivers in order, the
// page messages (7, 8 and 20), and receivers that fail without stopping the document.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "info_test_document.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::DocumentBytes;
using vellora_test::QpdfProblems;
using vellora_test::RecordingDevice;

TEST(PDFDeviceMessages, TextsByCode) {
  const struct {
    std::int32_t code;
    const char* text;
    const char* message;
  } cases[] = {
      {1, "Chapter", "Bookmark \"Chapter\" not found"},
      {2, "ignored", "Invalid bitmap"},
      {3, "a.pdf", "Cannot open file a.pdf"},
      {4, "x", "Metafile error x"},
      {5, "font", "internal error font"},
      {6, "in.pdf", "Problem in importfile in.pdf"},
      {7, "", "Page has not been started"},
      {8, "", "Page already started"},
      {10, "Arial", "Embed Font: Arial"},
      {11, "as it is", "as it is"},
      {12, "Arial", "Cannot embed Font: Arial"},
      {20, "612;792", "internal error 612;792"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TQVPDFDevice::MessageText(c.code, c.text), c.message) << c.code;
}

struct Log {
  std::vector<std::string> entries;
};

TEST(PDFDeviceMessages, ThreeReceiversInOrder) {
  Log log;
  TQVPDFDevice d;
  d.receivers.callbackUserData = &log;
  d.receivers.engineUserData = &log;
  d.receivers.messageCallback = [](void* user, std::int32_t code, const char* text,
                                   std::int32_t length) {
    static_cast<Log*>(user)->entries.push_back("callback " + std::to_string(code) + " " +
                                               std::string(text, static_cast<std::size_t>(length)));
  };
  d.receivers.onMessage = [&log, &d](TQVPDFDevice& sender, std::int32_t kind,
                                     const std::string& text, std::int32_t code) {
    log.entries.push_back("event " + std::to_string(kind) + " " + std::to_string(code) + " " +
                          text + (&sender == &d ? "" : " (another sender)"));
  };
  d.receivers.engineCallback = [](void* user, std::int32_t kind, std::int32_t value,
                                  const char* text) {
    static_cast<Log*>(user)->entries.push_back("engine " + std::to_string(kind) + " " +
                                               std::to_string(value) + " " + text);
  };
  d.ReportMessage(1, "Intro");
  EXPECT_EQ(log.entries, (std::vector<std::string>{"callback 1 Bookmark \"Intro\" not found",
                                                   "event 1 1 Bookmark \"Intro\" not found",
                                                   "engine 1 1 Bookmark \"Intro\" not found"}));

  // BeginDoc tells the engine the input page count (kind 2).
  log.entries.clear();
  d.BeginDoc(576, 800, 72, 0);
  EXPECT_EQ(log.entries, (std::vector<std::string>{"engine 2 0 "}));
  d.EndDoc();
}

TEST(PDFDeviceMessages, PageMessages) {
  RecordingDevice d;
  d.BeginDoc(576, 800, 72, 0);
  d.EndPage();  // no page
  d.BeginPage(100, 200, 72, 72, 0);
  d.BeginPage(300, 400, 72, 72, 0);  // the first page is ended
  d.EndPage();
  d.BeginPage(0, 0, 0, 0, 0);
  d.EndDoc();
  using M = std::pair<std::int32_t, std::string>;
  EXPECT_EQ(d.messages, (std::vector<M>{{7, "Page has not been started"},
                                        {20, "internal error 100;200"},
                                        {8, "Page already started"},
                                        {20, "internal error 300;400"},
                                        {20, "internal error 0;0"}}));
  const std::string pdf = DocumentBytes(d);
  EXPECT_EQ(QpdfProblems(pdf), "");
  if (vellora_test::HaveTool("qpdf") && vellora_test::HaveTool("python3")) {
    EXPECT_EQ(vellora_test::QpdfJsonQuery(pdf, R"(
for k in get(get(trailer['/Root'])['/Pages'])['/Kids']:
    print(get(k)['/MediaBox'])
)"),
              "[0, 0, 100.0, 200.0]\n[0, 0, 300.0, 400.0]\n[0, 0, 300.0, 400.0]\n");
  }
}

TEST(PDFDeviceMessages, FailingReceiversDoNotStopTheDocument) {
  TQVPDFDevice d;
  int after = 0;
  d.receivers.messageCallback = [](void*, std::int32_t, const char*, std::int32_t) {
    throw std::runtime_error("host failure");
  };
  d.receivers.onMessage = [&after](TQVPDFDevice&, std::int32_t, const std::string&, std::int32_t) {
    ++after;
    throw 42;
  };
  d.BeginDoc(576, 800, 72, 0);
  d.BeginPage(612, 792, 72, 72, 0);
  d.BeginPage(612, 792, 72, 72, 0);
  d.EndDoc();
  EXPECT_EQ(after, 3);  // 20, 8, 20: the event still hears every message
  EXPECT_EQ(QpdfProblems(DocumentBytes(d)), "");
}

}  // namespace
}  // namespace vellora
