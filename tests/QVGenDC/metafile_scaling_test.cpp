// The scaling of a picture into the device, with numbers worked out by hand for an A4 frame on a
// 1024 x 768 pixel, 320 x 240 mm reference device: 1024 / (320 / 25.4) = 81.28 dpi, rounded 81.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <ostream>
#include <string>

#include "QVGenDC/device_modes.h"
#include "emf_builder.h"
#include "recording_device.h"

namespace vellora_test {
namespace {

struct Seen {
  XFORM pageScale;
  long double extraX = 0, extraY = 0;
  long double resX = 0, resY = 0, naturalX = 0;
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
  // The DC stack keeps the resolution unrounded for the page scale of every map mode.
  EXPECT_NEAR(static_cast<double>(s.resX), 81.28, 1e-9);
  EXPECT_NEAR(static_cast<double>(s.resY), 81.28, 1e-9);
  EXPECT_NEAR(static_cast<double>(s.naturalX), 81.28, 1e-9);
  EXPECT_EQ(s.viewportExt.cx, 81);
  EXPECT_EQ(s.viewportExt.cy, 81);
  // No extra scale at the own size; a reference pixel is 72 / 81.28 points.
  EXPECT_EQ(s.extraX, 1.0L);
  EXPECT_NEAR(s.pageScale.eM11, 0.8858268, 1e-6);
  EXPECT_NEAR(s.pageScale.eM22, 0.8858268, 1e-6);
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
  sized.playerOptions.metafileIsSized = true;
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

// Page points, y down from the top of the page.
struct PageRect {
  double left = 0, top = 0, right = 0, bottom = 0;
};

std::ostream& operator<<(std::ostream& out, const PageRect& r) {
  return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

// A rectangle in logical units taken to the page as the content device takes it while the
// picture draws: through the combined matrix, the y rule of the map mode and the page origin.
PageRect OnThePage(RecordingDevice& device, const RECTL& r) {
  const XFORM& m = device.dcStack.Matrix();
  const POINTL origin = device.dcStack.pageOrigin;
  const double ySign = device.dcStack.yFlip ? -1.0 : 1.0;
  const auto X = [&](LONG x) { return double(m.eM11) * x + m.eDx + origin.x; };
  const auto Y = [&](LONG y) { return ySign * m.eM22 * y + m.eDy + origin.y; };
  return {X(r.left), Y(r.top), X(r.right), Y(r.bottom)};
}

TEST(MetafileScaling, PicturesFillTheirFrameOrTargetWhateverTheMapModeAndHistory) {
  // A reference pixel is 1 / 81.28 inch: the A4 frame is 672 x 950.4 of them.
  constexpr double kPoint = 72.0 / 81.28;  // points per reference pixel
  constexpr double kFrameWidth = 21000 / 2540.0 * 81.28, kFrameHeight = 29700 / 2540.0 * 81.28;
  constexpr double kLoMetric = 72.0 / 254;  // points per 0.1 mm
  const auto noRecord = [](EmfBuilder&) {};
  const auto text = [](EmfBuilder& b) { b.SetMapMode(1); };
  const struct {
    const char* name;
    std::function<void(EmfBuilder&)> setUp;
    RECTL drawn;   // logical units
    SIZEL target;  // device units (72 dpi: points); 0 x 0 is the picture's own size
    PageRect expected;
  } cases[] = {
      {"own size", noRecord, {0, 0, 672, 950}, {0, 0}, {0, 0, 672 * kPoint, 950 * kPoint}},
      {"own size, MM_TEXT set", text, {0, 0, 672, 950}, {0, 0}, {0, 0, 672 * kPoint, 950 * kPoint}},
      // The viewport origin is in reference pixels, the logical units in 0.1 mm.
      {"own size, MM_LOMETRIC from the middle",
       [](EmfBuilder& b) { b.SetMapMode(2).SetViewportOrg(336, 475); },
       {0, 0, 1050, -1485},
       {0, 0},
       {336 * kPoint, 475 * kPoint, 336 * kPoint + 1050 * kLoMetric,
        475 * kPoint + 1485 * kLoMetric}},
      {"own size, MM_ANISOTROPIC over 0.1 mm",
       [](EmfBuilder& b) { b.SetMapMode(8).SetWindowExt(2100, 2970).SetViewportExt(672, 950); },
       {0, 0, 2100, 2970},
       {0, 0},
       {0, 0, 672 * kPoint, 950 * kPoint}},
      {"into a target",
       noRecord,
       {0, 0, 672, 950},
       {300, 400},
       {0, 0, 300 * 672 / kFrameWidth, 400 * 950 / kFrameHeight}},
      {"into a target, MM_TEXT set",
       text,
       {0, 0, 672, 950},
       {300, 400},
       {0, 0, 300 * 672 / kFrameWidth, 400 * 950 / kFrameHeight}},
      // Without a frame the bounds are the picture, at the rounded resolution of 81 dpi.
      {"no frame, MM_TEXT set",
       [](EmfBuilder& b) {
         b.SetFrame({0, 0, 0, 0}).SetMapMode(1);
       },
       {0, 0, 672, 950},
       {0, 0},
       {0, 0, 672 * 72.0 / 81, 950 * 72.0 / 81}},
  };
  // M keeps 4 decimals of its scales: up to 0.02%, 0.17 points over an A4 page.
  constexpr double kTolerance = 0.2;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EmfBuilder b = A4();
    c.setUp(b);
    const auto bytes = b.Rectangle(c.drawn).Eof().Bytes();
    RecordingDevice device;
    PageRect drawn;
    device.onCall = [&](const std::string& line) {
      if (line.rfind("Rectangle", 0) == 0) drawn = OnThePage(device, c.drawn);
    };
    // The same picture twice on one device: the first play leaves its DC state behind.
    for (const char* play : {"first play", "second play"}) {
      SCOPED_TRACE(play);
      drawn = PageRect{-1, -1, -1, -1};
      device.PlayMetafile(bytes.data(), bytes.size(), 0, 0, c.target.cx, c.target.cy, false, 0, 0);
      EXPECT_NEAR(drawn.left, c.expected.left, kTolerance) << drawn;
      EXPECT_NEAR(drawn.top, c.expected.top, kTolerance) << drawn;
      EXPECT_NEAR(drawn.right, c.expected.right, kTolerance) << drawn;
      EXPECT_NEAR(drawn.bottom, c.expected.bottom, kTolerance) << drawn;
    }
  }
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
