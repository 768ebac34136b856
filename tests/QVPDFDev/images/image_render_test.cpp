// Every road and source format into one page, rendered by pdftoppm (4 x 4 pixels per point):
// each image shows the bitmap's own pixels (raw) or close to them (JPEG), upright and without
// a swap of red and blue; pdfimages names the expected encoding of each, and qpdf finds the
// file clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "QVPDFDev/filters/jpeg_encoder.h"
#include "image_test_host.h"
#include "image_test_pictures.h"
#include "qvplatform/bitmap_handles.h"
#include "qvplatform/font_service.h"
#include "qvplatform/palette.h"

namespace vellora {
namespace {

using qvplatform::HBITMAP;
using vellora_test::Encode16;
using vellora_test::Encode24;
using vellora_test::Encode32;
using vellora_test::Encode32Fields;
using vellora_test::EncodeIndexed;
using vellora_test::EncodeRle;
using vellora_test::ImageTestHost;
using vellora_test::Pattern;
using vellora_test::Picture;
using vellora_test::Quadrants;
using vellora_test::TestDib;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF,
                        kBlack = 0x000000, kYellow = 0xFFFF00, kCyan = 0x00FFFF,
                        kMagenta = 0xFF00FF;

const std::vector<std::uint32_t> kPalette = {0x102030, 0xF0E0D0, 0x00FF7F, 0x8000FF,
                                             0xC0C0C0, 0x7F3F1F, 0x0000FF, 0xFF0000};

// Bitmap handles made by the cases, deleted at the end.
struct Handles {
  std::vector<HBITMAP> bitmaps;
  ~Handles() {
    for (HBITMAP b : bitmaps) qvplatform::DeleteObject(b);
  }
  HBITMAP Keep(HBITMAP b) {
    bitmaps.push_back(b);
    return b;
  }
};

HBITMAP Section(const TestDib& dib) {
  void* bits = nullptr;
  HBITMAP b = qvplatform::CreateDIBSection(0, dib.header, dib.masks,
                                           dib.colors.empty() ? nullptr : dib.colors.data(),
                                           static_cast<qvplatform::UINT>(dib.colors.size()), &bits);
  if (b != 0) std::memcpy(bits, dib.bits.data(), dib.bits.size());
  return b;
}

// A device-dependent bitmap: rows top-down, each padded to an even length.
HBITMAP DeviceBitmap(const Picture& p, int bitCount, const std::vector<std::uint32_t>& palette) {
  const std::size_t row =
      (static_cast<std::size_t>(p.width) * static_cast<std::size_t>(bitCount) + 15) / 16 * 2;
  std::vector<std::uint8_t> bits(row * static_cast<std::size_t>(p.height), 0);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      std::uint8_t value;
      if (bitCount == 1) {
        value = p.At(x, y) == kWhite ? 1 : 0;
      } else {
        value = static_cast<std::uint8_t>(std::find(palette.begin(), palette.end(), p.At(x, y)) -
                                          palette.begin());
      }
      const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bitCount);
      bits[row * static_cast<std::size_t>(y) + bit / 8] |=
          static_cast<std::uint8_t>(value << (8 - bitCount - static_cast<int>(bit % 8)));
    }
  return qvplatform::CreateBitmap(p.width, p.height, 1, static_cast<qvplatform::UINT>(bitCount),
                                  bits.data(), bits.size());
}

std::vector<std::uint8_t> JpegOf(const Picture& p, bool grey) {
  const TestDib dib = Encode24(p, false);
  TJPEGImage jpeg;
  jpeg.SetQuality(95);
  jpeg.SetGrayscale(grey);
  std::vector<std::uint8_t> out;
  const std::size_t stride = (static_cast<std::size_t>(p.width) * 3 + 3) / 4 * 4;
  EXPECT_TRUE(jpeg.EncodePixels(
      TBgrRows{dib.bits.data(), dib.bits.size(), stride, true, p.width, p.height}, &out));
  return out;
}

