#include "qvplatform/dib_convert.h"

#include <gtest/gtest.h>

#include <cctype>
#include <limits>
#include <string>
#include <vector>

#include "dib_test_util.h"
#include "qvplatform/bitmap_handles.h"

namespace qvplatform {
namespace {

using namespace qvplatform::testing;

struct FormatCase {
  std::string name;
  LONG width;
  LONG height;
  WORD bitCount;
  DWORD compression;
  std::vector<DWORD> masks;
  std::vector<RGBQUAD> colors;
  std::vector<BYTE> bits;
  std::vector<std::uint32_t> picture;  // top row first
  // Where a DIB section differs: its table is completed with black to the full depth.
  std::vector<std::uint32_t> sectionPicture = {};
};

DibView ViewOf(const FormatCase& c) {
  DibView v;
  v.format.width = c.width;
  v.format.height = c.height;
  v.format.bitCount = c.bitCount;
  v.format.compression = c.compression;
  for (std::size_t i = 0; i < c.masks.size() && i < 3; ++i) v.format.masks[i] = c.masks[i];
  v.colors = c.colors.data();
  v.colorCount = static_cast<DWORD>(c.colors.size());
  v.bits = c.bits.data();
  v.bitsSize = c.bits.size();
  return v;
}

std::vector<RGBQUAD> Table16() {
  std::vector<RGBQUAD> t(16);
  t[1] = Quad(kRed), t[2] = Quad(kGreen), t[3] = Quad(kBlue);
  return t;
}

FormatCase OneByHundred() {
  FormatCase c{"8 bit 1x100", 1, 100, 8, BI_RGB, {}, Table({kBlack, kWhite}), {}, {}};
  for (int y = 0; y < 100; ++y) c.bits.insert(c.bits.end(), {BYTE(y % 3 == 0), 0, 0, 0});
  for (int y = 99; y >= 0; --y) c.picture.push_back(y % 3 == 0 ? kWhite : kBlack);
  return c;
}

std::vector<FormatCase> Cases() {
  return {
      {"1 bit bottom-up",
       3,
       2,
       1,
       BI_RGB,
       {},
       Table({kRed, kBlue}),
       {0xC0, 0, 0, 0, 0x40, 0, 0, 0},
       {kRed, kBlue, kRed, kBlue, kBlue, kRed}},
      {"1 bit top-down",
       3,
       -2,
       1,
       BI_RGB,
       {},
       Table({kRed, kBlue}),
       {0x40, 0, 0, 0, 0xC0, 0, 0, 0},
       {kRed, kBlue, kRed, kBlue, kBlue, kRed}},
      {"1 bit across a byte",
       9,
       1,
       1,
       BI_RGB,
       {},
       Table({kBlack, kWhite}),
       {0xAA, 0x80, 0, 0},
       {kWhite, kBlack, kWhite, kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}},
      {"4 bit odd width keeps the last pixel",
       3,
       2,
       4,
       BI_RGB,
       {},
       Table16(),
       {0x12, 0x30, 0, 0, 0x33, 0x10, 0, 0},
       {kBlue, kBlue, kRed, kRed, kGreen, kBlue}},
      {"4 bit 1x1", 1, 1, 4, BI_RGB, {}, Table16(), {0x20, 0, 0, 0}, {kGreen}},
      {"8 bit index past the table takes entry 0",
       3,
       1,
       8,
       BI_RGB,
       {},
       Table({kRed, kGreen}),
       {1, 0, 7, 0},
       {kGreen, kRed, kRed},
       {kGreen, kRed, kBlack}},
      {"8 bit without a table is black", 1, 1, 8, BI_RGB, {}, {}, {5, 0, 0, 0}, {kBlack}},
      {"16 bit 5-5-5",
       4,
       1,
       16,
       BI_RGB,
       {},
       {},
       {0xFF, 0x7F, 0x00, 0x7C, 0x21, 0x04, 0x00, 0x80},
       {kWhite, kRed, 0x080808, kBlack}},
      {"16 bit 5-6-5 bitfields",
       5,
       1,
       16,
       BI_BITFIELDS,
       {0xF800, 0x07E0, 0x001F},
       {},
       {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x41, 0x08, 0xFF, 0xFF, 0, 0},
       {kRed, kGreen, kBlue, 0x080808, kWhite}},
      {"16 bit 4-4-4 bitfields",
       2,
       1,
       16,
       BI_BITFIELDS,
       {0x0F00, 0x00F0, 0x000F},
       {},
       {0x00, 0x0F, 0x08, 0x00},
       {kRed, 0x000088}},
      {"24 bit odd width bottom-up",
       3,
       2,
       24,
       BI_RGB,
       {},
       {},
       {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0, 0, 0,
        0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0, 0, 0},
       {0x123456, kWhite, kBlack, kRed, kGreen, kBlue}},
      {"24 bit top-down",
       1,
       -2,
       24,
       BI_RGB,
       {},
       {},
       {0x00, 0x00, 0xFF, 0, 0xFF, 0x00, 0x00, 0},
       {kRed, kBlue}},
      {"32 bit plain ignores the fourth byte",
       2,
       1,
       32,
       BI_RGB,
       {},
       {},
       {0x56, 0x34, 0x12, 0xAA, 0x00, 0x00, 0xFF, 0x77},
       {0x123456, kRed}},
      {"32 bit bitfields red in the low byte",
       1,
       1,
       32,
       BI_BITFIELDS,
       {0x000000FF, 0x0000FF00, 0x00FF0000},
       {},
       {0x11, 0x22, 0x33, 0x44},
       {0x112233}},
      {"32 bit bitfields 10-10-10",
       1,
       1,
       32,
       BI_BITFIELDS,
       {0x3FF00000, 0x000FFC00, 0x000003FF},
       {},
       {0x01, 0x00, 0xF8, 0x3F},
       {0xFF8000}},
      OneByHundred(),
  };
}

class DibFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DibFormats, ConvertsToBgrRowsInBothOrders) {
  const FormatCase& c = GetParam();
  const DibView view = ViewOf(c);
  const std::uint32_t w = std::uint32_t(c.width), h = view.format.AbsHeight();
  for (const bool topDown : {false, true}) {
    DibTarget target;
    target.topDown = topDown;
    std::vector<BYTE> rows;
    const DibConvertResult r = ConvertDib(view, target, &rows);
    ASSERT_EQ(r.error, DibError::kOk);
    EXPECT_FALSE(r.damaged);
    ASSERT_EQ(rows.size(), DibStride(w, 24) * h);
    EXPECT_EQ(Picture24(rows, w, h, topDown), c.picture) << (topDown ? "top-down" : "bottom-up");
    EXPECT_TRUE(PaddingIsZero(rows, w, h));
  }
}

// GetDIBits of a DIB section holding the same pixels gives the same rows.
TEST_P(DibFormats, GetDIBitsOfASectionAgrees) {
  const FormatCase& c = GetParam();
  const DibView view = ViewOf(c);
  const HBITMAP bitmap = CreateDIBSectionFromView(view);
  ASSERT_NE(bitmap, 0u);
  const std::uint32_t w = std::uint32_t(c.width), h = view.format.AbsHeight();
  BITMAPINFOHEADER header;
  header.biSize = sizeof(header);
  header.biWidth = c.width;
  header.biHeight = LONG(h);
  header.biPlanes = 1;
  header.biBitCount = 24;
  std::vector<BYTE> rows(static_cast<std::size_t>(DibStride(w, 24) * h), 0xEE);
  EXPECT_EQ(
      GetDIBits(0, bitmap, 0, h, rows.data(), rows.size(), &header, nullptr, 0, DIB_RGB_COLORS),
      int(h));
  EXPECT_EQ(Picture24(rows, w, h, false), c.sectionPicture.empty() ? c.picture : c.sectionPicture);
  EXPECT_EQ(header.biSizeImage, rows.size());
}

INSTANTIATE_TEST_SUITE_P(Table, DibFormats, ::testing::ValuesIn(Cases()),
                         [](const auto& paramInfo) {
                           std::string n;
                           for (char ch : paramInfo.param.name) n += std::isalnum(ch) ? ch : '_';
                           return n;
                         });

TEST(DibConvert, MonoTargetTakesTheNearerTableColour) {
  FormatCase c{
      "",     4,  1,  24,
      BI_RGB, {}, {}, {0x10, 0x10, 0x10, 0xF0, 0xF0, 0xF0, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xE0},
      {}};
  DibTarget target;
  target.bitCount = 1;
  std::vector<BYTE> rows;
  ASSERT_EQ(ConvertDib(ViewOf(c), target, &rows).error, DibError::kOk);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], 0x40);  // dark, light, blue, red -> 0 1 0 0 on black/white
  target.mono[0] = Quad(kRed);
  target.mono[1] = Quad(kBlue);
  ASSERT_EQ(ConvertDib(ViewOf(c), target, &rows).error, DibError::kOk);
  EXPECT_EQ(rows[0] & 0xF0, 0x20);  // only the blue pixel is nearer blue than red
  EXPECT_EQ(rows[1] | rows[2] | rows[3], 0);
}

