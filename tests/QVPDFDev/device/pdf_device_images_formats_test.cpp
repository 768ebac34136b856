// Bitmaps of every DIB format played from metafile records through the PDF device into a whole
// document, read back by poppler: each shows the bitmap's own pixels (raw) or close to them
// (JPEG), upright, without a swap of red and blue, at the place and size the record gives
// under y-down and y-up mappings; pdfimages names the expected encoding, and a bitmap drawn
// again is the same XObject.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "pdf_device_images_records.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::Area;
using vellora_test::CloseColour;
using vellora_test::EmfBuilder;
using vellora_test::FormatBitmap;
using vellora_test::HexColour;
using vellora_test::kRenderScale;
using vellora_test::PointPicture;
using vellora_test::Raster;
using vellora_test::RecordingDevice;

constexpr std::uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF,
                        kYellow = 0xFFFF00;

bool ToolsPresent() {
  return vellora_test::HaveTool("pdftoppm") && vellora_test::HaveTool("pdfimages");
}

// The rendered colour at a point given in points (fractions allowed).
std::uint32_t ColourAt(const Raster& r, double x, double y) {
  return r.At(static_cast<int>(x * kRenderScale), static_cast<int>(y * kRenderScale));
}

// The centre of bitmap pixel (x, y) drawn into dest (page points, y down).
std::uint32_t PixelAt(const Raster& r, const Area& dest, const FormatBitmap& b, int x, int y) {
  return ColourAt(r, dest.x + (x + 0.5) * dest.cx / b.width,
                  dest.y + (y + 0.5) * dest.cy / b.height);
}

TEST(PDFDeviceImagesFormats, EveryFormatShowsItsPixelsWhereTheRecordPutsThem) {
  if (!ToolsPresent()) GTEST_SKIP() << "poppler tools missing";
  for (const FormatBitmap& b : vellora_test::FormatBitmaps()) {
    SCOPED_TRACE(b.name);
    // Unequal scales in x and y, so that a turned or transposed image shows.
    const Area dest{8, 6, 4 * b.width, 3 * b.height};
    EmfBuilder emf = PointPicture(dest.x + dest.cx + 8, dest.y + dest.cy + 6);
    vellora_test::AddStretchDIBits(emf, dest, b);
    RecordingDevice device;
    const std::string pdf = vellora_test::PlayAlone(device, emf.Eof().Bytes());
    EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
    for (const auto& [code, text] : device.messages) EXPECT_NE(code, 2) << text;

    const Raster r = vellora_test::RenderColour(pdf);
    ASSERT_GT(r.width, 0);
    int wrong = 0;
    for (int y = 0; y < b.height; ++y)
      for (int x = 0; x < b.width; ++x) {
        const std::uint32_t seen = PixelAt(r, dest, b, x, y);
        if (seen != b.At(x, y) && ++wrong <= 3)
          ADD_FAILURE() << "pixel " << x << "," << y << ": " << HexColour(seen) << " for "
                        << HexColour(b.At(x, y));
      }
    // Nothing outside the destination.
    const double midX = dest.x + dest.cx / 2.0, midY = dest.y + dest.cy / 2.0;
    EXPECT_EQ(ColourAt(r, dest.x - 0.5, midY), kWhite);
    EXPECT_EQ(ColourAt(r, dest.x + dest.cx + 0.5, midY), kWhite);
    EXPECT_EQ(ColourAt(r, midX, dest.y - 0.5), kWhite);
    EXPECT_EQ(ColourAt(r, midX, dest.y + dest.cy + 0.5), kWhite);

    const auto images = vellora_test::ListImages(pdf);
    ASSERT_EQ(images.size(), 1u);
    ASSERT_GE(images[0].size(), 9u);
    EXPECT_EQ(images[0][8], "image");
    EXPECT_EQ(images[0][3], std::to_string(b.width));
    EXPECT_EQ(images[0][4], std::to_string(b.height));
    const bool mono = b.header.biBitCount == 1;
    const bool grey = mono && b.colors[0].rgbRed == b.colors[0].rgbBlue &&
                      (b.colors[0].rgbRed == 0 || b.colors[0].rgbRed == 255);
    EXPECT_EQ(images[0][5], mono ? (grey ? "gray" : "index") : "rgb");
    EXPECT_EQ(images[0][7], mono ? "1" : "8");
  }
}