std::vector<std::uint8_t> Samples(const Picture& p, int components) {
  std::vector<std::uint8_t> out;
  for (std::uint32_t c : p.rgb) {
    if (components == 3) {
      out.insert(out.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
    } else if (components == 1) {
      out.push_back(std::uint8_t(c));
    } else {  // CMYK from black and white only
      out.insert(out.end(), {0, 0, 0, std::uint8_t(c == kWhite ? 0 : 255)});
    }
  }
  return out;
}

// The two-row 8-pixel test image, four white then four black pixels, by hand: Group 4 codes
// horizontal (001), white 4 (1011), black 4 (011); then V0 (1) twice; then EOFB. Group 3 1-D:
// white 4, black 4 for each row.
const std::vector<std::uint8_t> kFaxG4 = {0x36, 0xF0, 0x01, 0x00, 0x10};
const std::vector<std::uint8_t> kFaxG3 = {0xB7, 0x6C};
const Picture kFaxPicture = Quadrants(8, 2, kWhite, kBlack, kWhite, kBlack);

struct Case {
  const char* name;
  Picture picture;
  std::function<std::int32_t(ImageTestHost&, Handles&, const Picture&)> add;
  const char* encoding;  // pdfimages "enc"
  const char* color;     // pdfimages "color"
  const char* bpc;
  int tolerance = 0;  // per channel; lossy cases are compared away from colour edges
};

// True when every pixel within two of (x, y) has its colour: JPEG blurs colour edges (chroma
// is subsampled and upsampled smoothly), so lossy cases are judged inside flat areas.
bool Flat(const Picture& p, int x, int y) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const int nx = x + dx, ny = y + dy;
      if (nx >= 0 && ny >= 0 && nx < p.width && ny < p.height && p.At(nx, ny) != p.At(x, y))
        return false;
    }
  return true;
}

std::int32_t Dib(ImageTestHost& host, const TestDib& dib, bool oneBitDirect = false) {
  return host.writer.CreateDIBImage(dib.View(), oneBitDirect).number;
}

