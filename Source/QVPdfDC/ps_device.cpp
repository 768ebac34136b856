// Construction, Reset and the output bracket of the page-content device.
#include "QVPdfDC/ps_device.h"

#include <stdexcept>

#include "QVGenDC/assertion_failed.h"
#include "QVPdfDC/pdf_string_escape.h"
#include "qvplatform/device_context.h"

namespace vellora {

TQVGenericPSDevice::TQVGenericPSDevice() {
  screenDC = qvplatform::GetDC(0);
  workBuffer.SetModes(&modes);
  arcValues_.reserve(64);
  // The generic constructor added its default mode; this device starts with none.
  modes = TQVDevModes{};
  InitialiseTextFields();
  // The base constructor ran only the base Reset.
  TQVGenericPSDevice::Reset();
}

TQVGenericPSDevice::~TQVGenericPSDevice() {
  if (screenDC != 0) qvplatform::ReleaseDC(0, screenDC);
}

void TQVGenericPSDevice::InitialiseTextFields() {
  lastCjkBaseline = 0;
  cjkPerCharacter = false;
  cjkFace.clear();
  cjkCharacterInProgress = false;
  forceExactPositioning = false;
  textDeltaX = textDeltaY = 0;
  forcedCharset = 0;
  wordSplitInProgress = false;
  splitAtBlanks = false;
}

void TQVGenericPSDevice::ClearColorRecords() {
  const std::int32_t mode =
      (contentOptions.optionBits & kOptionCMYKRecords) ? kColorModeToCMYK : kColorModeNone;
  for (TQVColorRecord* record : {&textColorRecord, &strokeColorRecord, &fillColorRecord}) {
    *record = TQVColorRecord{};
    record->mode = mode;
  }
}

void TQVGenericPSDevice::Reset() {
  const bool wasOpen = outputOpen;
  if (wasOpen) {
    if (openObject == kOpenDrawing) ClosePendingPath();
    if (openObject == kOpenText) EndText();
    while (PopWriterState()) workBuffer.AddString("Q ");
    workBuffer.FlushTo(
        [this](const char* data, std::size_t size) { outputStream->Write(data, size); });
    workBuffer.Reset();
    pathStartValid_ = false;
    pathRemap_ = false;
  }
  dashWritten = false;
  // A fresh device context: the current position at the origin, no figure, nothing pending.
  currentX = currentY = 0;
  figureStartValid = false;
  stateChanged = true;
  pendingPathKind = kPathNone;
  currentFontName = "Arial";
  textDeltaX = textDeltaY = 0;
  slant = false;
  ClearColorRecords();
  TQVGenericDevice::Reset();
  if (wasOpen) {
    openObject = kOpenNothing;
    pathPending = false;
    stateChanged = true;
    workBuffer.SetDivisor(coordinateDivisor);
    PushWriterState();
    workBuffer.AddString("q ");
    transformDirty = true;
    textMatrixPending = true;
  }
}

void TQVGenericPSDevice::FlushPending() {
  if (outputOpen) {
    if (openObject == kOpenDrawing)
      ClosePendingPath();
    else if (openObject == kOpenText)
      EndText();
  }
  transformDirty = true;
}

bool TQVGenericPSDevice::StartOutput(TQVOutputStream* stream) {
  if (outputOpen) throw std::runtime_error("Output is already open!");
  if (stream == nullptr) throw EQVAssertionFailed("OutputStream must not be nil!");
  outputStream = stream;
  outputOpen = true;
  workBuffer.Reset();
  workBuffer.SetDivisor(coordinateDivisor);
  openObject = kOpenNothing;
  transformDirty = true;
  textMatrixPending = true;
  pendingPathKind = kPathNone;
  pathPending = false;
  pathStartValid_ = false;
  pathRemap_ = false;
  stateChanged = true;  // a new content has no current point
  textDeltaX = textDeltaY = 0;
  // Levels left from drawing without output belong to no "q ": the content starts level 1.
  while (PopWriterState()) {
  }
  PushWriterState();
  workBuffer.AddString("q ");
  return true;
}

void TQVGenericPSDevice::EndOutput() {
  if (!outputOpen) throw std::runtime_error("Output is not open!");
  FlushPending();
  while (PopWriterState()) workBuffer.AddString("Q ");
  TQVOutputStream* stream = outputStream;
  workBuffer.FlushTo([stream](const char* data, std::size_t size) { stream->Write(data, size); });
  outputStream = nullptr;
  workBuffer.Reset();
  pathStartValid_ = false;
  pathRemap_ = false;
  outputOpen = false;
  openObject = kOpenNothing;
}

bool TQVGenericPSDevice::EnsureOutputOpen() { return outputOpen; }

std::string TQVGenericPSDevice::EscapeString(std::string_view text) {
  return vellora::EscapeString(text);
}

std::string TQVGenericPSDevice::EscapeWideText(std::u16string_view text) {
  return vellora::EscapeWideText(text);
}

}  // namespace vellora
