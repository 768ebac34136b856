// "ChKL" comment records: the JPEG picture they carry is drawn at their rectangle (upright
// also under a y-up mapping) and stored once however often it comes; a record that fails any
// of its tests, or is cut anywhere, draws nothing and says nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "QVPDFDev/resources/pdf_resource.h"
#include "pdf_device_images_records.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::Chkl;
using vellora_test::CloseColour;
using vellora_test::EmfBuilder;
using vellora_test::HexColour;
using vellora_test::kRenderScale;
using vellora_test::QuadrantJpeg;
using vellora_test::Raster;
using vellora_test::RecordingDevice;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00,
                        kWhite = 0xFFFFFF;

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t ColourAt(const Raster& r, int x, int y) {
  return r.At(x * kRenderScale + kRenderScale / 2, y * kRenderScale + kRenderScale / 2);
}

TEST(PDFDeviceImagesComments, AJPEGRecordIsDrawnAtItsRectangle) {
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  const std::vector<std::uint8_t> jpeg = QuadrantJpeg();
  ASSERT_FALSE(jpeg.empty());
  const double lometric = 254.0 / 72;
  struct Mapping {
    const char* name;
    std::function<void(EmfBuilder&)> setUp;
    double scale;  // logical units per point, negative for y up
  } mappings[] = {{"MM_TEXT", [](EmfBuilder&) {}, 1},
                  {"MM_LOMETRIC (y flip)", [](EmfBuilder& b) { b.SetMapMode(2); }, -lometric}};
  for (const Mapping& m : mappings) {
    SCOPED_TRACE(m.name);
    const auto L = [](double v) { return static_cast<qvplatform::LONG>(std::lround(v)); };
    const double sx = std::fabs(m.scale), sy = m.scale;
    EmfBuilder emf = vellora_test::PointPicture(90, 70);
    m.setUp(emf);
    // Page points (10, 10) to (74, 58), drawn twice: one image.
    const auto record = Chkl({L(10 * sx), L(10 * sy), L(74 * sx), L(58 * sy)}, jpeg);
    emf.GdiComment(record).GdiComment(record);
    RecordingDevice device;
    const std::string pdf = vellora_test::PlayAlone(device, emf.Eof().Bytes());
    EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
    EXPECT_TRUE(device.messages.size() == 1 && device.messages[0].first == 20);  // the page
    const auto images = vellora_test::ListImages(pdf);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0][8], "jpeg");
    EXPECT_EQ(images[0][10], images[1][10]);
    const Raster r = vellora_test::RenderColour(pdf);
    ASSERT_GT(r.width, 0);
    const int points[][2] = {{26, 22}, {58, 22}, {26, 46}, {58, 46}};
    const std::uint32_t expected[] = {kRed, kGreen, kBlue, kYellow};
    for (int i = 0; i < 4; ++i) {
      const std::uint32_t seen = ColourAt(r, points[i][0], points[i][1]);
      EXPECT_TRUE(CloseColour(seen, expected[i], 24)) << i << ": " << HexColour(seen);
    }
    for (const auto& [x, y] : {std::pair{9, 30}, {75, 30}, {40, 9}, {40, 59}})
      EXPECT_EQ(ColourAt(r, x, y), kWhite) << x << "," << y;
  }
}

// Records that must draw nothing: device calls inside a page, the page's images counted.
class ChklRecords : public ::testing::Test {
 protected:
  void SetUp() override {
    device.BeginDoc(576, 800, 72, 0);
    device.BeginPage(0, 0, 0, 0, 0);
    device.messages.clear();
  }
  void TearDown() override { device.EndDoc(); }
  std::size_t Images() { return device.SharedResources()->XObjects().Count(); }
  // Exactly the bytes given, so that a read past them is a sanitizer finding.
  void Comment(const std::vector<std::uint8_t>& bytes) {
    const std::vector<std::uint8_t> exact(bytes);
    device.GdiComment({exact.data(), exact.size()});
  }

  RecordingDevice device;
  const std::vector<std::uint8_t> jpeg = QuadrantJpeg();
};

TEST_F(ChklRecords, ARecordFailingAnyTestIsIgnoredWithoutAMessage) {
  const qvplatform::RECTL rect{10, 10, 74, 58};
  const std::vector<std::uint8_t> good = Chkl(rect, jpeg);
  struct Bad {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> spoil;
  } cases[] = {
      {"version 21", [](auto& r) { Put32(r, 4, 21); }},
      {"header size 71", [](auto& r) { Put32(r, 8, 71); }},
      {"format PNG", [](auto& r) { std::memcpy(r.data() + 12, "P\0N\0G\0\0\0", 8); }},
      {"format JPEGX", [](auto& r) { r[20] = 'X'; }},
      {"70000 units wide", [](auto& r) { Put32(r, 54, 10 + 70000); }},
      {"70000 units high, upwards",
       [](auto& r) { Put32(r, 58, static_cast<std::uint32_t>(-69000)); }},
      {"picture width 0", [](auto& r) { Put32(r, 62, 0); }},
      {"picture height 70000", [](auto& r) { Put32(r, 66, 70000); }},
      {"length 0", [](auto& r) { Put32(r, 76, 0); }},
      {"negative length", [](auto& r) { Put32(r, 76, 0xFFFFFFFF); }},
      {"length one past the data",
       [](auto& r) { Put32(r, 76, static_cast<std::uint32_t>(r.size() - 80 + 1)); }},
      {"length that wraps 80 + length", [](auto& r) { Put32(r, 76, 0x7FFFFFF0); }},
  };
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> record = good;
    c.spoil(record);
    Comment(record);
    EXPECT_EQ(Images(), 0u);
    EXPECT_TRUE(device.messages.empty());
  }
  Comment(good);
  EXPECT_EQ(Images(), 1u);
}

TEST_F(ChklRecords, DataThatIsNoJPEGAndEveryCutRecordDrawNothing) {
  std::vector<std::uint8_t> notJpeg(jpeg.size(), 0x5A);
  Comment(Chkl({0, 0, 20, 20}, notJpeg));
  EXPECT_EQ(Images(), 0u);
  // The JPEG cut short inside a record whose length fits it.
  Comment(Chkl({0, 0, 20, 20}, std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + 40)));
  EXPECT_EQ(Images(), 0u);
  const std::vector<std::uint8_t> good = Chkl({0, 0, 20, 20}, jpeg);
  for (std::size_t n = 0; n < good.size(); ++n)
    Comment(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(n)));
  EXPECT_EQ(Images(), 0u);
}

}  // namespace
}  // namespace vellora
