// Placing images on the page: the operators, the name each image is drawn under (its resource
// name, also when it was created under a pending name), and the calls that draw nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "image_test_host.h"

namespace vellora {
namespace {

using vellora_test::ImageTestHost;

// A 2 x 2 grey image: black, 0x55 / 0xAA, salt.
std::int32_t AddGrey(ImageTestHost& host, std::uint8_t salt = 0) {
  const std::uint8_t data[4] = {0, 85, 170, salt};
  return host.writer.AddImageData(0, data, sizeof data, qvImageRawGray, 2, 2);
}

TEST(ImageDraw, WritesThePlacementInContentUnits) {
  ImageTestHost host;
  host.yOrigin = 100;
  ASSERT_EQ(AddGrey(host), 1);
  host.writer.DrawImage(1, 5, 10, 30, 20.5f);
  EXPECT_EQ(host.content.Text(), "q 30 0 0 20.5 5 69.5 cm /qvk1 Do Q\n");
  ASSERT_EQ(host.prepared.size(), 1u);
  EXPECT_EQ(host.prepared[0], (std::array<std::int32_t, 4>{5, 10, 30, 20}));  // halves to even

  // A flipped y axis negates the height; a divisor of 10 divides all four coordinates.
  host.content.Reset();
  host.flipped = true;
  host.content.SetDivisor(10);
  host.writer.DrawImage(1, 50, 100, 300, 200);
  EXPECT_EQ(host.content.Text(), "q 30 0 0 -20 5 20 cm /qvk1 Do Q\n");
}

TEST(ImageDraw, NamesTheImageAsTheResourcesDo) {
  ImageTestHost host;
  host.yOrigin = 50;
  host.pending = "Logo 1";  // becomes the image's resource name
  ASSERT_EQ(AddGrey(host), 1);
  ASSERT_EQ(AddGrey(host, 1), 2);
  EXPECT_EQ(host.writer.ResourceName(1), "Logo 1");
  EXPECT_EQ(host.writer.ResourceName(2), "qvk2");
  host.writer.DrawImage(1, 0, 0, 10, 10);
  host.writer.DrawImage(2, 0, 0, 10, 10);
  // Through a pending name (which stays pending) and its alias.
  host.pending = "second";
  host.aliases.AddObject("auto__SECOND", 2);
  host.writer.DrawImage(0, 0, 0, 10, 10);
  host.writer.DrawImage(-1, 0, 0, 10, 10);
  EXPECT_EQ(host.pending, "second");
  // A name the resources do not list draws nothing: no "Do" of a missing XObject.
  host.pending = "Unlisted";
  host.writer.DrawImage(0, 0, 0, 10, 10);
  host.pending.clear();
  EXPECT_EQ(host.content.Text(),
            "q 10 0 0 10 0 40 cm /Logo#201 Do Q\n"
            "q 10 0 0 10 0 40 cm /qvk2 Do Q\n"
            "q 10 0 0 10 0 40 cm /qvk2 Do Q\n"
            "q 10 0 0 10 0 40 cm /qvk2 Do Q\n");

  // The file names the image under the same key, and poppler finds it.
  host.content.Reset();
  host.writer.DrawImage(1, 0, 0, 10, 10);
  const std::string pdf = host.Finish(50, 50);
  EXPECT_NE(pdf.find("/XObject << /Logo#201 "), std::string::npos);
  if (vellora_test::HaveTool("pdftoppm")) {
    const vellora_test::Raster raster = vellora_test::RenderColour(pdf);
    ASSERT_GT(raster.width, 0);
    EXPECT_EQ(vellora_test::PointColor(raster, 0, 0), 0x000000u);
    EXPECT_EQ(vellora_test::PointColor(raster, 9, 0), 0x555555u);
    EXPECT_EQ(vellora_test::PointColor(raster, 0, 9), 0xAAAAAAu);
  }
}

TEST(ImageDraw, DrawsNothingWithoutAnImageOrAnArea) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Call {
    std::int32_t number;
    const char* pending;
    float x, y, w, h;
  } calls[] = {
      {0, "", 0, 0, 10, 10},     {-1, "", 0, 0, 10, 10},     {2, "", 0, 0, 10, 10},
      {1, "", 0, 0, 0.005f, 10}, {1, "", 0, 0, 10, -0.005f}, {1, "", nan, 0, 10, 10},
      {1, "", 0, inf, 10, 10},   {1, "", 0, 0, 10, nan},
  };
  for (const Call& call : calls) {
    ImageTestHost host;
    ASSERT_EQ(AddGrey(host), 1);
    host.pending = call.pending;
    host.writer.DrawImage(call.number, call.x, call.y, call.w, call.h);
    EXPECT_EQ(host.content.Text(), "") << call.number << " " << call.w;
    EXPECT_TRUE(host.prepared.empty());
  }
}

}  // namespace
}  // namespace vellora
