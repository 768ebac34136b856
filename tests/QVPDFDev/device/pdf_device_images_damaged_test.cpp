// Damaged bitmaps reaching the PDF device: bitmap records cut anywhere, and bitmaps handed to
// the drawing slot directly whose header, masks, colour table or pixels are short or lie, or
// whose sizes are out of range. Each gives a valid file and never a read past its bytes (the
// sanitizer build runs these with exactly-sized buffers).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "QVPDFDev/resources/pdf_resource.h"
#include "pdf_device_images_records.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using qvplatform::BITMAPINFOHEADER;
using vellora_test::EmfBuilder;
using vellora_test::FormatBitmap;
using vellora_test::RecordingDevice;

using Buffer = std::vector<std::uint8_t>;

TEST(PDFDeviceImagesDamaged, BitmapRecordsCutAnywherePlayIntoAValidFile) {
  const std::vector<std::uint32_t> colors = {0x102030, 0xF0E0D0, 0x00FF7F, 0x8000FF};
  for (const char* format : {"1", "4", "8", "rle8", "24", "32"}) {
    SCOPED_TRACE(format);
    const FormatBitmap b = vellora_test::PatternBitmap(format, 7, 5, colors);
    EmfBuilder whole;
    const std::size_t start = whole.Offset();
    vellora_test::AddStretchDIBits(whole, {0, 0, 14, 10}, b);
    const std::vector<qvplatform::BYTE> bytes = whole.Bytes();
    // The record's body as written, and a metafile for each shorter size.
    const std::vector<qvplatform::BYTE> body(bytes.begin() + static_cast<long>(start) + 8,
                                             bytes.end());
    for (std::size_t n = 0; n < body.size(); n += (n < 120 ? 1 : 7)) {
      EmfBuilder cut = vellora_test::PointPicture(20, 20);
      cut.AppendRaw(
          qvplatform::EMR_STRETCHDIBITS, static_cast<qvplatform::DWORD>(8 + n),
          std::vector<qvplatform::BYTE>(body.begin(), body.begin() + static_cast<long>(n)));
      RecordingDevice device;
      const std::string pdf = vellora_test::PlayAlone(device, cut.Eof().Bytes());
      // qpdf for a sample of the sizes: every size runs under the sanitizers.
      if (n % 16 == 0) {
        ASSERT_EQ(vellora_test::QpdfProblems(pdf), "") << n;
      }
    }
  }
}

// A document with one open page, and the slot called with exactly-sized copies of its bytes.
class DrawnDirectly : public ::testing::Test {
 protected:
  void SetUp() override {
    device.BeginDoc(576, 800, 72, 0);
    device.BeginPage(0, 0, 0, 0, 0);
  }
  std::int32_t Draw(const BITMAPINFOHEADER& h, const Buffer& table, const Buffer& bits,
                    bool hasTable, bool crop = false, qvplatform::RECTL source = {0, 0, 0, 0}) {
    const Buffer header(reinterpret_cast<const std::uint8_t*>(&h),
                        reinterpret_cast<const std::uint8_t*>(&h) + sizeof h);
    return device.DrawDIBits(hasTable, source.left, source.top, source.right, source.bottom, 10, 10,
                             40, 30, crop, {bits.data(), bits.size()},
                             {header.data(), header.size()}, {table.data(), table.size()});
  }
  static BITMAPINFOHEADER Header(int width, int height, int bitCount, std::uint32_t compression,
                                 std::uint32_t colors = 0, std::uint32_t sizeImage = 0) {
    BITMAPINFOHEADER h;
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<qvplatform::WORD>(bitCount);
    h.biCompression = compression;
    h.biClrUsed = colors;
    h.biSizeImage = sizeImage;
    return h;
  }
  std::string Finish() {
    device.EndDoc();
    return vellora_test::DocumentBytes(device);
  }

  RecordingDevice device;
};

