// Handlers of the state records: attributes, extents and world transforms.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "stub_device.h"

namespace vellora {
namespace {

using qvplatform::XFORM;
using vellora_test::StubDevice;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

void ExpectWorld(const StubDevice& device, const XFORM& w) {
  const XFORM& a = const_cast<StubDevice&>(device).CurrentDCState().world;
  EXPECT_FLOAT_EQ(a.eM11, w.eM11);
  EXPECT_FLOAT_EQ(a.eM12, w.eM12);
  EXPECT_FLOAT_EQ(a.eM21, w.eM21);
  EXPECT_FLOAT_EQ(a.eM22, w.eM22);
  EXPECT_FLOAT_EQ(a.eDx, w.eDx);
  EXPECT_FLOAT_EQ(a.eDy, w.eDy);
}

TEST(StateRecords, TextAlignDerivesTheFlags) {
  const std::pair<std::uint32_t, std::uint32_t> cases[] = {
      {0, 0},
      {1, kAlignUpdateCP},
      {2, kAlignRight},
      {6, kAlignCenter},
      {8, kAlignBottom},
      {24, kAlignBottom | kAlignBaseline},  // 3: 2 for the 8, 1 for the 24
      {31, kAlignUpdateCP | kAlignCenter | kAlignBottom | kAlignBaseline},
  };
  StubDevice device;
  std::uint32_t previous = 0;
  for (const auto& [raw, derived] : cases) {
    EXPECT_EQ(device.SetTextAlign(raw), previous);
    EXPECT_EQ(device.CurrentDCState().textAlignFlags, derived) << raw;
    previous = raw;
  }
}

TEST(StateRecords, AttributeHandlersReturnThePreviousValue) {
  StubDevice device;
  EXPECT_EQ(device.SetBkMode(2), 0);
  EXPECT_TRUE(device.CurrentDCState().opaque);
  EXPECT_EQ(device.SetBkMode(1), 2);
  EXPECT_FALSE(device.CurrentDCState().opaque);
  EXPECT_EQ(device.SetTextColor(0x112233), 0u);
  EXPECT_EQ(device.SetTextColor(0), 0x112233u);
  EXPECT_EQ(device.SetBkColor(0), 0xFFFFFFu);
  EXPECT_EQ(device.SetROP2(11), 13);
  EXPECT_EQ(device.SetROP2(13), 11);
  EXPECT_EQ(device.SetMapMode(8), 1);
  EXPECT_EQ(device.SetMapMode(8), 8);

  device.SetPolyFillMode(2);
  device.SetArcDirection(2);
  EXPECT_TRUE(device.CurrentDCState().winding);
  EXPECT_TRUE(device.CurrentDCState().clockwise);
  device.SetPolyFillMode(1);
  device.SetArcDirection(1);
  EXPECT_FALSE(device.CurrentDCState().winding);
  EXPECT_FALSE(device.CurrentDCState().clockwise);
}

TEST(StateRecords, MiterLimitIsAtLeastOne) {
  StubDevice device;
  device.SetMiterLimit(0);
  EXPECT_FLOAT_EQ(device.CurrentDCState().miterLimit, 1.0f);
  device.SetMiterLimit(7);
  EXPECT_FLOAT_EQ(device.CurrentDCState().miterLimit, 7.0f);
}

TEST(StateRecords, TextJustificationClearsTheRemainderWithNoExtra) {
  StubDevice device;
  device.justificationRemainder = 5;
  device.SetTextJustification(12, 3);
  EXPECT_EQ(device.justificationExtra, 12);
  EXPECT_EQ(device.justificationBreakCount, 3);
  EXPECT_EQ(device.justificationRemainder, 5);
  device.SetTextJustification(0, 3);
  EXPECT_EQ(device.justificationRemainder, 0);
}

TEST(StateRecords, ExtentSettersMarkDirtyOnlyOnChange) {
  StubDevice device;
  device.SetWindowExt(100, 200);
  device.transformDirty = false;
  device.CurrentDCState().transformDirty = false;
  qvplatform::SIZEL previous;
  device.SetWindowExt(100, 200, &previous);
  EXPECT_EQ(previous.cx, 100);
  EXPECT_EQ(previous.cy, 200);
  EXPECT_FALSE(device.transformDirty);
  EXPECT_FALSE(device.CurrentDCState().transformDirty);

  qvplatform::POINTL origin{-1, -1};
  device.SetViewportOrg(3, 4, &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_TRUE(device.transformDirty);
  EXPECT_TRUE(device.CurrentDCState().transformDirty);
  device.SetViewportExt(0, 0);
  EXPECT_TRUE(device.CurrentDCState().viewportExtSet);
}

TEST(StateRecords, ScaleExtentsTruncateGuardAndClamp) {
  StubDevice device;
  device.SetViewportExt(1000, -7);
  device.ScaleViewportExt(3, 2, 1, 2);
  EXPECT_EQ(device.CurrentDCState().viewportExt.cx, 1500);
  EXPECT_EQ(device.CurrentDCState().viewportExt.cy, -3);  // -3.5 truncated

  device.ScaleViewportExt(1, 0, 5, 1);  // a zero denominator: refused whole
  EXPECT_EQ(device.CurrentDCState().viewportExt.cx, 1500);
  EXPECT_EQ(device.CurrentDCState().viewportExt.cy, -3);

  device.SetWindowExt(2000000000, -2000000000);
  device.transformDirty = false;
  device.ScaleWindowExt(2000000000, 1, 2000000000, 1);
  EXPECT_EQ(device.CurrentDCState().windowExt.cx, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(device.CurrentDCState().windowExt.cy, std::numeric_limits<std::int32_t>::min());
  EXPECT_TRUE(device.transformDirty);
}

TEST(StateRecords, SetWorldTransformRefusesFarAndNonFiniteValues) {
  StubDevice device;
  const XFORM good{2, 0, 0, 2, 127999, -127999};
  ASSERT_TRUE(device.SetWorldTransform(good));
  device.transformDirty = false;
  const XFORM refused[] = {
      {1, 0, 0, 1, 128000, 0}, {1, 0, 0, 1, 0, -128000}, {kNaN, 0, 0, 1, 0, 0},
      {1, 0, 0, 1, kNaN, 0},   {1, kInf, 0, 1, 0, 0},
  };
  for (const XFORM& x : refused) EXPECT_FALSE(device.SetWorldTransform(x));
  ExpectWorld(device, good);
  EXPECT_FALSE(device.transformDirty);
}

TEST(StateRecords, ModifyWorldTransformModes) {
  // Scale then translate, in both orders: the order shows in the translation.
  const XFORM scale{2, 0, 0, 3, 0, 0};
  const XFORM move{1, 0, 0, 1, 10, 20};
  StubDevice device;
  ASSERT_TRUE(device.SetWorldTransform(scale));
  EXPECT_TRUE(device.ModifyWorldTransform(move, 2));  // move first, then scale
  ExpectWorld(device, {2, 0, 0, 3, 20, 60});

  ASSERT_TRUE(device.SetWorldTransform(scale));
  EXPECT_TRUE(device.ModifyWorldTransform(move, 3));  // scale first, then move
  ExpectWorld(device, {2, 0, 0, 3, 10, 20});

  EXPECT_TRUE(device.ModifyWorldTransform(move, 4));  // set
  ExpectWorld(device, move);
  EXPECT_TRUE(device.CurrentDCState().worldSet);
  EXPECT_FALSE(device.ModifyWorldTransform({1, 0, 0, 1, 200000, 0}, 4));
  ExpectWorld(device, move);

  EXPECT_FALSE(device.ModifyWorldTransform({kNaN, 0, 0, 1, 0, 0}, 3));
  EXPECT_FALSE(device.ModifyWorldTransform({3e38f, 0, 0, 1, 0, 0}, 3));  // overflows
  ExpectWorld(device, move);

  EXPECT_TRUE(device.ModifyWorldTransform({}, 1));
  ExpectWorld(device, {1, 0, 0, 1, 0, 0});
  EXPECT_FALSE(device.CurrentDCState().worldSet);
}

}  // namespace
}  // namespace vellora
