// Text records played through the whole PDF device with real fonts, and what poppler reads
// back from the document: the shared helpers of the engine's text tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "emf_builder.h"
#include "font_test_env.h"
#include "qvplatform/font_types.h"
#include "tool_run.h"

namespace vellora_test {

constexpr int kTextPageWidth = 600, kTextPageHeight = 400;  // pixels at 72 dpi: one per point
// The records' logical units: tenths of a point (as fine as the units of real metafiles, so
// that the advances GDI records are not rounded to whole points).
constexpr int kTextUnits = 10;

// A word of pdftotext -bbox, in points from the page's top left.
struct Word {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  std::string text;
};
std::vector<Word> WordsOf(const std::string& pdf);

qvplatform::LOGFONTW Font(const char16_t* face, std::int32_t height, std::int32_t escapement = 0,
                          std::uint8_t charset = 0);

// The advances GDI records for a text: the screen DC's widths of each character.
std::vector<qvplatform::INT> Advances(const qvplatform::LOGFONTW& lf, const std::u16string& text,
                                      double stretch = 1);

std::string Utf8(const std::u16string& text);

// A picture of kTextPageWidth x kTextPageHeight points, baseline-aligned text.
EmfBuilder TextPicture();

struct Record {  // in points
  const char16_t* face;
  std::int32_t height;  // negative: em, positive: cell height
  std::int32_t escapement;
  std::uint8_t charset;
  bool ansi;       // an EMR_EXTTEXTOUTA record (text in the charset's code page)
  double stretch;  // advances of the record over the font's; 0: no spacing array
  std::int32_t x, y;
  std::u16string text;
};

// How the device writes fonts.
struct FontModes {
  std::uint8_t fontMode = 5;  // qvEmbedSubsetTrueType_UsedChar
  std::uint8_t cidMode = 0;
};

// The records in tenths of a point (then more, in the picture's own units), played into a
// document of one page.
std::string Played(const std::vector<Record>& records, FontModes modes,
                   const std::function<void(EmfBuilder&)>& more = {});

}  // namespace vellora_test

#define REQUIRE_ENGINE_TOOLS()                                                   \
  do {                                                                           \
    REQUIRE_TEST_FONTS();                                                        \
    if (!vellora_test::HaveTool("pdftotext") || !vellora_test::HaveTool("qpdf")) \
      GTEST_SKIP() << "poppler or qpdf missing";                                 \
  } while (0)
