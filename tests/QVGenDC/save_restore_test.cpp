// SaveDC and RestoreDC: levels are copied and dropped one at a time, barriers hold, the map
// mode of the restored level takes effect again, and the depth has a cap.
#include <gtest/gtest.h>

#include "stub_device.h"

namespace vellora {
namespace {

using vellora_test::StubDevice;

TEST(SaveRestore, RestoreBringsBackTheSavedAttributes) {
  StubDevice device;
  device.SetTextColor(0x0000FF);
  device.SetWindowOrg(10, 10);
  EXPECT_EQ(device.SaveDC(), 2);  // the first level is the DC itself
  device.SetTextColor(0x00FF00);
  device.SetWindowOrg(50, 50);
  device.SetMapMode(6);
  EXPECT_TRUE(device.dcStack.yFlip);

  device.RestoreDC(-1);
  const auto& level = device.CurrentDCState();
  EXPECT_EQ(device.dcStack.Depth(), 1);
  EXPECT_EQ(level.textColor, 0x0000FFu);
  EXPECT_EQ(level.windowOrg.x, 10);
  EXPECT_EQ(level.mapMode, 1);
  EXPECT_FALSE(device.dcStack.yFlip);
  // Map mode 1 re-applied: the page scale comes from the natural resolution again.
  EXPECT_FLOAT_EQ(device.dcStack.pageScale.eM11,
                  static_cast<float>(72.0f / device.dcStack.naturalResolutionX));
  EXPECT_FLOAT_EQ(device.dcStack.Matrix().eDx, -10.0f);
}

TEST(SaveRestore, RestoredYUpModeFlipsAgain) {
  StubDevice device;
  device.SetMapMode(2);
  device.SaveDC();
  device.SetMapMode(1);
  EXPECT_FALSE(device.dcStack.yFlip);
  device.RestoreDC(-1);
  EXPECT_TRUE(device.dcStack.yFlip);
  EXPECT_EQ(device.CurrentDCState().mapMode, 2);
  EXPECT_EQ(device.dcStack.resolutionX, 254);
}

TEST(SaveRestore, OneLevelWhateverTheArgumentSays) {
  StubDevice device;
  device.SaveDC();
  device.SaveDC();
  device.SaveDC();
  device.RestoreDC(-3);
  EXPECT_EQ(device.dcStack.Depth(), 3);
  device.RestoreDC(1);
  EXPECT_EQ(device.dcStack.Depth(), 2);
}

// Past the cap a save fails and its restore pops nothing, so the levels below the cap still
// come back with their own restores.
TEST(SaveRestore, SavesPastTheCapFailAndTheirRestoresKeepTheLevels) {
  StubDevice device;
  device.SetTextColor(0x000001);
  while (device.dcStack.Depth() < kMaxSavedLevels) device.SaveDC();
  device.SetTextColor(0x000002);
  EXPECT_EQ(device.SaveDC(), 0);
  EXPECT_EQ(device.SaveDC(), 0);
  EXPECT_EQ(device.dcStack.Depth(), kMaxSavedLevels);
  device.SetTextColor(0x000003);  // inside a refused level: it stays
  device.RestoreDC(-1);
  device.RestoreDC(-1);
  EXPECT_EQ(device.dcStack.Depth(), kMaxSavedLevels);
  EXPECT_EQ(device.CurrentDCState().textColor, 0x000003u);
  while (device.dcStack.Depth() > 1) device.RestoreDC(-1);
  EXPECT_EQ(device.CurrentDCState().textColor, 0x000001u);
}

TEST(SaveRestore, RestoreWithNoLevelLeavesNoneAndMarksOutputDirty) {
  StubDevice device;
  device.CurrentDCState();
  device.RestoreDC(-1);  // pops the first level itself
  EXPECT_EQ(device.dcStack.Depth(), 0);
  device.outputStateDirty = false;
  device.transformDirty = false;
  device.RestoreDC(-1);
  EXPECT_EQ(device.dcStack.Depth(), 0);
  EXPECT_EQ(device.dcStack.Top(), nullptr);
  EXPECT_TRUE(device.outputStateDirty);
  EXPECT_TRUE(device.transformDirty);
}

TEST(SaveRestore, BarrierSurvivesAnyNumberOfPops) {
  StubDevice device;
  device.SaveDC();
  device.dcStack.Top()->barrier = true;  // level 2, as the owner device marks a page level
  device.SetTextColor(0x123456);
  device.SaveDC();
  device.SaveDC();
  for (int i = 0; i < 10; ++i) device.RestoreDC(-1);
  EXPECT_EQ(device.dcStack.Depth(), 2);
  EXPECT_EQ(device.CurrentDCState().textColor, 0x123456u);

  device.SaveDC();
  device.SaveDC();
  device.dcStack.Pop(100);
  EXPECT_EQ(device.dcStack.Depth(), 2);
  EXPECT_TRUE(device.CurrentDCState().transformDirty);
}

TEST(SaveRestore, PushCopiesTheLevelAndSavesTheMatrix) {
  StubDevice device;
  device.SetWindowOrg(20, 0);
  const auto m = device.dcStack.Matrix();
  auto& first = device.CurrentDCState();
  first.escapementChanged = true;
  first.faceName = "A face name longer than the short-string buffer";
  device.SaveDC();
  const auto* top = device.dcStack.Top();
  EXPECT_EQ(top->depth, 2);
  EXPECT_FALSE(top->barrier);
  EXPECT_EQ(top->savedMatrix.eDx, m.eDx);
  EXPECT_EQ(top->vars.faceName, "A face name longer than the short-string buffer");
  EXPECT_FALSE(top->vars.escapementChanged);  // cleared in the copy
  EXPECT_EQ(top->vars.windowOrg.x, 20);

  // Levels below the top keep their own values.
  device.SetWindowOrg(99, 0);
  device.RestoreDC(-1);
  EXPECT_EQ(device.CurrentDCState().windowOrg.x, 20);
}

TEST(SaveRestore, FirstLevelTakesTheDefaults) {
  StubDevice device;
  const auto& level = device.CurrentDCState();
  EXPECT_EQ(device.dcStack.Depth(), 1);
  EXPECT_EQ(level.mapMode, 1);
  EXPECT_EQ(level.bkColor, 0xFFFFFFu);
  EXPECT_EQ(level.font.lfHeight, 10);
  EXPECT_EQ(level.faceName, "Arial");
  EXPECT_EQ(level.font.lfFaceName[0], u'A');
  EXPECT_EQ(level.font.lfFaceName[5], 0);
  EXPECT_FLOAT_EQ(level.miterLimit, 10.0f);
  EXPECT_TRUE(level.transformDirty);
  EXPECT_TRUE(level.italicFaceAvailable);
  EXPECT_TRUE(level.boldFaceAvailable);
  EXPECT_FALSE(level.simulateBold);
  EXPECT_FALSE(level.escapementChanged);
}

}  // namespace
}  // namespace vellora
