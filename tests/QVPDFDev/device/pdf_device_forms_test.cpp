// Form XObjects of the PDF device: a form drawn from a metafile and placed on pages renders as
// the metafile drawn onto the page itself, at any resolution and on larger pages; the form
// dictionary, the placements, names, links and the refusals that keep the file sound.
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "QVPDFDev/pages/pdf_form.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "emf_builder.h"
#include "pdf_device_images_records.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::DocumentBytes;
using vellora_test::EmfBuilder;
using vellora_test::QpdfProblems;
using vellora_test::Raster;
using vellora_test::RecordingDevice;
using vellora_test::TestDib;

constexpr int kWidth = 200, kHeight = 150;  // the picture, points

// A black box, a hatched box, a grey DIB, a line of text and a "ChKL" JPEG record on a
// kWidth x kHeight point picture.
std::vector<unsigned char> Drawing() {
  EmfBuilder b = vellora_test::PointPicture(kWidth, kHeight);
  b.CreateBrush(1, 0 /* BS_SOLID */, 0x000000);
  b.CreateBrush(2, 2 /* BS_HATCHED */, 0x000000, 5 /* HS_DIAGCROSS */);
  b.SelectObject(0x80000008);  // NULL_PEN
  b.SelectObject(1);
  b.Rectangle({10, 10, 60, 50});
  b.SelectObject(2);
  b.Rectangle({100, 20, 180, 70});
  b.StretchDIBits({20, 90, 80, 40}, TestDib::Filled(8, 8, 24, 0x40));
  b.CreateFont(3, EmfBuilder::Font(u"Liberation Sans", -24, 700));
  b.SelectObject(3);
  b.ExtTextOutW(110, 85, u"Form", {16, 16, 16, 16});
  b.GdiComment(vellora_test::Chkl({110, 115, 190, 145}, vellora_test::QuadrantJpeg()));
  b.Eof();
  return b.Bytes();
}

struct Placement {
  int resolution;
  int pageScale;  // the page is this many times the form's size
};

// The share of pixels whose grey differs by more than a quarter from every pixel around the
// same place in the other render: edges that the two renders put a pixel apart are not counted.
double DifferentShare(const Raster& a, const Raster& b) {
  if (a.width != b.width || a.height != b.height) return 1;
  int differ = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      bool near = false;
      for (int dy = -1; dy <= 1 && !near; ++dy)
        for (int dx = -1; dx <= 1 && !near; ++dx)
          near = std::abs(a.Grey(x, y) - b.Grey(x + dx, y + dy)) <= 64;
      differ += !near;
    }
  return static_cast<double>(differ) / (a.width * a.height);
}

// Pages of the picture drawn directly, or through a form placed on each of two pages.
std::string Document(const Placement& p, bool throughForm) {
  const std::vector<unsigned char> emf = Drawing();
  const int w = kWidth * p.resolution / 72, h = kHeight * p.resolution / 72;
  RecordingDevice d;
  d.BeginDoc(576, 800, 72, 0);
  if (throughForm) {
    d.BeginXForm("Drawing", w, h, p.resolution, p.resolution, 0);
    d.PlayMetafile(emf.data(), emf.size(), 0, 0, w, h, false, 0, 0);
    d.EndXForm();
  }
  for (int page = 0; page < 2; ++page) {
    d.BeginPage(w * p.pageScale, h * p.pageScale, p.resolution, p.resolution, 0);
    if (throughForm) {
      EXPECT_TRUE(d.DrawXForm("dRAWING", 0, 0, 0, 0, 0));
    } else {
      d.PlayMetafile(emf.data(), emf.size(), 0, 0, w, h, false, 0, 0);
    }
    d.EndPage();
  }
  d.EndDoc();
  return DocumentBytes(d);
}

TEST(PDFDeviceForms, APlacedFormRendersAsTheDrawingOnThePage) {
  for (const Placement p : {Placement{72, 1}, {96, 1}, {300, 1}, {48, 1}, {96, 2}}) {
    SCOPED_TRACE("dpi " + std::to_string(p.resolution) + " page x" + std::to_string(p.pageScale));
    const std::string direct = Document(p, false), form = Document(p, true);
    ASSERT_EQ(QpdfProblems(form), "");
    for (int page = 1; page <= 2; ++page) {
      const Raster want = vellora_test::RenderPage(direct, {.page = page});
      const Raster got = vellora_test::RenderPage(form, {.page = page});
      ASSERT_TRUE(want.ok && got.ok) << got.diagnostics;
      EXPECT_GT(want.DarkShare(0, 0, want.width, want.height), 0.05);
      EXPECT_LT(DifferentShare(want, got), 0.002);
    }
  }
}

