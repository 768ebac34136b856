// Equal images are stored once: the same bitmap drawn twice and the same data added twice give
// one XObject, and the content key tells apart what only looks alike (pixels without an image
// size, swapped 1-bit tables, other palettes, a colour key).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "image_test_host.h"
#include "image_test_pictures.h"

namespace vellora {
namespace {

using vellora_test::Encode24;
using vellora_test::EncodeIndexed;
using vellora_test::ImageTestHost;
using vellora_test::Pattern;
using vellora_test::TestDib;

TQVDIBImage Draw(ImageTestHost& host, const TestDib& dib, bool oneBitDirect = false) {
  return host.writer.CreateDIBImage(dib.header, dib.masks, dib.colors.data(),
                                    static_cast<qvplatform::DWORD>(dib.colors.size()),
                                    dib.bits.data(), dib.bits.size(), oneBitDirect);
}

TEST(ImageReuse, SameBitmapDrawnTwiceIsOneImage) {
  ImageTestHost host;
  const TestDib dib = Encode24(Pattern(9, 7, {0x123456, 0xABCDEF, 0x00FF00}), false);
  TestDib copy = dib;  // equal content in other memory
  copy.header.biSizeImage = 0;
  const TQVDIBImage first = Draw(host, dib);
  const TQVDIBImage second = Draw(host, copy);
  ASSERT_EQ(first.number, 1);
  EXPECT_FALSE(first.reused);
  EXPECT_EQ(second.number, 1);
  EXPECT_TRUE(second.reused);
  EXPECT_EQ(second.stream, first.stream);
  EXPECT_EQ(host.ImageCount(), 1u);
}

struct Pair {
  const char* name;
  std::function<void(TestDib& a, TestDib& b, ImageTestHost& host)> make;  // host: for b
  bool oneBitDirect;
};

TEST(ImageReuse, KeyTellsApartImagesThatOnlyLookAlike) {
  const Pair pairs[] = {
      {"two different DIBs of one size, image size 0",
       [](TestDib& a, TestDib& b, ImageTestHost&) {
         a = Encode24(Pattern(6, 4, {0x112233, 0x445566}), false);
         b = Encode24(Pattern(6, 4, {0x445566, 0x112233}), false);
         a.header.biSizeImage = b.header.biSizeImage = 0;
       },
       false},
      {"1-bit bits under swapped tables",
       [](TestDib& a, TestDib& b, ImageTestHost&) {
         a = EncodeIndexed(Pattern(9, 3, {0x000000, 0xFFFFFF}), 1, {0x000000, 0xFFFFFF}, false);
         b = a;
         std::swap(b.colors[0], b.colors[1]);
       },
       true},
      {"8-bit bits under another palette",
       [](TestDib& a, TestDib& b, ImageTestHost&) {
         a = EncodeIndexed(Pattern(5, 3, {0x102030, 0x405060}), 8, {0x102030, 0x405060}, false);
         b = a;
         b.colors[1] = {0x01, 0x02, 0x03, 0};
       },
       false},
      {"the same bitmap with a colour key",
       [](TestDib& a, TestDib& b, ImageTestHost& host) {
         a = Encode24(Pattern(5, 3, {0x102030, 0xFFFFFF}), false);
         b = a;
         host.options.transparent = true;
         host.options.transparentColor = 0xFFFFFF;
       },
       false},
      {"the same 1-bit bitmap with white masked",
       [](TestDib& a, TestDib& b, ImageTestHost& host) {
         a = EncodeIndexed(Pattern(9, 3, {0x000000, 0xFFFFFF}), 1, {0x000000, 0xFFFFFF}, false);
         b = a;
         host.options.modes.Include(qvAllowTransparentBit);
         host.options.modes.Include(qvWhiteBrushIsTransparent);
       },
       true},
  };
  for (const Pair& pair : pairs) {
    ImageTestHost host;
    TestDib a, b;
    pair.make(a, b, host);
    const vellora::TQVImageOptions later = host.options;
    host.options = {};
    EXPECT_EQ(Draw(host, a, pair.oneBitDirect).number, 1) << pair.name;
    host.options = later;
    const TQVDIBImage second = Draw(host, b, pair.oneBitDirect);
    EXPECT_EQ(second.number, 2) << pair.name;
    EXPECT_FALSE(second.reused) << pair.name;
    EXPECT_EQ(host.ImageCount(), 2u) << pair.name;
  }
}

TEST(ImageReuse, SameDataTwiceAndThePendingNameBecomesAnAlias) {
  ImageTestHost host;
  const std::vector<std::uint8_t> grey(12, 0x80);
  const std::vector<std::uint8_t> other(12, 0x81);
  EXPECT_EQ(host.writer.AddImageData(0, grey.data(), grey.size(), qvImageRawGray, 4, 3), 1);
  host.pending = "Logo";
  EXPECT_EQ(host.writer.AddImageData(0, grey.data(), grey.size(), qvImageRawGray, 4, 3), 1);
  EXPECT_TRUE(host.pending.empty());
  ASSERT_EQ(host.aliases.Count(), 1);
  EXPECT_EQ(host.aliases[0], "auto__LOGO");
  EXPECT_EQ(host.aliases.Objects(0), 1);
  // The same bytes as another format, and other bytes, are other images.
  EXPECT_EQ(host.writer.AddImageData(0, grey.data(), grey.size(), qvImageRawRGB, 2, 2), 2);
  EXPECT_EQ(host.writer.AddImageData(0, other.data(), other.size(), qvImageRawGray, 4, 3), 3);
  // Fax data is never shared.
  const std::uint8_t fax[] = {0x36, 0xF0};
  EXPECT_EQ(host.writer.AddImageData(0, fax, sizeof fax, qvImageCCITTG4, 8, 2), 4);
  EXPECT_EQ(host.writer.AddImageData(0, fax, sizeof fax, qvImageCCITTG4, 8, 2), 5);
  EXPECT_EQ(host.ImageCount(), 5u);
  EXPECT_TRUE(host.messages.empty());
}

TEST(ImageReuse, DataThatCannotBeAnImageAddsNothing) {
  ImageTestHost host;
  const std::vector<std::uint8_t> samples(11, 0x40);
  struct Bad {
    const std::uint8_t* data;
    std::size_t length;
    std::int32_t format, width, height;
    const char* message;  // nullptr: no message
  } bad[] = {
      {samples.data(), samples.size(), 11, 2, 2, "Unknow data format"},
      {samples.data(), 0, qvImageRawGray, 2, 2, "Unknow data format"},
      {nullptr, 4, qvImageRawGray, 2, 2, "Unknow data format"},
      {samples.data(), samples.size(), qvImageRawRGB, 2, 2, "Image data too short"},
      {samples.data(), samples.size(), qvImageRawGray, 0, 2, nullptr},
      {samples.data(), samples.size(), qvImageRawGray, 3, -1, nullptr},
      {samples.data(), samples.size(), qvImageJPEGRGB, 2, 2, "Bad JPEG data"},
  };
  for (const Bad& b : bad) {
    host.messages.clear();
    EXPECT_EQ(host.writer.AddImageData(0, b.data, b.length, b.format, b.width, b.height), -1)
        << b.format << " " << b.length;
    if (b.message != nullptr) {
      ASSERT_EQ(host.messages.size(), 1u) << b.message;
      EXPECT_EQ(host.messages[0], b.message);
    } else {
      EXPECT_TRUE(host.messages.empty());
    }
  }
  EXPECT_EQ(host.ImageCount(), 0u);
  EXPECT_EQ(host.writer.AddBitmap(0), -1);
  EXPECT_EQ(host.messages.back(), "");  // message 2 alone: "Invalid bitmap"
}

}  // namespace
}  // namespace vellora
