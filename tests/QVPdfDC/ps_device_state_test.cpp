// Graphics state in the content: pen, brush, dash, cap and join written only when they change,
// painting operators chosen by pen, brush, fill mode and modes, and text objects.
#include <gtest/gtest.h>

#include <string>

#include "content_checker.h"
#include "ps_test_device.h"
#include "qvplatform/wintypes.h"

namespace vellora {
namespace {

using qvplatform::RECTL;
using qvplatform::RGB;
using vellora_test::CheckContent;
using vellora_test::PrepareForSteps;
using vellora_test::TestPSDevice;

// The dash operator and its operands within a step's output, or "" when there is none.
std::string DashOf(const std::string& step) {
  const std::size_t end = step.find("] 0 d ");
  if (end == std::string::npos) return "";
  const std::size_t start = step.rfind('[', end);
  return step.substr(start, end + 6 - start);
}

TEST(PSDeviceState, PenAndMatrixChangesAreWrittenOnce) {
  TestPSDevice d;
  PrepareForSteps(d);
  d.MoveTo(0, 0, nullptr);
  EXPECT_EQ(d.Step([&] { d.LineTo(10, 20); }), "0 100 m 10 80 l S ");
  EXPECT_EQ(d.Step([&] { d.LineTo(30, 20); }), "10 80 m 30 80 l S ");
  d.UsePen(0, 2, RGB(255, 0, 0));
  EXPECT_EQ(d.Step([&] { d.LineTo(30, 40); }), "1 0 0 RG 2 w 1 J 1 j 30 80 m 30 60 l S ");
  EXPECT_EQ(d.Step([&] { d.LineTo(0, 40); }), "30 60 m 0 60 l S ");
  // The same colour in a new pen object: only the mark makes it written again.
  d.UsePen(0, 2, RGB(255, 0, 0));
  d.UsePen(0, 2, RGB(255, 0, 0));
  EXPECT_EQ(d.Step([&] { d.LineTo(0, 0); }), "1 0 0 RG 2 w 1 J 1 j 0 60 m 0 100 l S ");

  // A world transform that only moves the origin: "1 0 0 1", the offsets and "cm", once.
  d.SetWorldTransform(XFORM{1, 0, 0, 1, 10, 5});
  const std::string moved = d.Step([&] { d.LineTo(5, 5); });
  EXPECT_EQ(moved.substr(0, moved.find("cm ") + 3), "1 0 0 1 10 95 cm ");
  EXPECT_EQ(d.Step([&] { d.LineTo(6, 6); }).find("cm"), std::string::npos);
}

TEST(PSDeviceState, DashArraysByPenStyle) {
  // Identity matrix: the dash unit is 0.1; a pen narrower than 1 dashes with width 1 / scale.
  struct Case {
    std::uint32_t style;
    std::int32_t width;
    const char* dash;
  };
  const Case cases[] = {
      {1, 0, "[1 1.5] 0 d "},
      {2, 0, "[0.5 4] 0 d "},
      {3, 0, "[1 0.9 0.1 0.9] 0 d "},
      {4, 0, "[0.7 1.5 1 1.5 1 1.5] 0 d "},
      {1, 4, "[1 3] 0 d "},
      {2, 4, "[2 16] 0 d "},
      {0, 0, ""},  // solid after solid: nothing
      {5, 0, ""},  // null pen: no dash
  };
  for (const Case& c : cases) {
    TestPSDevice d;
    PrepareForSteps(d);
    d.UsePen(c.style, c.width, 0);
    d.MoveTo(0, 0, nullptr);
    EXPECT_EQ(DashOf(d.Step([&] { d.LineTo(10, 10); })), c.dash) << "style " << c.style;
  }
  // A dashed pen followed by a solid one: "[] 0 d " once.
  TestPSDevice d;
  PrepareForSteps(d);
  d.UsePen(1, 0, 0);
  d.LineTo(10, 10);
  d.UsePen(0, 0, 0);
  const std::string first = d.Step([&] { d.LineTo(20, 20); });
  EXPECT_NE(first.find("[] 0 d "), std::string::npos) << first;
  EXPECT_EQ(d.Step([&] { d.LineTo(30, 30); }).find(" d "), std::string::npos);
}

TEST(PSDeviceState, DashUnitSurvivesAVanishedScale) {
  TestPSDevice d;
  PrepareForSteps(d);
  d.dcStack.fixedScale = true;
  d.dcStack.combined = XFORM{0, 0, 0, 0, 0, 0};
  d.UsePen(1, 0, 0);
  const std::string step = d.Step([&] { d.LineTo(10, 10); });
  EXPECT_EQ(step.find("nan"), std::string::npos) << step;
  EXPECT_EQ(step.find("inf"), std::string::npos) << step;
  EXPECT_NE(step.find(" d "), std::string::npos) << step;
}

TEST(PSDeviceState, CapsAndJoins) {
  struct Case {
    std::uint32_t flags;
    const char* cap;
    const char* join;
  };
  const Case cases[] = {
      {0, "1 J ", "1 j "},           {0x100, "2 J ", "1 j "},  // PS_ENDCAP_SQUARE
      {0x200, "0 J ", "1 j "},                                 // PS_ENDCAP_FLAT
      {0x1000, "1 J ", "2 j "},                                // PS_JOIN_BEVEL
      {0x2000, "1 J ", "10 M 0 j "},  // PS_JOIN_MITER with the default limit
  };
  for (const Case& c : cases) {
    TestPSDevice d;
    PrepareForSteps(d);
    d.UsePen(c.flags, 1, 0);
    const std::string step = d.Step([&] { d.LineTo(1, 1); });
    EXPECT_NE(step.find(c.cap), std::string::npos) << step;
    EXPECT_NE(step.find(c.join), std::string::npos) << step;
  }
  TestPSDevice d;
  PrepareForSteps(d);
  d.SetMiterLimit(4);
  d.UsePen(0x2000, 1, 0);
  EXPECT_NE(d.Step([&] { d.LineTo(1, 1); }).find("4 M 0 j "), std::string::npos);
}

TEST(PSDeviceState, PaintingOperatorByPenBrushAndModes) {
  constexpr std::int32_t kNullBrush = 5, kNullPen = 8, kWhiteBrush = 0;
  struct Case {
    const char* name;
    std::int32_t pen;    // stock number, -1: the default pen
    std::int32_t brush;  // stock number
    int mode;            // a mode value, -1: none
    bool winding;
    const char* paint;
  };
  const Case cases[] = {
      {"pen and brush", -1, kWhiteBrush, -1, false, "re b* "},
      {"winding", -1, kWhiteBrush, -1, true, "re b "},
      {"null pen", kNullPen, kWhiteBrush, -1, false, "re f* "},
      {"null brush", -1, kNullBrush, -1, false, "re S "},
      {"null pen and brush", kNullPen, kNullBrush, -1, false, "re n "},
      {"white transparent", kNullPen, kWhiteBrush, qvWhiteBrushIsTransparent, false, "re n "},
      {"white transparent stroked", -1, kWhiteBrush, qvWhiteBrushIsTransparent, false, "re S "},
      {"never fill", kNullPen, kWhiteBrush, qvNeverFill, false, "re n "},
      {"never fill stroked", -1, kWhiteBrush, qvNeverFill, true, "re S "},
  };
  for (const Case& c : cases) {
    TestPSDevice d;
    if (c.mode >= 0) d.modes.Include(c.mode);
    PrepareForSteps(d);
    if (c.pen >= 0) d.SelectObject(d.objects.StockObject(c.pen));
    d.SelectObject(d.objects.StockObject(c.brush));
    d.SetPolyFillMode(c.winding ? 2 : 1);
    const std::string step = d.Step([&] { d.Rectangle(RECTL{10, 10, 20, 30}); });
    EXPECT_NE(step.find(std::string("10 90 10 -20 ") + c.paint), std::string::npos)
        << c.name << ": " << step;
  }
}

TEST(PSDeviceState, ColoursFollowTheRecordsAndPatterns) {
  TestPSDevice d;
  d.contentOptions.optionBits = TQVGenericPSDevice::kOptionCMYKRecords;
  d.Reset();
  PrepareForSteps(d);
  d.UsePen(0, 1, RGB(255, 0, 0));
  EXPECT_EQ(d.Step([&] { d.LineTo(1, 1); }).substr(0, 10), "0 1 1 0 K ");

  TestPSDevice p;
  PrepareForSteps(p);
  p.UseBrush(2, RGB(0, 0, 255), 3);  // hatched
  const std::string hatched = p.Step([&] { p.Rectangle(RECTL{0, 0, 5, 5}); });
  EXPECT_EQ(hatched.substr(0, 20), "/Pattern cs /P3 scn ") << hatched;
  p.UseBrush(0, RGB(0, 255, 0));  // back to solid: the pattern is left first
  const std::string solid = p.Step([&] { p.Rectangle(RECTL{0, 0, 5, 5}); });
  EXPECT_EQ(solid.substr(0, 23), "/DeviceRGB cs 0 1 0 rg ") << solid;
}

TEST(PSDeviceState, StateChangedInsideABracketIsWrittenBeforeThePath) {
  // GDI lets a pen and brush be chosen after EndPath; PDF allows no colour or width operator
  // inside a path object, so they go in front of the path when it is painted.
  TestPSDevice d;
  PrepareForSteps(d);
  d.BeginPath(3);
  d.MoveTo(0, 0, nullptr);
  d.LineTo(10, 0);
  d.LineTo(10, 10);
  d.EndPath();
  d.UseBrush(0, RGB(255, 0, 0));
  d.UsePen(0, 3, RGB(0, 0, 255));
  d.DrawPath(true, true);
  const std::string content = d.Close();
  EXPECT_TRUE(CheckContent(content).errors.empty()) << CheckContent(content).Summary() << content;
  EXPECT_NE(content.find("1 0 0 rg 0 0 1 RG 3 w 1 J 1 j 0 100 m 10 100 l 10 90 l b* "),
            std::string::npos)
      << content;
}

TEST(PSDeviceState, TextObjectsCarryTheRotation) {
  TestPSDevice d;
  PrepareForSteps(d);
  qvplatform::LOGFONTW font;
  font.lfHeight = -12;
  font.lfEscapement = 900;
  d.SelectObject(d.CreateFont(font));
  d.LineTo(1, 1);
  std::int32_t x = 10, y = 20;
  EXPECT_EQ(d.Step([&] { d.BeginText(x, y); }), "\nBT 0 1 -1 0 10 80 Tm\n");
  EXPECT_EQ(x, 0);  // the origin went into the matrix
  EXPECT_EQ(y, 0);
  EXPECT_EQ(d.Step([&] { d.EndText(); }), "ET ");
  const std::string content = d.Close();
  EXPECT_TRUE(CheckContent(content).errors.empty()) << content;
}

}  // namespace
}  // namespace vellora
