// State changes between BeginPath and the painting of the path: a new world transform or map
// mode, SaveDC and RestoreDC, a blit. PDF allows no "cm", "q" or "Q" inside a path, so the
// content must stay valid, and the pixels must match the same figure drawn with every point
// already where the transform of its moment puts it.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "content_checker.h"
#include "pdf_render.h"
#include "ps_test_device.h"

namespace vellora {
namespace {

using qvplatform::POINTL;
using qvplatform::RECTL;
using vellora_test::Raster;
using vellora_test::TestPSDevice;

constexpr int kWidth = 300, kHeight = 200;
constexpr std::uint32_t kPatCopy = 0x00F00021;

void Open(TestPSDevice& d, bool highResolution) {
  if (highResolution) d.modes.Include(qvAlwaysHighResPDF);
  d.dcStack.pageOrigin.y = kHeight;
  d.Open();
  d.SelectObject(d.objects.StockObject(8));  // null pen: only fills
  d.SelectObject(d.objects.StockObject(4));  // black brush
}

void Figure(TestPSDevice& d, std::vector<POINTL> points) {
  d.Polygon(points.data(), static_cast<std::int32_t>(points.size()));
}

XFORM Move(float dx, float dy) { return XFORM{1, 0, 0, 1, dx, dy}; }

// A quarter turn, then a move: (x, y) lands on (dx - y, dy + x).
XFORM QuarterTurn(float dx, float dy) { return XFORM{0, 1, -1, 0, dx, dy}; }

// Logical units of MM_LOMETRIC (y up) for a page point.
POINTL Lometric(double x, double y) {
  return POINTL{static_cast<std::int32_t>(std::lround(x * 254 / 72)),
                static_cast<std::int32_t>(std::lround(-y * 254 / 72))};
}

struct Case {
  const char* name;
  bool highResolution;
  std::function<void(TestPSDevice&)> bracket;    // state changes inside the path
  std::function<void(TestPSDevice&)> reference;  // the same figures, points placed directly
  std::vector<POINTL> inside;                    // page points the figures cover
};

class PSDevicePathBracket : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!vellora_test::RenderToolsPresent()) GTEST_SKIP() << "qpdf or pdftoppm missing";
  }

  static Raster Draw(const Case& c, const std::function<void(TestPSDevice&)>& draw,
                     const char* which) {
    TestPSDevice d;
    Open(d, c.highResolution);
    draw(d);
    const std::string content = d.Close();
    const auto report = vellora_test::CheckContent(content);
    EXPECT_TRUE(report.errors.empty()) << c.name << " " << which << ": " << report.Summary() << "\n"
                                       << content;
    Raster r = vellora_test::RenderContent(content, kWidth, kHeight);
    EXPECT_TRUE(r.ok) << c.name << " " << which << ": " << r.diagnostics << content;
    return r;
  }

  // Both drawings render alike, up to pixels along the edges where rounding differs.
  static void ExpectSamePixels(const Case& c) {
    const Raster got = Draw(c, c.bracket, "bracket");
    const Raster want = Draw(c, c.reference, "reference");
    if (!got.ok || !want.ok) return;
    int differing = 0, dark = 0;
    // A grey raster: each channel holds the level.
    const auto isDark = [](std::uint32_t pixel) { return (pixel & 0xFF) < 128; };
    for (std::size_t i = 0; i < want.pixels.size() && i < got.pixels.size(); ++i) {
      dark += isDark(want.pixels[i]);
      differing += isDark(want.pixels[i]) != isDark(got.pixels[i]);
    }
    EXPECT_GT(dark, 1000) << c.name;
    EXPECT_LE(differing, 40) << c.name;
    for (const POINTL& p : c.inside) {
      EXPECT_TRUE(want.Dark(p.x, p.y)) << c.name << " reference at " << p.x << ", " << p.y;
      EXPECT_TRUE(got.Dark(p.x, p.y)) << c.name << " at " << p.x << ", " << p.y;
    }
  }
};

// A square whose second half is drawn after the origin moved by (30, 50).
void SquareAcrossAMovedOrigin(TestPSDevice& d) {
  d.BeginPath(3);
  d.MoveTo(20, 20, nullptr);
  d.LineTo(80, 20);
  d.SetWorldTransform(Move(30, 50));
  d.LineTo(50, 30);
  d.LineTo(-10, 30);
  d.EndPath();
  d.DrawPath(false, true);
}

void TheSquare(TestPSDevice& d) { Figure(d, {{20, 20}, {80, 20}, {80, 80}, {20, 80}}); }

