// Content read back by independent tools: qpdf checks the file, pdftoppm renders it, and the
// pixels show that shapes land where they were drawn, under a y-down map mode, a y-up map mode
// (the DC's y flip) and a y-up window (a mirroring matrix), and clip rectangles under a turned
// world.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "content_checker.h"
#include "pdf_render.h"
#include "ps_test_device.h"

namespace vellora {
namespace {

using qvplatform::POINTL;
using qvplatform::RECTL;
using vellora_test::Raster;
using vellora_test::RenderContent;
using vellora_test::TestPSDevice;

constexpr int kWidth = 300, kHeight = 200;

// A way of putting page points (y down from the top left) into logical units.
struct Mapping {
  const char* name;
  std::function<void(TestPSDevice&)> setUp;
  double sx, sy;  // logical units per point along x and y
  POINTL At(double x, double y) const {
    return POINTL{static_cast<std::int32_t>(std::lround(x * sx)),
                  static_cast<std::int32_t>(std::lround(y * sy))};
  }
  RECTL Box(double l, double t, double r, double b) const {
    const POINTL a = At(l, t), c = At(r, b);
    return RECTL{a.x, a.y, c.x, c.y};
  }
};

const Mapping kMappings[] = {
    {"MM_TEXT", [](TestPSDevice&) {}, 1, 1},
    {"MM_LOMETRIC (y flip)", [](TestPSDevice& d) { d.SetMapMode(2); }, 254.0 / 72, -254.0 / 72},
    {"anisotropic y-up window (mirroring matrix)",
     [](TestPSDevice& d) {
       d.SetMapMode(8);
       d.SetWindowExt(100, -100);
       d.SetViewportExt(100, 100);
     },
     1, -1},
};

TestPSDevice& OpenDevice(TestPSDevice& d, const Mapping& m) {
  d.dcStack.pageOrigin.y = kHeight;
  d.Open();
  m.setUp(d);
  d.SelectObject(d.objects.StockObject(8));  // null pen: only fills
  d.SelectObject(d.objects.StockObject(4));  // black brush
  return d;
}

void ExpectDark(const Raster& r, int x, int y, bool dark, const std::string& what) {
  EXPECT_EQ(r.Dark(x, y), dark) << what << " at (" << x << ", " << y << ") is " << r.Grey(x, y);
}

class PSDeviceRender : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!vellora_test::RenderToolsPresent()) GTEST_SKIP() << "qpdf or pdftoppm missing";
  }
  Raster Render(const std::string& content) {
    const auto report = vellora_test::CheckContent(content);
    EXPECT_TRUE(report.errors.empty()) << report.Summary() << content;
    Raster r = RenderContent(content, kWidth, kHeight);
    EXPECT_TRUE(r.ok) << r.diagnostics << content;
    return r;
  }
};

TEST_F(PSDeviceRender, ShapesLandWhereDrawnUnderEveryMapping) {
  for (const Mapping& m : kMappings) {
    TestPSDevice d;
    OpenDevice(d, m);
    d.Rectangle(m.Box(20, 20, 60, 50));
    d.Ellipse(m.Box(20, 110, 60, 190), true);
    // Counter-clockwise as seen from 3 o'clock to 12 o'clock: the upper right quarter.
    d.Pie(m.Box(100, 20, 180, 100), m.At(180, 60), m.At(140, 20));
    // Chord from 3 o'clock to 9 o'clock: the upper half.
    d.Chord(m.Box(200, 20, 280, 100), m.At(280, 60), m.At(200, 60));
    // Clockwise: everything but the upper right quarter.
    d.SetArcDirection(2);
    d.Pie(m.Box(100, 110, 180, 190), m.At(180, 150), m.At(140, 110));
    const std::string content = d.Close();
    const Raster r = Render(content);
    if (!r.ok) continue;
    const std::string name = m.name;
    ExpectDark(r, 40, 35, true, name + " rectangle");
    ExpectDark(r, 70, 35, false, name + " right of the rectangle");
    ExpectDark(r, 40, 55, false, name + " below the rectangle");
    ExpectDark(r, 40, 150, true, name + " ellipse centre");
    ExpectDark(r, 23, 113, false, name + " ellipse corner");
    ExpectDark(r, 160, 40, true, name + " pie upper right");
    ExpectDark(r, 120, 40, false, name + " pie upper left");
    ExpectDark(r, 160, 80, false, name + " pie lower right");
    ExpectDark(r, 240, 40, true, name + " chord upper half");
    ExpectDark(r, 240, 80, false, name + " chord lower half");
    ExpectDark(r, 160, 130, false, name + " clockwise pie upper right");
    ExpectDark(r, 160, 170, true, name + " clockwise pie lower right");
    ExpectDark(r, 120, 130, true, name + " clockwise pie upper left");
  }
}

