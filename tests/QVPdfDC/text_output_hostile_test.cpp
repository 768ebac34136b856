#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <stdexcept>

#include "QVPdfDC/text_output.h"
#include "content_checker.h"
#include "text_output_fake_font.h"
namespace vellora {
namespace {
using qvplatform::RECTL;
// Random requests in random device states, with hostile heights, widths, escapements,
// spacing and clip values: nothing crashes (the sanitizer builds check the arithmetic) and
// the content stays well formed.
TEST(TextOutputHostile, RandomRequestsKeepTheContentSound) {
  std::mt19937 rng(static_cast<std::mt19937::result_type>(
      std::getenv("TEXT_SEED") ? std::atoi(std::getenv("TEXT_SEED")) : 12345));
  auto pick = [&](std::initializer_list<std::int64_t> v) {
    auto it = v.begin();
    std::advance(it, rng() % v.size());
    return *it;
  };
  const int rounds = std::getenv("TEXT_ROUNDS") ? std::atoi(std::getenv("TEXT_ROUNDS")) : 40;
  for (int round = 0; round < rounds; ++round) {
    vellora_test::FakeFontDevice d;
    vellora_test::PrepareForSteps(d, 500);
    if (rng() % 3 == 0) {
      d.SetMapMode(static_cast<std::int32_t>(pick({2, 3, 4, 5, 6, 8})));
    }
    if (rng() % 3 == 0) {
      d.SetMapMode(8);
      d.SetWindowExt(static_cast<std::int32_t>(pick({1000, -1000, 40000, 3})),
                     static_cast<std::int32_t>(pick({1000, -1000, 50000, 7})));
      d.SetViewportExt(static_cast<std::int32_t>(pick({500, -500, 1})),
                       static_cast<std::int32_t>(pick({500, -500})));
    }
    if (rng() % 4 == 0) {
      qvplatform::XFORM x{0.7f, 0.7f, -0.7f, 0.7f, 10, 20};
      d.SetWorldTransform(x);
    }
    d.modes = TQVDevModes(static_cast<std::uint32_t>(rng()));
    d.contentOptions.cidFontMode = static_cast<std::uint8_t>(rng() % 2 ? 0 : pick({1, 2, 3}));
    d.cidFont = rng() % 2;
    d.splitAtBlanks = rng() % 2;
    d.forceExactPositioning = rng() % 5 == 0;
    d.forcedCharset = static_cast<std::int32_t>(rng() % 6 == 0 ? pick({128, 177, 204, 2}) : 0);
    d.contentOptions.optionBits = rng() % 2 ? TQVGenericPSDevice::kOptionAutoLinks : 0;
    SetItalicAsArial(rng() % 2);
    for (int t = 0; t < 20; ++t) {
      qvplatform::LOGFONTW lf;
      lf.lfHeight = static_cast<std::int32_t>(
          pick({0, -20, 20, 1, -1, 3000, -2147483647 - 1, 2147483647, -7}));
      lf.lfWidth = static_cast<std::int32_t>(pick({0, 0, 400, 5, -30, 2147483647}));
      lf.lfEscapement =
          static_cast<std::int32_t>(pick({0, 0, 900, 1800, 2700, -900, 450, 2964, 123456}));
      lf.lfWeight = static_cast<std::int32_t>(pick({0, 300, 400, 700, 1000}));
      lf.lfItalic = rng() % 3 == 0;
      lf.lfUnderline = rng() % 3 == 0;
      lf.lfStrikeOut = rng() % 3 == 0;
      lf.lfCharSet = static_cast<std::uint8_t>(
          pick({0, 1, 2, 128, 129, 134, 136, 161, 177, 178, 204, 222, 238}));
      const char16_t* faces[] = {u"Arial",         u"WingDings", u"SimSun",     u"Cross Stitch 2",
                                 u"MS Sans Serif", u"System",    u"Arial Black"};
      const char16_t* face = faces[rng() % 7];
      for (int i = 0; face[i]; ++i) lf.lfFaceName[i] = face[i];
      d.SelectObject(d.CreateFont(lf));
      d.CurrentDCState().italicFaceAvailable = rng() % 2;
      d.CurrentDCState().boldFaceAvailable = rng() % 2;
      d.SetTextAlign(static_cast<std::uint32_t>(pick({0, 1, 2, 6, 8, 24, 25, 26, 30, 3})));
      d.SetBkMode(rng() % 2 ? 2 : 1);
      if (rng() % 4 == 0) d.BeginPath(3);
      const int n = static_cast<int>(pick({0, 1, 2, 5, 40, 300}));
      std::u16string w;
      std::string a;
      std::vector<std::int32_t> sp;
      const char16_t pool[] = {u' ',   u'a',   u'Z',   0x2014, 0x3001, 0x4E00, 0x05D0, 0x0627,
                               0x0416, 0x03B1, 0x0E01, 0xAC00, 0xF8FF, 0xF900, 0xD800, 0xDC00,
                               0,      9,      u'(',   u'\\',  0xFFFF, 0xE000, 0x00B1, u'h'};
      for (int i = 0; i < n; ++i) {
        w.push_back(pool[rng() % (sizeof pool / sizeof pool[0])]);
        a.push_back(static_cast<char>(rng()));
        sp.push_back(
            static_cast<std::int32_t>(pick({12, 0, -5, 1000000, -2147483647 - 1, 2147483647, 3})));
      }
      if (rng() % 5 == 0 && n > 8) {
        const char* h = "http://x.y";
        for (std::size_t i = 0; i < 8; ++i) a[i] = h[i];
      }
      const RECTL clip{static_cast<std::int32_t>(pick({0, 10, -2147483647})), 0,
                       static_cast<std::int32_t>(pick({0, 100, 2147483647})),
                       static_cast<std::int32_t>(pick({0, 50}))};
      const std::uint32_t options = static_cast<std::uint32_t>(pick({0, 2, 4, 6, 0x10, 0x16}));
      const bool wide = rng() % 2;
      const bool withSpacing = rng() % 4 != 0;
      d.failFontSelection = rng() % 30 == 0;
      try {
        if (rng() % 6 == 0)
          d.TextOutDirect(static_cast<std::int32_t>(rng() % 400), 100, a.c_str(),
                          rng() % 2 ? &clip : nullptr);
        else
          d.ExtTextOut(static_cast<std::int32_t>(pick({10, -100000, 2147483647})),
                       static_cast<std::int32_t>(pick({10, 0, 300, -2147483647})), options, clip,
                       wide ? w.data() : nullptr, wide ? nullptr : a.data(), n,
                       withSpacing ? sp.data() : nullptr);
      } catch (const std::runtime_error&) {
      }
      d.failFontSelection = false;
      while (d.pathNesting > 0) d.EndPath();
    }
    SetItalicAsArial(false);
    const std::string content = d.Close();
    const auto report = vellora_test::CheckContent(content);
    EXPECT_TRUE(report.errors.empty()) << round << ": " << report.Summary();
    if (!report.errors.empty()) break;
  }
}
}  // namespace
}  // namespace vellora
