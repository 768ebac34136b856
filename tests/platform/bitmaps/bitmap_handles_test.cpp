#include "qvplatform/bitmap_handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "dib_test_util.h"
#include "qvplatform/handle_table.h"
#include "qvplatform/palette.h"

namespace qvplatform {
namespace {

using namespace qvplatform::testing;

BITMAPINFOHEADER Request(LONG width, LONG height, WORD bitCount) {
  BITMAPINFOHEADER h;
  h.biSize = sizeof(h);
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bitCount;
  return h;
}

std::vector<std::uint32_t> Read24(HDC dc, HBITMAP bitmap, LONG w, LONG h) {
  BITMAPINFOHEADER header = Request(w, h, 24);
  // Bottom-up requests only: both extents are positive.
  const auto width = static_cast<std::uint32_t>(w), height = static_cast<std::uint32_t>(h);
  std::vector<BYTE> rows(static_cast<std::size_t>(DibStride(width, 24) * height));
  if (GetDIBits(dc, bitmap, 0, height, rows.data(), rows.size(), &header, nullptr, 0,
                DIB_RGB_COLORS) != h)
    return {};
  return Picture24(rows, width, height, false);
}

// A live handle of the device-context kind, which is all SelectPalette asks of a DC.
HDC TestDc() {
  return HandleTable::Instance().Add(HandleKind::kDeviceContext, std::make_shared<int>());
}

TEST(GetObjectA, TellsDeviceDependentBitmapsFromSections) {
  const std::vector<BYTE> bits(10 * 2, 0);
  const HBITMAP ddb = CreateBitmap(3, 2, 1, 24, bits.data(), bits.size());
  ASSERT_NE(ddb, 0u);
  EXPECT_EQ(GetBitmapKind(ddb), BitmapKind::kDeviceDependent);
  DIBSECTION ds;
  EXPECT_EQ(GetObjectA(ddb, kDibSectionObjectSize, &ds), kBitmapObjectSize);
  EXPECT_EQ(ds.dsBm.bmWidth, 3);
  EXPECT_EQ(ds.dsBm.bmHeight, 2);
  EXPECT_EQ(ds.dsBm.bmWidthBytes, 10);  // even row length
  EXPECT_EQ(ds.dsBm.bmPlanes, 1);
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 24);
  EXPECT_EQ(GetObjectA(ddb, 0, nullptr), kBitmapObjectSize);
  EXPECT_EQ(GetObjectA(ddb, kBitmapObjectSize - 1, &ds), 0);

  BITMAPINFOHEADER h = Request(3, -2, 16);
  void* pixels = nullptr;
  const HBITMAP section = CreateDIBSection(0, h, nullptr, nullptr, 0, &pixels);
  ASSERT_NE(section, 0u);
  EXPECT_EQ(pixels, GetDibSectionBits(section));
  EXPECT_EQ(GetBitmapKind(section), BitmapKind::kDibSection);
  EXPECT_EQ(GetObjectA(section, 0, nullptr), kDibSectionObjectSize);
  ds = DIBSECTION{};
  EXPECT_EQ(GetObjectA(section, sizeof(ds), &ds), kDibSectionObjectSize);
  EXPECT_EQ(ds.dsBm.bmWidthBytes, 8);
  EXPECT_EQ(ds.dsBm.bmHeight, 2);
  EXPECT_EQ(ds.dsBm.bmBits, 0u);
  EXPECT_EQ(ds.dsBmih.biSize, 40u);
  EXPECT_EQ(ds.dsBmih.biHeight, -2);
  EXPECT_EQ(ds.dsBmih.biBitCount, 16);
  EXPECT_EQ(ds.dsBmih.biSizeImage, 16u);
  EXPECT_EQ(ds.dsBitfields[0], 0x7C00u);
  EXPECT_EQ(ds.dsBitfields[2], 0x001Fu);
  // A buffer with room for the BITMAP part only gets that part.
  EXPECT_EQ(GetObjectA(section, kDibSectionObjectSize - 1, &ds), kBitmapObjectSize);

  const PALETTEENTRY entries[3] = {};
  const HPALETTE palette = CreatePalette(entries, 3);
  WORD count = 0;
  EXPECT_EQ(GetObjectA(palette, sizeof(count), &count), 2);
  EXPECT_EQ(count, 3);