TEST(PDFDeviceImagesFormats, JPEGConversionKeepsTheColoursAndTheOrientation) {
  if (!ToolsPresent()) GTEST_SKIP() << "poppler tools missing";
  // Quadrants of 16 x 16 pixels: red, green / blue, yellow; bottom-up and top-down rows.
  std::vector<std::uint32_t> quadrants;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      quadrants.push_back(y < 16 ? (x < 16 ? kRed : kGreen) : (x < 16 ? kBlue : kYellow));
  for (const std::string format : {"24", "32"}) {
    for (const bool topDown : {false, true}) {
      SCOPED_TRACE(format + (topDown ? " top-down" : " bottom-up"));
      FormatBitmap b = vellora_test::PatternBitmap(format, 32, 32, {kRed});
      const std::size_t stride = b.bits.size() / 32, bytes = format == "24" ? 3 : 4;
      for (std::size_t y = 0; y < 32; ++y)
        for (std::size_t x = 0; x < 32; ++x) {
          const std::uint32_t c = quadrants[y * 32 + x];
          std::uint8_t* p = b.bits.data() + stride * (topDown ? y : 31 - y) + bytes * x;
          p[0] = static_cast<std::uint8_t>(c), p[1] = static_cast<std::uint8_t>(c >> 8);
          p[2] = static_cast<std::uint8_t>(c >> 16);
        }
      if (topDown) b.header.biHeight = -32;
      const Area dest{10, 10, 64, 64};
      EmfBuilder emf = PointPicture(84, 84);
      vellora_test::AddStretchDIBits(emf, dest, b);
      RecordingDevice device;
      device.options.images.jpegConversion = true;
      device.options.images.jpegQuality = 100;
      const std::string pdf = vellora_test::PlayAlone(device, emf.Eof().Bytes());
      const auto images = vellora_test::ListImages(pdf);
      ASSERT_EQ(images.size(), 1u);
      EXPECT_EQ(images[0][8], "jpeg");
      const Raster r = vellora_test::RenderColour(pdf);
      ASSERT_GT(r.width, 0);
      // Inside each quadrant, away from the colour edges that JPEG blurs.
      const std::pair<double, double> centres[] = {{26, 26}, {58, 26}, {26, 58}, {58, 58}};
      const std::uint32_t expected[] = {kRed, kGreen, kBlue, kYellow};
      for (int i = 0; i < 4; ++i) {
        const std::uint32_t seen = ColourAt(r, centres[i].first, centres[i].second);
        EXPECT_TRUE(CloseColour(seen, expected[i], 24))
            << i << ": " << HexColour(seen) << " for " << HexColour(expected[i]);
      }
    }
  }
}

// A way of addressing page points (y down from the top left) in logical units.
struct Mapping {
  const char* name;
  std::function<void(EmfBuilder&)> setUp;
  double sx, sy, oy;  // logical = (x * sx, oy + y * sy)
  Area Dest(int x, int y, int cx, int cy) const {
    const auto X = [&](double v) { return static_cast<qvplatform::LONG>(std::lround(v * sx)); };
    const auto Y = [&](double v) {
      return static_cast<qvplatform::LONG>(std::lround(oy + v * sy));
    };
    return Area{X(x), Y(y), X(x + cx) - X(x), Y(y + cy) - Y(y)};
  }
};

