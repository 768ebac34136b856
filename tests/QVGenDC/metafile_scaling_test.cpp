// The scaling of a picture into the device, with numbers worked out by hand for an A4 frame on a
// 1024 x 768 pixel, 320 x 240 mm reference device: 1024 / (320 / 25.4) = 81.28 dpi, rounded 81.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "device_modes.h"
#include "emf_builder.h"
#include "recording_device.h"

namespace vellora_test {
namespace {

struct Seen {
  XFORM pageScale;
  long double extraX = 0, extraY = 0;
  std::int32_t resX = 0, resY = 0, naturalX = 0;
  SIZEL viewportExt;
  POINTL frameOrigin;
};

EmfBuilder A4(RECTL frame = {0, 0, 21000, 29700}) {
  EmfBuilder b;
  b.SetBounds({0, 0, 999, 1413}).SetFrame(frame).SetDevice({1024, 768}).SetMillimeters({320, 240});
  return b;
}

// Plays bytes and keeps what the DC stack held when the picture began.
Seen PlayAndLook(RecordingDevice& device, const std::vector<BYTE>& bytes, std::int32_t x,
                 std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t xr = 0,
                 std::int32_t yr = 0) {
  Seen seen;
  device.onBeginPicture = [&seen](RecordingDevice& d) {
    seen.pageScale = d.dcStack.pageScale;
    seen.extraX = d.dcStack.extraScaleX;
    seen.extraY = d.dcStack.extraScaleY;
    seen.resX = d.dcStack.resolutionX;
    seen.resY = d.dcStack.resolutionY;
    seen.naturalX = d.dcStack.naturalResolutionX;
    seen.viewportExt = d.CurrentDCState().viewportExt;
    seen.frameOrigin = d.dcStack.frameOrigin;
  };
  device.PlayMetafile(bytes.data(), bytes.size(), x, y, w, h, false, xr, yr);
  return seen;
}

TEST(MetafileScaling, AnA4FrameAtItsOwnSize) {
  RecordingDevice device;
  const Seen s = PlayAndLook(device, A4().Eof().Bytes(), 0, 0, 0, 0);
  // Right: round(21000 / 2540 x 81) = round(669.69) = 670; bottom: round(947.13) = 947.
  EXPECT_EQ(device.Calls()[0], "BeginPicture 670x947 res=81,81");
  EXPECT_EQ(s.resX, 81);
  EXPECT_EQ(s.resY, 81);
  EXPECT_EQ(s.naturalX, 81);
  EXPECT_EQ(s.viewportExt.cx, 81);
  EXPECT_EQ(s.viewportExt.cy, 81);
  // Extra scale 81.28 / 81; page scale 72 / 81.28 x 81.28 / 81 = 72 / 81.
  EXPECT_NEAR(static_cast<double>(s.extraX), 1.0034568, 1e-7);
  EXPECT_NEAR(s.pageScale.eM11, 0.8888889, 1e-6);
  EXPECT_NEAR(s.pageScale.eM22, 0.8888889, 1e-6);
  EXPECT_EQ(s.pageScale.eDx, 0.0f);
  EXPECT_EQ(s.frameOrigin.x, 0);
}

TEST(MetafileScaling, AnA4FrameIntoATargetSizeWithOffsets) {
  RecordingDevice device;  // 72 dpi device units: 595 x 842 is A4 in points
  device.dcStack.pageOrigin = {0, 800};
  POINTL originWhilePlaying;
  device.onCall = [&](const std::string& line) {
    if (line.rfind("Rectangle", 0) == 0) originWhilePlaying = device.dcStack.pageOrigin;
  };
  const Seen s =
      PlayAndLook(device, A4({1000, 2000, 22000, 31700}).Rectangle({1, 1, 2, 2}).Eof().Bytes(), 36,
                  72, 595, 842);
  // x: left round(36 / 72 x 81) = round(40.5) = 40 (halves to even), width round(669.375) = 669;
  // y: top 81, height round(842 / 72 x 81) = round(947.25) = 947.
  EXPECT_EQ(device.Calls()[0], "BeginPicture 669x947 res=81,81");
  // Extra scales round(595 x 2540 / 72) / 21000 = 20990 / 21000 and 29704 / 29700.
  EXPECT_NEAR(static_cast<double>(s.extraX), 20990.0 / 21000.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(s.extraY), 29704.0 / 29700.0, 1e-12);
  // Page scale 72 / 81.28 x extra, page offset 36 x 72 / 81.28 and 72 x 72 / 81.28.
  EXPECT_NEAR(s.pageScale.eM11, 0.8854049, 1e-6);
  EXPECT_NEAR(s.pageScale.eM22, 0.8859461, 1e-6);
  EXPECT_NEAR(s.pageScale.eDx, 31.889764, 1e-4);
  EXPECT_NEAR(s.pageScale.eDy, 63.779528, 1e-4);
  // Frame origin -round(1000 x 81 / 2540) = -32, -round(2000 x 81 / 2540) = -64; the page
  // origin moves by round(-32 x 72 / 81) = -28 and -round(-64 x 72 / 81) = +57 while playing.
  EXPECT_EQ(s.frameOrigin.x, -32);
  EXPECT_EQ(s.frameOrigin.y, -64);
  EXPECT_EQ(originWhilePlaying.x, -28);
  EXPECT_EQ(originWhilePlaying.y, 857);
  EXPECT_EQ(device.dcStack.pageOrigin.x, 0);
  EXPECT_EQ(device.dcStack.pageOrigin.y, 800);
}

TEST(MetafileScaling, ASizedMetafileIgnoresTheTargetSize) {
  const auto bytes = A4({1000, 2000, 22000, 31700}).Eof().Bytes();
  // Left round(31.89) = 32, right round(701.57) = 702; top 64, bottom round(1010.91) = 1011.
  RecordingDevice dotNet;
  dotNet.modes.Include(vellora::qvMetaIsDOTNETEMF);
  PlayAndLook(dotNet, bytes, 36, 72, 595, 842);
  EXPECT_EQ(dotNet.Calls()[0], "BeginPicture 670x947 res=81,81");
  RecordingDevice sized;
  sized.metafileIsSized = true;
  PlayAndLook(sized, bytes, 36, 72, 595, 842);
  EXPECT_EQ(sized.Calls()[0], "BeginPicture 670x947 res=81,81");
}

TEST(MetafileScaling, GivenResolutionsReplaceTheHeaders) {
  RecordingDevice device;
  const Seen s = PlayAndLook(device, A4().Eof().Bytes(), 0, 0, 0, 0, 300, 600);
  // round(21000 / 2540 x 300) = 2480, round(29700 / 2540 x 600) = 7016.
  EXPECT_EQ(device.Calls()[0], "BeginPicture 2480x7016 res=300,600");
  EXPECT_EQ(s.extraX, 1.0L);
  EXPECT_NEAR(s.pageScale.eM22, 0.12f, 1e-7);
}

TEST(MetafileScaling, WithoutAFrameTheBoundsAndTheRoundedDeviceResolutionCount) {
  RecordingDevice device;
  const Seen s =
      PlayAndLook(device, A4().SetBounds({-50, -60, 0, 40}).Eof().Bytes(), 9, 18, 595, 842);
  EXPECT_EQ(device.Calls()[0], "BeginPicture 50x100 res=81,81");
  EXPECT_NEAR(s.pageScale.eM11, 72.0 / 81.0, 1e-6);
  EXPECT_NEAR(s.pageScale.eDx, 8.0, 1e-5);  // 9 x 72 / 81
  EXPECT_NEAR(s.pageScale.eDy, 16.0, 1e-5);
  RecordingDevice noMillimeters;
  PlayAndLook(noMillimeters, A4().SetBounds({0, 0, 0, 40}).SetMillimeters({0, 0}).Eof().Bytes(), 0,
              0, 0, 0);
  EXPECT_EQ(noMillimeters.Calls()[0], "BeginPicture 0x40 res=96,96");
}

TEST(MetafileScaling, ZeroAndAbsurdHeaderValuesGiveFiniteScales) {
  const struct {
    RECTL bounds, frame;
    SIZEL device, millimeters;
  } headers[] = {
      {{0, 0, 10, 10}, {0, 0, 100, 100}, {1024, 768}, {0, 0}},
      {{0, 0, 10, 10}, {0, 0, 100, 100}, {0, 0}, {320, 240}},
      {{0, 0, 10, 10}, {0, 0, 100, 100}, {INT_MAX, INT_MIN}, {1, -1}},
      {{0, 0, 10, 10}, {0, 0, 100, 100}, {1, 1}, {2000000, 2000000}},
      {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {5, 5}, {1, 1}},
      {{0, 0, 0, 0}, {0, 0, 0, 0}, {INT_MAX, 3}, {1, 2000000}},
      {{INT_MIN, 0, 0, INT_MAX}, {0, 0, 0, 0}, {0, 0}, {0, 0}},
  };
  for (const auto& h : headers) {
    for (const std::int32_t target : {0, 1, INT_MAX}) {
      RecordingDevice device;
      const auto bytes = EmfBuilder()
                             .SetBounds(h.bounds)
                             .SetFrame(h.frame)
                             .SetDevice(h.device)
                             .SetMillimeters(h.millimeters)
                             .Eof()
                             .Bytes();
      const Seen s = PlayAndLook(device, bytes, INT_MIN, INT_MAX, target, target, INT_MAX, -5);
      EXPECT_TRUE(std::isfinite(s.pageScale.eM11) && std::isfinite(s.pageScale.eM22) &&
                  std::isfinite(s.pageScale.eDx) && std::isfinite(s.pageScale.eDy))
          << h.device.cx << " " << target;
      EXPECT_GE(s.resX, 1);
      EXPECT_GE(s.resY, 1);
    }
  }
}

}  // namespace
}  // namespace vellora_test
