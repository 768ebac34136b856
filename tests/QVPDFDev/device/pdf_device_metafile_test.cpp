// Metafiles played into a PDF document: a metafile played while no page is open gets a page
// of its own (BeginPicture), its shapes land where they were drawn under y-down and y-up
// mappings, pictures with unequal resolutions keep their proportions, hatch brushes become
// patterns, and every metafile of the corpus (damaged ones too) gives a valid file.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "QVGenDC/metafile_player.h"
#include "emf_builder.h"
#include "info_test_document.h"
#include "pdf_device_test_util.h"
#include "test_support.h"

namespace vellora {
namespace {

using qvplatform::DWORD;
using qvplatform::EMR_SETPIXELV;
using vellora_test::DocumentBytes;
using vellora_test::EmfBuilder;
using vellora_test::QpdfProblems;
using vellora_test::Raster;
using vellora_test::RecordingDevice;

constexpr int kWidth = 200, kHeight = 150;  // the picture, pixels at 72 dpi: one per point

// Plays the metafile with no page open and returns the one-page document.
std::string PlayAlone(const std::vector<unsigned char>& emf, TQVPDFDevice& d) {
  d.BeginDoc(576, 800, 72, 0);
  const std::int32_t started = d.PlayMetafile(emf.data(), emf.size(), 0, 0, 0, 0, false, 0, 0);
  EXPECT_EQ(started, 1);
  EXPECT_FALSE(d.PageOpen());  // EndPicture ended the picture's page
  d.EndDoc();
  return DocumentBytes(d);
}

// A picture of kWidth x kHeight pixels on a 72 dpi reference device.
EmfBuilder Picture() {
  EmfBuilder b = vellora_test::PointPicture(kWidth, kHeight);
  return b;
}

// A way of addressing page pixels (y down from the top left) in logical units.
struct Mapping {
  const char* name;
  std::function<void(EmfBuilder&)> setUp;
  double sx, sy, oy;  // logical = (x * sx, oy + y * sy)
  qvplatform::RECTL Box(int l, int t, int r, int b) const {
    auto X = [&](int x) { return static_cast<std::int32_t>(std::lround(x * sx)); };
    auto Y = [&](int y) { return static_cast<std::int32_t>(std::lround(oy + y * sy)); };
    return {X(l), Y(t), X(r), Y(b)};
  }
};

TEST(PDFDeviceMetafile, ShapesLandWhereDrawnWithAndWithoutTheYFlip) {
  const double lometric = 254.0 / 72;  // tenths of a millimetre per point
  const Mapping mappings[] = {
      {"MM_TEXT", [](EmfBuilder&) {}, 1, 1, 0},
      {"MM_LOMETRIC (y flip)", [](EmfBuilder& b) { b.SetMapMode(2); }, lometric, -lometric, 0},
      {"anisotropic, y up from the bottom",
       [](EmfBuilder& b) {
         b.SetMapMode(8);
         b.SetWindowOrg(0, kHeight);
         b.SetWindowExt(kWidth, -kHeight);
         b.SetViewportExt(kWidth, kHeight);
       },
       1, -1, kHeight},
  };
  for (const Mapping& m : mappings) {
    SCOPED_TRACE(m.name);
    EmfBuilder b = Picture();
    m.setUp(b);
    b.CreateBrush(1, 0 /* BS_SOLID */, 0x000000);
    b.SelectObject(1);
    b.SelectObject(0x80000008);  // NULL_PEN
    b.Rectangle(m.Box(20, 20, 80, 60));
    b.Ellipse(m.Box(120, 80, 180, 130));
    b.Eof();
    RecordingDevice d;
    const std::string pdf = PlayAlone(b.Bytes(), d);
    ASSERT_EQ(QpdfProblems(pdf), "");
    const Raster page = vellora_test::RenderPage(pdf);
    ASSERT_TRUE(page.ok) << page.diagnostics;
    // The picture's page: one unit wider than the picture.
    EXPECT_EQ(page.width, kWidth + 1);
    EXPECT_EQ(page.height, kHeight);
    EXPECT_GT(page.DarkShare(23, 23, 77, 57), 0.98);  // the rectangle
    EXPECT_TRUE(page.Dark(150, 105));                 // the ellipse's centre
    for (auto [x, y] : {std::pair{122, 82}, {178, 82}, {122, 128}, {178, 128}})
      EXPECT_FALSE(page.Dark(x, y)) << "ellipse box corner " << x << "," << y;
    EXPECT_LT(page.DarkShare(0, 0, kWidth, 17), 0.01);
    EXPECT_LT(page.DarkShare(83, 0, 117, kHeight), 0.01);
    EXPECT_LT(page.DarkShare(0, 63, 117, kHeight), 0.01);
  }
}

TEST(PDFDeviceMetafile, BeginPictureOpensAPageOfEqualResolutions) {
  RecordingDevice d;
  EXPECT_EQ(d.BeginPicture(96, 72, 96, 72), 0);  // no document
  d.BeginDoc(576, 800, 72, 0);
  // 96 x 72 dpi: the height is scaled by 96/72; the page is one unit wider.
  EXPECT_EQ(d.BeginPicture(96, 72, 96, 72), 1);
  EXPECT_FLOAT_EQ(d.pageWidth, 97 * 72.0f / 96);
  EXPECT_FLOAT_EQ(d.pageHeight, 72);
  EXPECT_EQ(d.xResolution, 96);
  EXPECT_EQ(d.yResolution, 96);
  EXPECT_EQ(d.BeginPicture(10, 10, 72, 72), 0);  // a page is open
  d.EndPicture(0);
  EXPECT_TRUE(d.PageOpen());
  d.EndPicture(1);
  EXPECT_FALSE(d.PageOpen());
  // Resolutions of 0 are the current ones (96 now), not a division by zero.
  EXPECT_EQ(d.BeginPicture(96, 48, 0, 0), 1);
  EXPECT_FLOAT_EQ(d.pageWidth, 97 * 72.0f / 96);
  EXPECT_FLOAT_EQ(d.pageHeight, 36);
  d.EndPicture(1);
  d.EndDoc();
  EXPECT_EQ(QpdfProblems(DocumentBytes(d)), "");
}

TEST(PDFDeviceMetafile, PictureOfUnequalResolutionsKeepsItsProportions) {
  // A reference device of 144 x 72 dpi: a square inch is 144 x 72 pixels.
  EmfBuilder b;
  b.SetBounds({0, 0, 287, 143});
  b.SetFrame({0, 0, 5080, 5080});  // 2 x 2 inches
  b.SetDevice({1440, 720});
  b.SetMillimeters({254, 254});
  b.CreateBrush(1, 0, 0x000000);
  b.SelectObject(1);
  b.SelectObject(0x80000008);
  b.Rectangle({144, 0, 288, 72});  // the top right square inch
  b.Eof();
  RecordingDevice d;
  const std::string pdf = PlayAlone(b.Bytes(), d);
  ASSERT_EQ(QpdfProblems(pdf), "");
  const Raster page = vellora_test::RenderPage(pdf);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  EXPECT_NEAR(page.width, 144, 1);
  EXPECT_EQ(page.height, 144);
  EXPECT_GT(page.DarkShare(75, 3, 141, 69), 0.98);
  EXPECT_LT(page.DarkShare(0, 75, 144, 144), 0.01);
  EXPECT_LT(page.DarkShare(0, 0, 69, 144), 0.01);
}

TEST(PDFDeviceMetafile, FrameNotAtTheOriginFillsItsTargetAtEveryScale) {
  // The frame spans 1 to 3 inches of a 72 dpi reference device; a black square fills it. Placed
  // into a target box on an open page, the square covers that box whatever the scale.
  EmfBuilder b;
  b.SetBounds({72, 72, 215, 215});
  b.SetFrame({2540, 2540, 7620, 7620});
  b.SetDevice({720, 720});
  b.SetMillimeters({254, 254});
  b.CreateBrush(1, 0 /* BS_SOLID */, 0x000000);
  b.SelectObject(1);
  b.SelectObject(0x80000008);  // NULL_PEN
  b.Rectangle({72, 72, 217, 217});
  b.Eof();
  const std::vector<unsigned char> emf = b.Bytes();
  struct Target {
    int x, y, size;
  };
  for (const Target t : {Target{100, 60, 144}, Target{100, 60, 288}, Target{40, 200, 72}}) {
    SCOPED_TRACE(t.size);
    RecordingDevice d;
    d.BeginDoc(576, 800, 72, 0);
    d.BeginPage(500, 500, 72, 72, 0);
    d.PlayMetafile(emf.data(), emf.size(), t.x, t.y, t.size, t.size, false, 0, 0);
    d.EndPage();
    d.EndDoc();
    const std::string pdf = DocumentBytes(d);
    ASSERT_EQ(QpdfProblems(pdf), "");
    const Raster page = vellora_test::RenderPage(pdf);
    ASSERT_TRUE(page.ok) << page.diagnostics;
    const int l = t.x, top = t.y, r = t.x + t.size, bottom = t.y + t.size;
    EXPECT_GT(page.DarkShare(l + 3, top + 3, r - 3, bottom - 3), 0.98);
    EXPECT_LT(page.DarkShare(0, 0, 500, top - 3), 0.01);
    EXPECT_LT(page.DarkShare(0, bottom + 3, 500, 500), 0.01);
    EXPECT_LT(page.DarkShare(0, 0, l - 3, 500), 0.01);
    EXPECT_LT(page.DarkShare(r + 3, 0, 500, 500), 0.01);
  }
}

TEST(PDFDeviceMetafile, HatchBrushesBecomePatterns) {
  EmfBuilder b = Picture();
  b.CreateBrush(1, 2 /* BS_HATCHED */, 0x000000, 4 /* HS_CROSS */);
  b.SelectObject(1);
  b.SelectObject(0x80000008);
  b.Rectangle({20, 20, 180, 130});
  b.Eof();
  RecordingDevice d;
  const std::string pdf = PlayAlone(b.Bytes(), d);
  ASSERT_EQ(QpdfProblems(pdf), "");
  EXPECT_NE(pdf.find("/winbrush4 scn"), std::string::npos);
  if (vellora_test::HaveTool("python3")) {
    EXPECT_EQ(vellora_test::QpdfJsonQuery(pdf, R"(
page = get(get(get(trailer['/Root'])['/Pages'])['/Kids'][0])
res = get(page['/Resources'])
print(res['/ColorSpace']['/Brush'], get(res['/Pattern']['/winbrush4'])['/PaintType'])
)"),
              "['/Pattern', '/DeviceRGB'] 2\n");
  }
  const Raster page = vellora_test::RenderPage(pdf);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  // Thin lines of the cross hatch (grey at 72 dpi), not a solid fill, and nothing outside
  // the rectangle.
  const double share = page.DarkShare(22, 22, 178, 128, 230);
  EXPECT_GT(share, 0.02);
  EXPECT_LT(share, 0.8);
  EXPECT_LT(page.DarkShare(0, 0, kWidth, 17, 230), 0.01);
}

TEST(PDFDeviceMetafile, SetPixelPaintsTheRecordsColourNotThePens) {
  constexpr DWORD kDarkBlue = 0x800000;  // COLORREF: blue in the high byte
  EmfBuilder b = Picture();
  for (DWORD y = 40; y < 50; ++y)
    for (DWORD x = 40; x < 50; ++x) b.Append(EMR_SETPIXELV, {x, y, kDarkBlue});
  b.Append(EMR_SETPIXELV, {150, 100, kDarkBlue});  // a lone pixel still shows
  b.Eof();
  RecordingDevice d;
  const std::string pdf = PlayAlone(b.Bytes(), d);
  ASSERT_EQ(QpdfProblems(pdf), "");
  vellora_test::RenderOptions colour;
  colour.colour = true;
  const Raster page = vellora_test::RenderPage(pdf, colour);
  ASSERT_TRUE(page.ok) << page.diagnostics;
  const auto blueish = [&](int x, int y) {
    const std::uint32_t c = page.At(x, y);
    const int r = int(c >> 16 & 0xFF), g = int(c >> 8 & 0xFF), bl = int(c & 0xFF);
    return bl > r + 60 && bl > g + 60 && r < 80;
  };
  for (auto [x, y] : {std::pair{42, 42}, {47, 47}, {45, 44}})
    EXPECT_TRUE(blueish(x, y)) << "block pixel " << x << "," << y << ": " << std::hex
                               << page.At(x, y);
  EXPECT_GT(page.DarkShare(148, 98, 153, 103, 200), 0) << "the lone pixel vanished";
  EXPECT_LT(page.DarkShare(60, 60, kWidth, 95), 0.001);
}

TEST(PDFDeviceMetafile, DataThatIsNoMetafileStillLeavesAValidFile) {
  const std::vector<std::vector<unsigned char>> bad = {{}, {1, 2, 3, 4, 5, 6, 7, 8}};
  for (const auto& bytes : bad) {
    RecordingDevice d;
    d.BeginDoc(576, 800, 72, 0);
    const unsigned char none = 0;
    const unsigned char* data = bytes.empty() ? &none : bytes.data();
    EXPECT_THROW(d.PlayMetafile(data, bytes.size(), 0, 0, 0, 0, false, 0, 0), EQVMetafileError);
    d.EndDoc();
    EXPECT_EQ(QpdfProblems(DocumentBytes(d)), "");
  }
}

TEST(PDFDeviceMetafile, EveryCorpusMetafileGivesAValidFile) {
  const auto corpus = vellora_test::CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "corpus absent";
  if (!vellora_test::HaveTool("qpdf")) GTEST_SKIP() << "qpdf missing";
  int files = 0;
  for (const char* folder : {"emf", "emf-corrupted"}) {
    for (const auto& path : vellora_test::FilesBelow(corpus / folder)) {
      SCOPED_TRACE(path.filename().string());
      const auto bytes = vellora_test::ReadFileBytes(path);
      RecordingDevice d;
      d.BeginDoc(576, 800, 72, 0);
      try {
        d.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, false, 0, 0);
      } catch (const std::exception&) {
        // The player's error: the document is still finished.
      }
      d.EndDoc();
      EXPECT_EQ(QpdfProblems(DocumentBytes(d)), "");
      ++files;
    }
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace vellora
