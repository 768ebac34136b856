// The image commands through QVPDF_Do: an image from image data (raw samples, a hand-made
// CCITT Group 4 picture), from a bitmap handle and from a DIB, placed where the record says at
// the page's resolution; the image number comes back and draws the image again; a record
// without a source fails. ICC colour spaces of 1, 3 and 4 components, and the built-in one.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine_host.h"
#include "page_thumbnails.h"
#include "qvplatform/bitmap_handles.h"
#include "qvplatform/debug_output.h"
#include "qvplatform/font_service.h"

namespace vellora_test {
namespace {

// Two rows of eight pixels, four white then four black: horizontal mode (001), white 4 (1011),
// black 4 (011); then V0 (1) twice; then the end of the facsimile block.
const std::vector<std::uint8_t> kFaxG4 = {0x36, 0xF0, 0x01, 0x00, 0x10};

// A memory document with one page of 200 x 100 points at the given resolution.
class ImageCommands : public ::testing::Test {
 protected:
  void Begin(std::int32_t resolution, bool thumbnails = false) {
    BeginDocument(resolution, thumbnails);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  }
  // The document and its page record; the page is not begun yet.
  void BeginDocument(std::int32_t resolution, bool thumbnails) {
    e = Engine();
    ASSERT_NE(e, nullptr);
    context = std::make_unique<EngineContext>();
    c = context->get();
    ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")), 0);
    TQVPDFPageInit page = PageRecord(200 * resolution / 72, 100 * resolution / 72, resolution);
    page.CreateThumbnails = thumbnails ? 1 : 0;
    ASSERT_EQ(e->InitializePage(c, 0, &page), 1);
  }
  std::string End() {
    e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr);
    e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr);
    return DocumentBytes(c);
  }
  // An image of raw grey samples: black, white, black, white.
  static TQVPDFCommand RawGreyImage() {
    static const std::uint8_t grey[] = {0, 255, 0, 255};
    TQVPDFCommand raw{};
    raw.ImageData = grey;
    raw.Head.Image.DataLength = sizeof grey;
    raw.Head.Image.Format = 10;
    raw.Head.Image.PixelWidth = 4;
    raw.Head.Image.PixelHeight = 1;
    return raw;
  }
  static void Place(TQVPDFImageHead& head, int x, int y, int width, int height) {
    head.X = x, head.Y = y, head.Width = width, head.Height = height;
  }

  // False when pdftoppm cannot render (the pixel checks are left out then).
  static bool Renders(const std::string& pdf) { return DarkShare(pdf, 0, 0, 1, 1) >= 0; }

  const EngineEntries* e = nullptr;
  std::unique_ptr<EngineContext> context;
  TQVPDFEngineContext* c = nullptr;
};

TEST_F(ImageCommands, ImageDataIsPlacedAtTheHeadsRectangleAndDrawnAgainByNumber) {
  for (const std::int32_t resolution : {72, 144}) {
    SCOPED_TRACE(resolution);
    Begin(resolution);
    const int k = resolution / 72;  // device units per point
    TQVPDFCommand fax{};
    fax.ImageData = kFaxG4.data();
    fax.Head.Image.DataLength = static_cast<std::int32_t>(kFaxG4.size());
    fax.Head.Image.Format = 3;  // CCITT Group 4
    fax.Head.Image.PixelWidth = 8;
    fax.Head.Image.PixelHeight = 2;
    Place(fax.Head.Image, 10 * k, 10 * k, 80 * k, 20 * k);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_DRAW_IMAGE, 0, &fax), 0);
    EXPECT_EQ(fax.Head.Image.ImageNumber, 1);
    // The number alone draws it again.
    TQVPDFCommand again{};
    again.Head.Image.ImageNumber = fax.Head.Image.ImageNumber;
    Place(again.Head.Image, 10 * k, 60 * k, 80 * k, 20 * k);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_DRAW_IMAGE, 0, &again), 0);
    TQVPDFCommand raw = RawGreyImage();
    Place(raw.Head.Image, 110 * k, 10 * k, 80 * k, 20 * k);
    ASSERT_EQ(e->Do(c, QVPDF_CMD_DRAW_IMAGE, 0, &raw), 0);
    EXPECT_EQ(raw.Head.Image.ImageNumber, 2);
    const std::string pdf = End();
    EXPECT_EQ(QpdfProblems(pdf), "");
    EXPECT_NE(pdf.find("/DecodeParms [<</K -1/Columns 8/Rows 2>>]"), std::string::npos);
    if (!Renders(pdf)) continue;
    for (const int y : {10, 60}) {
      EXPECT_LT(DarkShare(pdf, 12, y + 2, 48, y + 18), 0.05) << y;
      EXPECT_GT(DarkShare(pdf, 52, y + 2, 88, y + 18), 0.95) << y;
    }
    EXPECT_GT(DarkShare(pdf, 112, 12, 128, 28), 0.95);
    EXPECT_LT(DarkShare(pdf, 132, 12, 148, 28), 0.05);
    EXPECT_LT(DarkShare(pdf, 0, 32, 200, 58), 0.01);  // nothing between the rows
  }
}

