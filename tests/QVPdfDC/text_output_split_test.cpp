// Texts drawn in separate runs: a leading blank, word by word (also for very long records),
// italic slanted by hand, CJK text character by character, the first characters apart,
// right-to-left text in visual order; and the direct-drawing calls.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "QVPdfDC/text_output.h"
#include "content_checker.h"
#include "text_output_fake_font.h"
#include "text_output_words.h"

namespace vellora {
namespace {

using qvplatform::RECTL;
using vellora_test::CheckContent;
using vellora_test::FakeFontDevice;
using vellora_test::OperandsOf;
using vellora_test::PrepareForSteps;

const std::int32_t kTwelve[] = {12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12};

#define REQUIRE_FONTS() \
  if (!vellora_test::TextFontsReady()) GTEST_SKIP() << "fonts-liberation2 or fonts-dejavu missing"

void Ready(FakeFontDevice& d) {
  PrepareForSteps(d, 400);
  d.UseFont("Arial", -20);
  d.SetTextAlign(24);
}

// The strings of every "(...)Tj" in order.
std::vector<std::string> Shown(const std::string& content) {
  std::vector<std::string> shown;
  for (std::size_t end = content.find(")Tj"); end != std::string::npos;
       end = content.find(")Tj", end + 1)) {
    const std::size_t open = content.rfind("Td(", end);
    if (open != std::string::npos) shown.push_back(content.substr(open + 3, end - open - 3));
  }
  return shown;
}

TEST(TextOutputSplit, ALeadingBlankIsDrawnAlone) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  const std::string step =
      d.Step([&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"  ab", nullptr, 4, kTwelve); });
  EXPECT_EQ(Shown(step), (std::vector<std::string>{" ", " ab"})) << step;
  // The rest starts one advance further (the blank's origin went into its text matrix).
  EXPECT_NE(step.find("1 0 0 1 100 300 Tm"), std::string::npos) << step;
  EXPECT_NE(step.find("112 300 Td( ab)Tj"), std::string::npos) << step;
}

TEST(TextOutputSplit, WordByWordIsALoopForAnyLengthOfText) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  d.splitAtBlanks = true;
  const std::string step =
      d.Step([&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"one two  three", nullptr, 14, kTwelve); });
  EXPECT_EQ(Shown(step), (std::vector<std::string>{"one ", "two  ", "three"})) << step;

  // A hostile record of 200000 one-letter words: drawn, word by word, without nesting.
  std::u16string text;
  for (int i = 0; i < 100000; ++i) text += u"a ";
  const std::vector<std::int32_t> spacing(text.size(), 1);
  const auto start = std::chrono::steady_clock::now();
  const std::string all = d.Step([&] {
    d.ExtTextOut(0, 200, 0, RECTL{}, text.data(), nullptr, static_cast<std::int32_t>(text.size()),
                 spacing.data());
  });
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(Shown(all).size(), 100000u);
  EXPECT_FALSE(d.wordSplitInProgress);
  EXPECT_LT(seconds, 10.0);
  RecordProperty("hostile_record_seconds", std::to_string(seconds));
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputSplit, ItalicWithoutAnItalicFaceIsSlantedByHand) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  d.Font().lfItalic = 1;
  d.CurrentDCState().italicFaceAvailable = false;
  const std::int32_t spacing[] = {12, 14, 12};
  const std::string step =
      d.Step([&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"abc", nullptr, 3, spacing); });
  // One slanted text object per character, its origin a tenth of the height to the right.
  const auto tm = OperandsOf(step, "Tm");
  ASSERT_EQ(tm.size(), 3u) << step;
  const double x[] = {102, 114, 128};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(tm[i][0], 0.85, 1e-9);
    EXPECT_NEAR(tm[i][2], 0.15, 1e-9);
    EXPECT_EQ(tm[i][4], x[i]);
    EXPECT_EQ(tm[i][5], 300);
  }
  EXPECT_EQ(Shown(step), (std::vector<std::string>{}));  // exact: each in a TJ array
  EXPECT_EQ(d.Font().lfItalic, 1);
  EXPECT_FALSE(d.slant);
  const std::string content = d.Close();
  EXPECT_TRUE(CheckContent(content).errors.empty()) << content;

  // With the process-wide switch the face becomes Arial, placed exactly instead.
  FakeFontDevice e;
  Ready(e);
  e.UseFont("Times New Roman", -20);
  e.Font().lfItalic = 1;
  e.CurrentDCState().italicFaceAvailable = false;
  SetItalicAsArial(true);
  e.ExtTextOut(100, 100, 0, RECTL{}, u"ab", nullptr, 2, kTwelve);
  SetItalicAsArial(false);
  EXPECT_EQ(e.CurrentDCState().faceName, "Arial");
  EXPECT_FALSE(e.slant);
}

