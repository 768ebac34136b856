#include "QVPDFDev/fonts/font_text_state.h"

#include <cmath>

#include "QVGenDC/face_name.h"
#include "QVPDFDev/fonts/font_manager.h"
#include "QVPDFDev/fonts/font_names.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

bool DiffersInThousandths(float a, float b) {
  return qvplatform::Round(static_cast<long double>(a) * 1000) !=
         qvplatform::Round(static_cast<long double>(b) * 1000);
}

void StrokeColor(TQVPDFDeviceWorkBuffer& buffer, TQVTextStateRecord& last,
                 const TQVTextStateInput& input, qvplatform::COLORREF color) {
  if (last.strokeColorWritten && last.strokeColor == color && !last.dirty) return;
  buffer.AddColor(color, input.strokeColorRecord, "", 0);
  last.strokeColorWritten = true;
  last.strokeColor = color;
}

// The style the font is selected in; strokeBold when bold is drawn by stroking instead.
std::uint8_t FontStyle(const TQVDCStackVar& level, const TQVTextStateInput& input,
                       bool& strokeBold) {
  std::uint8_t style = 0;
  strokeBold = false;
  if (level.font.lfWeight >= 700) {
    if (input.strokeBoldMode) {
      strokeBold = true;
    } else if (input.realBoldFace || input.boldFaceOption) {
      style |= kFontStyleBold;
    } else {
      strokeBold = true;
    }
  }
  if (level.font.lfItalic != 0) style |= kFontStyleItalic;
  return style;
}

// The font: selected, then with a buffer written as Tf (with the stroke of a stroked bold or
// outline font) and recorded. Without a buffer the font only serves measuring: nothing is
// written or recorded, and the result is false.
bool WriteFont(TQVPDFFontManager& fonts, TQVTextStateRecord& last, const TQVTextStateInput& input,
               TQVPDFDeviceWorkBuffer* buffer, float fontSize, const std::string& face) {
  const TQVDCStackVar& level = *input.level;
  bool strokeBold = false;
  const std::uint8_t style = FontStyle(level, input, strokeBold);
  const std::int32_t number = fonts.SelectFont(face, level.font.lfCharSet, style);
  if (buffer == nullptr) return false;
  if (input.writer != nullptr) {
    input.writer->fontIsCID = fonts.CurrentFontIsCID();
    input.writer->fontFaceName = face;
    input.writer->fontSize = fontSize;
  }
  last.fontNumber = number;
  last.fontResourceName = "F" + std::to_string(number);
  long double scale = input.fontScale;
  if (!std::isfinite(scale) || scale == 0) scale = 1;
  buffer->AddString("/" + last.fontResourceName + " ");
  buffer->AddFloat(fontSize * scale, 3);
  buffer->AddString("Tf ");
  const bool outline = level.outlineText;
  if (outline || strokeBold) {
    buffer->AddString("0 J 0 j ");
    StrokeColor(*buffer, last, input, outline ? level.outlineColor : level.textColor);
    buffer->AddFloat(fontSize / (outline ? 40.0L : 20.0L), 3);
    buffer->AddString("w [] 0 d 2 Tr ");
    last.renderMode = 2;
    if (input.writer != nullptr) input.writer->rewritePen = true;
  }
  last.size = fontSize;
  last.weight = level.font.lfWeight;
  last.italic = level.font.lfItalic != 0;
  last.charset = level.font.lfCharSet;
  last.faceName = face;
  last.strokeBold = strokeBold;
  last.outline = outline;
  return true;
}

// Superscript and subscript as a text rise (Ts).
void WriteRise(TQVPDFDeviceWorkBuffer& buffer, TQVTextStateRecord& last, const TQVDCStackVar& level,
               float fontSize, bool fontChanged) {
  const std::int32_t rise = level.superscript ? 1 : level.subscript ? 2 : 0;
  if (!last.dirty && rise == last.rise && !fontChanged) return;
  if (rise == 1) {
    buffer.AddFloat(fontSize / 2.0L, 3);
  } else if (rise == 2) {
    buffer.AddFloat(-(fontSize / 3.0L), 3);
  } else {
    buffer.AddString("0 ");
  }
  buffer.AddString("Ts ");
  last.rise = rise;
}

