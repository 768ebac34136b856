// Source rectangles of bitmap records drawn by the PDF device: only the rectangle shows, filling
// the destination, for every depth (8-bit and 1-bit bitmaps too); rows count from the first
// stored row; a rectangle partly outside the bitmap fills only its share of the destination, one
// wholly outside draws nothing, and the mode that turns cropping off draws the whole bitmap.
#include <gtest/gtest.h>

#include <cstddef>
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

constexpr std::uint32_t kWhite = 0xFFFFFF;
const std::vector<std::uint32_t> kColors = {0x102030, 0xF0E0D0, 0x00FF7F,
                                            0x8000FF, 0xC0C0C0, 0x7F3F1F};
constexpr Area kDest{10, 10, 30, 20};

// Six formats of one 6 x 4 picture (two colours for 1 bit), and the top-down form of 24 bits.
std::vector<FormatBitmap> Bitmaps() {
  std::vector<FormatBitmap> out;
  out.push_back(vellora_test::PatternBitmap("1", 6, 4, {0x000000, 0xFFFFFF}));
  for (const char* format : {"4", "8", "rle8", "24", "32"})
    out.push_back(vellora_test::PatternBitmap(format, 6, 4, kColors));
  FormatBitmap topDown = vellora_test::PatternBitmap("24", 6, 4, kColors);
  const auto stride = static_cast<std::ptrdiff_t>(topDown.bits.size() / 4);
  for (std::ptrdiff_t row = 0; row < 2; ++row)
    std::swap_ranges(topDown.bits.begin() + row * stride, topDown.bits.begin() + (row + 1) * stride,
                     topDown.bits.begin() + (3 - row) * stride);
  topDown.header.biHeight = -4;
  topDown.name = "24 top-down";
  out.push_back(topDown);
  return out;
}

Raster Draw(const FormatBitmap& b, qvplatform::RECTL source, bool cropOff) {
  EmfBuilder emf = vellora_test::PointPicture(50, 40);
  vellora_test::AddStretchDIBits(emf, kDest, b, source);
  vellora_test::RecordingDevice device;
  if (cropOff) device.modes.Include(qvDontCropBitmaps);
  return vellora_test::RenderColour(vellora_test::PlayAlone(device, emf.Eof().Bytes()));
}

// The destination shows columns x0.. and rows y0.. (from the top) of the picture, cells of
// cw x ch points; columns from `columns` on are left empty.
void ExpectCells(const Raster& r, const FormatBitmap& b, int x0, int y0, int cw, int ch,
                 int columns = 100) {
  for (int j = 0; j * ch < kDest.cy; ++j)
    for (int i = 0; i * cw < kDest.cx; ++i) {
      const int px = (kDest.x + i * cw) * kRenderScale + cw * kRenderScale / 2;
      const int py = (kDest.y + j * ch) * kRenderScale + ch * kRenderScale / 2;
      const std::uint32_t expected = i >= columns ? kWhite : b.At(x0 + i, y0 + j);
      EXPECT_EQ(HexColour(r.At(px, py)), HexColour(expected)) << "cell " << i << "," << j;
    }
}

TEST(PDFDeviceImagesCrop, OnlyTheSourceRectangleShowsWhateverTheDepth) {
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  for (const FormatBitmap& b : Bitmaps()) {
    SCOPED_TRACE(b.name);
    const bool topDown = b.header.biHeight < 0;
    // Columns 1..3 and the first two stored rows: the bottom two of a bottom-up bitmap.
    const Raster r = Draw(b, {1, 0, 3, 2}, false);
    ASSERT_GT(r.width, 0);
    ExpectCells(r, b, 1, topDown ? 0 : 2, 10, 10);
    EXPECT_EQ(r.At((kDest.x - 1) * kRenderScale, 20 * kRenderScale), kWhite);
    EXPECT_EQ(r.At((kDest.x + kDest.cx + 1) * kRenderScale, 20 * kRenderScale), kWhite);
  }
}

TEST(PDFDeviceImagesCrop, RectanglesOutsideTheBitmapAndCroppingTurnedOff) {
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  for (const FormatBitmap& b : Bitmaps()) {
    SCOPED_TRACE(b.name);
    // Columns 4..9 of a 6-wide bitmap: its two last columns fill the first third.
    ExpectCells(Draw(b, {4, 0, 6, 4}, false), b, 4, 0, 5, 5, 2);
    // Off the bitmap: nothing.
    const Raster none = Draw(b, {6, 0, 2, 2}, false);
    ASSERT_GT(none.width, 0);
    for (int x = kDest.x; x < kDest.x + kDest.cx; x += 5)
      EXPECT_EQ(none.At(x * kRenderScale + 2, 20 * kRenderScale), kWhite);
    // Without cropping the whole picture fills the destination.
    ExpectCells(Draw(b, {1, 0, 3, 2}, true), b, 0, 0, 5, 5);
  }
}

}  // namespace
}  // namespace vellora