TEST(DibConvert, RowRangesFollowTheTargetOrder) {
  const FormatCase c = OneByHundred();
  const DibView view = ViewOf(c);
  std::vector<BYTE> rows(8, 0xEE);
  DibTarget target;  // bottom-up: row 3 from the bottom has index 3 % 3 == 0: white
  ASSERT_EQ(ConvertDibRows(view, target, 3, 2, rows.data(), rows.size()).error, DibError::kOk);
  EXPECT_EQ(rows[0], 0xFF);
  EXPECT_EQ(rows[4], 0x00);
  target.topDown = true;  // row 1 from the top is row 98 from the bottom: black
  ASSERT_EQ(ConvertDibRows(view, target, 1, 1, rows.data(), 4).error, DibError::kOk);
  EXPECT_EQ(rows[0], 0x00);
}

TEST(DibConvert, RefusesBadFormatsBeforeAllocating) {
  struct Bad {
    LONG width, height;
    WORD bitCount;
    DWORD compression;
    DibError error;
  };
  const Bad cases[] = {
      {0, 1, 8, BI_RGB, DibError::kBadFormat},
      {-1, 1, 8, BI_RGB, DibError::kBadFormat},
      {1, 0, 8, BI_RGB, DibError::kBadFormat},
      {1, 1, 3, BI_RGB, DibError::kBadFormat},
      {1, 1, 2, BI_RGB, DibError::kUnsupported},
      {1, 1, 24, BI_BITFIELDS, DibError::kBadFormat},
      {1, 1, 4, BI_RLE8, DibError::kBadFormat},
      {1, -1, 8, BI_RLE8, DibError::kBadFormat},
      {1, 1, 24, BI_JPEG, DibError::kUnsupported},
      {1, 1, 24, 7, DibError::kBadFormat},
      {1 << 16, 1 << 13, 8, BI_RLE8, DibError::kTooLarge},
      {0x7FFFFFFF, std::numeric_limits<LONG>::min(), 8, BI_RLE8, DibError::kBadFormat},
      {0x7FFFFFFF, 0x7FFFFFFF, 8, BI_RLE8, DibError::kTooLarge},
  };
  const BYTE data[8] = {0, 1};
  for (const Bad& b : cases) {
    DibView v;
    v.format = {b.width, b.height, b.bitCount, b.compression, {}};
    v.bits = data;
    v.bitsSize = sizeof(data);
    std::vector<BYTE> out;
    EXPECT_EQ(ConvertDib(v, DibTarget{}, &out).error, b.error)
        << b.width << "x" << b.height << " " << b.bitCount << " " << b.compression;
    EXPECT_TRUE(out.empty());
  }
}

