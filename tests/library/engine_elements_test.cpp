// Word-processor elements through _QVPDF_QVKEXEC: each kind drawn in its place and colour (or
// not at all where the colour means none), twips turned into the page's device units at any
// resolution, the font the element asks for, the image number kept in the record, and
// hostile records that draw nothing and answer 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "engine_host.h"
#include "font_test_env.h"
#include "page_render.h"
#include "qvplatform/bitmap_handles.h"
#include "qvplatform/debug_output.h"
#include "qvplatform/font_service.h"
#include "qvplatform/metafile.h"

namespace vellora_test {
namespace {

// COLORREF values (0x00BBGGRR) and the raster's 0xRRGGBB forms.
constexpr std::uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;
constexpr std::uint32_t kMagenta = 0xFF00FF, kBlack = 0, kGrey = 0xC0C0C0;
constexpr std::int32_t kPageUnits = 300;  // element resolution: device units
constexpr std::int32_t kWhiteTransparentModes = 1 << QVPDF_MODE_WHITE_BRUSH_IS_TRANSPARENT;

// A black 16 x 8 grey JPEG.
const std::vector<std::uint8_t> kBlackJpeg = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00,
    0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x10, 0x0B, 0x0C, 0x0E, 0x0C,
    0x0A, 0x10, 0x0E, 0x0D, 0x0E, 0x12, 0x11, 0x10, 0x13, 0x18, 0x28, 0x1A, 0x18, 0x16, 0x16,
    0x18, 0x31, 0x23, 0x25, 0x1D, 0x28, 0x3A, 0x33, 0x3D, 0x3C, 0x39, 0x33, 0x38, 0x37, 0x40,
    0x48, 0x5C, 0x4E, 0x40, 0x44, 0x57, 0x45, 0x37, 0x38, 0x50, 0x6D, 0x51, 0x57, 0x5F, 0x62,
    0x67, 0x68, 0x67, 0x3E, 0x4D, 0x71, 0x79, 0x70, 0x64, 0x78, 0x5C, 0x65, 0x67, 0x63, 0xFF,
    0xC0, 0x00, 0x0B, 0x08, 0x00, 0x08, 0x00, 0x10, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xC4, 0x00,
    0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x07, 0xFF, 0xC4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xDA, 0x00,
    0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00, 0x9F, 0x8F, 0xFF, 0xD9};

std::uint32_t RasterColour(std::uint32_t colorRef) {
  return ((colorRef & 0xFF) << 16) | (colorRef & 0xFF00) | ((colorRef >> 16) & 0xFF);
}

bool Near(std::uint32_t a, std::uint32_t b) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 40) return false;
  return true;
}

// The share of pixels of [x0, x1) x [y0, y1) near the colour (a COLORREF).
double ColourShare(const Raster& r, std::uint32_t colorRef, int x0, int y0, int x1, int y1) {
  const std::uint32_t want = RasterColour(colorRef);
  int hits = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) hits += Near(r.At(x, y), want);
  return double(hits) / double((x1 - x0) * (y1 - y0));
}

// A 1 x 1 bitmap of the colour (a COLORREF), deleted at the end of the scope.
class SolidBitmap {
 public:
  explicit SolidBitmap(std::uint32_t colorRef) {
    qvplatform::BITMAPINFOHEADER header;
    header.biSize = 40;
    header.biWidth = 1;
    header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = 24;
    void* bits = nullptr;
    handle_ = qvplatform::CreateDIBSection(0, header, nullptr, nullptr, 0, &bits);
    const std::uint8_t bgr[4] = {std::uint8_t(colorRef >> 16), std::uint8_t(colorRef >> 8),
                                 std::uint8_t(colorRef), 0};
    if (bits != nullptr) std::memcpy(bits, bgr, sizeof bgr);
  }
  ~SolidBitmap() { qvplatform::DeleteObject(handle_); }
  SolidBitmap(const SolidBitmap&) = delete;
  SolidBitmap& operator=(const SolidBitmap&) = delete;
  std::uint32_t handle() const { return handle_; }

 private:
  qvplatform::HBITMAP handle_ = 0;
};

// The image number of a record, by value: the record is packed, and gtest takes references.
std::int32_t NumberOf(const TQVPDFElement& e) { return e.ImageNumber; }

TQVPDFElement Element(std::uint8_t kind) {
  TQVPDFElement e{};
  e.Kind = kind;
  e.FontSize = 12;
  e.ImageNumber = -1;
  e.TextColor = kBlack;
  e.BackColor = QVPDF_COLOR_NONE;
  std::strcpy(e.FaceName, "Arial");
  return e;
}

TQVPDFElement TextElement(const char* face, std::int32_t size, std::uint8_t style = 0) {
  TQVPDFElement e = Element(QVPDF_ELEMENT_TEXT);
  std::strcpy(e.FaceName, face);
  e.FontSize = size;
  e.Style = style;
  return e;
}

// pdftotext -bbox words: the text and its box in points.
struct Word {
  std::string text;
  double xMin, yMin, xMax, yMax;
  double Height() const { return yMax - yMin; }
};

