// A bitmap whose pixels end early: the image holds only the rows the data gives, and the
// destination narrowed by FitDestination puts each of them where the whole bitmap would have
// put it.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "image_test_host.h"
#include "image_test_pictures.h"

namespace vellora {
namespace {

using vellora_test::Encode24;
using vellora_test::EncodeIndexed;
using vellora_test::EncodeRle;
using vellora_test::ImageTestHost;
using vellora_test::Pattern;
using vellora_test::Picture;
using vellora_test::TestDib;

struct Short {
  const char* name;
  TestDib dib;
  std::size_t bitsSize;         // pixel bytes handed over
  qvplatform::DWORD imageSize;  // biSizeImage
  std::int32_t rows;            // rows of the image
  bool atTop;                   // the missing rows are the top of the picture
};

TEST(ImageShortDib, KeepsTheRowsTheDataHolds) {
  const Picture picture = Pattern(4, 5, {0x123456, 0xFEDCBA, 0x00FF7F});
  const std::vector<std::uint32_t> palette = {0x123456, 0xFEDCBA, 0x00FF7F};
  const TestDib up = Encode24(picture, false), down = Encode24(picture, true);
  const TestDib indexed = EncodeIndexed(picture, 8, palette, false);
  const Short cases[] = {
      {"bottom-up, 3 rows of pixels", up, 3 * 12, 0, 3, true},
      {"bottom-up, 3 rows and part of a fourth", up, 3 * 12 + 5, 0, 3, true},
      {"bottom-up, image size of 3 rows", up, up.bits.size(), 3 * 12, 3, true},
      {"top-down, 3 rows of pixels", down, 3 * 12, 0, 3, false},
      {"8-bit bottom-up, 2 rows", indexed, 2 * 4, 0, 2, true},
  };
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  ImageTestHost host;
  host.yOrigin = 10;
  int x = 1;
  for (const Short& c : cases) {
    qvplatform::BITMAPINFOHEADER header = c.dib.header;
    header.biSizeImage = c.imageSize;
    const TQVDIBImage image = host.writer.CreateDIBImage(
        header, nullptr, c.dib.colors.data(), static_cast<qvplatform::DWORD>(c.dib.colors.size()),
        c.dib.bits.data(), c.bitsSize, false);
    ASSERT_GT(image.number, 0) << c.name;
    EXPECT_EQ(image.rows, c.rows) << c.name;
    EXPECT_EQ(image.droppedRows, c.rows - 5) << c.name;
    EXPECT_EQ(image.droppedAtTop, c.atTop) << c.name;
    float y = 2, h = 5;
    image.FitDestination(y, h);
    EXPECT_FLOAT_EQ(y, c.atTop ? 2.0f + 5 - static_cast<float>(c.rows) : 2.0f) << c.name;
    EXPECT_FLOAT_EQ(h, static_cast<float>(c.rows)) << c.name;
    host.writer.DrawImage(image.number, static_cast<float>(x), y, 4, h);
    x += 5;
  }
  const std::string pdf = host.Finish(static_cast<float>(x), 10);
  const vellora_test::Raster raster = vellora_test::RenderColour(pdf);
  ASSERT_GT(raster.width, 0);
  x = 1;
  for (const Short& c : cases) {
    const int first = c.atTop ? 5 - c.rows : 0;
    for (int py = 0; py < 5; ++py)
      for (int px = 0; px < 4; ++px) {
        const bool kept = py >= first && py < first + c.rows;
        EXPECT_EQ(vellora_test::PointColor(raster, x + px, 2 + py),
                  kept ? picture.At(px, py) : 0xFFFFFFu)
            << c.name << " at " << px << "," << py;
      }
    x += 5;
  }
}

TEST(ImageShortDib, NothingOrDamagedRunsStoreNoImageOrWhatTheyHold) {
  ImageTestHost host;
  const TestDib dib = Encode24(Pattern(4, 5, {0x123456}), false);
  EXPECT_EQ(host.writer.CreateDIBImage(dib.header, nullptr, nullptr, 0, dib.bits.data(), 11, false)
                .number,
            0);
  EXPECT_EQ(host.writer.CreateDIBImage(dib.header, nullptr, nullptr, 0, nullptr, 100, false).number,
            0);
  EXPECT_EQ(host.messages.size(), 2u);
  // Run-length data cut in the middle: the rows it reaches are kept, the image is whole.
  const TestDib rle = EncodeRle(Pattern(6, 4, {0x102030, 0x405060}), 8, {0x102030, 0x405060});
  for (std::size_t cut = 1; cut < rle.bits.size(); ++cut) {
    const std::vector<std::uint8_t> part(rle.bits.begin(),
                                         rle.bits.begin() + static_cast<std::ptrdiff_t>(cut));
    qvplatform::BITMAPINFOHEADER header = rle.header;
    header.biSizeImage = 0;
    const TQVDIBImage image =
        host.writer.CreateDIBImage(header, nullptr, rle.colors.data(), 2, part.data(), cut, false);
    EXPECT_GT(image.number, 0) << cut;
    EXPECT_EQ(image.rows, 4) << cut;
  }
}

}  // namespace
}  // namespace vellora