TEST(TextOutputSplit, CjkTextIsWrittenCharacterByCharacter) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  d.UseFont("MS Mincho", -20, 400, 0, 128);
  d.SetTextAlign(2 | 24);  // right-aligned: the start moves back by the total
  d.cjkFace = "Courier New";
  const std::int32_t spacing[] = {20, 10, 20};
  d.stateCharsets.clear();
  const std::string step =
      d.Step([&] { d.ExtTextOut(300, 100, 0, RECTL{}, u"\u65e5A\u672c", nullptr, 3, spacing); });
  // Shift-JIS bytes of each character, at 250, 270 and 280 (the Latin letter placed exactly,
  // as everything on the baseline of CJK text).
  EXPECT_NE(step.find("1 0 0 1 250 300 Tm"), std::string::npos) << step;
  EXPECT_NE(step.find("0 0 Td(\x93\xfa)Tj"), std::string::npos) << step;
  EXPECT_NE(step.find("270 300 Td[(A)100]TJ"), std::string::npos) << step;
  EXPECT_NE(step.find("10 0 Td(\x96\x7b)Tj"), std::string::npos) << step;
  // The Latin letter in the set and face given for it, then the level as it was.
  std::vector<int> written;
  for (std::size_t i = 0; i < d.stateSizes.size(); ++i)
    if (d.stateSizes[i] != 0) written.push_back(d.stateCharsets[i]);
  EXPECT_EQ(written, (std::vector<int>{128, 1, 128}));
  EXPECT_EQ(d.CurrentDCState().faceName, "MS Mincho");
  EXPECT_EQ(d.CurrentDCState().font.lfCharSet, 128);
  EXPECT_EQ(d.lastCjkBaseline, 100);
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputSplit, FirstCharactersApartAndRightToLeftText) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  d.modes.Include(kModeFirstWordApart);
  std::string step =
      d.Step([&] { d.ExtTextOut(100, 100, 0, RECTL{}, u"x yyy", nullptr, 5, kTwelve); });
  EXPECT_EQ(Shown(step), (std::vector<std::string>{"x", " ", "yyy"})) << step;

  // Hebrew in visual order, each advance with its character.
  d.modes = TQVDevModes{};
  const std::int32_t spacing[] = {10, 11, 12, 13};
  step = d.Step([&] {
    d.ExtTextOut(100, 200, 0, RECTL{}, u"\u05e9\u05dc\u05d5\u05dd", nullptr, 4, spacing);
  });
  EXPECT_EQ(Shown(step), (std::vector<std::string>{"\xed\xe5\xec\xf9"})) << step;
  ASSERT_FALSE(d.usedWide.empty());
  EXPECT_EQ(d.usedWide.back(), u"\u05dd\u05d5\u05dc\u05e9");
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

TEST(TextOutputSplit, DirectDrawingIsLeftAlignedOnTheBaseline) {
  REQUIRE_FONTS();
  FakeFontDevice d;
  Ready(d);
  d.SetTextAlign(2 | 1);  // right, update current position: the direct calls ignore both
  d.MoveTo(5, 5, nullptr);
  d.SetBkMode(2);
  d.SetBkColor(0x0000FF);
  const RECTL box{10, 20, 30, 40};
  std::string step = d.Step([&] { d.TextOutDirect(100, 100, "Direct", &box); });
  // The background as wide as the text where the rectangle is narrower.
  EXPECT_NE(step.find("1 0 0 rg 10 360 72 20 re f Q"), std::string::npos) << step;
  EXPECT_EQ(Shown(step), (std::vector<std::string>{"Direct"}));
  EXPECT_NE(step.find("1 0 0 1 100 300 Tm"), std::string::npos) << step;
  EXPECT_EQ(d.currentX, 5);
  EXPECT_EQ(d.CurrentDCState().textAlignFlags, 16u | 32u);
  d.SetBkMode(1);
  const std::int32_t spacing[] = {12, 12};
  step = d.Step([&] { d.TextOutDirectEx(100, 150, u"Ex", spacing, 2, nullptr); });
  EXPECT_EQ(Shown(step), (std::vector<std::string>{"Ex"}));
  EXPECT_EQ(step.find("re f"), std::string::npos);
  EXPECT_TRUE(CheckContent(d.Close()).errors.empty());
}

}  // namespace
}  // namespace vellora
