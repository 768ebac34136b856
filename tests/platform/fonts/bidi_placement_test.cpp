#include "qvplatform/text_placement.h"

#include <gtest/gtest.h>

#include <vector>

#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_metrics.h"
#include "screen_font_test.h"

namespace qvplatform {
namespace {

using vellora_test::MakeLogFont;

struct Placement {
  std::u16string visual;
  std::vector<UINT> order;
  std::vector<INT> dx;
  DWORD result = 0;
};

class BidiPlacement : public vellora_test::ScreenFontTest {
 protected:
  void Select(int charset) {
    const LOGFONTW lf = MakeLogFont("Arial", -20, 400, false, charset);
    ScreenFontTest::Select(CreateFontIndirectW(&lf));
  }
  Placement Place(const std::u16string& text, DWORD flags) {
    Placement p;
    p.visual.assign(text.size(), u'#');
    p.order.assign(text.size(), 999);
    p.dx.assign(text.size(), -1);
    GCP_RESULTSW r;
    r.lpOutString = p.visual.data();
    r.lpOrder = p.order.data();
    r.lpDx = p.dx.data();
    r.nGlyphs = static_cast<UINT>(text.size());
    p.result =
        GetCharacterPlacementW(dc_, text.data(), static_cast<int>(text.size()), 0, &r, flags);
    EXPECT_EQ(r.nGlyphs, text.size());
    return p;
  }
};

TEST_F(BidiPlacement, HebrewLatinAndDigitsInVisualOrder) {
  Select(HEBREW_CHARSET);
  const DWORD info = GetFontLanguageInfo(dc_);
  ASSERT_NE(info, GCP_ERROR);
  ASSERT_TRUE(info & GCP_REORDER);
  // "abc " + alef bet gimel + " 123": the Hebrew run and the number after it read right to
  // left as one run, the number itself left to right.
  const std::u16string text = u"abc \u05D0\u05D1\u05D2 123";
  const Placement p = Place(text, info & FLI_MASK);
  EXPECT_EQ(p.visual, u"abc 123 \u05D2\u05D1\u05D0");
  EXPECT_EQ(p.order, (std::vector<UINT>{0, 1, 2, 3, 10, 9, 8, 7, 4, 5, 6}));
  // The result packs the width and the cell height; the widths follow the display order.
  SIZE extent;
  GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &extent);
  EXPECT_EQ(p.result, static_cast<DWORD>(extent.cx) | static_cast<DWORD>(extent.cy) << 16);
  INT w;
  GetCharWidthW(dc_, 0x05D2, 0x05D2, &w);
  EXPECT_EQ(p.dx[8], w);

  // A right-to-left paragraph (TA_RTLREADING) puts the Latin run at the end.
  SetTextAlign(dc_, TA_RTLREADING);
  const Placement rtl = Place(u"abc \u05D0\u05D1\u05D2", GCP_REORDER);
  EXPECT_EQ(rtl.visual, u"\u05D2\u05D1\u05D0 abc");
  EXPECT_EQ(rtl.order, (std::vector<UINT>{4, 5, 6, 3, 2, 1, 0}));
  // Without GCP_REORDER nothing moves.
  const Placement plain = Place(u"ab\u05D0\u05D1", 0);
  EXPECT_EQ(plain.visual, u"ab\u05D0\u05D1");
  EXPECT_EQ(plain.order, (std::vector<UINT>{0, 1, 2, 3}));
}

TEST_F(BidiPlacement, ArabicIsReversedAndJoined) {
  Select(ARABIC_CHARSET);
  const DWORD info = GetFontLanguageInfo(dc_) & FLI_MASK;
  ASSERT_EQ(info & (GCP_REORDER | GCP_GLYPHSHAPE), GCP_REORDER | GCP_GLYPHSHAPE);
  // alef lam seen lam alef meem, then a Latin word.
  const std::u16string text = u"\u0627\u0644\u0633\u0644\u0627\u0645 abc";
  const Placement p = Place(text, info);
  // Joined forms in display order: meem isolated, alef final, lam medial, seen medial,
  // lam initial, alef isolated; the Latin word follows in a left-to-right paragraph.
  EXPECT_EQ(p.visual, u"\uFEE1\uFE8E\uFEE0\uFEB4\uFEDF\uFE8D abc");
  EXPECT_EQ(p.order, (std::vector<UINT>{5, 4, 3, 2, 1, 0, 6, 7, 8, 9}));
  // Reordering alone keeps the letters as they are.
  const Placement unshaped = Place(text, GCP_REORDER);
  EXPECT_EQ(unshaped.visual, u"\u0645\u0627\u0644\u0633\u0644\u0627 abc");
}

TEST_F(BidiPlacement, LanguageInfoAndFailures) {
  Select(ANSI_CHARSET);
  EXPECT_EQ(GetFontLanguageInfo(dc_) & (GCP_REORDER | GCP_DBCS), 0u);
  EXPECT_EQ(GetFontLanguageInfo(0), GCP_ERROR);
  GCP_RESULTSW r;
  EXPECT_EQ(GetCharacterPlacementW(0, u"a", 1, 0, &r, GCP_REORDER), 0u);
  EXPECT_EQ(GetCharacterPlacementW(dc_, u"a", 1, 0, nullptr, GCP_REORDER), 0u);
  // Arrays shorter than the text are filled only as far as nGlyphs says.
  UINT order[2] = {77, 77};
  r.lpOrder = order;
  r.nGlyphs = 1;
  EXPECT_NE(GetCharacterPlacementW(dc_, u"ab", 2, 0, &r, GCP_REORDER), 0u);
  EXPECT_EQ(order[0], 0u);
  EXPECT_EQ(order[1], 77u);
}

}  // namespace
}  // namespace qvplatform
