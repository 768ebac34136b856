// The PDF device's other drawing hooks: marks on the thumbnail raster where a drawn image shows
// on the page (also turned, and under a y-up mapping), the pattern of a bitmap brush under one
// name in the content and the resources, ICC profiles of 1, 3 and 4 components given by the
// host, and bitmaps a host hands over without lengths, sized from their header.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <cstring>
#include <string>
#include <vector>

#include "QVPDFDev/resources/pdf_resource.h"
#include "pdf_device_images_records.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::EmfBuilder;
using vellora_test::FormatBitmap;
using vellora_test::HexColour;
using vellora_test::kRenderScale;
using vellora_test::Raster;
using vellora_test::RecordingDevice;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00,
                        kWhite = 0xFFFFFF;
constexpr qvplatform::COLORREF kMark = 0xC0C0C0, kRasterWhite = 0xFFFFFF;

// A document whose page (width x height points) has a white thumbnail raster.
class ThumbnailMarks : public ::testing::Test {
 protected:
  void Open(int width, int height, int rasterWidth, int rasterHeight, bool rotated) {
    device.options.images.thumbnailsWanted = true;
    device.BeginDoc(576, 800, 72, 0);
    device.BeginPage(width, height, 72, 72, 0);
    TQVThumbnailRaster& raster = device.thumbnailRaster;
    ASSERT_TRUE(raster.bitmap.SetSize(rasterWidth, rasterHeight));
    raster.bitmap.Canvas().FillRect({0, 0, rasterWidth, rasterHeight}, kRasterWhite);
    raster.quarterTurns = rotated ? 1 : 0;
    raster.pageWidth = static_cast<float>(width);
    raster.pageHeight = static_cast<float>(height);
  }
  // Draws a 2 x 2 bitmap into page points (40, 52) to (120, 156) by a metafile of the mapping.
  void DrawImage(bool yUp) {
    const double k = yUp ? 254.0 / 72 : 1;
    EmfBuilder emf = vellora_test::PointPicture(200, 260);
    if (yUp) emf.SetMapMode(2);  // MM_LOMETRIC
    const auto L = [](double v) { return static_cast<qvplatform::LONG>(std::lround(v)); };
    const qvplatform::LONG top = L((yUp ? -52 : 52) * k), bottom = L((yUp ? -156 : 156) * k);
    vellora_test::AddStretchDIBits(emf, {L(40 * k), top, L(120 * k) - L(40 * k), bottom - top},
                                   vellora_test::PatternBitmap("24", 2, 2, {kRed, kGreen}));
    const std::vector<qvplatform::BYTE> bytes = emf.Eof().Bytes();
    // As the engine draws a picture on an open page: the page's own state comes back after.
    device.SaveDC();
    device.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0);
    device.RestoreDC(-1);
  }
  // The same bitmap and place drawn directly, not by a picture.
  void MarkImage() {
    const FormatBitmap b = vellora_test::PatternBitmap("24", 2, 2, {kRed, kGreen});
    const std::vector<std::uint8_t> info = b.InfoBytes();
    ASSERT_GT(device.DrawHostDIB(info.data(), b.bits.data(), 40, 52, 80, 104), 0);
  }
  qvplatform::COLORREF Pixel(int x, int y) {
    return device.thumbnailRaster.bitmap.Canvas().Pixel(x, y);
  }

  RecordingDevice device;
};

// A picture is drawn on the raster where the page shows it (its image in its own colours);
// drawing after the picture marks the areas it covers again.
TEST_F(ThumbnailMarks, APicturesImageShowsWhereThePageShowsItAndLaterImagesAreMarked) {
  // The image's own colours: neither paper nor mark.
  const auto pictureColour = [](qvplatform::COLORREF c) { return c != kRasterWhite && c != kMark; };
  for (const bool yUp : {false, true}) {
    SCOPED_TRACE(yUp ? "y up" : "y down");
    Open(200, 260, 50, 65, false);
    DrawImage(yUp);
    // Page (40, 52)-(120, 156) is raster (10, 13)-(30, 39).
    EXPECT_PRED1(pictureColour, Pixel(12, 15));
    EXPECT_PRED1(pictureColour, Pixel(28, 37));
    for (const auto& [x, y] : {std::pair{8, 20}, {32, 20}, {20, 11}, {20, 41}})
      EXPECT_EQ(Pixel(x, y), kRasterWhite) << x << "," << y;
    // Drawing after the picture marks the raster again.
    MarkImage();
    EXPECT_EQ(Pixel(20, 26), kMark);
    device.EndDoc();
  }
}