TEST_F(ImageCommands, BitmapHandlesAndDIBsMakeTheImage) {
  Begin(144);
  // A 2 x 1 DIB: black, white (B,G,R bytes, a row of 8 bytes).
  qvplatform::BITMAPINFOHEADER header;
  header.biSize = 40;
  header.biWidth = 2;
  header.biHeight = 1;
  header.biPlanes = 1;
  header.biBitCount = 24;
  const std::uint8_t pixels[8] = {0, 0, 0, 255, 255, 255, 0, 0};
  void* sectionBits = nullptr;
  const qvplatform::HBITMAP section =
      qvplatform::CreateDIBSection(0, header, nullptr, nullptr, 0, &sectionBits);
  ASSERT_NE(section, 0u);
  std::memcpy(sectionBits, pixels, sizeof pixels);

  TQVPDFCommand byHandle{};
  byHandle.Head.Image.Bitmap = section;
  Place(byHandle.Head.Image, 20, 20, 160, 40);  // points (10, 10) to (90, 30)
  ASSERT_EQ(e->Do(c, QVPDF_CMD_DRAW_IMAGE, 0, &byHandle), 0);
  EXPECT_EQ(byHandle.Head.Image.ImageNumber, 1);

  // The DIB goes into the rectangle of the record's device units, not the head's.
  TQVPDFCommand dib{};
  dib.DibInfo = &header;
  dib.DibBits = pixels;
  Place(dib.Head.Image, 0, 0, 1, 1);
  dib.X = 20, dib.Y = 120, dib.Width = 160, dib.Height = 40;  // points (10, 60) to (90, 80)
  ASSERT_EQ(e->Do(c, QVPDF_CMD_DRAW_IMAGE, 0, &dib), 0);
  EXPECT_EQ(dib.Head.Image.ImageNumber, 2);

  // No source at all.
  qvplatform::ScopedDebugCapture debug;
  TQVPDFCommand none{};
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_IMAGE, 0, &none), -1);
  EXPECT_EQ(debug.Lines(), std::vector<std::string>{"Wrong Arguments for QVPDF_EXBITMAP (5574)"});
  EXPECT_EQ(e->Do(c, QVPDF_CMD_DRAW_IMAGE, 0, nullptr), -1);
  const std::string pdf = End();
  qvplatform::DeleteObject(section);
  EXPECT_EQ(QpdfProblems(pdf), "");
  if (!Renders(pdf)) return;
  for (const int y : {10, 60}) {
    EXPECT_GT(DarkShare(pdf, 12, y + 2, 48, y + 18), 0.95) << y;
    EXPECT_LT(DarkShare(pdf, 52, y + 2, 88, y + 18), 0.05) << y;
  }
  EXPECT_LT(DarkShare(pdf, 0, 32, 200, 58), 0.01);
  EXPECT_LT(DarkShare(pdf, 0, 0, 8, 100), 0.01);
}

TEST_F(ImageCommands, ColourSpacesOfOneThreeAndFourComponents) {
  Begin(72);
  const struct {
    const char* name;
    std::int32_t components;
    const char* dictionary;
  } cases[] = {{"Grey", 1, "/Alternate/DeviceGray/N 1"},
               {"RGB", 3, "/Alternate/DeviceRGB/N 3"},
               {"CMYK", 4, "/Alternate/DeviceCMYK/N 4"}};
  std::vector<std::vector<std::uint8_t>> profiles;
  for (const auto& k : cases) {
    // Bytes that stand for a profile: each its own, so that each is found again.
    profiles.emplace_back(300, static_cast<std::uint8_t>('a' + k.components));
    TQVPDFCommand r{};
    r.Head.ColorSpace.Components = k.components;
    std::strcpy(r.Head.ColorSpace.Name, k.name);
    r.IccProfile = profiles.back().data();
    r.Head.ColorSpace.ProfileLength = static_cast<std::int32_t>(profiles.back().size());
    EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_ICC_COLOR_SPACE, 0, &r), 0);
  }
  // Two components, which no PDF colour space has: refused.
  TQVPDFCommand two{};
  two.Head.ColorSpace.Components = 2;
  std::strcpy(two.Head.ColorSpace.Name, "Two");
  two.IccProfile = profiles[0].data();
  two.Head.ColorSpace.ProfileLength = 300;
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_ICC_COLOR_SPACE, 0, &two), -1);
  // No profile: the built-in sRGB profile, with 3 components whatever the record says.
  TQVPDFCommand builtIn{};
  builtIn.Head.ColorSpace.Components = 1;
  std::strcpy(builtIn.Head.ColorSpace.Name, "sRGB");
  EXPECT_EQ(e->Do(c, QVPDF_CMD_ADD_ICC_COLOR_SPACE, 0, &builtIn), 0);
  const std::string pdf = End();
  EXPECT_EQ(QpdfProblems(pdf), "");
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_NE(pdf.find("/" + std::string(cases[i].name) + " [/ICCBased "), std::string::npos);
    const std::size_t at = pdf.find(cases[i].dictionary);
    ASSERT_NE(at, std::string::npos);
    const std::size_t data = pdf.find("stream\n", at) + 7;
    EXPECT_EQ(pdf.compare(data, 300, std::string(profiles[i].begin(), profiles[i].end())), 0);
  }
  EXPECT_EQ(pdf.find("/Two "), std::string::npos);
  EXPECT_NE(pdf.find("/sRGB [/ICCBased "), std::string::npos);
  // Its stream is the second with 3 components.
  const std::size_t first = pdf.find("/Alternate/DeviceRGB/N 3");
  EXPECT_NE(pdf.find("/Alternate/DeviceRGB/N 3", first + 1), std::string::npos);
}

}  // namespace
}  // namespace vellora_test