TEST_F(PSDeviceRender, DifferenceClipKeepsTheOutside) {
  for (const bool winding : {false, true}) {
    TestPSDevice d;
    OpenDevice(d, kMappings[0]);
    d.SetPolyFillMode(winding ? 2 : 1);
    d.SaveDC();
    d.BeginPath(3);
    d.Rectangle(RECTL{100, 50, 200, 150});
    d.EndPath();
    d.SelectClipPath(4);  // RGN_DIFF
    d.Rectangle(RECTL{0, 0, 300, 200});
    d.RestoreDC(-1);
    d.Rectangle(RECTL{140, 90, 160, 110});  // after the restore the clip is gone
    const Raster r = Render(d.Close());
    if (!r.ok) continue;
    ExpectDark(r, 50, 100, true, "outside the clip path");
    ExpectDark(r, 120, 70, false, "inside the clip path");
    ExpectDark(r, 150, 100, true, "drawn after the restore");
  }
}

TEST_F(PSDeviceRender, RotatedWorldTransformAndItsMovedOrigin) {
  TestPSDevice d;
  OpenDevice(d, kMappings[0]);
  // A square of 20 turned by 90 degrees about the origin and moved to (60, 40): it covers
  // x 40..60, y 40..60 on the page.
  d.SetWorldTransform(XFORM{0, 1, -1, 0, 60, 40});
  d.Rectangle(RECTL{0, 0, 20, 20});
  // The same turn with the origin moved to (160, 120): x 140..160, y 120..140.
  d.SetWorldTransform(XFORM{0, 1, -1, 0, 160, 120});
  d.Rectangle(RECTL{0, 0, 20, 20});
  const Raster r = Render(d.Close());
  if (!r.ok) return;
  ExpectDark(r, 50, 50, true, "first square");
  ExpectDark(r, 70, 50, false, "right of the first square");
  ExpectDark(r, 150, 130, true, "second square");
  ExpectDark(r, 130, 130, false, "left of the second square");
}

TEST_F(PSDeviceRender, ClipRectanglesFollowATurnedOrShearedWorld) {
  struct ClipCase {
    const char* name;
    XFORM world;
  };
  const ClipCase cases[] = {
      {"no turn", XFORM{1, 0, 0, 1, 0, 0}},
      {"45 degrees", XFORM{0.70710678f, 0.70710678f, -0.70710678f, 0.70710678f, 150, -50}},
      {"sheared", XFORM{1, 0, 0.5f, 1, -40, 0}},
  };
  for (const ClipCase& c : cases) {
    TestPSDevice d;
    d.modes.Include(qvClipRectSupport);
    OpenDevice(d, kMappings[0]);
    d.SetWorldTransform(c.world);
    // Region rectangles are in device units: the clip is the page's 100..200 x 50..150.
    const RECTL rect{100, 50, 200, 150};
    const std::string clip = d.Step([&] { d.SelectClipRegion(1, rect, 1, &rect); });
    if (c.world.eM12 == 0 && c.world.eM21 == 0) {
      EXPECT_NE(clip.find("100 -50 100 -100 re W n "), std::string::npos) << clip;
    }
    d.SetWorldTransform(XFORM{1, 0, 0, 1, 0, 0});
    d.Rectangle(RECTL{0, 0, kWidth, kHeight});
    const Raster r = Render(d.Close());
    if (!r.ok) continue;
    const std::string name = c.name;
    for (const POINTL p :
         {POINTL{105, 55}, POINTL{195, 55}, POINTL{150, 100}, POINTL{105, 145}, POINTL{195, 145}})
      ExpectDark(r, p.x, p.y, true, name + " inside the clip");
    for (const POINTL p : {POINTL{95, 100}, POINTL{205, 100}, POINTL{150, 45}, POINTL{150, 155}})
      ExpectDark(r, p.x, p.y, false, name + " outside the clip");
  }
}

}  // namespace
}  // namespace vellora
