// Base results of the hooks that the PDF device overrides (slots 43 and 45 to 64).
#include "QVPdfDC/ps_device.h"
#include "qvplatform/codepage.h"

namespace vellora {

void TQVGenericPSDevice::WriteTextState(TQVPDFDeviceWorkBuffer* buffer, float fontSize) {
  (void)buffer, (void)fontSize;
}

std::int32_t TQVGenericPSDevice::GetFontValue() { return 10; }

std::int32_t TQVGenericPSDevice::SpareHookA(std::int32_t a, std::int32_t b) {
  (void)a, (void)b;
  return 1;
}

void TQVGenericPSDevice::SelectBrushColorSpace(TQVPDFDeviceWorkBuffer* buffer, std::int32_t hatch,
                                               COLORREF color) {
  (void)buffer, (void)hatch, (void)color;
}

void TQVGenericPSDevice::AddICCColorSpace(const std::string& name, std::int32_t kind,
                                          const std::uint8_t* data, std::int32_t length,
                                          std::int32_t components, const std::string& alternate) {
  (void)name, (void)kind, (void)data, (void)length, (void)components, (void)alternate;
}

double TQVGenericPSDevice::TextWidthA(const char* text, std::int32_t length, float size) {
  (void)text, (void)length, (void)size;
  return 100.0;
}

std::int32_t TQVGenericPSDevice::CurrentFontKind() { return 0; }

double TQVGenericPSDevice::TextWidthW(const char16_t* text, std::int32_t length, float size) {
  (void)text, (void)length, (void)size;
  return 100.0;
}

void TQVGenericPSDevice::FontVerticalMetrics(std::int32_t& first, std::int32_t& second,
                                             float size) {
  (void)size;
  first = 10;
  second = 10;
}

bool TQVGenericPSDevice::MeasureTextA(const char* text, std::int32_t length, std::int32_t scale,
                                      std::int32_t* widths, float size) {
  (void)text, (void)length, (void)scale, (void)widths, (void)size;
  return false;
}

bool TQVGenericPSDevice::MeasureTextW(const char16_t* text, std::int32_t length, std::int32_t scale,
                                      std::int32_t* widths, float size) {
  (void)text, (void)length, (void)scale, (void)widths, (void)size;
  return false;
}

void TQVGenericPSDevice::ConvertWideText(const char16_t* text, std::int32_t length,
                                         std::string& out) {
  out.clear();
  if (text == nullptr || length <= 0) return;
  const qvplatform::UINT page = qvplatform::GetACP();
  const int size =
      qvplatform::WideCharToMultiByte(page, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  out.resize(static_cast<std::size_t>(size));
  bool usedDefault = false;
  const int written =
      qvplatform::WideCharToMultiByte(page, 0, text, length, out.data(), size, "?", &usedDefault);
  out.resize(static_cast<std::size_t>(written > 0 ? written : 0));
}

void TQVGenericPSDevice::HandleEmbeddedCommand(const RECTL& rect, std::int32_t code,
                                               const std::string& text, bool& handled) {
  (void)rect, (void)code, (void)text, (void)handled;
}

void TQVGenericPSDevice::HandleTaggingCommand(const RECTL& rect, std::int32_t code,
                                              const std::uint8_t* data, std::int32_t length,
                                              bool& handled) {
  (void)rect, (void)code, (void)data, (void)length, (void)handled;
}

std::int32_t TQVGenericPSDevice::SpareHookB(std::int32_t a, std::int32_t b, std::int32_t c,
                                            std::int32_t d) {
  (void)a, (void)b, (void)c, (void)d;
  return 0;
}

void TQVGenericPSDevice::MarkBitmapRegion(std::int32_t x, std::int32_t y, COLORREF color,
                                          std::int32_t width, std::int32_t height) {
  (void)x, (void)y, (void)color, (void)width, (void)height;
}

void TQVGenericPSDevice::AddLinkArea(std::int32_t x, std::int32_t y, std::int32_t width,
                                     std::int32_t height, const std::string& target,
                                     const std::string& action) {
  (void)x, (void)y, (void)width, (void)height, (void)target, (void)action;
}

void TQVGenericPSDevice::RegisterUsedCharsA(const char* text, std::int32_t length) {
  (void)text, (void)length;
}

std::uint32_t TQVGenericPSDevice::MapCharCode(std::uint32_t code, std::uint32_t glyph,
                                              std::int32_t& width) {
  (void)glyph, (void)width;
  return code;
}

void TQVGenericPSDevice::RegisterUsedCharsW(const char16_t* text, std::int32_t length) {
  (void)text, (void)length;
}

}  // namespace vellora
