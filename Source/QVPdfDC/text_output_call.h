// The working state of one text request inside text output (shared by text_output*.cpp).
#pragma once

#include <cstdint>
#include <string_view>

#include "QVPdfDC/text_output.h"

namespace vellora {

struct TQVTextOutput::Call {
  TQVTextRequest r;
  TQVTextScratch* s = nullptr;
  qvplatform::LOGFONTW lf;  // the working font (WorkingFont)
  std::int32_t charset = 0;
  bool symbol = false;
  bool cjk = false;
  bool italicArial = false;  // the face became "Arial" for an italic text
  bool exact = false;        // placed by an exact positioning array
  bool perChar = false;      // written character by character
  bool boldSim = false;
  bool shaped = false;                 // right-to-left text in visual order
  std::int32_t total = 0;              // sum of the spacing array
  long double size = 0;                // the PDF font size s
  std::int32_t first = 0, second = 0;  // FontVerticalMetrics at size
  std::int32_t descent = 1;            // of the GDI font
  std::int32_t strikeOffset = 0;       // strike-out above the baseline (0: from first)
  long double hz = 0;                  // horizontal scaling factor, 0 for none
  std::int32_t targetWidth = 0;        // to fill: the spacing array's sum, else measuredWidth
  long double measuredWidth = 0;       // of the text as the font draws it (unrounded)
  std::int32_t shift = 0;              // alignment shift
  TQVTextBox box;
  std::string_view a8;  // the 8-bit text
  bool clipOpen = false;
  long double tx = 0, ty = 0;  // text-space position of the first Td
};

}  // namespace vellora