std::vector<Word> Words(const std::string& pdf) {
  std::vector<Word> words;
  const ToolResult r = PdfToText(pdf, {"-bbox"});
  std::size_t at = 0;
  while ((at = r.out.find("<word xMin=\"", at)) != std::string::npos) {
    Word w{};
    std::sscanf(r.out.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"",
                &w.xMin, &w.yMin, &w.xMax, &w.yMax);
    const std::size_t begin = r.out.find('>', at) + 1;
    w.text = r.out.substr(begin, r.out.find("</word>", begin) - begin);
    words.push_back(w);
    ++at;
  }
  return words;
}

const Word* Find(const std::vector<Word>& words, const std::string& text) {
  for (const Word& w : words)
    if (w.text == text) return &w;
  return nullptr;
}

// The bottom of the ink of a text in the column band [x0, x1): the row below its lowest dark
// pixel, which for capitals is the baseline.
int InkBottom(const Raster& r, int x0, int x1) {
  for (int y = r.height - 1; y >= 0; --y)
    for (int x = x0; x < x1; ++x)
      if (r.Dark(x, y)) return y + 1;
  return -1;
}

// A memory document with the test fonts; pages are opened by InitializePage and 5560.
class ElementDocument {
 public:
  explicit ElementDocument(TQVPDFEngineCallback callback = nullptr, void* userData = nullptr)
      : c(callback, userData) {
    UsePrivateFontConfig();
    e = Engine();
    ok = e != nullptr && e->Do(c, QVPDF_CMD_BEGIN_DOC, 0, const_cast<char*>("")) == 0;
  }
  // A page of the size in points at the resolution.
  void OpenPage(int width, int height, int resolution, std::uint32_t color = QVPDF_COLOR_NONE,
                int originX = 0) {
    TQVPDFPageInit page = PageRecord(width * resolution / 72, height * resolution / 72, resolution);
    page.PageColor = color;
    page.OriginX = originX;
    EXPECT_EQ(e->InitializePage(c, 0, &page), 1);
    EXPECT_EQ(e->Do(c, QVPDF_CMD_BEGIN_PAGE, 0, nullptr), 0);
  }
  bool Set(std::int32_t key, std::int32_t value) { return e->SetIProp(c, key, value); }
  std::int32_t Paint(TQVPDFElement& element, TQVPDFElementRect rect, const char* text = nullptr) {
    return e->QVKExec(c, &element, &rect, text, 0, 0);
  }
  std::string Finish() {
    e->Do(c, QVPDF_CMD_END_PAGE, 0, nullptr);
    e->Do(c, QVPDF_CMD_END_DOC, 0, nullptr);
    return DocumentBytes(c);
  }

  const EngineEntries* e = nullptr;
  EngineContext c;
  bool ok = false;
};

// Probes of a rendered page: the share of a region near a colour, at least or at most.
struct Probe {
  int x0, y0, x1, y1;
  std::uint32_t color;
  double least, most;
};

