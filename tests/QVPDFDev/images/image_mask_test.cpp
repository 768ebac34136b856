// Transparent images over a red page: a colour key hides its colour in RGB images, and white
// is hidden in 1-bit images when the modes or the raster call ask for it (never in PDF/A).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "image_test_host.h"
#include "image_test_pictures.h"
#include "qvplatform/font_service.h"

namespace vellora {
namespace {

using vellora_test::Encode24;
using vellora_test::EncodeIndexed;
using vellora_test::ImageTestHost;
using vellora_test::Pattern;
using vellora_test::Picture;

constexpr std::uint32_t kRed = 0xFF0000, kWhite = 0xFFFFFF, kBlack = 0x000000, kGreen = 0x00FF00;

// A device-dependent 1-bit bitmap (1 = white), rows padded to 16 bits.
qvplatform::HBITMAP MonoBitmap(const Picture& p) {
  const std::size_t row = (static_cast<std::size_t>(p.width) + 15) / 16 * 2;
  std::vector<std::uint8_t> bits(row * static_cast<std::size_t>(p.height), 0);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if (p.At(x, y) == kWhite)
        bits[row * static_cast<std::size_t>(y) + static_cast<std::size_t>(x / 8)] |=
            static_cast<std::uint8_t>(0x80 >> (x % 8));
  return qvplatform::CreateBitmap(p.width, p.height, 1, 1, bits.data(), bits.size());
}

struct MaskCase {
  const char* name;
  Picture picture;
  std::uint32_t hidden;  // the colour that lets the page show through
  std::function<std::int32_t(ImageTestHost&, const Picture&)> add;
  const char* mask;  // expected /Mask entry
};

TEST(ImageMask, HiddenColourShowsThePage) {
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  const auto whiteMode = [](ImageTestHost& h) {
    h.options.modes.Include(qvAllowTransparentBit);
    h.options.modes.Include(qvWhiteBrushIsTransparent);
  };
  const MaskCase cases[] = {
      {"colour key", Pattern(6, 3, {kGreen, 0x123456, 0xFFFFFF}), kGreen,
       [](ImageTestHost& h, const Picture& p) {
         h.options.transparent = true;
         h.options.transparentColor = 0x00FF00;  // a colour value: 0xBBGGRR
         return h.writer.CreateDIBImage(Encode24(p, false).View(), false).number;
       },
       "/Mask [0 0 255 255 0 0]"},
      {"1-bit, white transparent", Pattern(9, 3, {kBlack, kWhite, kWhite}), kWhite,
       [&](ImageTestHost& h, const Picture& p) {
         whiteMode(h);
         return h.writer.CreateDIBImage(EncodeIndexed(p, 1, {kBlack, kWhite}, false).View(), true)
             .number;
       },
       "/Mask [1 1]"},
      {"1-bit, swapped table", Pattern(9, 3, {kBlack, kWhite, kWhite}), kWhite,
       [&](ImageTestHost& h, const Picture& p) {
         whiteMode(h);
         return h.writer.CreateDIBImage(EncodeIndexed(p, 1, {kWhite, kBlack}, false).View(), true)
             .number;
       },
       "/Mask [1 1]"},
      {"1-bit, two colours, white key", Pattern(9, 3, {kWhite, 0x2040C0}), kWhite,
       [](ImageTestHost& h, const Picture& p) {
         h.options.transparent = true;
         h.options.transparentColor = 0xFFFFFF;
         return h.writer.CreateDIBImage(EncodeIndexed(p, 1, {0x2040C0, kWhite}, false).View(), true)
             .number;
       },
       "/Mask [1 1]"},
      {"device bitmap, transparent raster call", Pattern(9, 3, {kWhite, kBlack}), kWhite,
       [](ImageTestHost& h, const Picture& p) {
         h.options.modes.Include(qvAllowTransparentBit);
         h.options.transparent = true;
         const qvplatform::HBITMAP b = MonoBitmap(p);
         const std::int32_t n = h.writer.AddBitmap(b);
         qvplatform::DeleteObject(b);
         return n;
       },
       "/Mask [1 1]"},
  };
  ImageTestHost host;
  const int pageWidth = 64, pageHeight = 8;
  host.yOrigin = pageHeight;
  host.content.AddString("1 0 0 rg 0 0 64 8 re f\n");
  int x = 2;
  std::vector<int> at;
  for (const MaskCase& c : cases) {
    host.options = {};
    const std::int32_t number = c.add(host, c.picture);
    ASSERT_GT(number, 0) << c.name;
    host.writer.DrawImage(number, static_cast<float>(x), 2, static_cast<float>(c.picture.width),
                          static_cast<float>(c.picture.height));
    at.push_back(x);
    x += c.picture.width + 2;
  }
  const std::string pdf = host.Finish(pageWidth, pageHeight);
  const vellora_test::Raster raster = vellora_test::RenderColour(pdf);
  ASSERT_GT(raster.width, 0);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const MaskCase& c = cases[i];
    const std::string dict = vellora_test::ImageDictionary(pdf, "qvk" + std::to_string(i + 1));
    EXPECT_NE(dict.find(c.mask), std::string::npos) << c.name << dict;
    for (int py = 0; py < c.picture.height; ++py)
      for (int px = 0; px < c.picture.width; ++px) {
        const std::uint32_t want = c.picture.At(px, py) == c.hidden ? kRed : c.picture.At(px, py);
        EXPECT_EQ(vellora_test::PointColor(raster, at[i] + px, 2 + py), want)
            << c.name << " at " << px << "," << py;
      }
  }
}

TEST(ImageMask, NoMaskWithoutTheModeOrInPdfA) {
  const Picture p = Pattern(9, 3, {kWhite, kBlack});
  const qvplatform::HBITMAP b = MonoBitmap(p);
  const auto maskOf = [&](bool allow, TQVPDFAMode pdfa) {
    ImageTestHost host;
    host.owner.settings.pdfaMode = pdfa;
    host.options.transparent = true;
    if (allow) host.options.modes.Include(qvAllowTransparentBit);
    const auto stream = host.writer.AddBitmapEx(b, 0);
    return stream != nullptr && stream->ExtraEntries().find("/Mask") != std::string::npos;
  };
  EXPECT_TRUE(maskOf(true, folvioaOff));
  EXPECT_FALSE(maskOf(false, folvioaOff));
  EXPECT_FALSE(maskOf(true, folvioaLevelB));
  qvplatform::DeleteObject(b);
}

}  // namespace
}  // namespace vellora
