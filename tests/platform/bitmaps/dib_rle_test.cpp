#include <gtest/gtest.h>

#include <vector>

#include "dib_test_util.h"
#include "qvplatform/dib_convert.h"

namespace qvplatform {
namespace {

using namespace qvplatform::testing;

struct Decoded {
  DibConvertResult result;
  std::vector<std::uint32_t> picture;  // top row first
};

Decoded Decode(DWORD compression, LONG width, LONG height, const std::vector<BYTE>& data) {
  const std::vector<RGBQUAD> table = Table({kBlack, kRed, kGreen, kBlue, kWhite});
  DibView v;
  v.format = {width, height, WORD(compression == BI_RLE8 ? 8 : 4), compression, {}};
  v.colors = table.data();
  v.colorCount = DWORD(table.size());
  // An exact-size heap copy, so that a read past the data is caught by the sanitizer.
  const std::vector<BYTE> exact(data);
  v.bits = exact.data();
  v.bitsSize = exact.size();
  Decoded d;
  std::vector<BYTE> rows;
  d.result = ConvertDib(v, DibTarget{}, &rows);
  if (d.result.error == DibError::kOk)
    d.picture = Picture24(rows, static_cast<std::uint32_t>(width),
                          static_cast<std::uint32_t>(height), false);
  return d;
}

using Picture = std::vector<std::uint32_t>;

TEST(Rle8, RunsEscapesDeltaAndAbsoluteRuns) {
  const std::vector<BYTE> data = {
      0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x01, 0x03, 0x00, 0x00,  // row 0: R R . B
      0x00, 0x03, 0x02, 0x03, 0x04, 0x00, 0x00, 0x00,              // row 1: G B W (padded)
      0x06, 0x02, 0x00, 0x01};                                     // row 2: 6 x G, cut at 4
  const Decoded d = Decode(BI_RLE8, 4, 3, data);
  ASSERT_EQ(d.result.error, DibError::kOk);
  EXPECT_FALSE(d.result.damaged);
  EXPECT_EQ(d.picture, (Picture{kGreen, kGreen, kGreen, kGreen,  //
                                kGreen, kBlue, kWhite, kBlack,   //
                                kRed, kRed, kBlack, kBlue}));
}

TEST(Rle8, DeltaAndEndOfLineAcrossRows) {
  // Delta up two rows and right one, a pixel there, then runs past the top are dropped.
  const std::vector<BYTE> data = {0x00, 0x02, 0x01, 0x02, 0x01, 0x04, 0x00, 0x00,
                                  0x03, 0x01, 0x00, 0x00, 0x03, 0x01, 0x00, 0x01};
  const Decoded d = Decode(BI_RLE8, 3, 3, data);
  ASSERT_EQ(d.result.error, DibError::kOk);
  EXPECT_FALSE(d.result.damaged);
  EXPECT_EQ(d.picture, (Picture{kBlack, kWhite, kBlack,  //
                                kBlack, kBlack, kBlack,  //
                                kBlack, kBlack, kBlack}));
}

TEST(Rle8, BrokenStreamsKeepWhatTheyGaveAndSayDamaged) {
  struct Case {
    const char* name;
    std::vector<BYTE> data;
    Picture picture;
    bool damaged;
  };
  const Case cases[] = {
      {"no end of bitmap", {0x02, 0x01}, {kRed, kRed}, true},
      {"cut inside a code", {0x01, 0x03, 0x02}, {kBlue, kBlack}, true},
      {"cut inside an absolute run", {0x00, 0x04, 0x02, 0x03}, {kGreen, kBlue}, true},
      {"cut inside the padding", {0x00, 0x03, 0x02, 0x03, 0x01}, {kGreen, kBlue}, true},
      {"cut inside a delta", {0x01, 0x04, 0x00, 0x02, 0x01}, {kWhite, kBlack}, true},
      {"delta far past the top",
       {0x00, 0x02, 0xFF, 0xFF, 0x05, 0x01, 0x00, 0x01},
       {kBlack, kBlack},
       false},
      {"empty", {}, {kBlack, kBlack}, true},
      {"end of bitmap first", {0x00, 0x01, 0x02, 0x01}, {kBlack, kBlack}, false},
  };
  for (const Case& c : cases) {
    const Decoded d = Decode(BI_RLE8, 2, 1, c.data);
    ASSERT_EQ(d.result.error, DibError::kOk) << c.name;
    EXPECT_EQ(d.result.damaged, c.damaged) << c.name;
    EXPECT_EQ(d.picture, c.picture) << c.name;
  }
}

TEST(Rle8, ManyEndOfLinesPastTheTopStayBounded) {
  std::vector<BYTE> data;
  for (int i = 0; i < 5000; ++i) data.insert(data.end(), {0xFF, 0x01, 0x00, 0x00});
  data.insert(data.end(), {0x00, 0x01});
  const Decoded d = Decode(BI_RLE8, 1, 2, data);
  ASSERT_EQ(d.result.error, DibError::kOk);
  EXPECT_EQ(d.picture, (Picture{kRed, kRed}));
}

TEST(Rle4, RunsAlternateNibblesAndAbsoluteRunsArePadded) {
  const std::vector<BYTE> data = {
      0x05, 0x12, 0x00, 0x00,                          // row 0: R G R G R
      0x00, 0x03, 0x12, 0x30, 0x02, 0x33, 0x00, 0x00,  // row 1: R G B, then B B
      0x00, 0x05, 0x12, 0x31, 0x20, 0x00,              // row 2: R G B R G (3 bytes + pad)
      0x00, 0x01};
  const Decoded d = Decode(BI_RLE4, 5, 3, data);
  ASSERT_EQ(d.result.error, DibError::kOk);
  EXPECT_FALSE(d.result.damaged);
  EXPECT_EQ(d.picture, (Picture{kRed, kGreen, kBlue, kRed, kGreen,  //
                                kRed, kGreen, kBlue, kBlue, kBlue,  //
                                kRed, kGreen, kRed, kGreen, kRed}));
}

TEST(Rle4, OddWidthsRunsPastTheEdgeAndCuts) {
  // A 7-pixel run on a 3-pixel row is cut; an odd absolute run keeps its last pixel.
  Decoded d = Decode(BI_RLE4, 3, 2, {0x07, 0x34, 0x00, 0x00, 0x00, 0x03, 0x42, 0x10, 0x00, 0x01});
  ASSERT_EQ(d.result.error, DibError::kOk);
  EXPECT_FALSE(d.result.damaged);
  EXPECT_EQ(d.picture, (Picture{kWhite, kGreen, kRed, kBlue, kWhite, kBlue}));

  d = Decode(BI_RLE4, 3, 1, {0x00, 0x05, 0x12});  // five pixels promised, two given
  ASSERT_EQ(d.result.error, DibError::kOk);
  EXPECT_TRUE(d.result.damaged);
  EXPECT_EQ(d.picture, (Picture{kRed, kGreen, kBlack}));
}

// The image size of a record's header bounds the data: codes after it are not read.
TEST(Rle8, RecordImageSizeBoundsTheData) {
  std::vector<BYTE> info(40 + 2 * 4, 0);
  info[0] = 40, info[4] = 2, info[8] = 1, info[12] = 1, info[14] = 8, info[16] = BI_RLE8;
  info[20] = 2;  // biSizeImage: only the first code
  info[32] = 2;
  info[40 + 2] = 0xFF;  // entry 0 red
  info[44 + 0] = 0xFF;  // entry 1 blue
  const std::vector<BYTE> bits = {0x01, 0x01, 0x01, 0x01, 0x00, 0x01};
  EmfDib dib;
  ASSERT_EQ(ReadDibBytes(info.data(), info.size(), bits.data(), bits.size(), DIB_RGB_COLORS, dib),
            DibStatus::kOk);
  DibColorTable table;
  DibView view;
  ASSERT_EQ(DibViewOf(dib, nullptr, 0, &table, &view), DibError::kOk);
  std::vector<BYTE> rows;
  const DibConvertResult r = ConvertDib(view, DibTarget{}, &rows);
  ASSERT_EQ(r.error, DibError::kOk);
  EXPECT_TRUE(r.damaged);
  EXPECT_EQ(Picture24(rows, 2, 1, false), (Picture{kBlue, kRed}));
}

}  // namespace
}  // namespace qvplatform