  for (const HANDLE32 handle : {ddb, section, palette}) {
    HandleKind kind;
    ASSERT_TRUE(HandleTable::Instance().KindOf(handle, &kind));
    HandleTable::Instance().Remove(handle, kind);
    EXPECT_EQ(GetObjectA(handle, sizeof(ds), &ds), 0);
    EXPECT_EQ(GetBitmapKind(handle), BitmapKind::kNone);
  }
  EXPECT_EQ(GetObjectA(0, sizeof(ds), &ds), 0);
  EXPECT_EQ(GetObjectA(TestDc(), sizeof(ds), &ds), 0);
}

TEST(CreateBitmap, RefusesWhatItCannotHold) {
  const std::vector<BYTE> bits(4, 0);
  EXPECT_EQ(CreateBitmap(0, 1, 1, 1, nullptr, 0), 0u);
  EXPECT_EQ(CreateBitmap(1, -1, 1, 1, nullptr, 0), 0u);
  EXPECT_EQ(CreateBitmap(1, 1, 2, 1, nullptr, 0), 0u);
  EXPECT_EQ(CreateBitmap(1, 1, 1, 3, nullptr, 0), 0u);
  EXPECT_EQ(CreateBitmap(3, 2, 1, 8, bits.data(), bits.size() - 1), 0u);  // needs 2 * 2 bytes
  EXPECT_EQ(CreateBitmap(1 << 15, 1 << 14, 1, 1, nullptr, 0), 0u);        // 2^29 pixels
  BITMAPINFOHEADER rle = Request(2, 2, 8);
  rle.biCompression = BI_RLE8;
  EXPECT_EQ(CreateDIBSection(0, rle, nullptr, nullptr, 0, nullptr), 0u);
  BITMAPINFOHEADER fields = Request(2, 2, 16);
  fields.biCompression = BI_BITFIELDS;
  EXPECT_EQ(CreateDIBSection(0, fields, nullptr, nullptr, 0, nullptr), 0u);  // no masks
}

TEST(GetDIBits, DeviceDependentPixelsThroughTheirPalette) {
  const std::vector<BYTE> mono = {0xA0, 0x00, 0x40, 0x00};  // 3x2: W K W / K W K
  const HBITMAP bw = CreateBitmap(3, 2, 1, 1, mono.data(), mono.size());
  EXPECT_EQ(Read24(0, bw, 3, 2),
            (std::vector<std::uint32_t>{kWhite, kBlack, kWhite, kBlack, kWhite, kBlack}));

  const std::vector<BYTE> indexes = {13, 19, 4, 0};  // red, white, dark blue (default palette)
  const HBITMAP eight = CreateBitmap(3, 1, 1, 8, indexes.data(), indexes.size());
  const HDC dc = TestDc();
  EXPECT_EQ(Read24(dc, eight, 3, 1), (std::vector<std::uint32_t>{kRed, kWhite, 0x000080}));

  std::vector<PALETTEENTRY> entries(20);
  entries[4] = {0x12, 0x34, 0x56, 0};
  entries[13] = {0, 0xFF, 0, 0};
  const HPALETTE palette = CreatePalette(entries.data(), UINT(entries.size()));
  const HPALETTE previous = SelectPalette(dc, palette, 0);
  EXPECT_EQ(previous, GetDefaultPalette());
  EXPECT_EQ(GetCurrentPalette(dc), palette);
  EXPECT_EQ(RealizePalette(dc), 20u);
  EXPECT_EQ(Read24(dc, eight, 3, 1), (std::vector<std::uint32_t>{kGreen, kBlack, 0x123456}));
  EXPECT_EQ(SelectPalette(dc, previous, 0), palette);
  EXPECT_EQ(Read24(dc, eight, 3, 1), (std::vector<std::uint32_t>{kRed, kWhite, 0x000080}));
}

TEST(GetDIBits, MonoOutputWithTheCallersTable) {
  const std::vector<BYTE> mono = {0xA5, 0x80, 0x5A, 0x00};  // 9 pixels wide, rows top-down
  const HBITMAP bw = CreateBitmap(9, 2, 1, 1, mono.data(), mono.size());
  BITMAPINFOHEADER h = Request(9, 2, 1);
  const RGBQUAD blackWhite[2] = {Quad(kBlack), Quad(kWhite)};
  std::vector<BYTE> rows(8, 0xEE);
  ASSERT_EQ(GetDIBits(0, bw, 0, 2, rows.data(), rows.size(), &h, blackWhite, 2, DIB_RGB_COLORS), 2);
  EXPECT_EQ(rows, (std::vector<BYTE>{0x5A, 0x00, 0, 0, 0xA5, 0x80, 0, 0}));  // bottom row first
  const RGBQUAD whiteBlack[2] = {Quad(kWhite), Quad(kBlack)};
  ASSERT_EQ(GetDIBits(0, bw, 0, 2, rows.data(), rows.size(), &h, whiteBlack, 2, DIB_RGB_COLORS), 2);
  EXPECT_EQ(rows, (std::vector<BYTE>{0xA5, 0x80, 0, 0, 0x5A, 0x00, 0, 0}));  // inverted
  EXPECT_EQ(GetDIBits(0, bw, 0, 2, rows.data(), rows.size(), &h, blackWhite, 1, DIB_RGB_COLORS), 0);
}

// A 1x100 bitmap needs 100 rows of 4 bytes: a smaller buffer (the 312 bytes of a row length
// without padding) is refused whole and left untouched.
TEST(GetDIBits, NeverWritesPastTheBuffer) {
  const HBITMAP tall = CreateCompatibleBitmap(0, 1, 100);
  BITMAPINFOHEADER h = Request(1, 100, 24);
  std::vector<BYTE> small(312, 0xEE);
  EXPECT_EQ(GetDIBits(0, tall, 0, 100, small.data(), small.size(), &h, nullptr, 0, DIB_RGB_COLORS),
            0);
  EXPECT_EQ(small, std::vector<BYTE>(312, 0xEE));
  std::vector<BYTE> enough(400, 0xEE);
  EXPECT_EQ(
      GetDIBits(0, tall, 0, 100, enough.data(), enough.size(), &h, nullptr, 0, DIB_RGB_COLORS),
      100);
  EXPECT_EQ(h.biSizeImage, 400u);
  EXPECT_EQ(enough, std::vector<BYTE>(400, 0));
}

TEST(GetDIBits, RowRangesSizesAndRefusals) {
  BITMAPINFOHEADER h = Request(2, -3, 24);
  void* p = nullptr;
  const HBITMAP section = CreateDIBSection(0, h, nullptr, nullptr, 0, &p);
  ASSERT_NE(section, 0u);
  BYTE* pixels = static_cast<BYTE*>(p);
  for (int y = 0; y < 3; ++y) pixels[y * 8 + 2] = BYTE(0x10 * (y + 1));  // red 10, 20, 30 top-down

  std::vector<BYTE> rows(16, 0xEE);
  BITMAPINFOHEADER up = Request(2, 3, 24);
  EXPECT_EQ(GetDIBits(0, section, 1, 5, rows.data(), rows.size(), &up, nullptr, 0, DIB_RGB_COLORS),
            2);  // rows 1 and 2 from the bottom
  EXPECT_EQ(rows[2], 0x20);
  EXPECT_EQ(rows[8 + 2], 0x10);
  BITMAPINFOHEADER down = Request(2, -3, 24);
  EXPECT_EQ(GetDIBits(0, section, 2, 1, rows.data(), 8, &down, nullptr, 0, DIB_RGB_COLORS), 1);
  EXPECT_EQ(rows[2], 0x30);
  EXPECT_EQ(GetDIBits(0, section, 3, 1, rows.data(), 8, &down, nullptr, 0, DIB_RGB_COLORS), 0);

  BITMAPINFOHEADER ask;
  ask.biSize = 40;
  EXPECT_EQ(GetDIBits(0, section, 0, 3, nullptr, 0, &ask, nullptr, 0, DIB_RGB_COLORS), 1);
  EXPECT_EQ(ask.biWidth, 2);
  EXPECT_EQ(ask.biHeight, 3);
  EXPECT_EQ(ask.biBitCount, 24);
  EXPECT_EQ(ask.biSizeImage, 24u);

  BITMAPINFOHEADER wrong = Request(3, 3, 24);
  EXPECT_EQ(
      GetDIBits(0, section, 0, 3, rows.data(), rows.size(), &wrong, nullptr, 0, DIB_RGB_COLORS), 0);
  BITMAPINFOHEADER eight = Request(2, 3, 8);
  EXPECT_EQ(
      GetDIBits(0, section, 0, 3, rows.data(), rows.size(), &eight, nullptr, 0, DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetDIBits(0, section, 0, 1, rows.data(), rows.size(), &up, nullptr, 0, DIB_PAL_COLORS),
            0);
  EXPECT_EQ(GetDIBits(0, 0, 0, 1, rows.data(), rows.size(), &up, nullptr, 0, DIB_RGB_COLORS), 0);
}

TEST(Palettes, DefaultPaletteAndLookups) {
  const HPALETTE stock = GetDefaultPalette();
  EXPECT_TRUE(IsStockPalette(stock));
  EXPECT_EQ(GetPaletteEntryCount(stock), 20u);
  PALETTEENTRY e[20];
  EXPECT_EQ(GetPaletteEntries(stock, 0, 20, e), 20u);
  EXPECT_EQ(RGB(e[13].peRed, e[13].peGreen, e[13].peBlue), RGB(255, 0, 0));
  EXPECT_EQ(RGB(e[19].peRed, e[19].peGreen, e[19].peBlue), RGB(255, 255, 255));
  EXPECT_EQ(GetNearestPaletteIndex(stock, RGB(250, 5, 5)), 13u);
  EXPECT_EQ(GetNearestPaletteIndex(stock, RGB(0xC0, 0xC0, 0xC0)), 7u);

  EXPECT_EQ(CreatePalette(e, 0), 0u);
  EXPECT_EQ(CreatePalette(nullptr, 3), 0u);
  const HPALETTE mine = CreatePalette(e + 10, 5);
  EXPECT_FALSE(IsStockPalette(mine));
  EXPECT_EQ(GetPaletteEntries(mine, 0, 0, nullptr), 5u);
  EXPECT_EQ(GetPaletteEntries(mine, 3, 10, e), 2u);  // entries 3 and 4 of 5
  EXPECT_EQ(GetPaletteEntries(mine, 5, 1, e), 0u);
  EXPECT_EQ(GetNearestPaletteIndex(0, 0), kNoPaletteIndex);
  const HBITMAP notAPalette = CreateCompatibleBitmap(0, 1, 1);
  EXPECT_EQ(SelectPalette(TestDc(), notAPalette, 0), 0u);
  EXPECT_EQ(SelectPalette(notAPalette, mine, 0), 0u);  // not a device context
  EXPECT_EQ(RealizePalette(notAPalette), 0u);
}

}  // namespace
}  // namespace qvplatform
