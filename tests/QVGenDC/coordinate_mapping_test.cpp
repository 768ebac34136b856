// The combined matrix M and the logical-to-viewport matrix N for every map mode, with window,
// viewport and world transforms, against matrices worked out by hand.
#include <gtest/gtest.h>

#include <optional>

#include "QVGenDC/process_settings.h"
#include "stub_device.h"

namespace vellora {
namespace {

using qvplatform::XFORM;
using vellora_test::StubDevice;

// A device whose DC runs at 96 dpi (page scale 0.75) on a page 800 points high.
struct MappedDevice : StubDevice {
  MappedDevice() {
    dcStack.resolutionX = dcStack.resolutionY = 96;
    dcStack.naturalResolutionX = dcStack.naturalResolutionY = 96;
    dcStack.pageScale = ScaleXForm(0.75f, 0.75f);
    dcStack.pageOrigin = {0, 800};
  }
};

void ExpectXForm(const XFORM& actual, const XFORM& expected, const char* what) {
  constexpr float kTolerance = 1e-4f;
  EXPECT_NEAR(actual.eM11, expected.eM11, kTolerance) << what;
  EXPECT_NEAR(actual.eM12, expected.eM12, kTolerance) << what;
  EXPECT_NEAR(actual.eM21, expected.eM21, kTolerance) << what;
  EXPECT_NEAR(actual.eM22, expected.eM22, kTolerance) << what;
  EXPECT_NEAR(actual.eDx, expected.eDx, 1e-3f) << what;
  EXPECT_NEAR(actual.eDy, expected.eDy, 1e-3f) << what;
}

struct MappingCase {
  const char* name;
  std::int32_t mapMode;
  qvplatform::POINTL windowOrg, viewportOrg;
  qvplatform::SIZEL windowExt, viewportExt;
  std::optional<XFORM> world;
  XFORM m;  // expected combined matrix
  std::optional<XFORM> n;
  bool yFlip, yMirrored;
  double aspect;
  std::int32_t divisor;
};

constexpr double kLoMetric = 72.0 / 254;  // page points per 0.1 mm

const MappingCase kCases[] = {
    // sx = sy = 0.75; dx = 5 * 0.75 - 10 * 0.75; dy = 7 * 0.75 - 20 * 0.75 - 800.
    {"text",
     1,
     {10, 20},
     {5, 7},
     {},
     {},
     std::nullopt,
     {0.75f, 0, 0, 0.75f, -3.75f, -809.75f},
     XFORM{1, 0, 0, 1, -5, -13},
     false,
     false,
     1.0,
     1},
    // The scale is rounded to 4 decimals; the origins use the unrounded one; y points up, so
    // the window term is added: dy = 200 * 72 / 254 - 800.
    {"lometric",
     2,
     {100, 200},
     {},
     {},
     {},
     std::nullopt,
     {0.2835f, 0, 0, 0.2835f, float(-100 * kLoMetric), float(200 * kLoMetric - 800)},
     std::nullopt,
     true,
     false,
     1.0,
     1},
    // 1440 units per inch: 0.05 points per twip.
    {"twips",
     6,
     {1440, 2880},
     {},
     {},
     {},
     std::nullopt,
     {0.05f, 0, 0, 0.05f, -72, -656},
     std::nullopt,
     true,
     false,
     1.0,
     1},
    // The viewport origin is in device pixels even where the logical unit is fixed:
    // 96 x 48 pixels at 96 dpi move the picture by 72 x 36 points, not by 96 x 48 hundredths
    // of an inch.
    {"loenglish viewport origin",
     4,
     {},
     {96, 48},
     {},
     {},
     std::nullopt,
     {0.72f, 0, 0, 0.72f, 72, 36 - 800},
     std::nullopt,
     true,
     false,
     1.0,
     1},
    // rx = 1000 / 500 = 2, ry = 2000 / -500 = -4: y mirrored, finer y units shrink text.
    {"anisotropic",
     8,
     {},
     {50, 60},
     {1000, 2000},
     {500, -500},
     std::nullopt,
     {0.375f, 0, 0, -0.1875f, 37.5f, -755},
     XFORM{0.5f, 0, 0, -0.25f, 50, 60},
     false,
     true,
     0.5,
     1},
    // Isotropic takes the coarser unit (4) on both axes and keeps the y mirror.
    {"isotropic",
     7,
     {},
     {},
     {1000, 1000},
     {500, -250},
     std::nullopt,
     {0.1875f, 0, 0, -0.1875f, 0, -800},
     XFORM{0.25f, 0, 0, -0.25f, 0, 0},
     false,
     true,
     1.0,
     1},
    // World (2, 0, 0, 3, 10, 20) applied first: dy = 20 * 0.75 - 800.
    {"world scale",
     1,
     {},
     {},
     {},
     {},
     XFORM{2, 0, 0, 3, 10, 20},
     {1.5f, 0, 0, 2.25f, 7.5f, -785},
     XFORM{2, 0, 0, 3, 10, 20},
     false,
     false,
     1.0,
     1},
    // A quarter turn: the zero scales become 0.001, the y origin rule subtracts the page.
    {"world rotation",
     1,
     {},
     {},
     {},
     {},
     XFORM{0, 1, -1, 0, 0, 0},
     {0.001f, 0.75f, -0.75f, 0.001f, 0, -800},
     std::nullopt,
     false,
     false,
     1.0,
     1},
    // Scales of 3.75e-5 round to 0 and keep their sign as +-0.001; extents above 30000
    // raise the divisor to 10.
    {"tiny scales",
     8,
     {},
     {},
     {2000000, 2000000},
     {100, -100},
     std::nullopt,
     {0.001f, 0, 0, -0.001f, 0, -800},
     std::nullopt,
     false,
     true,
     1.0,
     10},
};

class CoordinateMapping : public ::testing::TestWithParam<MappingCase> {};

TEST_P(CoordinateMapping, CombinedMatrixMatchesHandComputed) {
  const MappingCase& c = GetParam();
  MappedDevice device;
  device.SetMapMode(c.mapMode);
  device.SetWindowExt(c.windowExt.cx, c.windowExt.cy);
  device.SetViewportExt(c.viewportExt.cx, c.viewportExt.cy);
  device.SetWindowOrg(c.windowOrg.x, c.windowOrg.y);
  device.SetViewportOrg(c.viewportOrg.x, c.viewportOrg.y);
  if (c.world) {
    ASSERT_TRUE(device.SetWorldTransform(*c.world));
  }

  ExpectXForm(device.dcStack.Matrix(), c.m, "M");
  if (c.n) ExpectXForm(device.dcStack.logicalToViewport, *c.n, "N");
  EXPECT_EQ(device.dcStack.yFlip, c.yFlip);
  EXPECT_EQ(device.dcStack.yMirrored, c.yMirrored);
  EXPECT_NEAR(static_cast<double>(device.dcStack.aspect), c.aspect, 1e-9);
  EXPECT_EQ(device.coordinateDivisor, c.divisor);
  EXPECT_FALSE(device.CurrentDCState().transformDirty);
}

INSTANTIATE_TEST_SUITE_P(MapModes, CoordinateMapping, ::testing::ValuesIn(kCases),
                         [](const auto& paramInfo) {
                           std::string name = paramInfo.param.name;
                           for (char& ch : name)
                             if (ch == ' ') ch = '_';
                           return name;
                         });

TEST(CoordinateMappingRules, YOriginModeDividesThePageByTheRoundedScale) {
  MappedDevice device;
  device.yOriginMode = true;
  device.dcStack.pageOrigin = {0, 750};
  const XFORM& m = device.dcStack.Matrix();
  EXPECT_EQ(device.yOrigin, 1000);  // 750 / 0.75
  EXPECT_FLOAT_EQ(m.eDy, 0.0f);
  EXPECT_EQ(device.yOffset, 0.0f);

  // A scale that rounds to 0.000 at three decimals is divided as 0.001, not by zero.
  device.SetMapMode(8);
  device.SetWindowExt(1, 100000);
  device.SetViewportExt(1, 1);
  device.dcStack.Matrix();
  EXPECT_EQ(device.yOrigin, 750000);
  // A y-mirrored scale keeps its sign: -0.001, not +0.001.
  device.SetWindowExt(1, -100000);
  device.dcStack.Matrix();
  EXPECT_EQ(device.yOrigin, -750000);
}

TEST(CoordinateMappingRules, WithoutYOriginModeThePageHeightMovesIntoTheMatrix) {
  MappedDevice device;
  device.dcStack.Matrix();
  EXPECT_EQ(device.yOrigin, 0);
  EXPECT_EQ(device.yOffset, 800.0f);
}

TEST(CoordinateMappingRules, DivisorFollowsModesAndProcessSwitch) {
  struct Case {
    std::int32_t windowX;
    int mode;  // -1: none
    bool noHighResolution;
    std::int32_t divisor;
  };
  const Case cases[] = {
      {30000, -1, false, 1},
      {30001, -1, false, 10},
      {40000, qvNeverHighResPDF, false, 1},
      {40000, -1, true, 1},
      {100, qvAlwaysHighResPDF, false, 10},
      {40000, qvAlwaysHighResPDF, true, 10},
  };
  for (const Case& c : cases) {
    MappedDevice device;
    if (c.mode >= 0) device.modes.Include(c.mode);
    SetNoHighResolution(c.noHighResolution);
    device.SetMapMode(8);
    device.SetWindowExt(c.windowX, 100);
    device.SetViewportExt(100, 100);
    device.dcStack.Matrix();
    EXPECT_EQ(device.coordinateDivisor, c.divisor) << c.windowX << " mode " << c.mode;
  }
  SetNoHighResolution(false);

  // Outside the scalable modes only qvAlwaysHighResPDF raises the divisor.
  MappedDevice text;
  text.modes.Include(qvAlwaysHighResPDF);
  text.dcStack.Matrix();
  EXPECT_EQ(text.coordinateDivisor, 10);
}

TEST(CoordinateMappingRules, TenthsExtentIsDividedAndStaysMarked) {
  MappedDevice device;
  device.SetMapMode(8);
  device.SetWindowExt(33600, 47504);
  device.SetViewportExt(3360, 4750);
  device.dcStack.Matrix();
  const auto& level = device.CurrentDCState();
  EXPECT_EQ(level.windowExt.cx, 3360);
  EXPECT_EQ(level.windowExt.cy, 4750);
  EXPECT_TRUE(device.dcStack.tenths);
  EXPECT_EQ(device.coordinateDivisor, 1);

  // A later rebuild of the same level keeps the flag; a new window extent drops it.
  device.SetViewportOrg(5, 5);
  device.dcStack.Matrix();
  EXPECT_TRUE(device.dcStack.tenths);
  device.SetWindowExt(1000, 1000);
  device.dcStack.Matrix();
  EXPECT_FALSE(device.dcStack.tenths);
}

TEST(CoordinateMappingRules, FixedScaleOfDirectDrawingIsNotRebuilt) {
  MappedDevice device;
  device.dcStack.pageOrigin = {0, 750};
  device.transformDirty = false;
  device.SetResolution(96, 96);
  EXPECT_TRUE(device.transformDirty);  // 0.75 differs from the 1.0 M had before
  EXPECT_EQ(device.yOrigin, 1000);
  device.SetWindowOrg(100, 100);
  ExpectXForm(device.dcStack.Matrix(), {0.75f, 0, 0, 0.75f, 0, 0}, "fixed");

  device.SetResolution(0, 0);  // back to the metafile mapping
  EXPECT_FALSE(device.dcStack.fixedScale);
  EXPECT_FLOAT_EQ(device.dcStack.Matrix().eDx, -75.0f);

  // A resolution so high that the scale rounds to 0.000 does not divide by zero.
  device.SetResolution(2000000000, 2000000000);
  EXPECT_EQ(device.yOrigin, 750000);
}

TEST(CoordinateMappingRules, LogicalFromDeviceInvertsN) {
  MappedDevice device;
  device.SetMapMode(8);
  device.SetWindowExt(1000, 2000);
  device.SetViewportExt(500, -500);
  device.SetViewportOrg(50, 60);  // N = (0.5, 0, 0, -0.25, 50, 60)
  const auto p = device.dcStack.LogicalFromDevice({100, 10});
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 200);
  const auto v = device.dcStack.LogicalFromDeviceVector({100, 10});
  EXPECT_EQ(v.x, 200);
  EXPECT_EQ(v.y, -40);

  // A singular mapping leaves the point as it is.
  ASSERT_TRUE(device.SetWorldTransform({0, 0, 0, 0, 0, 0}));
  const auto same = device.dcStack.LogicalFromDevice({7, 9});
  EXPECT_EQ(same.x, 7);
  EXPECT_EQ(same.y, 9);
}

}  // namespace
}  // namespace vellora