TEST_F(ThumbnailMarks, ATurnedRasterShowsAndMarksThePageTurned) {
  // A page turned a quarter: page (x, y) shows at (page height - y, x).
  Open(260, 200, 50, 65, true);
  MarkImage();
  // Page (40, 52)-(120, 156) is raster (11, 10)-(37, 30).
  EXPECT_EQ(Pixel(12, 11), kMark);
  EXPECT_EQ(Pixel(36, 29), kMark);
  for (const auto& [x, y] : {std::pair{10, 20}, {38, 20}, {20, 9}, {20, 31}})
    EXPECT_EQ(Pixel(x, y), kRasterWhite) << x << "," << y;
  DrawImage(false);
  EXPECT_NE(Pixel(20, 20), kMark);
  EXPECT_NE(Pixel(20, 20), kRasterWhite);
  device.EndDoc();
}

TEST(PDFDeviceImagesHooks, ABitmapBrushPatternHasOneNameInContentAndResources) {
  RecordingDevice device;
  device.BeginDoc(576, 800, 72, 0);
  device.BeginPage(100, 80, 72, 72, 0);
  TQVDCStackVar& level = device.CurrentDCState();
  level.brushStyle = kBrushDibPattern;
  level.brushHatch = 7;  // the brush's image number
  device.FillSolidRect(10, 10, 60, 40, 0);
  device.FillSolidRect(10, 60, 60, 10, 0);
  EXPECT_EQ(device.SharedResources()->Patterns().Count(), 1u);
  device.EndDoc();
  const std::string pdf = vellora_test::DocumentBytes(device);
  EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
  EXPECT_NE(pdf.find("/Brush cs 1 0 0 /winbrush70007 scn"), std::string::npos);
  EXPECT_NE(pdf.find("/Pattern <</winbrush70007 "), std::string::npos);
  if (!vellora_test::HaveTool("pdftoppm")) return;
  // Red lines of the stand-in hatch inside the rectangles, nothing outside them.
  const Raster r = vellora_test::RenderColour(pdf);
  ASSERT_GT(r.width, 0);
  int red = 0, other = 0;
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) {
      const std::uint32_t c = r.At(x, y);
      if (c == kWhite) continue;
      const bool inside = x >= 10 * kRenderScale && x < 70 * kRenderScale &&
                          ((y >= 10 * kRenderScale && y < 50 * kRenderScale) ||
                           (y >= 60 * kRenderScale && y < 70 * kRenderScale));
      const int cr = static_cast<int>(c >> 16), cg = (c >> 8) & 0xFF, cb = c & 0xFF;
      if (inside && cr > cg + 64 && cr > cb + 64)
        ++red;
      else
        ++other;
    }
  EXPECT_GT(red, 0);
  EXPECT_EQ(other, 0);
}

std::vector<std::uint8_t> ProfileBytes(cmsHPROFILE profile) {
  cmsUInt32Number size = 0;
  cmsSaveProfileToMem(profile, nullptr, &size);
  std::vector<std::uint8_t> bytes(size);
  cmsSaveProfileToMem(profile, bytes.data(), &size);
  cmsCloseProfile(profile);
  return bytes;
}

TEST(PDFDeviceImagesHooks, HostProfilesOfOneThreeAndFourComponents) {
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
  const struct {
    const char* name;
    std::vector<std::uint8_t> profile;
    std::int32_t components;
    const char* dictionary;
    cmsColorSpaceSignature space;
  } cases[] = {
      {"Grey", ProfileBytes(cmsCreateGrayProfile(cmsD50_xyY(), gamma)), 1,
       "/Alternate/DeviceGray/N 1", cmsSigGrayData},
      {"RGB", ProfileBytes(cmsCreate_sRGBProfile()), 3, "/Alternate/DeviceRGB/N 3", cmsSigRgbData},
      {"CMYK", ProfileBytes(cmsCreateInkLimitingDeviceLink(cmsSigCmykData, 300)), 4,
       "/Alternate/DeviceCMYK/N 4", cmsSigCmykData},
  };
  cmsFreeToneCurve(gamma);
  RecordingDevice device;
  device.BeginDoc(576, 800, 72, 0);
  for (const auto& c : cases)
    device.AddICCColorSpace(c.name, 0, c.profile.data(),
                            static_cast<std::int32_t>(c.profile.size()), c.components, "");
  device.AddICCColorSpace("RGB", 0, nullptr, 0, 1, "");  // a name given again adds nothing
  EXPECT_EQ(device.SharedResources()->ColorSpaces().Count(), 3u);
  device.BeginPage(0, 0, 0, 0, 0);
  device.EndDoc();
  const std::string pdf = vellora_test::DocumentBytes(device);
  EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(pdf.find("/" + std::string(c.name) + " [/ICCBased "), std::string::npos);
    // The stream that states /N holds the profile of that many components.
    const std::size_t at = pdf.find(c.dictionary);
    ASSERT_NE(at, std::string::npos);
    const std::size_t data = pdf.find("stream\n", at) + 7;
    ASSERT_EQ(pdf.compare(data, c.profile.size(), std::string(c.profile.begin(), c.profile.end())),
              0);
    cmsHPROFILE read =
        cmsOpenProfileFromMem(pdf.data() + data, static_cast<cmsUInt32Number>(c.profile.size()));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(cmsGetColorSpace(read), c.space);
    EXPECT_EQ(static_cast<std::int32_t>(cmsChannelsOf(cmsGetColorSpace(read))), c.components);
    cmsCloseProfile(read);
  }
}