TEST_F(PSDevicePathBracket, TransformChangedInsideThePathMovesOnlyLaterPoints) {
  const Case cases[] = {
      {"moved origin mid-figure, then a shape after the path",
       false,
       [](TestPSDevice& d) {
         SquareAcrossAMovedOrigin(d);
         d.Rectangle(RECTL{100, 0, 140, 40});
       },
       [](TestPSDevice& d) {
         TheSquare(d);
         d.Rectangle(RECTL{130, 50, 170, 90});
       },
       {{50, 50}, {150, 70}}},
      {"moved origin with the coordinate divisor",
       true,
       SquareAcrossAMovedOrigin,
       TheSquare,
       {{50, 50}}},
      {"quarter turn across a pending move; rectangle and circle after it",
       false,
       [](TestPSDevice& d) {
         d.BeginPath(3);
         d.MoveTo(120, 20, nullptr);
         d.LineTo(180, 20);
         d.LineTo(180, 60);
         d.LineTo(120, 60);
         d.CloseFigure();
         d.MoveTo(200, 20, nullptr);  // fixed before the turn
         d.SetWorldTransform(QuarterTurn(300, 0));
         d.LineTo(20, 40);
         d.LineTo(60, 40);
         d.LineTo(60, 100);
         d.CloseFigure();
         d.Rectangle(RECTL{100, 100, 140, 160});
         d.Ellipse(RECTL{150, 230, 180, 260}, true);
         d.EndPath();
         d.DrawPath(false, true);
       },
       [](TestPSDevice& d) {
         Figure(d, {{120, 20}, {180, 20}, {180, 60}, {120, 60}});
         Figure(d, {{200, 20}, {260, 20}, {260, 60}, {200, 60}});
         d.Rectangle(RECTL{140, 100, 200, 140});
         d.Ellipse(RECTL{40, 150, 70, 180}, true);
       },
       {{150, 40}, {230, 40}, {170, 120}, {55, 165}}},
      {"map mode changed mid-figure",
       false,
       [](TestPSDevice& d) {
         d.BeginPath(3);
         d.MoveTo(20, 100, nullptr);
         d.LineTo(80, 100);
         d.SetMapMode(2);  // MM_LOMETRIC
         const POINTL a = Lometric(80, 160), b = Lometric(20, 160);
         d.LineTo(a.x, a.y);
         d.LineTo(b.x, b.y);
         d.EndPath();
         d.DrawPath(false, true);
       },
       [](TestPSDevice& d) {
         Figure(d, {{20, 100}, {80, 100}, {80, 160}, {20, 160}});
       },
       {{50, 130}}},
  };
  for (const Case& c : cases) ExpectSamePixels(c);
}

TEST_F(PSDevicePathBracket, SaveRestoreAndBlitsInsideThePathKeepTheContentValid) {
  const Case cases[] = {
      {"SaveDC and RestoreDC between points",
       false,
       [](TestPSDevice& d) {
         d.BeginPath(3);
         d.MoveTo(20, 20, nullptr);
         d.LineTo(80, 20);
         d.SaveDC();
         d.LineTo(80, 80);
         d.RestoreDC(-1);
         d.LineTo(20, 80);
         d.EndPath();
         d.DrawPath(false, true);
       },
       TheSquare,
       {{50, 50}}},
      // RestoreDC takes back the level's clip and transform at once; the points written under
      // that transform stay where they are.
      {"RestoreDC of a clipped and moved level between points",
       false,
       [](TestPSDevice& d) {
         d.SaveDC();
         d.BeginPath(3);
         d.Rectangle(RECTL{0, 0, 150, 200});
         d.EndPath();
         d.SelectClipPath(1);  // RGN_AND: the left half
         d.SetWorldTransform(Move(0, 100));
         d.BeginPath(3);
         d.MoveTo(20, -80, nullptr);
         d.LineTo(200, -80);
         d.RestoreDC(-1);
         d.LineTo(200, 80);
         d.LineTo(20, 80);
         d.EndPath();
         d.DrawPath(false, true);
       },
       [](TestPSDevice& d) {
         Figure(d, {{20, 20}, {200, 20}, {200, 80}, {20, 80}});
       },
       {{50, 50}, {180, 50}}},
      // SaveDC after EndPath, before the path becomes the clip: RestoreDC removes that clip.
      {"SaveDC between EndPath and SelectClipPath",
       false,
       [](TestPSDevice& d) {
         d.BeginPath(3);
         d.Rectangle(RECTL{100, 50, 200, 150});
         d.EndPath();
         d.SaveDC();
         d.SelectClipPath(1);
         d.Rectangle(RECTL{0, 0, 300, 200});
         d.RestoreDC(-1);
         d.Rectangle(RECTL{10, 10, 30, 30});
       },
       [](TestPSDevice& d) {
         d.Rectangle(RECTL{100, 50, 200, 150});
         d.Rectangle(RECTL{10, 10, 30, 30});
       },
       {{150, 100}, {20, 20}}},
      {"a blit between the points of a turned path",
       false,
       [](TestPSDevice& d) {
         d.BeginPath(3);
         d.MoveTo(20, 20, nullptr);
         d.LineTo(80, 20);
         d.SetWorldTransform(QuarterTurn(100, 0));
         d.BitBlt(100, 20, 40, 30, kPatCopy);  // page x 50..80, y 100..140
         d.LineTo(80, 20);
         d.LineTo(80, 80);
         d.EndPath();
         d.DrawPath(false, true);
       },
       [](TestPSDevice& d) {
         TheSquare(d);
         d.Rectangle(RECTL{50, 100, 80, 140});
       },
       {{50, 50}, {65, 120}}},
  };
  for (const Case& c : cases) ExpectSamePixels(c);
}

}  // namespace
}  // namespace vellora