TEST_F(DrawnDirectly, ShortOrLyingPartsDrawWhatTheBytesHoldOrNothing) {
  using qvplatform::BI_BITFIELDS;
  using qvplatform::BI_RGB;
  using qvplatform::BI_RLE4;
  using qvplatform::BI_RLE8;
  struct Case {
    const char* name;
    BITMAPINFOHEADER header;
    Buffer table, bits;
    bool hasTable;
    bool drawn;
  };
  const Buffer rle8 = {4, 1, 0, 0, 4, 2, 0, 1};  // two rows of four pixels, then the end
  const Case cases[] = {
      {"header shorter than 40 bytes", Header(4, 4, 24, BI_RGB), {}, Buffer(64, 1), false, false},
      {"8 bits, pixels for one row of 100", Header(100, 100, 8, BI_RGB, 3), Buffer(12, 7),
       Buffer(100, 2), true, true},
      {"8 bits, no pixels", Header(100, 100, 8, BI_RGB, 3), Buffer(12, 7), {}, true, false},
      {"a table claiming every colour, one entry given", Header(4, 2, 8, BI_RGB, 0xFFFFFFFF),
       Buffer(4, 9), Buffer(8, 200), true, true},
      {"palette indexes, an odd number of bytes", Header(4, 2, 8, BI_RGB, 2), Buffer(3, 1),
       Buffer(8, 1), false, true},
      {"bitfields without their masks", Header(4, 2, 32, BI_BITFIELDS), Buffer(8, 0xFF),
       Buffer(32, 1), false, false},
      {"bitfields with zero masks: black", Header(4, 2, 16, BI_BITFIELDS), Buffer(12, 0),
       Buffer(16, 1), false, true},
      {"RLE8 whose image size exceeds its bytes", Header(4, 2, 8, BI_RLE8, 2, 5000), Buffer(8, 3),
       rle8, true, true},
      {"RLE8 without its end", Header(4, 8, 8, BI_RLE8, 2), Buffer(8, 3),
       Buffer(rle8.begin(), rle8.begin() + 5), true, true},
      {"RLE4 of escapes past the width",
       Header(3, 2, 4, BI_RLE4, 2),
       Buffer(8, 3),
       {0, 2, 9, 9, 0, 5, 0x12, 0x34, 0x50, 0, 0, 1},
       true,
       true},
      {"2 bits", Header(4, 2, 2, BI_RGB, 4), Buffer(16, 1), Buffer(8, 1), true, false},
      {"width 10001", Header(10001, 1, 24, BI_RGB), {}, Buffer(30004, 1), false, false},
      {"height -10001", Header(1, -10001, 24, BI_RGB), {}, Buffer(40004, 1), false, false},
      {"negative width", Header(-4, 2, 24, BI_RGB), {}, Buffer(32, 1), false, false},
      {"JPEG compression", Header(4, 2, 24, 4), {}, Buffer(32, 1), false, false},
  };
  std::size_t images = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BITMAPINFOHEADER h = c.header;
    std::int32_t number;
    if (std::string(c.name) == "header shorter than 40 bytes") {
      const Buffer header(reinterpret_cast<const std::uint8_t*>(&h),
                          reinterpret_cast<const std::uint8_t*>(&h) + 39);
      number =
          device.DrawDIBits(false, 0, 0, 0, 0, 10, 10, 40, 30, false,
                            {c.bits.data(), c.bits.size()}, {header.data(), header.size()}, {});
    } else {
      number = Draw(h, c.table, c.bits, c.hasTable);
    }
    EXPECT_EQ(number > 0, c.drawn);
    if (number > 0) ++images;
  }
  EXPECT_EQ(device.SharedResources()->XObjects().Count(), images);
  EXPECT_EQ(vellora_test::QpdfProblems(Finish()), "");
}

TEST_F(DrawnDirectly, CropsOfExactlySizedBitmapsAndDestinationsThatAreNoNumbers) {
  // 1-bit rows of 9 pixels cut at every bit offset and width: the shifted reads stay inside
  // each row.
  const BITMAPINFOHEADER mono = Header(9, 3, 1, qvplatform::BI_RGB, 2);
  const Buffer table = {0, 0, 0, 0, 255, 255, 255, 0};
  const Buffer bits = {0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0, 0xFF, 0x80, 0, 0};
  for (int x = 0; x < 9; ++x)
    for (int w = 1; x + w <= 9; ++w)
      EXPECT_GT(Draw(mono, table, bits, true, true, {x, 1, w, 2}), 0);
  // Crops of a bitmap whose pixels end early are not taken: the bitmap is drawn whole.
  const BITMAPINFOHEADER tall = Header(4, 50, 24, qvplatform::BI_RGB);
  EXPECT_GT(Draw(tall, {}, Buffer(16 * 3, 9), false, true, {1, 1, 2, 2}), 0);
  // Destinations that are not finite, and sizes too small to see.
  const Buffer header(reinterpret_cast<const std::uint8_t*>(&tall),
                      reinterpret_cast<const std::uint8_t*>(&tall) + sizeof tall);
  const Buffer pixels(16 * 50, 1);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (const auto& d : {std::array<float, 4>{nan, 0, 10, 10},
                        {0, inf, 10, 10},
                        {0, 0, inf, 10},
                        {0, 0, 10, nan},
                        {0, 0, 0.005f, 10},
                        {0, 0, 10, -0.005f}})
    EXPECT_EQ(device.DrawDIBits(false, 0, 0, 4, 50, d[0], d[1], d[2], d[3], true,
                                {pixels.data(), pixels.size()}, {header.data(), header.size()}, {}),
              0);
  EXPECT_EQ(vellora_test::QpdfProblems(Finish()), "");
}

TEST_F(DrawnDirectly, PixelsThatEndEarlyKeepTheirPlaceAndSize) {
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  // 2 x 10 pixels at 24 bits, pixels for 5 rows only, drawn into 20 x 100 points: a bottom-up
  // bitmap holds its bottom rows, a top-down one its top rows; each row stays 10 points high.
  device.EndDoc();
  for (const bool topDown : {false, true}) {
    SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
    RecordingDevice d;
    d.BeginDoc(576, 800, 72, 0);
    d.BeginPage(40, 120, 72, 72, 0);
    const BITMAPINFOHEADER h = Header(2, topDown ? -10 : 10, 24, qvplatform::BI_RGB);
    const Buffer header(reinterpret_cast<const std::uint8_t*>(&h),
                        reinterpret_cast<const std::uint8_t*>(&h) + sizeof h);
    const Buffer bits(8 * 5, 0);  // black
    EXPECT_GT(d.DrawDIBits(false, 0, 0, 2, 10, 10, 10, 20, 100, true, {bits.data(), bits.size()},
                           {header.data(), header.size()}, {}),
              0);
    d.EndDoc();
    const vellora_test::Raster r = vellora_test::RenderColour(vellora_test::DocumentBytes(d));
    ASSERT_GT(r.width, 0);
    const auto dark = [&r](int y) {
      return r.At(20 * vellora_test::kRenderScale, y * vellora_test::kRenderScale) == 0;
    };
    for (int y = 12; y < 60; y += 4) EXPECT_EQ(dark(y), topDown) << y;
    for (int y = 62; y < 110; y += 4) EXPECT_EQ(dark(y), !topDown) << y;
    EXPECT_FALSE(dark(8));
    EXPECT_FALSE(dark(112));
  }
}

}  // namespace
}  // namespace vellora
