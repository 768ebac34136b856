// The scalable map modes when a picture sets only one of the two extents: the other keeps the
// platform's default of (1, 1), so a window extent (a, b) alone maps a by b logical units to one
// pixel of the reference device, and a viewport extent alone makes each unit that many pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "emf_builder.h"
#include "recording_device.h"
#include "test_support.h"

namespace vellora_test {
namespace {

struct PagePoint {
  double x, y;
};

PagePoint Mapped(const XFORM& m, double x, double y) {
  return {x * m.eM11 + y * m.eM21 + m.eDx, x * m.eM12 + y * m.eM22 + m.eDy};
}

struct OneExtentCase {
  const char* name;
  DWORD mapMode;
  std::optional<SIZEL> windowExt, viewportExt;
  bool throughSaveAndRestore;  // set in the outer level, drawn after an inner level is dropped
  double pixelsPerUnitX, pixelsPerUnitY;
  bool scaleViewport = false;  // a viewport extent scaled by (6 / 2, 4 / 2) without being set
};

void PrintTo(const OneExtentCase& c, std::ostream* os) { *os << c.name; }

const OneExtentCase kOneExtentCases[] = {
    {"anisotropic_window_1x1", 8, SIZEL{1, 1}, std::nullopt, false, 1, 1},
    {"anisotropic_window_2x-4", 8, SIZEL{2, -4}, std::nullopt, false, 0.5, -0.25},
    {"anisotropic_viewport_3x2", 8, std::nullopt, SIZEL{3, 2}, false, 3, 2},
    // The coarser unit on both axes, each axis keeping its direction.
    {"isotropic_window_2x4", 7, SIZEL{2, 4}, std::nullopt, false, 0.25, 0.25},
    {"isotropic_window_2x-4", 7, SIZEL{2, -4}, std::nullopt, false, 0.25, -0.25},
    {"anisotropic_window_after_restore", 8, SIZEL{2, -4}, std::nullopt, true, 0.5, -0.25},
    {"isotropic_window_after_restore", 7, SIZEL{2, 4}, std::nullopt, true, 0.25, 0.25},
    {"anisotropic_scaled_default_viewport", 8, std::nullopt, std::nullopt, false, 3, 2, true},
};

class OneExtentMapping : public ::testing::TestWithParam<OneExtentCase> {};

// A 1024 x 768 pixel, 320 x 240 mm reference device: 81.28 pixels per inch, so one reference
// pixel is 72 / 81.28 page points. A rectangle drawn first in the default mode gives where the
// reference device's origin lands on the page.
TEST_P(OneExtentMapping, RectangleCoversTheReferencePixelsOfThePlatform) {
  const OneExtentCase& c = GetParam();
  constexpr double kPointsPerPixel = 72.0 / 81.28;
  constexpr LONG kOrgX = 10, kOrgY = 20;

  EmfBuilder b;
  b.SetBounds({0, 0, 999, 1413}).SetFrame({0, 0, 21000, 29700});
  b.SetDevice({1024, 768}).SetMillimeters({320, 240});
  b.Rectangle({0, 0, 1, 1});
  b.SetMapMode(c.mapMode);
  if (c.windowExt) b.SetWindowExt(c.windowExt->cx, c.windowExt->cy);
  if (c.viewportExt) b.SetViewportExt(c.viewportExt->cx, c.viewportExt->cy);
  if (c.scaleViewport) b.Append(EMR_SCALEVIEWPORTEXTEX, {6, 2, 4, 2});
  b.SetWindowOrg(kOrgX, kOrgY);
  if (c.throughSaveAndRestore) {
    // The inner level's own extents must not outlive it.
    b.SaveDC().SetViewportExt(500, 700).SetWindowExt(9, 9).Rectangle({0, 0, 1, 1}).RestoreDC(-1);
  }
  b.Rectangle({kOrgX, kOrgY, kOrgX + 100, kOrgY + 60});
  const std::vector<BYTE> bytes = b.Eof().Bytes();

  RecordingDevice device;
  std::vector<XFORM> matrices;
  device.onCall = [&](const std::string& line) {
    if (line.rfind("Rectangle", 0) == 0) matrices.push_back(device.dcStack.Matrix());
  };
  device.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0);
  ASSERT_EQ(matrices.size(), c.throughSaveAndRestore ? 3u : 2u);

  const PagePoint origin = Mapped(matrices.front(), 0, 0);
  const XFORM& m = matrices.back();
  const PagePoint topLeft = Mapped(m, kOrgX, kOrgY);
  const PagePoint bottomRight = Mapped(m, kOrgX + 100, kOrgY + 60);
  // The window origin lands on the reference device's origin.
  EXPECT_NEAR(topLeft.x, origin.x, 0.01);
  EXPECT_NEAR(topLeft.y, origin.y, 0.01);
  // 100 x 60 units cover this many reference pixels (the scales are rounded to 4 decimals).
  const double pageYSign = matrices.front().eM22 < 0 ? -1.0 : 1.0;
  EXPECT_NEAR(bottomRight.x - topLeft.x, 100 * c.pixelsPerUnitX * kPointsPerPixel, 0.02);
  EXPECT_NEAR((bottomRight.y - topLeft.y) * pageYSign, 60 * c.pixelsPerUnitY * kPointsPerPixel,
              0.02);
}

INSTANTIATE_TEST_SUITE_P(Extents, OneExtentMapping, ::testing::ValuesIn(kOneExtentCases),
                         [](const auto& paramInfo) {
                           std::string name = paramInfo.param.name;
                           for (char& ch : name)
                             if (ch == '-') ch = 'm';
                           return name;
                         });

std::filesystem::path CorpusFile(const char* relative) {
  std::filesystem::path root = CorpusDir();
#ifdef VELLORA_CORPUS_DIR
  if (root.empty()) root = VELLORA_CORPUS_DIR;
#endif
  std::error_code ec;
  const std::filesystem::path file = root / relative;
  return !root.empty() && std::filesystem::is_regular_file(file, ec) ? file
                                                                     : std::filesystem::path();
}

// A diagram recorded in MM_ANISOTROPIC with a window extent of (1, 1) and no viewport extent:
// every line it draws, in the reference device's pixels, lies inside the bounds its header
// gives in those pixels, (1, -517) - (473, 10).
TEST(OneExtentMappingCorpus, DiagramWithUnitWindowFitsItsHeaderBounds) {
  const std::filesystem::path path = CorpusFile("emf-ea/EA-test-file-001.emf");
  if (path.empty()) GTEST_SKIP() << "corpus file absent";
  const std::vector<unsigned char> bytes = ReadFileBytes(path);

  RecordingDevice device;
  device.keepLog = false;
  long lines = 0;
  double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
  device.onCall = [&](const std::string& line) {
    long x = 0, y = 0;
    if (std::sscanf(line.c_str(), "LineTo (%ld,%ld)", &x, &y) != 2 &&
        std::sscanf(line.c_str(), "MoveTo (%ld,%ld)", &x, &y) != 2)
      return;
    device.dcStack.Matrix();
    const PagePoint p =
        Mapped(device.dcStack.logicalToViewport, static_cast<double>(x), static_cast<double>(y));
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
    ++lines;
  };
  device.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0);
  ASSERT_GT(lines, 20);
  EXPECT_GE(left, 1 - 1);
  EXPECT_GE(top, -517 - 1);
  EXPECT_LE(right, 473 + 1);
  EXPECT_LE(bottom, 10 + 1);
  // And the lines span most of it, rather than a corner.
  EXPECT_GT(right - left, 400);
  EXPECT_GT(bottom - top, 450);
}

}  // namespace
}  // namespace vellora_test
