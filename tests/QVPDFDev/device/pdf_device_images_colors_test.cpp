// Where the colours of an indexed bitmap come from when the PDF device draws it: the bitmap's
// own table, 16-bit indexes into the palette selected in the metafile (DIB_PAL_COLORS), the
// palette itself (DIB_PAL_INDICES), the default palette when none is selected, and entry 0 for
// a pixel past all of them. Rendered by poppler.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "pdf_device_images_records.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::Area;
using vellora_test::EmfBuilder;
using vellora_test::FormatBitmap;
using vellora_test::HexColour;
using vellora_test::kRenderScale;
using vellora_test::Raster;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

qvplatform::PALETTEENTRY Entry(std::uint32_t rgb) {
  return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
          static_cast<std::uint8_t>(rgb), 0};
}

// The header of bmp with a table of 16-bit palette indexes, or with no table at all.
std::vector<std::uint8_t> IndexInfo(const FormatBitmap& bmp,
                                    const std::vector<std::uint16_t>& indexes) {
  qvplatform::BITMAPINFOHEADER h = bmp.header;
  h.biClrUsed = static_cast<qvplatform::DWORD>(indexes.size());
  std::vector<std::uint8_t> out(sizeof h);
  std::memcpy(out.data(), &h, sizeof h);
  for (std::uint16_t i : indexes) out.insert(out.end(), {std::uint8_t(i), std::uint8_t(i >> 8)});
  return out;
}

struct Case {
  const char* name;
  int bitCount;
  std::vector<std::uint32_t> palette;  // selected before the bitmap; empty: none
  qvplatform::DWORD usage;
  std::vector<std::uint16_t> indexes;   // DIB_PAL_COLORS table
  std::vector<std::uint32_t> table;     // DIB_RGB_COLORS table (the bitmap's own)
  std::vector<std::uint32_t> expected;  // pixel values 0, 1, 2, 3 (1 bit: 0, 1)
};

TEST(PDFDeviceImagesColors, IndexedPixelsTakeTheirColourFromTheRightSource) {
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  const std::vector<std::uint32_t> palette = {0x112233, 0xFF8000, 0x0080FF, 0x20C040, 0xA0A0A0};
  const Case cases[] = {
      {"palette indexes into the selected palette",
       8,
       palette,
       qvplatform::DIB_PAL_COLORS,
       {2, 0, 3, 1},
       {},
       {0x0080FF, 0x112233, 0x20C040, 0xFF8000}},
      {"palette indexes past the palette take its entry 0",
       8,
       palette,
       qvplatform::DIB_PAL_COLORS,
       {4, 9, 1, 700},
       {},
       {0xA0A0A0, 0x112233, 0xFF8000, 0x112233}},
      {"palette indexes without a palette: the default palette",
       8,
       {},
       qvplatform::DIB_PAL_COLORS,
       {13, 14, 16, 19},
       {},
       {kRed, kGreen, kBlue, kWhite}},
      {"1-bit palette indexes", 1, {}, qvplatform::DIB_PAL_COLORS, {19, 13}, {}, {kWhite, kRed}},
      {"pixels as palette indexes",
       8,
       palette,
       qvplatform::DIB_PAL_INDICES,
       {},
       {},
       {0x112233, 0xFF8000, 0x0080FF, 0x20C040}},
      {"pixels past the bitmap's table take entry 0",
       4,
       palette,
       qvplatform::DIB_RGB_COLORS,
       {},
       {kGreen, kBlue},
       {kGreen, kBlue, kGreen, kGreen}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int pixels = c.bitCount == 1 ? 2 : 4;
    // Pixel x holds the value x: a table as long as the pixels, overwritten below.
    std::vector<std::uint32_t> values(static_cast<std::size_t>(pixels));
    for (int i = 0; i < pixels; ++i)
      values[static_cast<std::size_t>(i)] = 0x010101u * static_cast<std::uint32_t>(i);
    FormatBitmap bmp = vellora_test::PatternBitmap(std::to_string(c.bitCount), pixels, 1, values);
    std::vector<std::uint8_t> info;
    if (c.usage == qvplatform::DIB_RGB_COLORS) {
      bmp.colors.clear();
      for (std::uint32_t rgb : c.table)
        bmp.colors.push_back(
            {std::uint8_t(rgb), std::uint8_t(rgb >> 8), std::uint8_t(rgb >> 16), 0});
      bmp.header.biClrUsed = static_cast<qvplatform::DWORD>(c.table.size());
    } else {
      info = IndexInfo(bmp, c.indexes);
    }

    EmfBuilder emf = vellora_test::PointPicture(20 * pixels + 20, 40);
    emf.SetHandles(2);
    if (!c.palette.empty()) {
      std::vector<qvplatform::PALETTEENTRY> entries;
      for (std::uint32_t rgb : c.palette) entries.push_back(Entry(rgb));
      emf.CreatePalette(1, entries);
      emf.Append(qvplatform::EMR_SELECTPALETTE, {1u});
    }
    const Area dest{10, 10, 20 * pixels, 20};
    vellora_test::AddStretchDIBits(emf, dest, bmp, {0, 0, pixels, 1}, c.usage, qvplatform::SRCCOPY,
                                   info);
    vellora_test::RecordingDevice device;
    const std::string pdf = vellora_test::PlayAlone(device, emf.Eof().Bytes());
    EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
    const Raster r = vellora_test::RenderColour(pdf);
    ASSERT_GT(r.width, 0);
    for (int x = 0; x < pixels; ++x)
      EXPECT_EQ(HexColour(r.At((20 + 20 * x) * kRenderScale, 20 * kRenderScale)),
                HexColour(c.expected[static_cast<std::size_t>(x)]))
          << "pixel " << x;
  }
}

}  // namespace
}  // namespace vellora
