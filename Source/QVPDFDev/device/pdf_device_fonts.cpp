// The PDF device's text state and font hooks: every answer comes from the font manager's
// current font, which WriteTextState selects; the manager's messages become numbered
// messages of the device.
#include <string>

#include "QVPDFDev/device/pdf_device.h"

namespace vellora {
namespace {

// Mode value 21: bold text is always drawn stroked, never with a bold face.
constexpr int kModeStrokeBold = 21;
// Option bit 5 of the page-content device: bold text takes a bold face.
constexpr std::uint8_t kOptionBoldFace = 0x20;

// A level asks for a real bold face unless it says none is available or that bold is to be
// simulated; then bold text is stroked.
bool RealBoldFace(const TQVDCStackVar& level) {
  return level.boldFaceAvailable && !level.simulateBold;
}

}  // namespace

void TQVPDFDevice::WriteTextState(TQVPDFDeviceWorkBuffer* buffer, float fontSize) {
  if (!outputOpen) EnsureOutputOpen();
  TQVPDFFontSettings& fontSettings = fonts_.Settings();
  // Read when a font is loaded.
  fontSettings.cidMode = contentOptions.cidFontMode;
  fontSettings.toUnicodeForSimpleFonts = modes.Has(kModeToUnicodeForSimpleFonts);
  TQVWriterStackVar* writer = WriterDepth() > 0 ? &WriterState() : nullptr;
  // A text object just begun, a bracket closed or a colour record changed leave the text
  // state in the content unknown: everything is written again.
  const bool reset = textStateResetPending || (writer != nullptr && writer->rewriteText);
  const TQVTextStateInput input{&CurrentDCState(),
                                writer,
                                &textColorRecord,
                                &strokeColorRecord,
                                RealBoldFace(CurrentDCState()),
                                (contentOptions.optionBits & kOptionBoldFace) != 0,
                                modes.Has(kModeStrokeBold),
                                reset,
                                options.text.fontScale,
                                options.text.horizontalTextScale};
  WritePDFTextState(fonts_, textState_, input, buffer, fontSize);
  textStateResetPending = false;
  if (writer != nullptr) {
    writer->rewriteText = false;
    // The text's fill colour replaced the brush's in the content.
    if (buffer != nullptr) writer->rewriteBrush = true;
  }
}

std::int32_t TQVPDFDevice::GetFontValue() { return fonts_.GetFontValue(); }

double TQVPDFDevice::TextWidthA(const char* text, std::int32_t length, float size) {
  return fonts_.TextWidthA(text, length, size);
}

std::int32_t TQVPDFDevice::CurrentFontKind() { return fonts_.CurrentFontKind(); }

double TQVPDFDevice::TextWidthW(const char16_t* text, std::int32_t length, float size) {
  return fonts_.TextWidthW(text, length, size, wordSplitInProgress);
}

void TQVPDFDevice::FontVerticalMetrics(std::int32_t& first, std::int32_t& second, float size) {
  fonts_.FontVerticalMetrics(first, second, size);
}

bool TQVPDFDevice::MeasureTextA(const char* text, std::int32_t length, std::int32_t scale,
                                std::int32_t* widths, float size) {
  return fonts_.MeasureTextA(text, length, scale, widths, size);
}

bool TQVPDFDevice::MeasureTextW(const char16_t* text, std::int32_t length, std::int32_t scale,
                                std::int32_t* widths, float size) {
  return fonts_.MeasureTextW(text, length, scale, widths, size);
}

void TQVPDFDevice::ConvertWideText(const char16_t* text, std::int32_t length, std::string& out) {
  fonts_.ConvertWideText(text, length, out);
}

void TQVPDFDevice::RegisterUsedCharsA(const char* text, std::int32_t length) {
  fonts_.RegisterUsedCharsA(text, length);
}

std::uint32_t TQVPDFDevice::MapCharCode(std::uint32_t code, std::uint32_t glyph,
                                        std::int32_t& width) {
  return fonts_.MapCharCode(code, glyph, width);
}

void TQVPDFDevice::RegisterUsedCharsW(const char16_t* text, std::int32_t length) {
  fonts_.RegisterUsedCharsW(text, length, CurrentDCState().faceName);
}

bool TQVPDFDevice::AddFontAlias(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return false;
  return fonts_.AddFontAlias(text.substr(0, equals), text.substr(equals + 1));
}

void TQVPDFDevice::FontMessage(std::int32_t code, const std::string& text) {
  ReportMessage(code, text);
}

void TQVPDFDevice::FontSubsetFailed(const std::string& fontName, const std::string& reason) {
  // The whole font program is embedded instead, as for a font whose tables cannot be read.
  ReportMessage(kFontMessageCannotEmbed, fontName + " (" + reason + ")");
}

void TQVPDFDevice::WriteFontFiles() { fonts_.WriteFontFiles(); }

void TQVPDFDevice::ReleaseFonts() {
  fonts_.EndDocument();
  textStateResetPending = true;
}

}  // namespace vellora
