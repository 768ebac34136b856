// The text-rotation matrix from the font escapement, with and without the y mirror.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "stub_device.h"

namespace vellora {
namespace {

using vellora_test::StubDevice;

// Selects a font with the given escapement (tenths of a degree).
void SelectEscapement(StubDevice& device, std::int32_t escapement) {
  qvplatform::LOGFONTW font;
  font.lfHeight = -12;
  font.lfEscapement = escapement;
  device.SelectObject(device.CreateFont(font));
}

// Anisotropic mapping with the y axis mirrored (viewport extent negative in y).
void MirrorY(StubDevice& device) {
  device.SetMapMode(8);
  device.SetWindowExt(100, 100);
  device.SetViewportExt(100, -100);
}

TEST(TextRotation, QuarterTurnWithAndWithoutMirror) {
  struct Case {
    bool mirrored;
    std::int32_t escapement;
    float m11, m12, m21, m22;
  };
  const float h = static_cast<float>(std::sqrt(0.5));
  const Case cases[] = {
      {false, 900, 0, 1, -1, 0},  // (cos, sin, -sin, cos)
      {true, 900, 0, 1, 1, 0},    // (cos, sin, +sin, cos)
      {false, 450, h, h, -h, h},
      {true, 2700, 0, -1, -1, 0},
  };
  for (const Case& c : cases) {
    StubDevice device;
    if (c.mirrored) MirrorY(device);
    SelectEscapement(device, c.escapement);
    const auto& t = device.dcStack.TextMatrix();
    EXPECT_NEAR(t.eM11, c.m11, 1e-6) << c.escapement << (c.mirrored ? " mirrored" : "");
    EXPECT_NEAR(t.eM12, c.m12, 1e-6) << c.escapement;
    EXPECT_NEAR(t.eM21, c.m21, 1e-6) << c.escapement;
    EXPECT_NEAR(t.eM22, c.m22, 1e-6) << c.escapement;
    EXPECT_EQ(t.eDx, 0.0f);
    EXPECT_EQ(t.eDy, 0.0f);
    EXPECT_TRUE(device.textRotated);
    EXPECT_NEAR(static_cast<double>(device.textAngle), c.escapement / 1800.0 * std::numbers::pi,
                1e-12);
  }
}

TEST(TextRotation, NoEscapementIsIdentityUnlessXPositiveYNegative) {
  StubDevice plain;
  const auto& t = plain.dcStack.TextMatrix();
  EXPECT_EQ(t.eM11, 1.0f);
  EXPECT_EQ(t.eM21, 0.0f);
  EXPECT_FALSE(plain.textRotated);
  EXPECT_EQ(plain.textAngle, 0.0L);

  // A mirrored y with x to the right still counts as rotated text (angle 0).
  StubDevice mirrored;
  MirrorY(mirrored);
  const auto& m = mirrored.dcStack.TextMatrix();
  EXPECT_TRUE(mirrored.dcStack.xPositiveYNegative);
  EXPECT_TRUE(mirrored.textRotated);
  EXPECT_EQ(m.eM11, 1.0f);
  EXPECT_EQ(m.eM22, 1.0f);
}

TEST(TextRotation, RecomputedOnlyWhenTheLevelAsks) {
  StubDevice device;
  SelectEscapement(device, 900);
  device.dcStack.TextMatrix();
  EXPECT_TRUE(device.textRotationChanged);
  device.textRotationChanged = false;

  device.dcStack.TextMatrix();
  EXPECT_FALSE(device.textRotationChanged);

  // A font with another escapement marks the rotation and the output state dirty.
  device.outputStateDirty = false;
  SelectEscapement(device, 0);
  EXPECT_TRUE(device.outputStateDirty);
  EXPECT_EQ(device.dcStack.TextMatrix().eM11, 1.0f);
  EXPECT_TRUE(device.textRotationChanged);
  EXPECT_FALSE(device.textRotated);
}

}  // namespace
}  // namespace vellora
