// Construction, Reset, the path bracket, the y-axis rule, the writer-state stack and the
// process-wide settings of the generic device.
#include <gtest/gtest.h>

#include <limits>

#include "QVGenDC/process_settings.h"
#include "stub_device.h"

namespace vellora {
namespace {

using vellora_test::StubDevice;

TEST(GenericDevice, ConstructionTakesTheProcessDefaultDivisor) {
  StubDevice plain;
  EXPECT_EQ(plain.xResolution, 72);
  EXPECT_EQ(plain.yResolution, 72);
  EXPECT_EQ(plain.modes, TQVDevModes(1u << kModeGenericDefault));
  EXPECT_EQ(plain.defaultDivisor, 1);

  SetDefaultCoordinateDivisor(10);
  StubDevice tenths;
  SetDefaultCoordinateDivisor(-3);  // ignored
  EXPECT_EQ(DefaultCoordinateDivisor(), 10);
  SetDefaultCoordinateDivisor(0);  // counts as 1
  StubDevice zero;
  EXPECT_EQ(DefaultCoordinateDivisor(), 1);
  SetDefaultCoordinateDivisor(1);

  EXPECT_EQ(tenths.defaultDivisor, 10);
  EXPECT_EQ(tenths.coordinateDivisor, 10);
  EXPECT_EQ(zero.defaultDivisor, 1);
  EXPECT_EQ(plain.defaultDivisor, 1);  // devices made earlier keep theirs
}

TEST(GenericDevice, ResetStartsOverButKeepsModes) {
  StubDevice device;
  device.modes = TQVDevModes(0x5);
  device.xResolution = 144;
  device.yResolution = 96;
  device.CreatePen(0, 1, 0);
  device.SaveDC();
  device.PushWriterState();
  device.coordinateDivisor = 10;
  device.SetTextJustification(3, 4);
  device.BeginPath(3);
  device.SetResolution(96, 96);
  device.outputStateDirty = false;

  device.Reset();
  EXPECT_EQ(device.modes, TQVDevModes(0x5));
  EXPECT_EQ(device.objects.Size(), device.objects.StockCount());
  EXPECT_EQ(device.dcStack.Depth(), 0);
  EXPECT_EQ(device.WriterDepth(), 0);
  EXPECT_EQ(device.coordinateDivisor, 1);
  EXPECT_EQ(device.justificationExtra, 0);
  EXPECT_EQ(device.justificationBreakCount, 0);
  EXPECT_EQ(device.pathNesting, 0);
  EXPECT_FALSE(device.dcStack.fixedScale);
  EXPECT_TRUE(device.outputStateDirty);
  EXPECT_EQ(device.dcStack.resolutionX, 144);
  EXPECT_EQ(device.dcStack.resolutionY, 96);
  EXPECT_FLOAT_EQ(device.dcStack.pageScale.eM11, 0.5f);
  EXPECT_FLOAT_EQ(device.dcStack.pageScale.eM22, 0.75f);
  EXPECT_EQ(device.dcStack.pageScale.eDx, 0.0f);

  // A resolution of 0 from a host does not divide by zero.
  device.xResolution = 0;
  device.Reset();
  EXPECT_FLOAT_EQ(device.dcStack.pageScale.eM11, 1.0f);
}

// Counts the figures the bracket closes.
struct FigureCounter : StubDevice {
  void CloseFigure() override { ++closed; }
  int closed = 0;
};

TEST(GenericDevice, PathBracketNests) {
  FigureCounter device;
  EXPECT_FALSE(device.EndPath());  // nothing open: nothing changes
  EXPECT_EQ(device.pathNesting, 0);

  device.BeginPath(1);
  device.BeginPath(3);
  EXPECT_EQ(device.pathNesting, 2);
  EXPECT_EQ(device.pathMode, 3);
  EXPECT_TRUE(device.EndPath());
  EXPECT_EQ(device.pathNesting, 1);
  EXPECT_EQ(device.closed, 1);
  EXPECT_FALSE(device.EndPath());
  EXPECT_EQ(device.pathNesting, 0);
  EXPECT_EQ(device.pathMode, 0);
  EXPECT_EQ(device.closed, 1);
}

TEST(GenericDevice, YAxisRule) {
  StubDevice device;
  device.yOrigin = 800;
  EXPECT_EQ(device.DeviceY(100), 700);
  EXPECT_FLOAT_EQ(device.DeviceYF(100.5f), 699.5f);
  EXPECT_EQ(device.RelativeY(100), -700);
  device.SetMapMode(2);  // y up
  EXPECT_EQ(device.DeviceY(100), 900);
  EXPECT_FLOAT_EQ(device.DeviceYF(100.5f), 900.5f);

  device.yOrigin = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(device.DeviceY(1), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(device.RelativeY(std::numeric_limits<std::int32_t>::min()),
            std::numeric_limits<std::int32_t>::min());

  std::int32_t a = 1, b = 2;
  TQVGenericDevice::SwapInts(a, b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 1);
  const auto r = TQVGenericDevice::MakeDeviceRect(1, 2, 3, 4);
  EXPECT_EQ(r.left + r.top * 10 + r.right * 100 + r.bottom * 1000, 4321);
}

TEST(GenericDevice, WriterStack) {
  StubDevice device;
  EXPECT_FALSE(device.PopWriterState());
  TQVWriterStackVar& first = device.WriterState();  // created on demand
  EXPECT_EQ(device.WriterDepth(), 1);
  EXPECT_EQ(first.fontFaceName, "Arial");
  EXPECT_FLOAT_EQ(first.fontSize, 10.0f);
  EXPECT_FLOAT_EQ(first.scaleX, 1.0f);
  EXPECT_FLOAT_EQ(first.scaleY, 1.0f);
  EXPECT_TRUE(first.rewritePen && first.rewriteBrush && first.rewriteText);

  first.fontFaceName = "Courier New";
  first.rewritePen = false;
  device.PushWriterState();
  EXPECT_EQ(device.WriterDepth(), 2);
  EXPECT_EQ(device.WriterState().fontFaceName, "Courier New");
  EXPECT_FALSE(device.WriterState().rewritePen);
  device.WriterState().fontFaceName = "Symbol";

  EXPECT_TRUE(device.PopWriterState());
  EXPECT_EQ(device.WriterState().fontFaceName, "Courier New");
  EXPECT_TRUE(device.PopWriterState());
  EXPECT_FALSE(device.PopWriterState());

  // A level pushed onto an empty stack is a fresh first level, not a stale slot.
  device.PushWriterState();
  EXPECT_EQ(device.WriterDepth(), 1);
  EXPECT_EQ(device.WriterState().fontFaceName, "Arial");
}

TEST(GenericDevice, GradientSwitchDefaultsOn) {
  EXPECT_TRUE(GradientFillEnabled());
  SetGradientFillEnabled(false);
  EXPECT_FALSE(GradientFillEnabled());
  SetGradientFillEnabled(true);
  EXPECT_FALSE(NoHighResolution());
}

}  // namespace
}  // namespace vellora
