// The operators of each drawing primitive, byte for byte, with and without the DC's y flip
// (y' = 100 - y, or 100 + y when the DC flips y).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "content_checker.h"
#include "ps_test_device.h"

namespace vellora {
namespace {

using qvplatform::POINTL;
using qvplatform::RECTL;
using qvplatform::RGB;
using vellora_test::CheckContent;
using vellora_test::OperandsOf;
using vellora_test::PrepareForSteps;
using vellora_test::TestPSDevice;

constexpr std::uint32_t kBlackness = 0x00000042, kWhiteness = 0x00FF0062;
constexpr std::uint32_t kPatCopy = 0x00F00021, kSrcInvert = 0x00660046;

const POINTL kTriangle[] = {{0, 0}, {10, 0}, {10, 10}};
const POINTL kCurve[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
const POINTL kDrawPoints[] = {{10, 0}, {10, 10}, {20, 20}, {21, 21}, {22, 22}, {23, 23}};
const std::uint8_t kDrawTypes[] = {2, 2 | 1, 6, 4, 4, 4};

struct Case {
  const char* name;
  std::function<void(TestPSDevice&)> draw;
  const char* plain;
  const char* flipped;
};

const Case kCases[] = {
    {"LineTo twice",
     [](TestPSDevice& d) {
       d.MoveTo(0, 0, nullptr);
       d.LineTo(10, 20);
       d.LineTo(30, 5);
     },
     "0 100 m 10 80 l S 10 80 m 30 95 l S ", "0 100 m 10 120 l S 10 120 m 30 105 l S "},
    {"Polyline", [](TestPSDevice& d) { d.Polyline(kTriangle, 3, false, true, true); },
     "0 100 m 10 100 l 10 90 l S ", "0 100 m 10 100 l 10 110 l S "},
    {"PolylineTo stays open",
     [](TestPSDevice& d) {
       d.MoveTo(5, 5, nullptr);
       d.Polyline(kTriangle + 1, 2, true, true, true);
     },
     "5 95 m 10 100 l 10 90 l S ", "5 105 m 10 100 l 10 110 l S "},
    {"Polygon", [](TestPSDevice& d) { d.Polygon(kTriangle, 3); }, "0 100 m 10 100 l 10 90 l h b* ",
     "0 100 m 10 100 l 10 110 l h b* "},
    {"Polygon in a bracket",
     [](TestPSDevice& d) {
       d.BeginPath(3);
       d.Polygon(kTriangle, 3);
       d.EndPath();
       d.DrawPath(true, false);
     },
     "0 100 m 10 100 l 10 90 l 0 100 l S ", "0 100 m 10 100 l 10 110 l 0 100 l S "},
    {"Polyline group in a bracket stays open",
     [](TestPSDevice& d) {
       d.BeginPath(3);
       d.BeginPath(1);  // the player's group of EMR_POLYPOLYLINE
       d.Polyline(kTriangle, 3, false, true, true);
       d.EndPath();
       d.EndPath();
       d.DrawPath(true, false);
     },
     "0 100 m 10 100 l 10 90 l S ", "0 100 m 10 100 l 10 110 l S "},
    {"Aborted path is not painted by the next primitive",
     [](TestPSDevice& d) {
       d.BeginPath(3);
       d.Polygon(kTriangle, 3);
       while (d.EndPath()) {
       }
       d.Rectangle(RECTL{10, 10, 20, 30});
     },
     "0 100 m 10 100 l 10 90 l 0 100 l n 10 90 10 -20 re b* ",
     "0 100 m 10 100 l 10 110 l 0 100 l n 10 110 10 20 re b* "},
    {"PolyBezier", [](TestPSDevice& d) { d.PolyBezier(kCurve, 4, false); },
     "0 100 m 1 99 2 98 3 97 c S ", "0 100 m 1 101 2 102 3 103 c S "},
    {"PolyBezierTo stays open",
     [](TestPSDevice& d) {
       d.MoveTo(0, 0, nullptr);
       d.PolyBezier(kCurve + 1, 3, true);
     },
     "0 100 m 1 99 2 98 3 97 c S ", "0 100 m 1 101 2 102 3 103 c S "},
    {"PolyBezier too short", [](TestPSDevice& d) { d.PolyBezier(kCurve, 3, false); }, "", ""},
    {"SetPixel in its own colour", [](TestPSDevice& d) { d.SetPixel(5, 5, RGB(255, 0, 0)); },
     "q 1 0 0 RG 1 w 0 J [] 0 d 5 94.5 m 6 94.5 l S Q ",
     "q 1 0 0 RG 1 w 0 J [] 0 d 5 105.5 m 6 105.5 l S Q "},
    {"Rectangle",
     [](TestPSDevice& d) {
       d.Rectangle(RECTL{10, 10, 20, 30});
     },
     "10 90 10 -20 re b* ", "10 110 10 20 re b* "},
    {"RoundRect",
     [](TestPSDevice& d) {
       d.RoundRect(RECTL{0, 0, 40, 20}, 8, 4);
     },
     "4 100 m 36 100 l 38 100 40 99 40 98 c 40 82 l 40 81 38 80 36 80 c 4 80 l 2 80 0 81 0 82 c "
     "0 98 l 0 99 2 100 4 100 c b* ",
     "4 120 m 36 120 l 38 120 40 119 40 118 c 40 102 l 40 101 38 100 36 100 c 4 100 l 2 100 0 "
     "101 0 102 c 0 118 l 0 119 2 120 4 120 c b* "},
    {"FillSolidRect", [](TestPSDevice& d) { d.FillSolidRect(1, 2, 3, 4, RGB(255, 0, 0)); },
     "q 1 0 0 rg 1 98 3 -4 re f Q ", "q 1 0 0 rg 1 102 3 4 re f Q "},
    {"FillSolidRectF", [](TestPSDevice& d) { d.FillSolidRectF(RGB(255, 0, 0), 1.5f, 2, 3, 4); },
     "q 1 0 0 rg 1.5 98 3 -4 re f Q ", "q 1 0 0 rg 1.5 102 3 4 re f Q "},
    {"BitBlt BLACKNESS", [](TestPSDevice& d) { d.BitBlt(1, 2, 3, 4, kBlackness); },
     "q  0 g 1 98 3 -4 re f Q ", "q  0 g 1 102 3 4 re f Q "},
    {"BitBlt WHITENESS", [](TestPSDevice& d) { d.BitBlt(1, 2, 3, 4, kWhiteness); },
     "q 1 1 1 rg 1 98 3 -4 re f Q ", "q 1 1 1 rg 1 102 3 4 re f Q "},
    {"BitBlt SRCINVERT", [](TestPSDevice& d) { d.BitBlt(1, 2, 3, 4, kSrcInvert); }, "", ""},
    {"BitBlt PATCOPY without fills",
     [](TestPSDevice& d) {
       d.modes.Include(qvNoBITBLTFillRect);
       d.BitBlt(1, 2, 3, 4, kPatCopy);
     },
     "", ""},
    {"PolyDraw",
     [](TestPSDevice& d) {
       d.MoveTo(5, 5, nullptr);
       d.PolyDraw(kDrawPoints, kDrawTypes, 6);
     },
     "5 95 m 10 100 l 10 90 l 5 95 l h 20 80 m 21 79 22 78 23 77 c S ",
     "5 105 m 10 100 l 10 110 l 5 105 l h 20 120 m 21 121 22 122 23 123 c S "},
    {"Clip rectangle needs its mode",
     [](TestPSDevice& d) {
       d.SelectClipRegion(1, RECTL{10, 10, 20, 30}, 0, nullptr);
     },
     "", ""},
    {"Clip rectangle",
     [](TestPSDevice& d) {
       d.modes.Include(qvClipRectSupport);
       d.SelectClipRegion(1, RECTL{20, 30, 10, 10}, 0, nullptr);
     },
     "10 90 10 -20 re W n ", "10 110 10 20 re W n "},
    {"Difference clip",
     [](TestPSDevice& d) {
       d.SetPolyFillMode(2);  // winding: the inversion must not depend on it
       d.BeginPath(3);
       d.Rectangle(RECTL{10, 10, 20, 30});
       d.EndPath();
       d.SelectClipPath(4);
     },
     "10 90 10 -20 re -100000 -100000 200000 200000 re W* n ",
     "10 110 10 20 re -100000 -100000 200000 200000 re W* n "},
    {"Clip path",
     [](TestPSDevice& d) {
       d.BeginPath(3);
       d.Rectangle(RECTL{10, 10, 20, 30});
       d.EndPath();
       d.SelectClipPath(1);
     },
     "10 90 10 -20 re W* n ", "10 110 10 20 re W* n "},
};

TEST(PSDevicePrimitives, OperatorsWithAndWithoutTheYFlip) {
  for (const bool flip : {false, true}) {
    for (const Case& c : kCases) {
      TestPSDevice d;
      PrepareForSteps(d);
      d.dcStack.yFlip = flip;
      EXPECT_EQ(d.Step([&] { c.draw(d); }), flip ? c.flipped : c.plain)
          << c.name << (flip ? " (y flip)" : "");
      const std::string content = d.Close();
      EXPECT_TRUE(CheckContent(content).errors.empty())
          << c.name << ": " << CheckContent(content).Summary() << content;
    }
  }
}

TEST(PSDevicePrimitives, EllipseIsOneClosedFigureOfFourCurves) {
  TestPSDevice d;
  PrepareForSteps(d);
  const std::string step = d.Step([&] { d.Ellipse(RECTL{0, 0, 11, 21}, true); });
  const auto report = CheckContent(step);
  std::string ops;
  for (const auto& op : report.operators) ops += op + " ";
  EXPECT_EQ(ops, "m c c c c h b* ");
  // Starts at angle 0 on the right: centre (5.5, 89.5), radii 5 and 10.
  EXPECT_EQ(step.substr(0, 16), "10.501 89.501 m ");
  for (const auto& c : OperandsOf(step, "c")) {
    const double x = (c[4] - 0.001 - 5.5) / 5, y = (c[5] - 0.001 - 89.5) / 10;
    EXPECT_NEAR(x * x + y * y, 1.0, 1e-9);  // every curve ends on the ellipse
  }
}

TEST(PSDevicePrimitives, DegenerateArcsStayFinite) {
  TestPSDevice d;
  PrepareForSteps(d);
  // A segment of no sweep has no handles; nothing divides by its sine.
  d.ArcToBeziers(RECTL{0, 0, 10, 10}, POINTL{10, 5}, POINTL{10, 5}, false, 50);
  d.ArcSegment(0, 0.5L, 10, 10, 50, 50);
  EXPECT_FALSE(d.arcError);
  ASSERT_EQ(d.ArcValues().size(), 26u);  // the full circle's 20 values and one segment more
  for (const long double v : d.ArcValues()) EXPECT_TRUE(std::isfinite(v));
  // Equal start and end points: the whole ellipse; an empty box: the smallest radius.
  const std::string full = d.Step([&] { d.Arc(RECTL{0, 0, 10, 10}, {10, 5}, {10, 5}, false); });
  EXPECT_EQ(OperandsOf(full, "c").size(), 3u) << full;
  const std::string dot = d.Step([&] { d.Arc(RECTL{5, 5, 5, 5}, {6, 5}, {5, 4}, false); });
  EXPECT_EQ(dot.find("nan"), std::string::npos) << dot;
  const std::string content = d.Close();
  EXPECT_TRUE(CheckContent(content).errors.empty()) << content;
}

TEST(PSDevicePrimitives, ArcToContinuesFromTheArcsEnd) {
  for (const bool flip : {false, true}) {
    TestPSDevice d;
    PrepareForSteps(d);
    d.dcStack.yFlip = flip;
    d.MoveTo(0, 50, nullptr);
    const RECTL box{0, 0, 100, 100};
    // From the right (3 o'clock) to the top of the box, counter-clockwise as seen.
    const POINTL right{100, 50}, top{50, flip ? 100 : 0};
    d.Arc(box, right, top, true);
    EXPECT_EQ(d.currentX, 50);
    EXPECT_EQ(d.currentY, top.y);
    // The second arc starts where the first ended, in logical units, not flipped twice.
    const std::string second = d.Step([&] { d.Arc(box, top, POINTL{0, 50}, true); });
    EXPECT_EQ(second.substr(0, 11), flip ? "50 200 m 50" : "50 100 m 50") << second;
    EXPECT_EQ(d.currentX, 1);  // the radius is half the box less one unit
    EXPECT_EQ(d.currentY, 50);
  }
}

TEST(PSDevicePrimitives, AngleArcSegmentsAndNegativeSweeps) {
  struct Case {
    float start, sweep;
    std::size_t curves;
    const char* begin;  // the line from the current point to the arc
    POINTL end;         // the current point afterwards (logical, y down)
  };
  const Case cases[] = {
      {0, 100, 2, "0 100 m 70 50 l ", {47, 30}},    // one quarter and ten degrees
      {0, -90, 1, "0 100 m 70 50 l ", {50, 70}},    // clockwise: down to 6 o'clock
      {90, -180, 2, "0 100 m 50 70 l ", {50, 70}},  // from 12 o'clock through 3 o'clock
      {0, 720, 4, "0 100 m 70 50 l ", {70, 50}},    // more than a turn: the circle once
  };
  for (const Case& c : cases) {
    TestPSDevice d;
    PrepareForSteps(d);
    d.MoveTo(0, 0, nullptr);
    const std::string step = d.Step([&] { d.AngleArc(50, 50, 20, c.start, c.sweep); });
    EXPECT_EQ(OperandsOf(step, "c").size(), c.curves) << step;
    EXPECT_EQ(step.substr(0, std::string(c.begin).size()), c.begin) << step;
    EXPECT_EQ(d.currentX, c.end.x) << c.sweep;
    EXPECT_EQ(d.currentY, c.end.y) << c.sweep;
    if (c.sweep < 0) {
      // Clockwise from the start, both runs stay right of the centre, never round the left.
      for (const auto& curve : OperandsOf(step, "c"))
        for (std::size_t i = 0; i < 6; i += 2) EXPECT_GE(curve[i], 50) << step;
    }
  }
}

TEST(PSDevicePrimitives, ChordAndPieAreClosedFigures) {
  TestPSDevice d;
  PrepareForSteps(d);
  const RECTL box{0, 0, 100, 100};
  const std::string chord = d.Step([&] { d.Chord(box, POINTL{100, 50}, POINTL{50, 0}); });
  EXPECT_EQ(chord.substr(0, 9), "100 50 m ") << chord;
  EXPECT_EQ(chord.substr(chord.size() - 5), "h b* ") << chord;
  EXPECT_EQ(OperandsOf(chord, "c").size(), 3u);
  const std::string pie = d.Step([&] { d.Pie(box, POINTL{100, 50}, POINTL{50, 0}); });
  EXPECT_EQ(pie.substr(0, 16), "50 50 m 100 50 l") << pie;
  EXPECT_EQ(pie.substr(pie.size() - 11), "50 50 l b* ") << pie;
  const auto last = OperandsOf(pie, "c").back();
  EXPECT_EQ(last[4], 50);  // ends at the top of the circle
  EXPECT_EQ(last[5], 100);
}

}  // namespace
}  // namespace vellora