std::vector<Case> Cases() {
  const auto odd = {0x123456u, 0xFEDCBAu, 0x00FF7Fu, 0x8000FFu, 0xC0C0C0u};
  const auto primaries = {kRed, kGreen, kBlue, kYellow, kCyan, kMagenta, kWhite, kBlack};
  const auto palette = {0x102030u, 0xF0E0D0u, 0x00FF7Fu, 0x8000FFu, 0xC0C0C0u, 0x7F3F1Fu};
  const Picture blocks = Quadrants(32, 32, kRed, kBlue, kGreen, kYellow);
  std::vector<Case> cases = {
      {"24-bit, width 7", Pattern(7, 5, odd),
       [](auto& h, auto&, auto& p) { return Dib(h, Encode24(p, false)); }, "image", "rgb", "8"},
      {"24-bit top-down, width 5", Pattern(5, 4, odd),
       [](auto& h, auto&, auto& p) { return Dib(h, Encode24(p, true)); }, "image", "rgb", "8"},
      {"32-bit", Pattern(6, 4, odd),
       [](auto& h, auto&, auto& p) { return Dib(h, Encode32(p, false)); }, "image", "rgb", "8"},
      {"32-bit top-down", Pattern(3, 5, odd),
       [](auto& h, auto&, auto& p) { return Dib(h, Encode32(p, true)); }, "image", "rgb", "8"},
      {"32-bit bitfields, red in the low byte", Pattern(5, 3, odd),
       [](auto& h, auto&, auto& p) { return Dib(h, Encode32Fields(p, 0, 8, 16)); }, "image", "rgb",
       "8"},
      {"32-bit bitfields, channels in the high bytes", Pattern(5, 3, odd),
       [](auto& h, auto&, auto& p) { return Dib(h, Encode32Fields(p, 24, 16, 8)); }, "image", "rgb",
       "8"},
      {"16-bit 5-5-5, width 5", Pattern(5, 3, primaries),
       [](auto& h, auto&, auto& p) { return Dib(h, Encode16(p, false)); }, "image", "rgb", "8"},
      {"16-bit 5-6-5", Pattern(7, 3, primaries),
       [](auto& h, auto&, auto& p) { return Dib(h, Encode16(p, true)); }, "image", "rgb", "8"},
      {"8-bit palette, width 5", Pattern(5, 4, palette),
       [](auto& h, auto&, auto& p) { return Dib(h, EncodeIndexed(p, 8, kPalette, false)); },
       "image", "rgb", "8"},
      {"8-bit palette top-down", Pattern(6, 3, palette),
       [](auto& h, auto&, auto& p) { return Dib(h, EncodeIndexed(p, 8, kPalette, true)); }, "image",
       "rgb", "8"},
      {"4-bit, width 5", Pattern(5, 4, palette),
       [](auto& h, auto&, auto& p) { return Dib(h, EncodeIndexed(p, 4, kPalette, false)); },
       "image", "rgb", "8"},
      {"4-bit top-down, width 3", Pattern(3, 4, palette),
       [](auto& h, auto&, auto& p) { return Dib(h, EncodeIndexed(p, 4, kPalette, true)); }, "image",
       "rgb", "8"},
      {"RLE8", Quadrants(10, 6, 0x102030, 0xF0E0D0, 0x00FF7F, 0xC0C0C0),
       [](auto& h, auto&, auto& p) { return Dib(h, EncodeRle(p, 8, kPalette)); }, "image", "rgb",
       "8"},
      {"RLE4, width 7", Quadrants(7, 6, 0x8000FF, 0x7F3F1F, 0x00FF7F, 0x102030),
       [](auto& h, auto&, auto& p) { return Dib(h, EncodeRle(p, 4, kPalette)); }, "image", "rgb",
       "8"},
      {"1-bit black and white, width 9", Pattern(9, 4, {kBlack, kWhite, kWhite}),
       [](auto& h, auto&, auto& p) {
         return Dib(h, EncodeIndexed(p, 1, {kBlack, kWhite}, false), true);
       },
       "image", "gray", "1"},
      {"1-bit white and black (swapped table)", Pattern(9, 4, {kBlack, kWhite, kWhite}),
       [](auto& h, auto&, auto& p) {
         return Dib(h, EncodeIndexed(p, 1, {kWhite, kBlack}, false), true);
       },
       "image", "gray", "1"},
      {"1-bit two colours, top-down", Pattern(11, 3, {0x2040C0, 0xF0D020}),
       [](auto& h, auto&, auto& p) {
         return Dib(h, EncodeIndexed(p, 1, {0x2040C0, 0xF0D020}, true), true);
       },
       "image", "index", "1"},
      {"1-bit drawn as colour", Pattern(9, 2, {0x2040C0, 0xF0D020, 0xF0D020}),
       [](auto& h, auto&, auto& p) {
         return Dib(h, EncodeIndexed(p, 1, {0x2040C0, 0xF0D020}, false), false);
       },
       "image", "rgb", "8"},
      {"24-bit JPEG", blocks,
       [](auto& h, auto&, auto& p) {
         h.options.jpegConversion = true;
         h.options.jpegQuality = 100;
         const std::int32_t n = Dib(h, Encode24(p, false));
         h.options.jpegConversion = false;
         return n;
       },
       "jpeg", "rgb", "8", 24},
      {"8-bit top-down JPEG", Quadrants(32, 16, 0x102030, 0xF0E0D0, 0x8000FF, 0x00FF7F),
       [](auto& h, auto&, auto& p) {
         h.options.jpegConversion = true;
         h.options.jpegQuality = 100;
         const std::int32_t n = Dib(h, EncodeIndexed(p, 8, kPalette, true));
         h.options.jpegConversion = false;
         return n;
       },
       "jpeg", "rgb", "8", 24},
      {"DIB section 24-bit, width 7", Pattern(7, 3, odd),
       [](auto& h, auto& b, auto& p) {
         return h.writer.AddBitmap(b.Keep(Section(Encode24(p, false))));
       },
       "image", "rgb", "8"},
      {"DIB section 32-bit top-down", Pattern(5, 4, odd),
       [](auto& h, auto& b, auto& p) {
         return h.writer.AddBitmap(b.Keep(Section(Encode32(p, true))));
       },
       "image", "rgb", "8"},
      {"1 x 100 with JPEG off", Pattern(1, 100, {kRed, kBlue, 0x123456}),
       [](auto& h, auto& b, auto& p) {
         return h.writer.AddBitmap(b.Keep(Section(Encode24(p, false))));
       },
       "image", "rgb", "8"},
      {"device bitmap 1-bit, width 9", Pattern(9, 3, {kWhite, kBlack, kBlack}),
       [](auto& h, auto& b, auto& p) { return h.writer.AddBitmap(b.Keep(DeviceBitmap(p, 1, {}))); },
       "image", "gray", "1"},
      {"device bitmap 8-bit through a palette", Pattern(5, 3, palette),
       [](auto& h, auto& b, auto& p) {
         std::vector<qvplatform::PALETTEENTRY> entries;
         for (std::uint32_t c : kPalette)
           entries.push_back({std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), 0});
         const qvplatform::HPALETTE pal = qvplatform::CreatePalette(
             entries.data(), static_cast<qvplatform::UINT>(entries.size()));
         auto stream = h.writer.CreateBitmapImage(b.Keep(DeviceBitmap(p, 8, kPalette)), pal, 0);
         qvplatform::DeleteObject(pal);
         if (stream == nullptr) return -1;
         return static_cast<std::int32_t>(h.resources.XObjects().Add("p", std::move(stream)));
       },
       "image", "rgb", "8"},
      {"DIB section as JPEG", blocks,
       [](auto& h, auto& b, auto& p) {
         h.options.jpegConversion = true;
         h.options.jpegQuality = 100;
         const std::int32_t n = h.writer.AddBitmap(b.Keep(Section(Encode24(p, false))));
         h.options.jpegConversion = false;
         return n;
       },
       "jpeg", "rgb", "8", 24},
      {"8 x 8 stays raw with JPEG on", Pattern(8, 8, odd),
       [](auto& h, auto& b, auto& p) {
         h.options.jpegConversion = true;
         const std::int32_t n = h.writer.AddBitmap(b.Keep(Section(Encode24(p, false))));
         h.options.jpegConversion = false;
         return n;
       },
       "image", "rgb", "8"},
      {"raw RGB samples", Pattern(5, 3, odd),
       [](auto& h, auto&, auto& p) {
         const auto s = Samples(p, 3);
         return h.writer.AddImageData(0, s.data(), s.size(), qvImageRawRGB, p.width, p.height);
       },
       "image", "rgb", "8"},
      {"raw grey samples", Pattern(7, 2, {0x000000, 0x404040, 0xA0A0A0, 0xFFFFFF}),
       [](auto& h, auto&, auto& p) {
         const auto s = Samples(p, 1);
         return h.writer.AddImageData(0, s.data(), s.size(), qvImageRawGray, p.width, p.height);
       },
       "image", "gray", "8"},
      {"raw CMYK samples", Pattern(5, 2, {kWhite, kBlack}),
       [](auto& h, auto&, auto& p) {
         const auto s = Samples(p, 4);
         return h.writer.AddImageData(0, s.data(), s.size(), qvImageRawCMYK, p.width, p.height);
       },
       "image", "cmyk", "8", 40},
      {"JPEG data", blocks,
       [](auto& h, auto&, auto& p) {
         const auto j = JpegOf(p, false);
         return h.writer.AddImageData(0, j.data(), j.size(), qvImageJPEGRGB, p.width, p.height);
       },
       "jpeg", "rgb", "8", 24},
      {"JPEG grey data", Quadrants(16, 16, 0x202020, 0xE0E0E0, 0x808080, 0x000000),
       [](auto& h, auto&, auto& p) {
         const auto j = JpegOf(p, true);
         return h.writer.AddImageData(0, j.data(), j.size(), qvImageJPEGGray, p.width, p.height);
       },
       "jpeg", "gray", "8", 12},
      {"CCITT Group 4", kFaxPicture,
       [](auto& h, auto&, auto&) {
         return h.writer.AddImageData(0, kFaxG4.data(), kFaxG4.size(), qvImageCCITTG4, 8, 2);
       },
       "ccitt", "gray", "1"},
      {"CCITT Group 3, 1-D", kFaxPicture,
       [](auto& h, auto&, auto&) {
         return h.writer.AddImageData(0, kFaxG3.data(), kFaxG3.size(), qvImageCCITTG31D, 8, 2);
       },
       "ccitt", "gray", "1"},
  };
  return cases;
}