namespace vellora_test {
namespace {

// 5565 attaches the host's bitmap as the open page's /Thumb (its pixels as they are), also
// when the engine makes thumbnails; without a page, or with a handle that is no bitmap, it
// gives -1 and the page keeps no thumbnail.
TEST_F(ImageCommands, AHostBitmapBecomesThePageThumbnail) {
  Begin(72, true);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_PAGE_THUMBNAIL, 12345, nullptr), -1);
  const std::uint32_t pixels[6] = {0, 0xffffff, 0, 0xffffff, 0, 0xffffff};
  const qvplatform::HBITMAP bitmap = qvplatform::CreateBitmap(3, 2, 1, 32, pixels, sizeof pixels);
  ASSERT_NE(bitmap, 0u);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_PAGE_THUMBNAIL, static_cast<std::int32_t>(bitmap), nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  EXPECT_EQ(e->Do(c, QVPDF_CMD_PAGE_THUMBNAIL, static_cast<std::int32_t>(bitmap), nullptr), -1);
  const std::string pdf = End();
  qvplatform::DeleteObject(bitmap);
  EXPECT_EQ(QpdfProblems(pdf), "");
  ASSERT_NE(pdf.find("/Thumb"), std::string::npos);
  EXPECT_EQ(pdf.find("/Thumb"), pdf.rfind("/Thumb"));  // one page, one thumbnail
  EXPECT_NE(pdf.find("/Width 3"), std::string::npos);
}

// With thumbnails an image drawn on the page shows as a grey box where the page shows it; an
// image drawn into a form placed on the page shows nothing there.
TEST_F(ImageCommands, AnImageMarksThePageThumbnailUnlessItIsInAForm) {
  BeginDocument(72, true);
  TQVPDFCommand image = RawGreyImage();
  TQVPDFCommand form{};
  std::snprintf(form.Head.Name.Text, sizeof form.Head.Name.Text, "%s", "Pictures");
  form.Width = 200, form.Height = 100;
  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_XFORM, 0, &form), 0);
  Place(image.Head.Image, 110, 60, 80, 30);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_DRAW_IMAGE, 0, &image), 0);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_END_XFORM, 0, nullptr), 0);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  Place(image.Head.Image, 10, 10, 80, 20);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_DRAW_IMAGE, 0, &image), 0);
  ASSERT_EQ(e->Do(c, QVPDF_CMD_DRAW_XFORM, 0, &form), 0);
  const std::string pdf = End();
  EXPECT_EQ(QpdfProblems(pdf), "");
  const std::vector<Thumbnail> thumbnails = PageThumbnails(pdf);
  ASSERT_EQ(thumbnails.size(), 1u);
  const Thumbnail& t = thumbnails[0];
  ASSERT_TRUE(t.found);
  ASSERT_EQ(t.width, 66);
  ASSERT_EQ(t.height, 33);
  const auto pixel = [&](int x, int y) { return t.pixels[std::size_t(y) * 66 + std::size_t(x)]; };
  // Page (10, 10)-(90, 30) is thumbnail (3, 3)-(30, 10); the form's image would be at
  // (36, 20)-(63, 30).
  EXPECT_EQ(pixel(5, 5), 0xC0C0C0u);
  EXPECT_EQ(pixel(28, 8), 0xC0C0C0u);
  for (const auto& [x, y] : {std::pair{1, 1}, {32, 5}, {50, 25}, {62, 28}})
    EXPECT_EQ(pixel(x, y), 0xFFFFFFu) << x << "," << y;
}

}  // namespace
}  // namespace vellora_test
