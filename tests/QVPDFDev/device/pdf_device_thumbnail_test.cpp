// Page thumbnails of the PDF device: each page's /Thumb has the raster's size and kind, white
// paper, and ink where poppler renders the page at that size, for pictures placed in parts of
// the page, on turned pages and on pages of their own; the raster's size for each page, and
// what stays off it (pictures drawn into forms) or on it (the host's thumbnail, a change of
// kind in the middle of a page).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QVPDFDev/pages/pdf_page.h"
#include "emf_builder.h"
#include "page_thumbnails.h"
#include "pdf_device_test_util.h"
#include "qvplatform/bitmap_handles.h"
#include "qvplatform/font_service.h"

namespace vellora {
namespace {

using vellora_test::DocumentBytes;
using vellora_test::EmfBuilder;
using vellora_test::PageThumbnails;
using vellora_test::QpdfProblems;
using vellora_test::RecordingDevice;
using vellora_test::Thumbnail;
using vellora_test::ThumbnailAgreement;

// Least ink agreement of a thumbnail with poppler's render of its page at the same size.
constexpr double kAgreement = 0.85;

// A width x height point picture with black boxes.
std::vector<unsigned char> Boxes(int width, int height,
                                 const std::vector<qvplatform::RECTL>& boxes) {
  EmfBuilder b = vellora_test::PointPicture(width, height);
  b.CreateBrush(1, 0 /* BS_SOLID */, 0x000000);
  b.SelectObject(0x80000008);  // NULL_PEN
  b.SelectObject(1);
  for (const qvplatform::RECTL& r : boxes) b.Rectangle(r);
  b.Eof();
  return b.Bytes();
}

void Play(TQVPDFDevice& d, const std::vector<unsigned char>& emf, int x = 0, int y = 0, int w = 0,
          int h = 0) {
  d.PlayMetafile(emf.data(), emf.size(), x, y, w, h, false, 0, 0);
}

// The share of dark pixels of the thumbnail in [x0, x1) x [y0, y1).
double DarkShare(const Thumbnail& t, int x0, int y0, int x1, int y1) {
  int dark = 0, all = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x, ++all) dark += t.Dark(x, y);
  return all == 0 ? 0 : static_cast<double>(dark) / all;
}

struct ThumbnailCase {
  const char* name;
  bool monochrome;
  int pageWidth, pageHeight, rotation;  // points; 0 x 0: no page open, the picture makes one
  int width, height;                    // the thumbnail expected
  // The quadrants of the thumbnail (top left, top right, bottom left, bottom right) that show
  // ink; the others show paper.
  bool ink[4];
  void (*draw)(TQVPDFDevice& d);
};

const ThumbnailCase kCases[] = {
    {"half-black page",
     false,
     200,
     300,
     0,
     44,
     66,
     {true, false, true, false},
     [](TQVPDFDevice& d) {
       Play(d, Boxes(200, 300, {{0, 0, 100, 300}}));
     }},
    {"half-black page, 1-bit",
     true,
     200,
     300,
     0,
     44,
     66,
     {true, false, true, false},
     [](TQVPDFDevice& d) {
       Play(d, Boxes(200, 300, {{0, 0, 100, 300}}));
     }},
    {"two pictures in two halves",
     false,
     200,
     300,
     0,
     44,
     66,
     {true, false, false, true},
     [](TQVPDFDevice& d) {
       Play(d, Boxes(100, 100, {{0, 0, 50, 100}}), 0, 0, 200, 150);
       Play(d, Boxes(100, 100, {{50, 0, 100, 100}}), 0, 150, 200, 150);
     }},
    {"page rotated 90 degrees",
     false,
     200,
     300,
     90,
     66,
     44,
     {false, true, false, false},
     [](TQVPDFDevice& d) {
       Play(d, Boxes(200, 300, {{0, 0, 100, 150}}));
     }},
    {"a picture on a page of its own",
     true,
     0,
     0,
     0,
     66,
     22,
     {false, false, false, true},
     [](TQVPDFDevice& d) {
       Play(d, Boxes(300, 100, {{150, 50, 300, 100}}));
     }},
};

TEST(PDFDeviceThumbnail, EachThumbnailShowsItsPageAsPopplerDoes) {
  for (const ThumbnailCase& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordingDevice d;
    d.options.images.thumbnailsWanted = true;
    d.SetThumbnailMonochrome(c.monochrome);
    d.BeginDoc(576, 800, 72, 0);
    if (c.pageWidth > 0) d.BeginPage(c.pageWidth, c.pageHeight, 72, 72, c.rotation);
    c.draw(d);
    if (d.CurrentPage() != nullptr) d.EndPage();
    d.EndDoc();
    const std::string pdf = DocumentBytes(d);
    ASSERT_EQ(QpdfProblems(pdf), "");
    const std::vector<Thumbnail> thumbnails = PageThumbnails(pdf);
    ASSERT_EQ(thumbnails.size(), 1u);
    const Thumbnail& t = thumbnails[0];
    ASSERT_TRUE(t.found);
    EXPECT_EQ(t.width, c.width);
    EXPECT_EQ(t.height, c.height);
    EXPECT_EQ(t.colorSpace, c.monochrome ? "/DeviceGray" : "/DeviceRGB");
    EXPECT_EQ(t.bitsPerComponent, c.monochrome ? 1 : 8);
    // Quadrants, a pixel in from their edges (where the halves meet the edges blur).
    const int w = t.width, h = t.height;
    const int xs[2][2] = {{1, w / 2 - 1}, {w / 2 + 1, w - 1}};
    const int ys[2][2] = {{1, h / 2 - 1}, {h / 2 + 1, h - 1}};
    for (int q = 0; q < 4; ++q) {
      const double dark = DarkShare(t, xs[q % 2][0], ys[q / 2][0], xs[q % 2][1], ys[q / 2][1]);
      if (c.ink[q]) {
        EXPECT_GT(dark, 0.95) << "quadrant " << q;
      } else {
        EXPECT_EQ(dark, 0) << "quadrant " << q;
      }
    }
    if (!vellora_test::HaveTool("pdftoppm")) continue;
    EXPECT_GE(ThumbnailAgreement(pdf, 1, t), kAgreement);
  }
}

TEST(PDFDeviceThumbnail, TheRasterHasSixtySixPixelsOnTheLongSideOfThePageShown) {
  struct Size {
    int width, height, rotation;
    int rasterWidth, rasterHeight;  // 0 x 0: no raster
  };
  for (const Size& s : {Size{200, 300, 0, 44, 66}, Size{300, 200, 0, 66, 44},
                        Size{200, 300, 90, 66, 44}, Size{200, 300, 270, 66, 44},
                        Size{10, 14400, 0, 1, 66}, Size{66, 66, 0, 66, 66}, Size{0, 0, 0, 0, 0}}) {
    SCOPED_TRACE(std::to_string(s.width) + " x " + std::to_string(s.height) + " turned " +
                 std::to_string(s.rotation));
    RecordingDevice d;
    d.options.images.thumbnailsWanted = true;
    // A document of no size: a page of size 0 keeps it.
    d.BeginDoc(0, 0, 72, 0);
    d.BeginPage(s.width, s.height, 72, 72, s.rotation);
    EXPECT_EQ(d.thumbnailRaster.bitmap.Width(), s.rasterWidth);
    EXPECT_EQ(d.thumbnailRaster.bitmap.Height(), s.rasterHeight);
    d.EndPage();
    d.EndDoc();
    const std::string pdf = DocumentBytes(d);
    EXPECT_EQ(pdf.find("/Thumb") != std::string::npos, s.rasterWidth > 0);
  }
}

TEST(PDFDeviceThumbnail, PicturesDrawnIntoFormsStayOffTheRaster) {
  RecordingDevice d;
  d.options.images.thumbnailsWanted = true;
  d.BeginDoc(576, 800, 72, 0);
  d.BeginXForm("Box", 200, 300, 72, 72, 0);
  Play(d, Boxes(200, 300, {{0, 0, 200, 300}}));
  d.EndXForm();
  d.BeginPage(200, 300, 72, 72, 0);
  EXPECT_TRUE(d.DrawXForm("Box", 0, 0, 0, 0, 0));
  d.EndPage();
  d.EndDoc();
  const std::string pdf = DocumentBytes(d);
  ASSERT_EQ(QpdfProblems(pdf), "");
  const std::vector<Thumbnail> thumbnails = PageThumbnails(pdf);
  ASSERT_EQ(thumbnails.size(), 1u);
  ASSERT_TRUE(thumbnails[0].found);
  EXPECT_EQ(DarkShare(thumbnails[0], 0, 0, thumbnails[0].width, thumbnails[0].height), 0);
}

TEST(PDFDeviceThumbnail, TheHostsThumbnailAndAChangeOfKindKeepWhatThePageShows) {
  RecordingDevice d;
  d.options.images.thumbnailsWanted = true;
  d.BeginDoc(576, 800, 72, 0);
  // The host's 3 x 2 bitmap stays the page's thumbnail.
  d.BeginPage(200, 300, 72, 72, 0);
  Play(d, Boxes(200, 300, {{0, 0, 100, 300}}));
  const std::uint32_t pixels[6] = {0, 0xffffff, 0, 0xffffff, 0, 0xffffff};
  const qvplatform::HBITMAP host = qvplatform::CreateBitmap(3, 2, 1, 32, pixels, sizeof pixels);
  ASSERT_NE(host, 0u);
  d.CurrentPage()->SetThumbnail(d.Images().AddBitmapEx(host, kBitmapModeThumbnail));
  qvplatform::DeleteObject(host);
  d.EndPage();
  // 1-bit from the middle of a page: what was drawn before stays.
  d.BeginPage(200, 300, 72, 72, 0);
  Play(d, Boxes(200, 300, {{0, 0, 100, 300}}));
  d.SetThumbnailMonochrome(true);
  d.EndPage();
  d.EndDoc();
  const std::string pdf = DocumentBytes(d);
  ASSERT_EQ(QpdfProblems(pdf), "");
  const std::vector<Thumbnail> thumbnails = PageThumbnails(pdf);
  ASSERT_EQ(thumbnails.size(), 2u);
  EXPECT_EQ(thumbnails[0].width, 3);
  EXPECT_EQ(thumbnails[0].height, 2);
  const Thumbnail& t = thumbnails[1];
  ASSERT_TRUE(t.found);
  EXPECT_EQ(t.colorSpace, "/DeviceGray");
  EXPECT_GT(DarkShare(t, 1, 1, 21, 65), 0.95);
  EXPECT_EQ(DarkShare(t, 23, 0, 44, 66), 0);
}

}  // namespace
}  // namespace vellora