int Channel(std::uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

bool Close(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) return false;
  return true;
}

std::string Hex(std::uint32_t c) {
  char text[8];
  std::snprintf(text, sizeof text, "%06X", c);
  return text;
}

TEST(ImageRender, EveryRoadAndFormatShowsItsPixels) {
  if (!vellora_test::HaveTool("pdftoppm") || !vellora_test::HaveTool("pdfimages"))
    GTEST_SKIP() << "poppler-utils missing";
  ImageTestHost host;
  host.dc = vellora_test::ScreenDC();
  Handles handles;
  const std::vector<Case> cases = Cases();
  struct Placed {
    int x, y;
  };
  std::vector<Placed> placed;
  const int pageWidth = 48;
  int pageHeight = 4;
  for (const Case& c : cases) pageHeight += c.picture.height + 4;
  host.yOrigin = pageHeight;
  int y = 4;
  for (const Case& c : cases) {
    const std::int32_t number = c.add(host, handles, c.picture);
    ASSERT_GT(number, 0) << c.name;
    host.writer.DrawImage(number, 4, static_cast<float>(y), static_cast<float>(c.picture.width),
                          static_cast<float>(c.picture.height));
    placed.push_back({4, y});
    y += c.picture.height + 4;
  }
  vellora_test::ReleaseScreenDC(host.dc);
  EXPECT_TRUE(host.messages.empty()) << host.messages.front();
  const std::string pdf =
      host.Finish(static_cast<float>(pageWidth), static_cast<float>(pageHeight));

  const vellora_test::ToolResult check = vellora_test::QpdfCheck(pdf);
  EXPECT_EQ(check.status, 0) << check.out;

  const vellora_test::Raster raster = vellora_test::RenderColour(pdf);
  ASSERT_EQ(raster.width, pageWidth * vellora_test::kRenderScale);
  ASSERT_EQ(raster.height, pageHeight * vellora_test::kRenderScale);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    int wrong = 0;
    std::string first;
    for (int py = 0; py < c.picture.height; ++py)
      for (int px = 0; px < c.picture.width; ++px) {
        if (c.tolerance > 0 && !Flat(c.picture, px, py)) continue;
        const std::uint32_t got =
            vellora_test::PointColor(raster, placed[i].x + px, placed[i].y + py);
        if (!Close(got, c.picture.At(px, py), c.tolerance) && wrong++ == 0)
          first = "(" + std::to_string(px) + "," + std::to_string(py) + ") is " + Hex(got) +
                  ", expected " + Hex(c.picture.At(px, py));
      }
    EXPECT_EQ(wrong, 0) << c.name << ": " << wrong << " pixels differ, first " << first;
  }

  const auto images = vellora_test::ListImages(pdf);
  ASSERT_EQ(images.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& row = images[i];
    ASSERT_GE(row.size(), 9u);
    EXPECT_EQ(row[2], "image") << cases[i].name;
    EXPECT_EQ(row[3], std::to_string(cases[i].picture.width)) << cases[i].name;
    EXPECT_EQ(row[4], std::to_string(cases[i].picture.height)) << cases[i].name;
    EXPECT_EQ(row[5], cases[i].color) << cases[i].name;
    EXPECT_EQ(row[7], cases[i].bpc) << cases[i].name;
    EXPECT_EQ(row[8], cases[i].encoding) << cases[i].name;
  }
}

}  // namespace
}  // namespace vellora
