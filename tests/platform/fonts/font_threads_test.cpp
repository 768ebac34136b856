// Two engine contexts may measure and outline text on two threads at once: the shared
// caches (matches, faces, FreeType faces) must give every thread the same answers.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "font_test_env.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"
#include "qvplatform/glyph_path.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_metrics.h"

namespace qvplatform {
namespace {

struct Answer {
  LONG width = 0, height = 0;
  int pathPoints = 0;
};

const char* const kFaces[] = {"Arial", "Times New Roman", "Courier New", "DejaVu Sans",
                              "No Such Face"};

// One text record as text output handles it: a new font, selected, measured, outlined,
// deselected and deleted.
Answer Record(HDC dc, int i) {
  const LOGFONTW lf =
      vellora_test::MakeLogFont(kFaces[i % 5], -(8 + i % 7), (i % 2) ? 700 : 400, (i / 2) % 2 != 0);
  const HFONT font = CreateFontIndirectW(&lf);
  const HGDIOBJ old = SelectObject(dc, font);
  Answer a;
  SIZE size{};
  GetTextExtentPoint32W(dc, u"Quartz glyph", 12, &size);
  a.width = size.cx;
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  a.height = tm.tmHeight;
  BeginPath(dc);
  ExtTextOutW(dc, 0, 0, 0, nullptr, u"ao", 2, nullptr);
  EndPath(dc);
  a.pathPoints = GetPath(dc, nullptr, nullptr, 0);
  SelectObject(dc, old);
  DeleteObject(font);
  return a;
}

TEST(FontThreads, ConcurrentRecordsGetTheSameAnswers) {
  REQUIRE_TEST_FONTS();
  constexpr int kRecords = 140;
  std::vector<Answer> expected(kRecords);
  {
    const HDC dc = GetDC(0);
    for (int i = 0; i < kRecords; ++i) expected[static_cast<std::size_t>(i)] = Record(dc, i);
    ReleaseDC(0, dc);
  }
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      const HDC dc = GetDC(0);
      for (int round = 0; round < 3; ++round)
        for (int k = 0; k < kRecords; ++k) {
          const int i = (k * 7 + t * 13) % kRecords;  // each thread in its own order
          const Answer a = Record(dc, i);
          const Answer& want = expected[static_cast<std::size_t>(i)];
          if (a.width != want.width || a.height != want.height || a.pathPoints != want.pathPoints)
            ++mismatches;
        }
      ReleaseDC(0, dc);
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(mismatches.load(), 0);
  EXPECT_GT(expected[0].width, 0);
  EXPECT_GT(expected[0].pathPoints, 0);
}

TEST(FontThreads, DeviceContextsAndFontsAreSeparateHandles) {
  REQUIRE_TEST_FONTS();
  const HDC dc = GetDC(0);
  const HGDIOBJ stock = GetStockObject(SYSTEM_FONT);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), stock);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  const HFONT font = CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  EXPECT_EQ(SelectObject(dc, font), stock);
  // A font handle is no DC and a DC handle no font.
  TEXTMETRICA tm;
  EXPECT_FALSE(GetTextMetricsA(font, &tm));
  EXPECT_EQ(SelectObject(font, dc), 0u);
  EXPECT_EQ(SelectObject(dc, dc), 0u);
  EXPECT_FALSE(DeleteObject(dc));
  EXPECT_FALSE(DeleteObject(stock));  // stock objects stay
  // A deleted font stays usable in the DC that holds it; its handle is gone.
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(GetTextMetricsA(dc, &tm));
  EXPECT_EQ(SelectObject(dc, font), 0u);
  EXPECT_EQ(ReleaseDC(0, dc), 1);
  EXPECT_EQ(ReleaseDC(0, dc), 0);
  EXPECT_FALSE(GetTextMetricsA(dc, &tm));
}

}  // namespace
}  // namespace qvplatform
