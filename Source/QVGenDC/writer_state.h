// One level of the page-content graphics state as the content device last wrote it, so that
// pen, brush, text and matrix operators are written only when the drawing state differs.
// A level is pushed with every "q " and dropped with every "Q ".
#pragma once

#include <cstdint>
#include <string>

#include "QVGenDC/xform_math.h"
#include "qvplatform/wintypes.h"

namespace vellora {

struct TQVWriterStackVar {
  // Pen as last written.
  qvplatform::COLORREF penColor = 0;
  float penWidth = 0.0f;
  std::int32_t penCap = 0;
  std::int32_t penJoin = 0;
  std::int32_t dashStyle = 0;  // pen style of the dash array last written (0: solid)
  // Brush as last written.
  qvplatform::COLORREF brushColor = 0;
  std::uint32_t brushHatch = 0;
  std::int32_t patternState = 0;  // 0: plain colour, 1: pattern, hatch + 1: hatched
  // Text.
  qvplatform::COLORREF textColor = 0;
  std::string fontFaceName = "Arial";
  float fontSize = 10.0f;
  float scaleX = 1.0f;
  float scaleY = 1.0f;
  bool fontIsCID = false;
  // Character and word spacing and horizontal scaling as last written ("Tc", "Tw", "Tz"; a
  // scale of 0 is 100 %). They belong to the graphics state, so "Q" gives back the values of
  // the level below, as the pop of this level does.
  float charSpacing = 0.0f;
  float wordSpacing = 0.0f;
  float horizontalScale = 0.0f;
  // The matrix last written with "cm" at this level; a content stream starts at identity.
  XFORM matrix;
  // Must-rewrite marks: selecting a pen sets the first.
  bool rewritePen = true;
  bool rewriteBrush = true;
  bool rewriteText = true;
};

}  // namespace vellora