// A document written uncompressed, so that its content can be searched.
struct PlainDocument {
  PlainDocument() {
    d.options.writer.compression = qvCompressNone;
    d.BeginDoc(576, 800, 72, 0);
  }
  // An empty closed form of width x height pixels at 72 dpi.
  TQVPDFForm* Form(const std::string& name, int width = 100, int height = 100) {
    d.BeginXForm(name, width, height, 72, 72, 0);
    TQVPDFForm* form = d.lastForm;
    d.EndXForm();
    return form;
  }
  std::string Finish() {
    if (d.PageOpen()) d.EndPage();
    d.EndDoc();
    return DocumentBytes(d);
  }
  RecordingDevice d;
};

TEST(PDFDeviceForms, DictionaryHasTheResolutionScaleAndAPixelBox) {
  PlainDocument doc;
  doc.d.BeginXForm("", 1200, 600, 600, 600, 0);
  doc.d.EndXForm();
  const std::string pdf = doc.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_NE(pdf.find("/Matrix [8.333 0 0 8.333 0 0]\n/BBox [ 0 0 1200 600]"), std::string::npos);
  EXPECT_NE(pdf.find("/XObject << /qvk1 "), std::string::npos);  // the unnamed form's key
}

TEST(PDFDeviceForms, PlacementsByFlagHeightAndLinks) {
  PlainDocument doc;
  TQVPDFForm* tall = doc.Form("Tall", 100, 50);  // 50 points high on a 200 point page
  TQVPDFForm* flat = doc.Form("Flat", 100, 0);
  TQVPDFForm* scaled = doc.Form("Scaled");
  scaled->scaledPlacement = true;
  TQVPDFForm* a = doc.Form("A");
  TQVPDFForm* b = doc.Form("B");
  TQVPDFForm* c = doc.Form("C");
  a->linkedForm = b;
  b->linkedForm = c;
  TQVPDFForm* loop = doc.Form("Loop");
  loop->linkedForm = tall;
  tall->linkedForm = loop;
  (void)flat;
  doc.d.BeginPage(200, 200, 144, 144, 0);  // 100 points square: DC scale 0.5
  for (const char* name : {"tall", "FLAT", "scaled", "a", "loop"})
    EXPECT_TRUE(doc.d.DrawXForm(name, 0, 0, 0, 0, 0)) << name;
  EXPECT_FALSE(doc.d.DrawXForm("missing", 0, 0, 0, 0, 0));
  const std::string pdf = doc.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  // The form's top at the page's top on a y-up page; each form under its own key.
  EXPECT_NE(pdf.find(" q 2 0 0 2 0 -100 cm /Tall Do Q\n q 2 0 0 2 0 -200 cm /Loop Do Q\n"
                     "/Flat Do\n"),
            std::string::npos);
  // Scaled placement undoes the DC's scale: the form's points stand below the page's top.
  EXPECT_NE(pdf.find(" q 2 0 0 2 0 -200 cm /Scaled Do Q\n"), std::string::npos);
  EXPECT_NE(pdf.find("/A Do Q\n q 2 0 0 2 0 -200 cm /B Do Q\n q 2 0 0 2 0 -200 cm /C Do Q\n"),
            std::string::npos);
  // The cycle is placed once round, from either end.
  EXPECT_NE(pdf.find("/Loop Do Q\n q 2 0 0 2 0 -100 cm /Tall Do Q\nQ "), std::string::npos);
  EXPECT_EQ(pdf.find("/missing"), std::string::npos);
}

TEST(PDFDeviceForms, RefusalsLeaveTheDocumentSound) {
  PlainDocument doc;
  doc.d.BeginXForm("Open", 100, 100, 72, 72, 0);
  doc.d.DrawXForm("open", 0, 0, 0, 0, 0);  // placed inside itself: no "Do"
  doc.Form("Other");                       // ends "Open" first
  doc.Form("");                            // listed as "qvk3"
  for (const std::string& name : {std::string("OTHER"), std::string("QVK3"), std::string(128, 'n')})
    EXPECT_THROW(doc.d.BeginXForm(name, 10, 10, 72, 72, 0), std::runtime_error) << name.size();
  doc.d.BeginPage(100, 100, 72, 72, 0);
  EXPECT_THROW(doc.d.BeginXForm("Late", 10, 10, 72, 72, 0), std::runtime_error);
  EXPECT_TRUE(doc.d.PageOpen());
  doc.d.EndPage();
  doc.d.BeginXForm("LeftOpen", 10, 10, 72, 72, 0);
  doc.d.BeginPage(100, 100, 72, 72, 0);  // ends the form
  EXPECT_TRUE(doc.d.DrawXForm("leftopen", 0, 0, 0, 0, 0));
  EXPECT_EQ(doc.d.SharedResources()->XObjects().Count(), 4u);  // nothing refused was listed
  const std::string pdf = doc.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  EXPECT_EQ(pdf.find("/Open Do"), std::string::npos);
  EXPECT_NE(pdf.find("/LeftOpen Do"), std::string::npos);
}

}  // namespace
}  // namespace vellora