TEST(Elements, EachKindShowsInItsPlaceAndColour) {
  SolidBitmap redBitmap(kRed);
  const char16_t wide[] = u"MMMM";
  struct Case {
    const char* name;
    std::uint32_t pageColor;
    std::int32_t modes;
    std::function<void(ElementDocument&)> paint;
    std::vector<Probe> probes;
  };
  // Coordinates are points (device units of a 72 dpi page).
  auto text = [](std::uint32_t color, std::uint32_t back, bool usePage, bool asWide,
                 const char16_t* wideText) {
    return [=](ElementDocument& t) {
      TQVPDFElement el = TextElement("Arial", 30);
      el.TextColor = color;
      el.BackColor = back;
      el.UsePageColor = usePage;
      el.Baseline = 40;
      if (asWide) {
        el.TextForm = QVPDF_ELEMENT_WIDE_TEXT;
        el.WideTextOrData = wideText;
      }
      EXPECT_EQ(t.Paint(el, {5, 10, 95, 50}, asWide ? "xxxx" : "MMMM"), 0);
    };
  };
  // Text occupies x 5 to about 105 on the page's 120 points; the background's far right end
  // (100 to 115 of a rectangle to 115) holds no glyph.
  auto backed = [](std::uint32_t back) {
    return [=](ElementDocument& t) {
      TQVPDFElement el = TextElement("Arial", 10);
      el.BackColor = back;
      el.Baseline = 40;
      EXPECT_EQ(t.Paint(el, {5, 10, 115, 50}, "M"), 0);
    };
  };
  auto line = [](std::uint8_t kind) {
    return [=](ElementDocument& t) {
      TQVPDFElement el = Element(kind);
      el.PenWidth = 4;
      el.Baseline = 30;
      EXPECT_EQ(t.Paint(el, {20, 10, 80, 50}), 0);
    };
  };
  auto fill = [](std::uint32_t color, std::int32_t style, bool overBlack) {
    return [=](ElementDocument& t) {
      if (overBlack) {
        TQVPDFElement under = Element(QVPDF_ELEMENT_FILLED_RECT);
        under.BackColor = kBlack;
        EXPECT_EQ(t.Paint(under, {20, 10, 80, 50}), 0);
      }
      TQVPDFElement el = Element(QVPDF_ELEMENT_FILLED_RECT);
      el.BackColor = color;
      el.FillStyle = style;
      EXPECT_EQ(t.Paint(el, {20, 10, 80, 50}), 0);
    };
  };
  const std::vector<Probe> noBackground = {{100, 14, 114, 46, kWhite, 0.99, 1}};
  const std::vector<Probe> filled = {{22, 12, 78, 48, kGreen, 0.99, 1}};
  const std::vector<Probe> unfilled = {{10, 5, 90, 55, kWhite, 0.999, 1}};
  const std::vector<Case> cases = {
      {"text in 8 bits",
       QVPDF_COLOR_NONE,
       0,
       text(kRed, QVPDF_COLOR_NONE, false, false, nullptr),
       {{5, 15, 105, 40, kRed, 0.15, 1}, {5, 44, 115, 60, kWhite, 0.99, 1}}},
      {"text in UTF-16",
       QVPDF_COLOR_NONE,
       0,
       text(kBlue, QVPDF_COLOR_NONE, false, true, wide),
       {{5, 15, 105, 40, kBlue, 0.15, 1}}},
      {"text in the page colour",
       kMagenta,
       0,
       text(kRed, QVPDF_COLOR_NONE, true, false, nullptr),
       {{5, 15, 105, 40, kMagenta, 0.15, 1}, {5, 15, 105, 40, kRed, 0, 0}}},
      {"page colour none",
       QVPDF_COLOR_NONE,
       0,
       text(kRed, QVPDF_COLOR_NONE, true, false, nullptr),
       {{5, 15, 105, 40, kRed, 0.15, 1}}},
      {"background", QVPDF_COLOR_NONE, 0, backed(kGreen), {{100, 14, 114, 46, kGreen, 0.99, 1}}},
      {"background none", QVPDF_COLOR_NONE, 0, backed(QVPDF_COLOR_NONE), noBackground},
      {"background none (window)", QVPDF_COLOR_NONE, 0, backed(QVPDF_COLOR_NONE_WINDOW),
       noBackground},
      {"background none (system)", QVPDF_COLOR_NONE, 0, backed(QVPDF_COLOR_NONE_SYSTEM),
       noBackground},
      {"background white", QVPDF_COLOR_NONE, 0, backed(kWhite), noBackground},
      {"image by handle",
       QVPDF_COLOR_NONE,
       0,
       [&](ElementDocument& t) {
         TQVPDFElement el = Element(QVPDF_ELEMENT_IMAGE);
         el.ImageSource = redBitmap.handle();
         EXPECT_EQ(t.Paint(el, {20, 10, 80, 50}), 0);
       },
       {{22, 12, 78, 48, kRed, 0.99, 1}, {5, 52, 115, 58, kWhite, 0.99, 1}}},
      {"image by JPEG data",
       QVPDF_COLOR_NONE,
       0,
       [&](ElementDocument& t) {
         TQVPDFElement el = Element(QVPDF_ELEMENT_IMAGE);
         el.Flags = QVPDF_ELEMENT_IMAGE_DATA;
         el.WideTextOrData = kBlackJpeg.data();
         el.ImageDataSize = static_cast<std::int32_t>(kBlackJpeg.size());
         el.TextForm = 7;  // JPEG grey
         EXPECT_EQ(t.Paint(el, {20, 10, 80, 50}), 0);
       },
       {{22, 12, 78, 48, kBlack, 0.99, 1}}},
      {"line along the top",
       QVPDF_COLOR_NONE,
       0,
       line(QVPDF_ELEMENT_LINE_TOP),
       {{25, 9, 75, 11, kBlack, 0.95, 1}, {25, 14, 75, 46, kWhite, 1, 1}}},
      {"line along the bottom",
       QVPDF_COLOR_NONE,
       0,
       line(QVPDF_ELEMENT_LINE_BOTTOM),
       {{25, 48, 75, 50, kBlack, 0.95, 1}, {25, 14, 75, 46, kWhite, 1, 1}}},
      {"line along the left",
       QVPDF_COLOR_NONE,
       0,
       line(QVPDF_ELEMENT_LINE_LEFT),
       {{19, 14, 21, 46, kBlack, 0.95, 1}, {24, 14, 76, 46, kWhite, 1, 1}}},
      {"line along the right",
       QVPDF_COLOR_NONE,
       0,
       line(QVPDF_ELEMENT_LINE_RIGHT),
       {{79, 14, 81, 46, kBlack, 0.95, 1}, {24, 14, 76, 46, kWhite, 1, 1}}},
      // One pixel of the page below the baseline at 30.
      {"line at the baseline",
       QVPDF_COLOR_NONE,
       0,
       line(QVPDF_ELEMENT_BASELINE_LINE),
       {{25, 30, 75, 32, kBlack, 0.95, 1}, {25, 10, 75, 27, kWhite, 1, 1}}},
      {"fill", QVPDF_COLOR_NONE, 0, fill(kGreen, 0, false), filled},
      {"shading fill", QVPDF_COLOR_NONE, 0, fill(kGreen, QVPDF_ELEMENT_SHADING_FILL, false),
       filled},
      {"fill none", QVPDF_COLOR_NONE, 0, fill(QVPDF_COLOR_NONE, 0, false), unfilled},
      {"fill none (window)", QVPDF_COLOR_NONE, 0, fill(QVPDF_COLOR_NONE_WINDOW, 0, false),
       unfilled},
      {"fill none (system)", QVPDF_COLOR_NONE, 0, fill(QVPDF_COLOR_NONE_SYSTEM, 0, false),
       unfilled},
      {"white fill", QVPDF_COLOR_NONE, 0, fill(kWhite, 0, true), {{22, 12, 78, 48, kWhite, 1, 1}}},
      {"white fill, white transparent",
       QVPDF_COLOR_NONE,
       kWhiteTransparentModes,
       fill(kWhite, 0, true),
       {{22, 12, 78, 48, kBlack, 1, 1}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ElementDocument t;
    ASSERT_TRUE(t.ok);
    ASSERT_TRUE(t.Set(QVPDF_IPROP_ELEMENT_RESOLUTION, kPageUnits));
    ASSERT_TRUE(t.Set(QVPDF_IPROP_MODES, k.modes));
    t.OpenPage(120, 60, 72, k.pageColor);
    k.paint(t);
    const std::string pdf = t.Finish();
    EXPECT_EQ(QpdfProblems(pdf), "");
    RenderOptions colour;
    colour.colour = true;
    const Raster r = RenderPage(pdf, colour);
    if (!r.ok) continue;
    for (const Probe& p : k.probes) {
      const double share = ColourShare(r, p.color, p.x0, p.y0, p.x1, p.y1);
      EXPECT_GE(share, p.least) << p.x0 << "," << p.y0;
      EXPECT_LE(share, p.most) << p.x0 << "," << p.y0;
    }
  }
}

TEST(Elements, TwipsBecomeTheDeviceUnitsOfThePage) {
  if (!HaveTool("pdftotext")) GTEST_SKIP() << "pdftotext missing";
  struct Case {
    const char* name;
    int resolution, elementResolution, originX;
    TQVPDFElementRect rect;
    std::int32_t baseline;
    double left;  // points
  };
  // Every case: the word's baseline 144 points down, its grey background from 120 to 160
  // points down and to 144 points right of the word's left edge.
  const Case cases[] = {
      {"twips at 72 dpi", 72, 0, 0, {1440, 2400, 4320, 3200}, 2880, 72},
      {"twips from origin x", 72, 0, 720, {1440, 2400, 4320, 3200}, 2880, 36},
      {"twips at 144 dpi", 144, 0, 0, {1440, 2400, 4320, 3200}, 2880, 72},
      {"twips at 300 dpi", 300, 0, 0, {1440, 2400, 4320, 3200}, 2880, 72},
      {"page units at 300 dpi", 300, 300, 0, {300, 500, 900, 667}, 600, 72},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    ElementDocument t;
    ASSERT_TRUE(t.ok);
    ASSERT_TRUE(t.Set(QVPDF_IPROP_ELEMENT_RESOLUTION, k.elementResolution));
    t.OpenPage(300, 200, k.resolution, QVPDF_COLOR_NONE, k.originX);
    TQVPDFElement el = TextElement("Arial", 20);
    el.Baseline = k.baseline;
    el.BackColor = kGrey;
    EXPECT_EQ(t.Paint(el, k.rect, "HHH"), 0);
    const std::string pdf = t.Finish();
    EXPECT_EQ(QpdfProblems(pdf), "");
    const std::vector<Word> words = Words(pdf);
    ASSERT_EQ(words.size(), 1u);
    EXPECT_NEAR(words[0].xMin, k.left, 1.0);
    const Raster r = RenderPage(pdf);
    if (!r.ok) continue;
    const int x = static_cast<int>(k.left);
    EXPECT_NEAR(InkBottom(r, x, x + 40), 144, 1);
    // The background: grey right of the word, from its top down to its bottom.
    EXPECT_GT(ColourShare(r, kGrey, x + 120, 122, x + 142, 158), 0.99);
    EXPECT_GT(ColourShare(r, kWhite, x + 120, 110, x + 142, 118), 0.99);
    EXPECT_GT(ColourShare(r, kWhite, x + 148, 122, x + 160, 158), 0.99);
  }
}

TEST(Elements, TheFontIsTheOneTheElementAsksFor) {
  ElementDocument d;
  ASSERT_TRUE(d.ok);
  if (!HaveTool("pdftotext") || !HaveTool("pdffonts")) GTEST_SKIP() << "poppler missing";
  d.OpenPage(400, 200, 144);
  // Twips: a line of words 20 points apart at a baseline 40 points down.
  auto at = [&](TQVPDFElement el, int left, const char* text) {
    el.Baseline = 800;
    EXPECT_EQ(d.Paint(el, {left * 20, 400, left * 20 + 1400, 1000}, text), 0);
  };
  // "Arial Narrow" may stand for another font than Arial here: each face is compared with
  // itself at 9 points (18 pixels).
  at(TextElement("Arial Narrow", 8), 10, "Narrow");
  at(TextElement("Arial Narrow", 9), 50, "Narrow9");
  at(TextElement("Arial", 8), 90, "Plain");
  at(TextElement("Arial", 9), 130, "Plain9");
  at(TextElement("Arial", 8, QVPDF_ELEMENT_SUPERSCRIPT), 170, "Raised");
  at(TextElement("Arial", 8, QVPDF_ELEMENT_SUBSCRIPT), 250, "Lowered");
  TQVPDFElement italic = TextElement("Arial", 12, QVPDF_ELEMENT_ITALIC | QVPDF_ELEMENT_BOLD);
  italic.Baseline = 2000;
  EXPECT_EQ(d.Paint(italic, {200, 1600, 4000, 2200}, "Slanted"), 0);
  // The super- and subscript marks do not outlive their element.
  at(TextElement("Arial", 8), 330, "After");
  const std::string pdf = d.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  const std::vector<Word> words = Words(pdf);
  const Word* narrow = Find(words, "Narrow");
  const Word* plain = Find(words, "Plain");
  const Word* raised = Find(words, "Raised");
  const Word* lowered = Find(words, "Lowered");
  const Word* after = Find(words, "After");
  const Word* narrow9 = Find(words, "Narrow9");
  const Word* plain9 = Find(words, "Plain9");
  ASSERT_TRUE(narrow && plain && raised && lowered && after && narrow9 && plain9) << words.size();
  EXPECT_NEAR(narrow->Height() / narrow9->Height(), 17.0 / 18.0, 0.005);
  EXPECT_NEAR(plain->Height() / plain9->Height(), 16.0 / 18.0, 0.005);
  // Two thirds of 16 pixels, rounded: 11.
  EXPECT_NEAR(raised->Height() / plain->Height(), 11.0 / 16.0, 0.01);
  EXPECT_LT(raised->yMax, plain->yMax - 1);
  EXPECT_GT(lowered->yMax, plain->yMax + 0.5);
  EXPECT_NEAR(after->Height(), plain->Height(), 0.01);
  EXPECT_NEAR(after->yMax, plain->yMax, 0.01);
  bool italicFace = false;
  for (const PdfFontRow& row : PdfFonts(pdf))
    italicFace |= row.name.find("Italic") != std::string::npos;
  EXPECT_TRUE(italicFace) << PdfFontsOutput(pdf).out;
}

TEST(Elements, SizesAreCharacterHeightsAtEveryResolution) {
  if (!HaveTool("pdftotext")) GTEST_SKIP() << "pdftotext missing";
  std::vector<double> heights;
  for (const int resolution : {72, 144}) {
    ElementDocument t;
    ASSERT_TRUE(t.ok);
    t.OpenPage(200, 100, resolution);
    TQVPDFElement el = TextElement("Arial", 12);
    el.Baseline = 1000;
    EXPECT_EQ(t.Paint(el, {200, 600, 3000, 1200}, "Size"), 0);
    const std::vector<Word> words = Words(t.Finish());
    ASSERT_EQ(words.size(), 1u);
    heights.push_back(words[0].Height());
  }
  EXPECT_NEAR(heights[0], heights[1], 0.01) << "a 12 point run at 72 and 144 dpi";
}

TEST(Elements, StrikeOutDrawsALineThroughTheWord) {
  ElementDocument d;
  ASSERT_TRUE(d.ok);
  d.OpenPage(200, 100, 72);
  for (const bool struck : {false, true}) {
    TQVPDFElement el = TextElement("Arial", 30, struck ? QVPDF_ELEMENT_STRIKEOUT : 0);
    el.Baseline = struck ? 1600 : 800;
    EXPECT_EQ(d.Paint(el, {200, el.Baseline - 700, 3800, el.Baseline + 200}, "i    i"), 0);
  }
  const Raster r = RenderPage(d.Finish());
  if (!r.ok) GTEST_SKIP() << r.diagnostics;
  // The most ink one row holds between the two i's (x 20 to 50 of the run's 10 to 60).
  auto fullestRow = [&](int baseline) {
    double best = 0;
    for (int y = baseline - 25; y < baseline; ++y)
      best = std::max(best, r.DarkShare(20, y, 40, y + 1));
    return best;
  };
  EXPECT_LT(fullestRow(40), 0.01);
  EXPECT_GT(fullestRow(80), 0.99);
}

TEST(Elements, WideTextIsBoundedByTheEightBitText) {
  ElementDocument d;
  ASSERT_TRUE(d.ok);
  if (!HaveTool("pdftotext")) GTEST_SKIP() << "pdftotext missing";
  d.OpenPage(400, 200, 72);
  struct Case {
    const char16_t* wide;
    const char* text;
  };
  // Greek and Cyrillic; a UTF-16 text cut by the shorter 8-bit one; one that ends sooner at
  // its zero; no 8-bit text at all (nothing drawn); no UTF-16 text (the 8-bit one drawn).
  const char16_t shortWide[] = {u'E', u'n', u'd', 0, u'X', u'X', u'X'};
  const Case cases[] = {{u"\u03b1\u03b2\u03b3 \u0416\u0443\u043a", "1234567"},
                        {u"Shortened", "Short"},
                        {shortWide, "1234567"},
                        {u"Never", nullptr},
                        {nullptr, "Eight"}};
  int line = 1;
  for (const Case& k : cases) {
    TQVPDFElement el = TextElement("Arial", 12);
    el.TextForm = QVPDF_ELEMENT_WIDE_TEXT;
    el.WideTextOrData = k.wide;
    el.Baseline = 20 * 20 * line++;
    EXPECT_EQ(d.Paint(el, {400, el.Baseline - 300, 6000, el.Baseline + 100}, k.text), 0);
  }
  const ToolResult text = PdfToText(d.Finish(), {"-layout"});
  std::string words = text.out;
  std::replace(words.begin(), words.end(), '\n', ' ');
  for (const char* expected :
       {"\xce\xb1\xce\xb2\xce\xb3 \xd0\x96\xd1\x83\xd0\xba", "Short ", "End ", "Eight"})
    EXPECT_NE(words.find(expected), std::string::npos) << expected << " in " << words;
  for (const char* absent : {"Shortened", "X", "Never", "1234567"})
    EXPECT_EQ(words.find(absent), std::string::npos) << absent << " in " << words;
}

TEST(Elements, AnImageNumberIsKeptInTheRecordAndReused) {
  ElementDocument d;
  ASSERT_TRUE(d.ok);
  if (!HaveTool("pdfimages")) GTEST_SKIP() << "pdfimages missing";
  ASSERT_TRUE(d.Set(QVPDF_IPROP_ELEMENT_RESOLUTION, kPageUnits));
  d.OpenPage(200, 100, 72);
  // One record twice: one image, placed twice.
  SolidBitmap red(kRed);
  TQVPDFElement once = Element(QVPDF_ELEMENT_IMAGE);
  once.ImageSource = red.handle();
  EXPECT_EQ(d.Paint(once, {10, 10, 30, 30}), 0);
  EXPECT_EQ(NumberOf(once), 1);
  EXPECT_EQ(d.Paint(once, {40, 10, 60, 30}), 0);
  EXPECT_EQ(NumberOf(once), 1);
  // Images 2 to 4: JPEG data without a handle (its size from the frame header), and two more
  // bitmaps of other colours; then image 5 from a green bitmap.
  TQVPDFElement jpeg = Element(QVPDF_ELEMENT_IMAGE);
  jpeg.Flags = QVPDF_ELEMENT_IMAGE_DATA;
  jpeg.WideTextOrData = kBlackJpeg.data();
  jpeg.ImageDataSize = static_cast<std::int32_t>(kBlackJpeg.size());
  jpeg.TextForm = 7;
  EXPECT_EQ(d.Paint(jpeg, {70, 10, 90, 30}), 0);
  EXPECT_EQ(NumberOf(jpeg), 2);
  SolidBitmap blue(kBlue), grey(kGrey), green(kGreen);
  for (const SolidBitmap* b : {&blue, &grey, &green}) {
    TQVPDFElement el = Element(QVPDF_ELEMENT_IMAGE);
    el.ImageSource = b->handle();
    EXPECT_EQ(d.Paint(el, {100, 10, 101, 11}), 0);
  }
  // A record holding 5 draws image 5 without making one; a number past the list draws
  // nothing; a negative data size makes no image.
  TQVPDFElement five = Element(QVPDF_ELEMENT_IMAGE);
  five.ImageNumber = 5;
  five.ImageSource = red.handle();
  EXPECT_EQ(d.Paint(five, {10, 50, 30, 70}), 0);
  EXPECT_EQ(NumberOf(five), 5);
  TQVPDFElement past = Element(QVPDF_ELEMENT_IMAGE);
  past.ImageNumber = 9;
  EXPECT_EQ(d.Paint(past, {40, 50, 60, 70}), 0);
  TQVPDFElement negative = jpeg;
  negative.ImageNumber = -1;
  negative.ImageDataSize = -5;
  EXPECT_EQ(d.Paint(negative, {70, 50, 90, 70}), 0);
  EXPECT_LT(NumberOf(negative), 0);
  // With JPEG conversion on (key 6), the bitmap road: the record's bitmap, not its data.
  ASSERT_TRUE(d.Set(QVPDF_IPROP_CONVERT_JPEG_DATA, 1));
  TQVPDFElement converted = jpeg;
  converted.ImageNumber = -1;
  converted.ImageSource = blue.handle();
  EXPECT_EQ(d.Paint(converted, {100, 50, 120, 70}), 0);
  EXPECT_GT(NumberOf(converted), 0);

  const std::string pdf = d.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  const auto rows = ListImages(pdf);
  // Two of image 1, image 2, three bitmaps, image 5 again, the converted record's bitmap.
  ASSERT_EQ(rows.size(), 8u);
  std::set<std::string> objects;
  for (std::size_t i = 0; i < 7; ++i) objects.insert(rows[i].at(10));
  EXPECT_EQ(objects.size(), 5u);
  EXPECT_EQ(rows[0].at(10), rows[1].at(10));
  EXPECT_EQ(rows[2].at(3) + "x" + rows[2].at(4) + " " + rows[2].at(8), "16x8 jpeg");
  EXPECT_EQ(rows[6].at(10), rows[5].at(10));
  EXPECT_EQ(rows[7].at(3) + "x" + rows[7].at(4) + " " + rows[7].at(8), "1x1 image");
  RenderOptions colour;
  colour.colour = true;
  const Raster r = RenderPage(pdf, colour);
  if (!r.ok) return;
  EXPECT_GT(ColourShare(r, kRed, 12, 12, 28, 28), 0.99);
  EXPECT_GT(ColourShare(r, kRed, 42, 12, 58, 28), 0.99);
  EXPECT_GT(ColourShare(r, kGreen, 12, 52, 28, 68), 0.99);
  EXPECT_GT(ColourShare(r, kWhite, 40, 50, 100, 70), 0.99);
  EXPECT_GT(ColourShare(r, kBlue, 102, 52, 118, 68), 0.99);
}

TEST(Elements, HostileRecordsDrawNothingAndAnswerZero) {
  ElementDocument d;
  ASSERT_TRUE(d.ok);
  TQVPDFElement fill = Element(QVPDF_ELEMENT_FILLED_RECT);
  fill.BackColor = kBlack;
  const TQVPDFElementRect rect{0, 0, 100, 100};
  // No context, element or rectangle; no page open yet.
  EXPECT_EQ(d.e->QVKExec(nullptr, &fill, &rect, "x", 0, 0), 0);
  EXPECT_EQ(d.e->QVKExec(d.c, nullptr, &rect, "x", 0, 0), 0);
  EXPECT_EQ(d.e->QVKExec(d.c, &fill, nullptr, "x", 0, 0), 0);
  EXPECT_EQ(d.e->QVKExec(d.c, &fill, &rect, nullptr, 0, 0), 0);
  ASSERT_TRUE(d.Set(QVPDF_IPROP_ELEMENT_RESOLUTION, kPageUnits));
  d.OpenPage(100, 100, 72);
  const std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  SolidBitmap red(kRed);
  const std::uint8_t kinds[] = {0, 2, 3, 4, 5, 6, 7, 10, 1, 255};
  for (const std::uint8_t kind : kinds) {
    for (const std::int32_t v : {kMin, kMax}) {
      SCOPED_TRACE(std::to_string(kind) + " " + std::to_string(v));
      for (int field = 0; field < 8; ++field) {
        TQVPDFElement el = Element(kind);
        el.BackColor = kWhite;  // nothing visible on the white page
        el.TextColor = kWhite;
        el.ImageSource = red.handle();
        TQVPDFElementRect r{10, 10, 20, 20};
        // Fields of the packed record are set by value, never through a pointer. The data
        // size only below 0: a host's length beyond its data is the host's error.
        switch (field) {
          case 0:
            r.Left = v;
            break;
          case 1:
            r.Top = v;
            break;
          case 2:
            r.Right = v;
            break;
          case 3:
            r.Bottom = v;
            break;
          case 4:
            el.Baseline = v;
            break;
          case 5:
            el.FontSize = v;
            break;
          case 6:
            el.PenWidth = v;
            break;
          default:
            el.ImageDataSize = std::min(v, -1);
            break;
        }
        el.Flags = field == 7 ? QVPDF_ELEMENT_IMAGE_DATA : 0;
        el.WideTextOrData = field == 7 ? kBlackJpeg.data() : nullptr;
        EXPECT_EQ(d.Paint(el, r, "Wide"), 0);
      }
    }
  }
  // A face field without a zero; the UTF-16 form with no UTF-16 text behind it.
  TQVPDFElement face = TextElement("Arial", 12);
  std::memset(face.FaceName, 'A', sizeof face.FaceName);
  face.TextForm = QVPDF_ELEMENT_WIDE_TEXT;
  face.TextColor = kWhite;
  EXPECT_EQ(d.Paint(face, {10, 10, 90, 30}, "Face"), 0);
  EXPECT_EQ(d.e->Do(d.c, QVPDF_CMD_END_PAGE, 0, nullptr), 0);
  // Between pages nothing is drawn; the next page shows only its own element.
  EXPECT_EQ(d.Paint(fill, {0, 0, 100, 100}), 0);
  d.OpenPage(100, 100, 72);
  TQVPDFElement small = fill;
  EXPECT_EQ(d.Paint(small, {10, 10, 20, 20}), 0);
  const std::string pdf = d.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  RenderOptions second;
  second.page = 2;
  const Raster r = RenderPage(pdf, second);
  if (!r.ok) return;
  EXPECT_GT(r.DarkShare(11, 11, 19, 19), 0.99);
  EXPECT_LT(r.DarkShare(22, 0, 100, 100), 0.001);
  EXPECT_LT(r.DarkShare(0, 22, 100, 100), 0.001);
}

TEST(Elements, NothingIsPaintedFromInsideTheCallback) {
  struct Inside {
    ElementDocument* doc = nullptr;
    std::vector<std::int32_t> results;
  } inside;
  auto callback = [](void* userData, std::int32_t kind, std::int32_t, const char*) {
    auto* in = static_cast<Inside*>(userData);
    if (kind != QVPDF_CALLBACK_MESSAGE || in->doc == nullptr) return;
    TQVPDFElement fill = Element(QVPDF_ELEMENT_FILLED_RECT);
    fill.BackColor = kBlack;
    in->results.push_back(in->doc->Paint(fill, {0, 0, 100, 100}));
    in->results.push_back(in->doc->e->Do(in->doc->c, QVPDF_CMD_END_PAGE, 0, nullptr));
  };
  ElementDocument d(callback, &inside);
  ASSERT_TRUE(d.ok);
  ASSERT_TRUE(d.Set(QVPDF_IPROP_ELEMENT_RESOLUTION, kPageUnits));
  d.OpenPage(100, 100, 72);
  inside.doc = &d;
  // A handle that is no bitmap: the image writer's message calls back.
  TQVPDFElement image = Element(QVPDF_ELEMENT_IMAGE);
  image.ImageSource = 0x7FFFFFF0u;
  EXPECT_EQ(d.Paint(image, {10, 10, 20, 20}), 0);
  inside.doc = nullptr;
  ASSERT_EQ(inside.results.size(), 2u);
  EXPECT_EQ(inside.results[0], 0);
  EXPECT_EQ(inside.results[1], -1);
  // The page stayed open and unpainted.
  const std::string pdf = d.Finish();
  EXPECT_EQ(QpdfProblems(pdf), "");
  const double dark = DarkShare(pdf, 0, 0, 100, 100);
  if (dark >= 0) {
    EXPECT_LT(dark, 0.001);
  }
}

TEST(Elements, AFailingElementGoesToTheDebugSink) {
  ElementDocument d;
  ASSERT_TRUE(d.ok);
  d.OpenPage(100, 100, 72);
  // One byte more than a host text may hold.
  const std::string tooLong((std::size_t{1} << 24) + 1, 'a');
  TQVPDFElement el = TextElement("Arial", 12);
  qvplatform::ScopedDebugCapture debug;
  EXPECT_EQ(d.Paint(el, {0, 0, 100, 100}, tooLong.c_str()), 0);
  EXPECT_EQ(debug.Lines(), std::vector<std::string>{"Element text too long (_QVPDF_QVKEXEC)"});
  EXPECT_EQ(QpdfProblems(d.Finish()), "");
}

TEST(Elements, AMetafileAfterElementsLandsWhereItLandsWithoutThem) {
  const auto bytes = HalfBlackPicture(100, 100);
  const qvplatform::MetafileLoadResult picture =
      qvplatform::LoadMetafileBytes(bytes.data(), bytes.size());
  ASSERT_NE(picture.handle, 0u);
  std::vector<Raster> pages;
  for (const bool withElements : {false, true}) {
    ElementDocument t;
    ASSERT_TRUE(t.ok);
    t.OpenPage(200, 200, 144);
    if (withElements) {
      // Right half of the page, in twips: a text, a rule and a fill.
      TQVPDFElement text = TextElement("Arial", 20, QVPDF_ELEMENT_ITALIC);
      text.Baseline = 3000;
      text.BackColor = kGrey;
      EXPECT_EQ(t.Paint(text, {2400, 2400, 3800, 3200}, "Aa"), 0);
      TQVPDFElement rule = Element(QVPDF_ELEMENT_LINE_TOP);
      rule.PenWidth = 3;
      EXPECT_EQ(t.Paint(rule, {2400, 3400, 3800, 3500}), 0);
      TQVPDFElement fill = Element(QVPDF_ELEMENT_FILLED_RECT);
      fill.BackColor = kBlack;
      EXPECT_EQ(t.Paint(fill, {2400, 3600, 3800, 3800}), 0);
    }
    TQVPDFCommand place{};
    place.X = 0, place.Y = 0, place.Width = 200, place.Height = 200;
    place.Arg1 = place.Arg2 = 144;
    EXPECT_EQ(t.e->Do(t.c, QVPDF_CMD_DRAW_METAFILE, static_cast<int>(picture.handle), &place), 0);
    const std::string pdf = t.Finish();
    EXPECT_EQ(QpdfProblems(pdf), "");
    pages.push_back(RenderPage(pdf));
  }
  qvplatform::DeleteEnhMetaFile(picture.handle);
  if (!pages[0].ok || !pages[1].ok) GTEST_SKIP() << pages[0].diagnostics;
  // The picture shows in the top left quarter, where no element is.
  EXPECT_GT(pages[0].DarkShare(0, 0, 100, 100), 0.1);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x)
      ASSERT_EQ(pages[0].Grey(x, y), pages[1].Grey(x, y)) << x << "," << y;
}

}  // namespace
}  // namespace vellora_test