TEST(DibConvert, RefusesShortPixelsAndSmallTargets) {
  FormatCase c = Cases()[10];
  ASSERT_EQ(c.name, "24 bit odd width bottom-up");  // 3x2: 24 bytes
  c.bits.resize(23);
  std::vector<BYTE> out;
  EXPECT_EQ(ConvertDib(ViewOf(c), DibTarget{}, &out).error, DibError::kShortBits);
  c.bits.resize(24);
  std::vector<BYTE> small(23);
  const DibView view = ViewOf(c);
  EXPECT_EQ(ConvertDibRows(view, DibTarget{}, 0, 2, small.data(), small.size()).error,
            DibError::kBadTarget);
  EXPECT_EQ(ConvertDibRows(view, DibTarget{}, 1, 2, small.data(), small.size()).error,
            DibError::kBadTarget);
  DibTarget eight;
  eight.bitCount = 8;
  EXPECT_EQ(ConvertDib(view, eight, &out).error, DibError::kBadTarget);
}

// A record's bitmap: the 12-byte core header (RGBTRIPLE table) and DIB_PAL_COLORS indexes.
TEST(DibConvert, ViewOfARecordBitmapResolvesItsTable) {
  const std::vector<BYTE> core = {12, 0, 0, 0,    2,    0,    1,    0,    1,
                                  0,  1, 0, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};  // red, blue
  const std::vector<BYTE> bits = {0x40, 0, 0, 0};
  EmfDib dib;
  ASSERT_EQ(ReadDibBytes(core.data(), core.size(), bits.data(), bits.size(), DIB_RGB_COLORS, dib),
            DibStatus::kOk);
  DibColorTable table;
  DibView view;
  ASSERT_EQ(DibViewOf(dib, nullptr, 0, &table, &view), DibError::kOk);
  std::vector<BYTE> rows;
  ASSERT_EQ(ConvertDib(view, DibTarget{}, &rows).error, DibError::kOk);
  EXPECT_EQ(Picture24(rows, 2, 1, false), (std::vector<std::uint32_t>{kRed, kBlue}));

  // 8-bit pixels 0 and 1 through palette indexes 2 and 9 (past the palette: entry 0).
  std::vector<BYTE> info(40 + 4, 0);
  info[0] = 40, info[4] = 2, info[8] = 1, info[12] = 1, info[14] = 8, info[32] = 2;
  info[40] = 2, info[42] = 9;
  const std::vector<BYTE> pixels = {0, 1, 0, 0};
  ASSERT_EQ(
      ReadDibBytes(info.data(), info.size(), pixels.data(), pixels.size(), DIB_PAL_COLORS, dib),
      DibStatus::kOk);
  const PALETTEENTRY palette[3] = {{0x10, 0x20, 0x30, 0}, {0, 0, 0, 0}, {0xFF, 0x80, 0x00, 0}};
  ASSERT_EQ(DibViewOf(dib, palette, 3, &table, &view), DibError::kOk);
  ASSERT_EQ(ConvertDib(view, DibTarget{}, &rows).error, DibError::kOk);
  EXPECT_EQ(Picture24(rows, 2, 1, false), (std::vector<std::uint32_t>{0xFF8000, 0x102030}));
}

}  // namespace
}  // namespace qvplatform
