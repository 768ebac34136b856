// The content's matrix: written relative to the last one, right under rotation, with the
// coordinate divisor, and by a fresh start when the written matrix cannot be inverted.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "content_checker.h"
#include "ps_test_device.h"

namespace vellora {
namespace {

using qvplatform::RECTL;
using vellora_test::OperandsOf;
using vellora_test::PrepareForSteps;
using vellora_test::TestPSDevice;

constexpr double kPi = 3.14159265358979323846;
constexpr int kPageHeight = 200;

struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

// PDF concatenation: the new matrix applies first (row vectors).
Matrix Then(const Matrix& m, const Matrix& ctm) {
  return {m.a * ctm.a + m.b * ctm.c,         m.a * ctm.b + m.b * ctm.d,
          m.c * ctm.a + m.d * ctm.c,         m.c * ctm.b + m.d * ctm.d,
          m.e * ctm.a + m.f * ctm.c + ctm.e, m.e * ctm.b + m.f * ctm.d + ctm.f};
}

// Where the end point of the last "l" of the content lands on the page: every "cm" so far
// applied (the content under test stays at one q level).
std::pair<double, double> LastLineEnd(const std::string& content) {
  Matrix ctm;
  for (const auto& v : OperandsOf(content, "cm"))
    ctm = Then({v[0], v[1], v[2], v[3], v[4], v[5]}, ctm);
  const auto lines = OperandsOf(content, "l");
  const double x = lines.back()[0], y = lines.back()[1];
  return {x * ctm.a + y * ctm.c + ctm.e, x * ctm.b + y * ctm.d + ctm.f};
}

XFORM Rotation(double degrees, float dx, float dy) {
  const float c = static_cast<float>(std::cos(degrees * kPi / 180));
  const float s = static_cast<float>(std::sin(degrees * kPi / 180));
  return XFORM{c, s, -s, c, dx, dy};
}

// The page point (y up) of a logical point by the device matrix M (logical units to page
// points, y down, the page height already taken off its y offset).
std::pair<double, double> Expected(TestPSDevice& d, double x, double y) {
  const XFORM& m = d.dcStack.Matrix();
  return {x * m.eM11 + y * m.eM21 + m.eDx, -(x * m.eM12 + y * m.eM22 + m.eDy)};
}

class PSDeviceTransform : public ::testing::Test {
 protected:
  void SetUp() override {
    d.dcStack.pageOrigin.y = kPageHeight;
    d.Open();
  }
  // Draws a line to (x, y) under the world transform and checks where it ends.
  void Check(const XFORM& w, std::int32_t x, std::int32_t y) {
    d.SetWorldTransform(w);
    d.LineTo(x, y);
    const std::string content(d.workBuffer.Text());
    const auto [px, py] = LastLineEnd(content);
    const auto [ex, ey] = Expected(d, x, y);
    // ... which is the world transform at 72 dpi, up to M's scales kept above 0.001.
    const float fx = static_cast<float>(x), fy = static_cast<float>(y);
    EXPECT_NEAR(ex, fx * w.eM11 + fy * w.eM21 + w.eDx, 0.06);
    EXPECT_NEAR(ey, kPageHeight - (fx * w.eM12 + fy * w.eM22 + w.eDy), 0.06);
    EXPECT_NEAR(px, ex, 0.02) << content;
    EXPECT_NEAR(py, ey, 0.02) << content;
    EXPECT_EQ(content.find("nan"), std::string::npos);
    EXPECT_EQ(content.find("inf"), std::string::npos);
  }
  TestPSDevice d;
};

TEST_F(PSDeviceTransform, RotatedOriginMovesByTheRightOffsets) {
  for (const double degrees : {30.0, 90.0, -135.0}) {
    Check(Rotation(degrees, 10, 20), 50, 0);
    const std::size_t before = d.workBuffer.Size();
    Check(Rotation(degrees, 40, 70), 50, 10);
    // Only the origin moved: a pure translation relative to the written matrix.
    const std::string step(d.workBuffer.Text().substr(before));
    EXPECT_EQ(step.find("1 0 0 1 "), step.find_first_not_of("Q ")) << step;
    EXPECT_EQ(OperandsOf(step, "cm").size(), 1u) << step;
  }
}

TEST_F(PSDeviceTransform, ShearAndTenthsLandWhereDrawn) {
  Check(XFORM{1, 0.5f, 0.25f, 1, 5, 5}, 40, 30);
  Check(XFORM{1, 0.5f, 0.25f, 1, 15, -5}, 40, 30);
  // With the coordinate divisor 10 every linear entry carries it, the off-diagonal ones too.
  TestPSDevice t;
  t.modes.Include(qvAlwaysHighResPDF);
  t.dcStack.pageOrigin.y = kPageHeight;
  t.Open();
  const XFORM w = Rotation(30, 10, 20);
  t.SetWorldTransform(w);
  t.LineTo(50, 40);
  const std::string content(t.workBuffer.Text());
  EXPECT_EQ(t.coordinateDivisor, 10);
  const auto [px, py] = LastLineEnd(content);
  const auto [ex, ey] = Expected(t, 50, 40);
  EXPECT_NEAR(px, ex, 0.02) << content;
  EXPECT_NEAR(py, ey, 0.02) << content;
}

TEST_F(PSDeviceTransform, PlainTranslationKeepsItsBytes) {
  d.SetWorldTransform(XFORM{2, 0, 0, 2, 10, 20});
  d.LineTo(1, 1);
  d.SetWorldTransform(XFORM{2, 0, 0, 2, 30, 25});
  const std::string step = d.Step([&] { d.LineTo(2, 2); });
  // (30 - 10) / 2 and -(25 - 20) / 2, as a division by the scales gives them.
  EXPECT_EQ(step.substr(0, step.find("cm ") + 3), "1 0 0 1 10 -2.5 cm ") << step;
}

TEST_F(PSDeviceTransform, SingularWrittenMatrixStartsAgainFromThePage) {
  d.SaveDC();
  d.dcStack.fixedScale = true;
  d.dcStack.combined = XFORM{0, 0, 0, 0, 0, 0};
  d.transformDirty = true;
  d.LineTo(1, 1);
  d.dcStack.combined = XFORM{1, 0, 0, 1, 0, 0};
  d.transformDirty = true;
  const std::string step = d.Step([&] { d.LineTo(2, 2); });
  EXPECT_EQ(step.substr(0, 23), "Q Q q q 1 0 0 1 0 0 cm ") << step;
  EXPECT_EQ(d.WriterDepth(), 2);
  const std::string content = d.Close();
  EXPECT_TRUE(vellora_test::CheckContent(content).errors.empty()) << content;
}

TEST_F(PSDeviceTransform, TransformPointUsesTheRowVectorRule) {
  d.SetWorldTransform(Rotation(90, 0, 0));
  d.yOffset = 0;
  const auto p = d.TransformPoint(10, 3);
  const XFORM& m = d.dcStack.Matrix();
  EXPECT_EQ(p.x, std::lround(10 * m.eM11 + 3 * m.eM21 + m.eDx));
  EXPECT_EQ(p.y, std::lround(10 * m.eM12 + 3 * m.eM22 + m.eDy + d.yOffset));
  EXPECT_EQ(p.x, -3);  // (10, 3) turned by 90 degrees
}

}  // namespace
}  // namespace vellora