TEST(PDFDeviceImagesFormats, MappingsAndRowOrdersPlaceTheTopRowAtTheRecordsOrigin) {
  if (!ToolsPresent()) GTEST_SKIP() << "poppler tools missing";
  const double lometric = 254.0 / 72;
  const Mapping mappings[] = {
      {"MM_TEXT", [](EmfBuilder&) {}, 1, 1, 0},
      {"MM_LOMETRIC (y flip)", [](EmfBuilder& b) { b.SetMapMode(2); }, lometric, -lometric, 0},
      {"anisotropic, y up from the bottom",
       [](EmfBuilder& b) {
         b.SetMapMode(8);
         b.SetWindowOrg(0, 100);
         b.SetWindowExt(120, -100);
         b.SetViewportExt(120, 100);
       },
       1, -1, 100},
  };
  // Pixel (x, y) = {red, green, blue, yellow}[x + 2 y]: red top left, yellow bottom right.
  for (const Mapping& m : mappings) {
    for (const bool topDown : {false, true}) {
      SCOPED_TRACE(std::string(m.name) + (topDown ? ", top-down" : ", bottom-up"));
      FormatBitmap b = vellora_test::PatternBitmap("24", 2, 2, {kRed, kGreen, kBlue, kYellow});
      if (topDown) {
        std::swap_ranges(b.bits.begin(), b.bits.begin() + 8, b.bits.begin() + 8);
        b.header.biHeight = -2;
      }
      EmfBuilder emf = PointPicture(120, 100);
      m.setUp(emf);
      vellora_test::AddStretchDIBits(emf, m.Dest(20, 30, 60, 40), b);
      RecordingDevice device;
      const Raster r =
          vellora_test::RenderColour(vellora_test::PlayAlone(device, emf.Eof().Bytes()));
      ASSERT_GT(r.width, 0);
      EXPECT_EQ(HexColour(ColourAt(r, 35, 40)), HexColour(kRed));
      EXPECT_EQ(HexColour(ColourAt(r, 65, 40)), HexColour(kGreen));
      EXPECT_EQ(HexColour(ColourAt(r, 35, 60)), HexColour(kBlue));
      EXPECT_EQ(HexColour(ColourAt(r, 65, 60)), HexColour(kYellow));
      EXPECT_EQ(ColourAt(r, 19, 50), kWhite);
      EXPECT_EQ(ColourAt(r, 81, 50), kWhite);
      EXPECT_EQ(ColourAt(r, 50, 29), kWhite);
      EXPECT_EQ(ColourAt(r, 50, 71), kWhite);
    }
  }
}

TEST(PDFDeviceImagesFormats, TheSameBitmapDrawnByEveryBlitRecordIsOneXObject) {
  if (!ToolsPresent()) GTEST_SKIP() << "poppler tools missing";
  const FormatBitmap b = vellora_test::PatternBitmap("8", 3, 2, {kRed, kGreen, kBlue, kYellow});
  const vellora_test::TestDib dib = vellora_test::BuilderDib(b);
  EmfBuilder emf = PointPicture(200, 60);
  vellora_test::AddStretchDIBits(emf, {10, 10, 30, 20}, b);
  emf.BitBlt({50, 10, 30, 20}, qvplatform::SRCCOPY, dib);
  emf.StretchBlt({90, 10, 30, 20}, qvplatform::SRCCOPY, dib);
  vellora_test::AddStretchDIBits(emf, {130, 10, 60, 40}, b);
  RecordingDevice device;
  const std::string pdf = vellora_test::PlayAlone(device, emf.Eof().Bytes());
  EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
  const auto images = vellora_test::ListImages(pdf);
  ASSERT_EQ(images.size(), 4u);
  for (const auto& row : images) EXPECT_EQ(row[10], images[0][10]);  // the object number
  EXPECT_EQ(pdf.find("/qvk2"), std::string::npos);
  const Raster r = vellora_test::RenderColour(pdf);
  ASSERT_GT(r.width, 0);
  for (const double x : {10.0, 50.0, 90.0}) {
    EXPECT_EQ(HexColour(ColourAt(r, x + 5, 15)), HexColour(kRed));
    EXPECT_EQ(HexColour(ColourAt(r, x + 15, 25)), HexColour(kYellow));
  }
  EXPECT_EQ(HexColour(ColourAt(r, 160, 40)), HexColour(kYellow));
}

}  // namespace
}  // namespace vellora
