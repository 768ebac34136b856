// Validation and normalisation of the bitmaps that records carry.
#include "qvplatform/emf_dib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "emf_builder.h"

namespace vellora_test {
namespace {

std::vector<BYTE> Info(DWORD biSize, LONG width, LONG height, WORD bitCount, DWORD compression,
                       DWORD sizeImage = 0, DWORD clrUsed = 0) {
  std::vector<BYTE> h =
      Le32({biSize, DWORD(width), DWORD(height), DWORD(1) | (DWORD(bitCount) << 16), compression,
            sizeImage, 0, 0, clrUsed, 0});
  h.resize(biSize < 40 ? 40 : biSize, 0);
  return h;
}

std::vector<BYTE> Core(WORD width, WORD height, WORD bitCount) {
  return Le32({12, DWORD(width) | (DWORD(height) << 16), DWORD(1) | (DWORD(bitCount) << 16)});
}

std::vector<BYTE> operator+(std::vector<BYTE> a, const std::vector<BYTE>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<BYTE> Bytes(std::size_t n, BYTE v = 0) { return std::vector<BYTE>(n, v); }

std::vector<BYTE> Cut(std::vector<BYTE> v, std::size_t n) {
  v.resize(n);
  return v;
}

TEST(EmfDib, ValidationTable) {
  struct Case {
    std::string name;
    std::vector<BYTE> info;
    std::size_t bits;
    DWORD usage;
    DibStatus status;
    int colors = -1;  // entries kept, when checked
  };
  const Case cases[] = {
      {"24-bit, rows padded to 4 bytes", Info(40, 3, 2, 24, BI_RGB), 24, 0, DibStatus::kOk},
      {"24-bit, one byte short", Info(40, 3, 2, 24, BI_RGB), 23, 0, DibStatus::kBadBits},
      {"top-down counts rows the same", Info(40, 3, -2, 24, BI_RGB), 24, 0, DibStatus::kOk},
      {"no bits at all", Info(40, 1, 1, 32, BI_RGB), 0, 0, DibStatus::kBadBits},
      {"1-bit with its 2 colours", Info(40, 9, 1, 1, BI_RGB) + Bytes(8), 4, 0, DibStatus::kOk, 2},
      {"1-bit with one colour stored", Info(40, 9, 1, 1, BI_RGB) + Bytes(7), 4, 0, DibStatus::kOk,
       1},
      {"8-bit with 2 colours used", Info(40, 4, 1, 8, BI_RGB, 0, 2) + Bytes(8), 4, 0,
       DibStatus::kOk, 2},
      {"8-bit with a table cut short", Info(40, 10, 1, 8, BI_RGB) + Bytes(400), 12, 0,
       DibStatus::kOk, 100},
      {"8-bit claiming 1000 colours needs only 256",
       Info(40, 4, 1, 8, BI_RGB, 0, 1000) + Bytes(1024), 4, 0, DibStatus::kOk, 256},
      {"8-bit palette indexes are 16-bit", Info(40, 4, 1, 8, BI_RGB) + Bytes(512), 4,
       DIB_PAL_COLORS, DibStatus::kOk, 256},
      {"8-bit palette indexes cut short", Info(40, 4, 1, 8, BI_RGB) + Bytes(510), 4, DIB_PAL_COLORS,
       DibStatus::kOk, 255},
      {"8-bit palette direct has no table", Info(40, 4, 1, 8, BI_RGB), 4, DIB_PAL_INDICES,
       DibStatus::kOk, 0},
      {"bitfields masks after a 40-byte header", Info(40, 2, 1, 16, BI_BITFIELDS) + Bytes(12), 4, 0,
       DibStatus::kOk},
      {"bitfields without the masks", Info(40, 2, 1, 16, BI_BITFIELDS) + Bytes(8), 4, 0,
       DibStatus::kBadColorTable},
      {"bitfields masks inside a 108-byte header", Info(108, 2, 1, 32, BI_BITFIELDS), 8, 0,
       DibStatus::kOk},
      {"bitfields with 24 bits", Info(40, 2, 1, 24, BI_BITFIELDS) + Bytes(12), 8, 0,
       DibStatus::kBadInfo},
      {"124-byte header", Info(124, 1, 1, 24, BI_RGB), 4, 0, DibStatus::kOk},
      {"header size beyond cbBmi", Cut(Info(124, 1, 1, 24, BI_RGB), 100), 4, 0,
       DibStatus::kBadInfo},
      {"header size 20", Info(20, 1, 1, 24, BI_RGB), 4, 0, DibStatus::kBadInfo},
      {"width 0", Info(40, 0, 1, 24, BI_RGB), 4, 0, DibStatus::kBadInfo},
      {"negative width", Info(40, -4, 1, 24, BI_RGB), 64, 0, DibStatus::kBadInfo},
      {"height 0", Info(40, 1, 0, 24, BI_RGB), 4, 0, DibStatus::kBadInfo},
      {"depth 7", Info(40, 1, 1, 7, BI_RGB), 4, 0, DibStatus::kBadInfo},
      {"unknown compression", Info(40, 1, 1, 24, 9), 4, 0, DibStatus::kBadInfo},
      {"huge width and height", Info(40, 0x7FFFFFFF, 0x7FFFFFFF, 32, BI_RGB), 4096, 0,
       DibStatus::kBadBits},
      {"most negative height", Info(40, 1, INT32_MIN, 32, BI_RGB), 4096, 0, DibStatus::kBadBits},
      {"RLE8 within its image size", Info(40, 8, 8, 8, BI_RLE8, 10) + Bytes(1024), 12, 0,
       DibStatus::kOk},
      {"RLE8 image size past the bits", Info(40, 8, 8, 8, BI_RLE8, 13) + Bytes(1024), 12, 0,
       DibStatus::kBadBits},
      {"RLE4 with 8 bits", Info(40, 8, 8, 8, BI_RLE4, 10) + Bytes(1024), 12, 0,
       DibStatus::kBadInfo},
      {"RLE top-down", Info(40, 8, -8, 8, BI_RLE8, 10) + Bytes(1024), 12, 0, DibStatus::kBadInfo},
      {"JPEG data", Info(40, 8, 8, 0, BI_JPEG, 100), 100, 0, DibStatus::kOk},
      {"core 24-bit", Core(3, 2, 24), 24, 0, DibStatus::kOk},
      {"core 8-bit with 256 triples", Core(4, 1, 8) + Bytes(768), 4, 0, DibStatus::kOk, 256},
      {"core 8-bit with 255 triples", Core(4, 1, 8) + Bytes(765), 4, 0, DibStatus::kOk, 255},
      {"core header cut short", Le32({12, 0x00010001}), 4, 0, DibStatus::kBadInfo},
      {"only a size", Le32({40}), 4, 0, DibStatus::kBadInfo},
  };
  for (const Case& c : cases) {
    const std::vector<BYTE> bits(c.bits, 0);
    EmfDib dib;
    const DibStatus status =
        ReadDibBytes(c.info.data(), c.info.size(), bits.data(), bits.size(), c.usage, dib);
    EXPECT_EQ(status, c.status) << c.name;
    EXPECT_EQ(dib.Status(), status) << c.name;
    if (status != DibStatus::kOk) continue;
    EXPECT_EQ(dib.Header().biSize, 40u) << c.name;
    if (c.colors >= 0) {
      EXPECT_EQ(dib.ColorCount(), DWORD(c.colors)) << c.name;
    }
    EXPECT_LE(dib.RequiredBitsSize(), dib.BitsSize()) << c.name;
    EXPECT_LE(dib.InfoSize(), 40 + 12 + 1024u) << c.name;
  }
}

TEST(EmfDib, CoreHeaderBecomesTheLongForm) {
  // 2 x 2, 1 bit: a table of two triples (blue, green, red).
  const std::vector<BYTE> info = Core(2, 2, 1) + std::vector<BYTE>{1, 2, 3, 4, 5, 6};
  const std::vector<BYTE> bits(8, 0x80);
  EmfDib dib;
  ASSERT_EQ(ReadDibBytes(info.data(), info.size(), bits.data(), bits.size(), 0, dib),
            DibStatus::kOk);
  const BITMAPINFOHEADER& h = dib.Header();
  EXPECT_EQ(h.biWidth, 2);
  EXPECT_EQ(h.biHeight, 2);
  EXPECT_EQ(h.biBitCount, 1);
  EXPECT_EQ(h.biCompression, BI_RGB);
  EXPECT_TRUE(dib.FromCoreHeader());
  EXPECT_EQ(dib.ColorCount(), 2u);
  EXPECT_EQ(dib.ColorEntrySize(), 4u);
  EXPECT_EQ(dib.Color(1).rgbBlue, 4);
  EXPECT_EQ(dib.Color(1).rgbRed, 6);
  EXPECT_EQ(dib.Color(1).rgbReserved, 0);
  EXPECT_EQ(dib.InfoSize(), 48u);
  // The block is a 40-byte header followed by RGBQUADs.
  EXPECT_EQ(dib.Info()[40 + 4], 4);
  EXPECT_EQ(dib.Stride(), 4u);
}

TEST(EmfDib, MasksComeBeforeTheColourTable) {
  std::vector<BYTE> withMasks = Info(108, 2, 1, 16, BI_BITFIELDS);  // masks at 40, inside
  const std::vector<BYTE> masks = Le32({0xF800, 0x07E0, 0x001F});
  std::copy(masks.begin(), masks.end(), withMasks.begin() + 40);
  const std::vector<BYTE> bits(4, 0);
  EmfDib dib;
  ASSERT_EQ(ReadDibBytes(withMasks.data(), withMasks.size(), bits.data(), bits.size(), 0, dib),
            DibStatus::kOk);
  EXPECT_EQ(dib.MaskCount(), 3u);
  EXPECT_EQ(dib.Mask(0), 0xF800u);
  EXPECT_EQ(dib.Mask(2), 0x001Fu);
  EXPECT_EQ(dib.ColorCount(), 0u);
  EXPECT_EQ(dib.InfoSize(), 52u);
}

TEST(EmfDib, RecordBlocksMustLieAfterTheFixedPart) {
  EmfBuilder b;
  b.StretchDIBits({0, 0, 10, 10}, TestDib::Filled(2, 2, 24, 0x7F));
  const std::vector<BYTE> file = b.Bytes();
  EmfHeader header;
  ASSERT_EQ(ReadEmfHeader(file.data(), file.size(), header), EmfHeaderStatus::kOk);
  EmfRecordIterator it = RecordsAfterHeader(file.data(), file.size(), header);
  EmfRecord rec;
  ASSERT_EQ(it.Next(rec), EmfNext::kRecord);
  EMRSTRETCHDIBITS fixed;
  ASSERT_TRUE(rec.Read(fixed));
  EmfDib dib;
  ASSERT_EQ(ReadDib(rec, DibSourceOf(fixed), dib), DibStatus::kOk);
  EXPECT_EQ(dib.Bits()[0], 0x7F);
  EXPECT_EQ(dib.RequiredBitsSize(), 16u);

  struct Case {
    const char* name;
    void (*edit)(EMRSTRETCHDIBITS&);
    DibStatus status;
  };
  const Case cases[] = {
      {"no bitmap", [](EMRSTRETCHDIBITS& r) { r.cbBmiSrc = 0; }, DibStatus::kAbsent},
      {"info inside the fixed part", [](EMRSTRETCHDIBITS& r) { r.offBmiSrc = 8; },
       DibStatus::kBadInfo},
      {"info past the record", [](EMRSTRETCHDIBITS& r) { r.cbBmiSrc += 1000; },
       DibStatus::kBadInfo},
      {"bits past the record", [](EMRSTRETCHDIBITS& r) { r.offBitsSrc += 4; }, DibStatus::kBadBits},
      {"bits offset that wraps", [](EMRSTRETCHDIBITS& r) { r.offBitsSrc = 0xFFFFFFF0; },
       DibStatus::kBadBits},
      {"bits shorter than the rows", [](EMRSTRETCHDIBITS& r) { r.cbBitsSrc = 12; },
       DibStatus::kBadBits},
  };
  for (const Case& c : cases) {
    EMRSTRETCHDIBITS edited = fixed;
    c.edit(edited);
    EXPECT_EQ(ReadDib(rec, DibSourceOf(edited), dib), c.status) << c.name;
  }
}

}  // namespace
}  // namespace vellora_test