void WriteFillColor(TQVPDFDeviceWorkBuffer& buffer, TQVTextStateRecord& last,
                    const TQVTextStateInput& input, const TQVDCStackVar& level) {
  if (!last.dirty && last.fillColorWritten && last.fillColor == level.textColor) return;
  buffer.AddColor(level.textColor, input.textColorRecord, "", 1);
  last.fillColorWritten = true;
  last.fillColor = level.textColor;
}

// The render mode: 2 while a stroked bold or outline font is in effect (written with the
// font), else by the level's render flag; a stroked mode ends with its font, so later text
// is filled again.
void WriteRenderMode(TQVPDFDeviceWorkBuffer& buffer, TQVTextStateRecord& last,
                     const TQVDCStackVar& level) {
  std::int32_t mode = 0;
  if (last.strokeBold) {
    mode = 2;
  } else if (level.renderFlag) {
    mode = level.outlineText ? 1 : 0;
  } else if (last.outline) {
    mode = 2;
  }
  if (mode != last.renderMode || (level.renderFlag && !last.strokeBold && last.dirty)) {
    buffer.AddString(mode == 2 ? "2 Tr " : mode == 1 ? "1 Tr " : "0 Tr ");
    last.renderMode = mode;
  }
}

// Character and word spacing (Tc, Tw) and horizontal scaling (Tz), against what the content
// holds now: the writer level's values, which a "Q" gives back with the level, so text after a
// clip bracket writes its spacing again.
void WriteSpacingAndScale(TQVPDFDeviceWorkBuffer& buffer, TQVTextStateRecord& last,
                          const TQVTextStateInput& input, const TQVDCStackVar& level) {
  float& writtenCharSpacing = input.writer ? input.writer->charSpacing : last.charSpacing;
  float& writtenWordSpacing = input.writer ? input.writer->wordSpacing : last.wordSpacing;
  float& writtenScale = input.writer ? input.writer->horizontalScale : last.horizontalScale;
  if ((level.charSpacing != 0 || writtenCharSpacing != 0) &&
      DiffersInThousandths(level.charSpacing, writtenCharSpacing)) {
    buffer.AddFloat(level.charSpacing, 3);
    buffer.AddString("Tc ");
    writtenCharSpacing = level.charSpacing;
  }
  if ((level.wordSpacing != 0 || writtenWordSpacing != 0) &&
      DiffersInThousandths(level.wordSpacing, writtenWordSpacing)) {
    buffer.AddFloat(level.wordSpacing, 3);
    buffer.AddString("Tw ");
    writtenWordSpacing = level.wordSpacing;
  }

  float scale = level.horizontalScale;
  if (input.horizontalScale != 0)
    scale = input.horizontalScale * (level.horizontalScale != 0 ? level.horizontalScale : 1);
  if ((scale != 0 || writtenScale != 0) && scale != writtenScale) {
    if (scale != 0) {
      buffer.AddFloat(scale * 100.0L, 3);
    } else {
      buffer.AddString("100 ");
    }
    buffer.AddString("Tz ");
    writtenScale = scale;
  }
}

}  // namespace

void WritePDFTextState(TQVPDFFontManager& fonts, TQVTextStateRecord& last,
                       const TQVTextStateInput& input, TQVPDFDeviceWorkBuffer* buffer,
                       float fontSize) {
  if (input.level == nullptr) return;
  const TQVDCStackVar& level = *input.level;
  if (input.resetPending) last.dirty = true;

  // The level's face (from its logical font when the text is empty), without a copy per call.
  std::string fromLogicalFont;
  if (level.faceName.empty()) fromLogicalFont = FaceNameText(level.font);
  const std::string& face = level.faceName.empty() ? fromLogicalFont : level.faceName;
  const bool fontChanged = last.dirty || fontSize != last.size ||
                           level.font.lfWeight != last.weight ||
                           (level.font.lfItalic != 0) != last.italic ||
                           level.font.lfCharSet != last.charset || face != last.faceName;
  if (fontChanged && !WriteFont(fonts, last, input, buffer, fontSize, face)) return;
  if (buffer == nullptr) return;

  WriteRise(*buffer, last, level, fontSize, fontChanged);
  WriteFillColor(*buffer, last, input, level);
  WriteRenderMode(*buffer, last, level);
  WriteSpacingAndScale(*buffer, last, input, level);
  last.dirty = false;
}

}  // namespace vellora
