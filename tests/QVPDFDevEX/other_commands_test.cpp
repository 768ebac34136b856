// The extended device's other commands: the text-output flags of codes 522 and 523 read from
// the record's own value, and code 3005's image taken from its payload alone.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ex_test_document.h"
#include "page_render.h"
#include "pdf_tools.h"

namespace vellora {
namespace {

using vellora_test::ExDocument;

TEST(OtherCommands, FlagsComeFromTheRecordNotTheMappedRectangle) {
  struct Case {
    std::int32_t code;
    std::int32_t left;
    bool splitAtBlanks, exactPositioning;
  };
  for (const Case c : {Case{522, 0, false, false}, Case{522, 1, true, false},
                       Case{523, 0, false, false}, Case{523, 7, false, true}}) {
    ExDocument doc;
    // A moved origin turns a stored 0 into something else once mapped.
    doc.Picture().SetWindowOrg(-50, -50);
    doc.Command(c.code, "", {c.left, 0, 10, 10});
    doc.Play();
    EXPECT_EQ(doc.device.splitAtBlanks, c.splitAtBlanks) << c.code << " " << c.left;
    EXPECT_EQ(doc.device.forceExactPositioning, c.exactPositioning) << c.code << " " << c.left;
    doc.Finish();
  }
}

std::string ImagePayload(std::int32_t kind, std::int32_t width, std::int32_t height,
                         const std::string& data) {
  std::string payload(12, '\0');
  for (int i = 0; i < 4; ++i) {
    payload[static_cast<std::size_t>(i)] = static_cast<char>(kind >> (8 * i));
    payload[static_cast<std::size_t>(4 + i)] = static_cast<char>(width >> (8 * i));
    payload[static_cast<std::size_t>(8 + i)] = static_cast<char>(height >> (8 * i));
  }
  return payload + data;
}

TEST(OtherCommands, ImageFromThePayloadFillsTheRectangle) {
  ExDocument doc;
  // Raw grey pixels (format 10), 2 x 1: black then white.
  doc.Command(3005, ImagePayload(10, 2, 1, std::string("\x00\xFF", 2)), {100, 100, 200, 150});
  // Payloads too short for their header, or for the pixels they announce, draw nothing.
  doc.Command(3005, ImagePayload(10, 2, 1, ""), {0, 0, 50, 50});
  doc.Command(3005, ImagePayload(10, 64, 64, "x"), {0, 0, 50, 50});
  doc.Command(3005, "\x0a", {0, 0, 50, 50});
  const std::string pdf = doc.Finish();
  EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
  const vellora_test::Raster page = vellora_test::RenderPage(pdf);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  EXPECT_GT(page.DarkShare(102, 102, 148, 148), 0.95);
  EXPECT_EQ(page.DarkShare(152, 102, 198, 148), 0.0);
  EXPECT_EQ(page.DarkShare(0, 0, 60, 60), 0.0);
}

}  // namespace
}  // namespace vellora
