// The GDI object table: stock objects, creation, selection, deletion and reuse of indexes.
#include <gtest/gtest.h>

#include <string>

#include "QVGenDC/assertion_failed.h"
#include "stub_device.h"

namespace vellora {
namespace {

using vellora_test::StubDevice;

TEST(GdiObjectTable, StockObjects) {
  TQVGenericDeviceObjects table;
  EXPECT_EQ(table.Size(), 11);
  EXPECT_EQ(table.StockCount(), 11);
  EXPECT_EQ(table.Level(), 1);

  struct Brush {
    int stock;
    std::uint8_t style;
    qvplatform::COLORREF color;
  };
  for (const Brush& b : {Brush{0, 0, 0xFFFFFF}, Brush{1, 0, 0xC0C0C0}, Brush{2, 0, 0x808080},
                         Brush{3, 0, 0x404040}, Brush{4, 0, 0}, Brush{5, 1, 0xFFFFFF}}) {
    const TQVDvBrush* brush = table.Brush(table.StockObject(b.stock));
    ASSERT_NE(brush, nullptr) << b.stock;
    EXPECT_EQ(brush->style, b.style) << b.stock;
    EXPECT_EQ(brush->color, b.color) << b.stock;
  }
  for (const Brush& p : {Brush{6, 0, 0xFFFFFF}, Brush{7, 0, 0}, Brush{8, 5, 0xFFFFFF}}) {
    const TQVDvPen* pen = table.Pen(table.StockObject(p.stock));
    ASSERT_NE(pen, nullptr) << p.stock;
    EXPECT_EQ(pen->style, p.style) << p.stock;
    EXPECT_EQ(pen->color, p.color) << p.stock;
  }
  const std::int32_t font = table.StockObject(9);
  ASSERT_NE(table.Font(font), nullptr);
  EXPECT_EQ(table.Font(font)->font.lfHeight, -10);
  EXPECT_EQ(table.Font(font)->faceName, "Arial");
  for (int n : {10, 11, 12, 13, 15, 16}) EXPECT_EQ(table.StockObject(n), font) << n;
  for (int n : {14, 17, 18, -1}) EXPECT_EQ(table.StockObject(n), 0) << n;
  EXPECT_EQ(table.GetObject(0)->kind, GdiObjectKind::kBasic);
  EXPECT_EQ(table.GetObject(11), nullptr);
  EXPECT_EQ(table.GetObject(-1), nullptr);
}

TEST(GdiObjectTable, DeletedIndexesAreReusedNewestFirst) {
  StubDevice device;
  const std::int32_t a = device.CreatePen(0, 1, 0);
  const std::int32_t b = device.CreateBrush(0, 0, 0);
  const std::int32_t c = device.CreatePen(0, 2, 0);
  EXPECT_EQ(a, 11);
  EXPECT_EQ(b, 12);
  EXPECT_EQ(c, 13);
  device.DeleteObject(a);
  device.DeleteObject(c);
  EXPECT_EQ(device.objects.GetObject(a), nullptr);
  EXPECT_EQ(device.CreateBrush(0, 0, 0), c);
  EXPECT_EQ(device.CreateBrush(0, 0, 0), a);
  EXPECT_EQ(device.CreateBrush(0, 0, 0), 14);
  EXPECT_EQ(device.objects.GetObject(14)->serial, 17);  // 11 stock objects, then 6 more
}

TEST(GdiObjectTable, DeletingTwiceDoesNotHandOutAnIndexTwice) {
  StubDevice device;
  const std::int32_t pen = device.CreatePen(0, 1, 0);
  device.DeleteObject(pen);
  device.DeleteObject(pen);
  const std::int32_t first = device.CreatePen(0, 1, 0);
  const std::int32_t second = device.CreatePen(0, 2, 0);
  EXPECT_NE(first, second);
  EXPECT_EQ(device.objects.Pen(first)->width, 1);
}

TEST(GdiObjectTable, StockAndBadIndexesAreNotDeleted) {
  StubDevice device;
  for (std::int32_t i = -1; i <= 11; ++i) device.DeleteObject(i);
  for (std::int32_t i = 0; i < 11; ++i) EXPECT_NE(device.objects.GetObject(i), nullptr) << i;
  EXPECT_EQ(device.CreatePen(0, 0, 0), 11);
}

TEST(GdiObjectTable, ClearKeepsStockObjectsAndSerials) {
  StubDevice device;
  device.CreatePen(0, 0, 0);
  const std::int32_t deleted = device.CreatePen(0, 0, 0);
  device.DeleteObject(deleted);
  device.objects.Clear();
  EXPECT_EQ(device.objects.Size(), 11);
  EXPECT_EQ(device.CreatePen(0, 0, 0), 11);  // the free list is empty again
  EXPECT_EQ(device.objects.GetObject(11)->serial, 14);
}

TEST(GdiObjectTable, UnknownKindRaisesTheAssertion) {
  TQVGenericDeviceObjects table;
  try {
    table.CreateObject(static_cast<GdiObjectKind>(5));
    FAIL() << "no exception";
  } catch (const EQVAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "Object was not created");
  }
  EXPECT_EQ(table.Size(), 11);
}

TEST(GdiObjectTable, DescribeAsText) {
  StubDevice device;
  auto& objects = device.objects;
  EXPECT_EQ(objects.GetObject(0)->DescribeAsText(), "TQVBasicGDIObject[1]");
  EXPECT_EQ(objects.GetObject(1)->DescribeAsText(), "TQVDvBrush[2] style:0 color:$00FFFFFF");
  EXPECT_EQ(objects.GetObject(10)->DescribeAsText(), "TQVDvFont[11] Arial height:-10");
  const std::int32_t pen = device.CreatePen(2, 3, 0x0000FF);
  EXPECT_EQ(objects.GetObject(pen)->DescribeAsText(),
            "TQVDvPen[12] style:2 color:$000000FF width:3");
}

TEST(GdiObjectTable, PenStyleFlags) {
  struct Case {
    std::uint32_t flags;
    std::uint8_t style;
    std::int32_t cap, join;
  };
  const Case cases[] = {
      {0x0000, 0, kPenCapRound, kPenJoinRound},    {0x0005, 5, kPenCapRound, kPenJoinRound},
      {0x0102, 2, kPenCapSquare, kPenJoinRound},   {0x0200, 0, kPenCapFlat, kPenJoinRound},
      {0x1000, 0, kPenCapRound, kPenJoinBevel},    {0x2000, 0, kPenCapRound, kPenJoinMiter},
      {0x00012203, 3, kPenCapFlat, kPenJoinMiter},  // PS_GEOMETRIC | flat | miter | dash-dot
  };
  StubDevice device;
  for (const Case& c : cases) {
    const TQVDvPen* pen = device.objects.Pen(device.CreatePen(c.flags, 4, 0x112233));
    EXPECT_EQ(pen->style, c.style) << std::hex << c.flags;
    EXPECT_EQ(pen->cap, c.cap) << std::hex << c.flags;
    EXPECT_EQ(pen->join, c.join) << std::hex << c.flags;
    EXPECT_EQ(pen->width, 4);
  }
}

TEST(GdiObjectTable, BrushStylesAndHatchBrushIsSolid) {
  struct Case {
    bool solidHatches;
    std::uint32_t style, hatch;
    qvplatform::COLORREF color;
    std::uint8_t wantStyle;
    std::uint32_t wantHatch;
    qvplatform::COLORREF wantColor;
  };
  const Case cases[] = {
      {false, 4, 7, 0, 2, 2, 0},        // a player-made bitmap pattern: hatch 2
      {false, 2, 0, 0xFF, 2, 0, 0xFF},  // HS_HORIZONTAL
      {true, 2, 0, 0xFF, 0, 0, 0},      // hatched -> solid black, hatch 0 included
      {true, 2, 3, 0xFF, 0, 0, 0},
      {true, 4, 7, 0, 0, 0, 0},                // the pattern too
      {true, 0, 5, 0xFF, 0, 5, 0xFF},          // a solid brush keeps its colour
      {true, 1, 5, 0xFFFFFF, 1, 5, 0xFFFFFF},  // and a null brush stays null
  };
  for (const Case& c : cases) {
    StubDevice device;
    if (c.solidHatches) device.modes.Include(qvHatchBrushIsSolid);
    const TQVDvBrush* brush = device.objects.Brush(device.CreateBrush(c.style, c.color, c.hatch));
    EXPECT_EQ(brush->style, c.wantStyle) << c.style << "/" << c.hatch;
    EXPECT_EQ(brush->hatch, c.wantHatch) << c.style << "/" << c.hatch;
    EXPECT_EQ(brush->color, c.wantColor) << c.style << "/" << c.hatch;
  }
}

qvplatform::LOGFONTW LogFont(std::u16string_view face, std::int32_t escapement = 0) {
  qvplatform::LOGFONTW font;
  font.lfHeight = -16;
  font.lfWeight = 700;
  font.lfCharSet = 204;
  font.lfEscapement = escapement;
  for (std::size_t i = 0; i < face.size() && i < qvplatform::LF_FACESIZE; ++i)
    font.lfFaceName[i] = face[i];
  return font;
}

TEST(GdiObjectTable, FontEscapementIsBroughtIntoOneTurn) {
  StubDevice device;
  const std::pair<std::int32_t, std::int32_t> cases[] = {
      {-900, 2700}, {7200, 0}, {3599, 3599}, {3600, 0}, {-3600, 0}, {INT32_MIN, 2752}};
  for (const auto& [in, out] : cases)
    EXPECT_EQ(device.objects.Font(device.CreateFont(LogFont(u"Arial", in)))->font.lfEscapement, out)
        << in;
}

TEST(GdiObjectTable, FontFaceNamesKeepThirtyOneUnitsAndUnicode) {
  StubDevice device;
  const TQVDvFont* sans = device.objects.Font(device.CreateFont(LogFont(u"Microsoft Sans Serif")));
  EXPECT_EQ(sans->faceName, "Microsoft Sans Serif");
  EXPECT_EQ(sans->font.lfHeight, -16);
  EXPECT_EQ(sans->font.lfWeight, 700);
  EXPECT_EQ(sans->font.lfCharSet, 204);

  // 32 units without a terminator: 31 are kept.
  const TQVDvFont* longName =
      device.objects.Font(device.CreateFont(LogFont(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefgh")));
  EXPECT_EQ(longName->faceName, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
  EXPECT_EQ(longName->font.lfFaceName[31], 0);

  // The UTF-16 name stays for font matching; the text is its UTF-8 form.
  const TQVDvFont* gothic =
      device.objects.Font(device.CreateFont(LogFont(u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF")));
  EXPECT_EQ(gothic->font.lfFaceName[0], u'\uFF2D');
  EXPECT_EQ(gothic->faceName,
            "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");
}

TEST(GdiObjectTable, PaletteEntriesAreBoundedByTheData) {
  StubDevice device;
  const std::uint8_t bytes[] = {1, 2, 3, 0, 4, 5, 6, 0, 7};
  const TQVDvPalette* palette = device.objects.Palette(device.CreatePalette(5, bytes));
  ASSERT_EQ(palette->Count(), 2);
  EXPECT_EQ(palette->entries[0], 0x030201u);
  EXPECT_EQ(palette->entries[1], 0x060504u);
  EXPECT_EQ(device.objects.Palette(device.CreatePalette(3, {}))->Count(), 0);
}

}  // namespace
}  // namespace vellora
