// The text state of the PDF device's page content: before text is written it selects the
// PDF font of the current device-context level and writes "Tf", the stroked bold and outline
// modes, rise ("Ts"), fill colour, render mode ("Tr"), spacing ("Tc", "Tw") and horizontal
// scaling ("Tz"), each only when it differs from what was last written.
#pragma once

#include <cstdint>
#include <string>

#include "QVGenDC/dc_stack.h"
#include "QVGenDC/writer_state.h"
#include "QVPdfDC/color_record.h"
#include "QVPdfDC/pdf_device_work_buffer.h"

namespace vellora {

class TQVPDFFontManager;

// What was last written; one per device. Dirty forces everything to be written again.
struct TQVTextStateRecord {
  bool dirty = true;
  std::int32_t fontNumber = 0;
  std::string fontResourceName;  // "F" + number
  float size = 0;
  std::int32_t weight = 0;
  bool italic = false;
  std::int32_t charset = 0;
  std::string faceName;
  bool strokeBold = false;
  bool outline = false;
  std::int32_t rise = 0;  // 0 none, 1 superscript, 2 subscript
  bool fillColorWritten = false;
  qvplatform::COLORREF fillColor = 0;
  bool strokeColorWritten = false;
  qvplatform::COLORREF strokeColor = 0;
  std::int32_t renderMode = 0;
  // Spacing and scaling without a writer level (with one, the level keeps them).
  float charSpacing = 0;
  float wordSpacing = 0;
  float horizontalScale = 0;
};

// What the device passes in besides the record.
struct TQVTextStateInput {
  const TQVDCStackVar* level = nullptr;       // the current device-context level
  TQVWriterStackVar* writer = nullptr;        // the current writer level (may be null): its text
                                              // fields are set and its pen is marked for rewrite
  TQVColorRecord* textColorRecord = nullptr;  // the device's colour records (may be null)
  TQVColorRecord* strokeColorRecord = nullptr;
  bool realBoldFace = false;    // the level asks for a real bold face
  bool boldFaceOption = false;  // page-content option byte bit 5
  bool strokeBoldMode = false;  // mode value 21: bold is always stroked
  bool resetPending = false;    // the device's pending text-state reset
  float fontScale = 1;          // the device font scale (0 or not finite counts as 1)
  float horizontalScale = 0;    // the device's horizontal text scale, 0 for none
};

// WriteTextState (slot 45) after the device has opened its output. With a null buffer only
// the font is selected and the record updated; nothing is written. Raises what font
// selection raises.
void WritePDFTextState(TQVPDFFontManager& fonts, TQVTextStateRecord& last,
                       const TQVTextStateInput& input, TQVPDFDeviceWorkBuffer* buffer,
                       float fontSize);

}  // namespace vellora