// Bytes of a header followed by what the test appends.
template <class Header>
std::vector<std::uint8_t> Bytes(const Header& h) {
  std::vector<std::uint8_t> out(sizeof h);
  std::memcpy(out.data(), &h, sizeof h);
  return out;
}
void Append32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

TEST(PDFDeviceImagesHooks, HostBitmapsAreSizedFromTheirHeader) {
  // Red, green / blue, yellow in each, read from buffers of exactly the size the header gives.
  const FormatBitmap b24 = vellora_test::PatternBitmap("24", 2, 2, {kRed, kGreen, kBlue, kYellow});
  const FormatBitmap b8 = vellora_test::PatternBitmap("8", 2, 2, {kRed, kGreen, kBlue, kYellow});
  const FormatBitmap rle =
      vellora_test::PatternBitmap("rle8", 2, 2, {kRed, kGreen, kBlue, kYellow});
  struct Case {
    const char* name;
    std::vector<std::uint8_t> info, bits;
    bool drawn;
  };
  std::vector<Case> cases;
  cases.push_back({"40-byte header", b24.InfoBytes(), b24.bits, true});
  {
    qvplatform::BITMAPCOREHEADER core{12, 2, 2, 1, 8};
    std::vector<std::uint8_t> info = Bytes(core);
    for (const auto& c : b8.colors) info.insert(info.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed});
    for (int i = 4; i < 256; ++i) info.insert(info.end(), {0, 0, 0});  // a core table is full
    cases.push_back({"core header, RGBTRIPLE table", info, b8.bits, true});
  }
  {
    // 32 bits with the masks inside a 108-byte header: blue, green, red in bytes 1, 2, 3.
    qvplatform::BITMAPINFOHEADER h = b24.header;
    h.biSize = 108;
    h.biBitCount = 32;
    h.biCompression = qvplatform::BI_BITFIELDS;
    h.biSizeImage = 16;
    std::vector<std::uint8_t> info = Bytes(h);
    for (std::uint32_t m : {0xFF000000u, 0x00FF0000u, 0x0000FF00u}) Append32(info, m);
    info.resize(108, 0);
    std::vector<std::uint8_t> bits;
    for (std::uint32_t c : {kBlue, kYellow, kRed, kGreen}) Append32(bits, c << 8);
    cases.push_back({"108-byte header with its masks", info, bits, true});
  }
  cases.push_back({"RLE8 with its image size", rle.InfoBytes(), rle.bits, true});
  {
    FormatBitmap noSize = rle;
    noSize.header.biSizeImage = 0;
    cases.push_back({"RLE8 without an image size", noSize.InfoBytes(), noSize.bits, false});
  }
  {
    FormatBitmap big = b24;
    big.header.biSize = 200;
    std::vector<std::uint8_t> info = big.InfoBytes();
    info.resize(200, 0);
    cases.push_back({"200-byte header", info, b24.bits, false});
  }
  {
    FormatBitmap jpeg = b24;
    jpeg.header.biCompression = qvplatform::BI_JPEG;
    cases.push_back({"JPEG compression", jpeg.InfoBytes(), b24.bits, false});
  }

  RecordingDevice device;
  device.BeginDoc(576, 800, 72, 0);
  device.BeginPage(30 * static_cast<int>(cases.size()) + 10, 40, 72, 72, 0);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const std::vector<std::uint8_t> info(cases[i].info), bits(cases[i].bits);  // exact sizes
    const std::int32_t n = device.DrawHostDIB(info.data(), bits.data(),
                                              10.0f + static_cast<float>(30 * i), 10, 20, 20);
    EXPECT_EQ(n > 0, cases[i].drawn);
  }
  EXPECT_EQ(device.DrawHostDIB(nullptr, b24.bits.data(), 0, 0, 10, 10), 0);
  device.EndDoc();
  const std::string pdf = vellora_test::DocumentBytes(device);
  EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
  if (!vellora_test::HaveTool("pdftoppm")) return;
  const Raster r = vellora_test::RenderColour(pdf);
  ASSERT_GT(r.width, 0);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    if (!cases[i].drawn) continue;
    SCOPED_TRACE(cases[i].name);
    const int x = static_cast<int>(10 + 30 * i);
    EXPECT_EQ(HexColour(r.At((x + 5) * kRenderScale, 15 * kRenderScale)), HexColour(kRed));
    EXPECT_EQ(HexColour(r.At((x + 15) * kRenderScale, 25 * kRenderScale)), HexColour(kYellow));
  }
}

}  // namespace
}  // namespace vellora
