// A page-content device with a fake PDF font for the text output tests. The font hooks
// answer from fixed metrics: every character is 0.6 em wide (as the standard Courier font,
// so that a page rendered with Courier puts each glyph where the metrics say), the
// ascent-like value is 0.75 em and the text height 1.15 em. WriteTextState writes the state
// the way the PDF device does ("/F1 size Tf", Tc, Tw, Tz, the text colour) and the other
// hooks record their calls.
#pragma once

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "ps_test_device.h"
#include "qvplatform/codepage.h"

namespace vellora_test {

class FakeFontDevice : public TestPSDevice {
 public:
  static constexpr double kAdvance = 0.6;  // em
  static constexpr double kFirst = 0.75;   // FontVerticalMetrics: first (ascent-like)
  static constexpr double kSecond = 1.15;  // FontVerticalMetrics: second (text height)

  struct Link {
    std::int32_t x, y, width, height;
    std::string target;
  };
  struct Mapped {
    std::uint32_t code, glyph;
    std::int32_t width;
  };

  // The current PDF font is a CID font (recorded in the writer level, as the PDF device does).
  bool cidFont = false;
  std::uint32_t cidOffset = 0;     // MapCharCode answers code + cidOffset
  bool failFontSelection = false;  // WriteTextState with a buffer throws, as a font that fails
  std::int32_t fixedSecond = 0;    // when set, FontVerticalMetrics' text height at any size
  int verticalCalls = 0;
  std::vector<float> stateSizes;   // every WriteTextState size (0: the reset call)
  std::vector<int> stateCharsets;  // the level's character set at each WriteTextState
  std::vector<std::u16string> usedWide;
  std::vector<std::string> usedAnsi;
  std::vector<Link> links;
  std::vector<Mapped> mapped;
  int marks = 0;

  void WriteTextState(vellora::TQVPDFDeviceWorkBuffer* buffer, float size) override {
    stateSizes.push_back(size);
    stateCharsets.push_back(CurrentDCState().font.lfCharSet);
    if (WriterDepth() > 0) WriterState().fontIsCID = cidFont;
    if (buffer == nullptr) return;
    if (failFontSelection) throw std::runtime_error("font");
    const vellora::TQVDCStackVar& v = CurrentDCState();
    buffer->AddString("/F1 ");
    buffer->AddFloat(size, 3);
    buffer->AddString("Tf ");
    buffer->AddFloat(v.charSpacing, 3);
    buffer->AddString("Tc ");
    buffer->AddFloat(v.wordSpacing, 3);
    buffer->AddString("Tw ");
    buffer->AddFloat(v.horizontalScale != 0 ? v.horizontalScale * 100.0L : 100.0L, 3);
    buffer->AddString("Tz ");
    buffer->AddColor(v.textColor, nullptr, {}, 1);
  }
  std::int32_t GetFontValue() override { return 600; }
  double TextWidthA(const char*, std::int32_t length, float size) override {
    return length * kAdvance * size;
  }
  double TextWidthW(const char16_t*, std::int32_t length, float size) override {
    return length * kAdvance * size;
  }
  void FontVerticalMetrics(std::int32_t& first, std::int32_t& second, float size) override {
    ++verticalCalls;
    first = static_cast<std::int32_t>(std::lround(size * kFirst));
    second =
        fixedSecond != 0 ? fixedSecond : static_cast<std::int32_t>(std::lround(size * kSecond));
  }
  // As the PDF device: in the code page of the level's character set (the current font's).
  void ConvertWideText(const char16_t* text, std::int32_t length, std::string& out) override {
    out.clear();
    if (text == nullptr || length <= 0) return;
    const int charset = CurrentDCState().font.lfCharSet;
    if (charset == 2) {
      for (std::int32_t i = 0; i < length; ++i) out.push_back(static_cast<char>(text[i]));
      return;
    }
    const qvplatform::UINT page =
        qvplatform::CodePageFromCharset(static_cast<qvplatform::BYTE>(charset));
    const int size =
        qvplatform::WideCharToMultiByte(page, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return;
    out.resize(static_cast<std::size_t>(size));
    bool usedDefault = false;
    qvplatform::WideCharToMultiByte(page, 0, text, length, out.data(), size, "?", &usedDefault);
  }
  bool MeasureTextA(const char*, std::int32_t length, std::int32_t scale, std::int32_t* widths,
                    float size) override {
    for (std::int32_t i = 0; i < length; ++i)
      widths[i] =
          static_cast<std::int32_t>(std::lround(static_cast<float>(scale) * size * kAdvance));
    return true;
  }
  bool MeasureTextW(const char16_t*, std::int32_t length, std::int32_t scale, std::int32_t* widths,
                    float size) override {
    return MeasureTextA(nullptr, length, scale, widths, size);
  }
  void RegisterUsedCharsA(const char* text, std::int32_t length) override {
    usedAnsi.emplace_back(text, static_cast<std::size_t>(length));
  }
  void RegisterUsedCharsW(const char16_t* text, std::int32_t length) override {
    usedWide.emplace_back(text, static_cast<std::size_t>(length));
  }
  std::uint32_t MapCharCode(std::uint32_t code, std::uint32_t glyph, std::int32_t& width) override {
    mapped.push_back({code, glyph, width});
    width = static_cast<std::int32_t>(kAdvance * 1000);
    return code + cidOffset;
  }
  void MarkBitmapRegion(std::int32_t, std::int32_t, COLORREF, std::int32_t, std::int32_t) override {
    ++marks;
  }
  void AddLinkArea(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   const std::string& target, const std::string&) override {
    links.push_back({x, y, width, height, target});
  }

  // Selects a font made by the device's own handlers.
  void UseFont(const char* face, std::int32_t height, std::int32_t weight = 400,
               std::int32_t escapement = 0, std::uint8_t charset = 0) {
    qvplatform::LOGFONTW lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfEscapement = escapement;
    lf.lfCharSet = charset;
    for (int i = 0; face[i] != 0 && i < 31; ++i) lf.lfFaceName[i] = static_cast<char16_t>(face[i]);
    SelectObject(CreateFont(lf));
  }
  // Changes the current level's font in place.
  qvplatform::LOGFONTW& Font() { return CurrentDCState().font; }
};

// Uses the private font configuration (Liberation and DejaVu) for the screen DC the text is
// measured on; false when those fonts are not installed.
bool TextFontsReady();

}  // namespace vellora_test
