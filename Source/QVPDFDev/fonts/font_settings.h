// The device settings that font selection reads, the numbered messages it sends, and the
// receiver the PDF device implements for them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "qvplatform/string_list.h"

namespace vellora {

enum TQVPDFFontMode : std::uint8_t {
  qvUseTrueTypeFonts = 0,
  qvEmbedTrueTypeFonts = 1,
  qvEmbedSymbolTrueTypeFonts = 2,
  qvUseBase14Type1Fonts = 3,
  qvEmbedSubsetTrueType_Charsets = 4,
  qvEmbedSubsetTrueType_UsedChar = 5,
};

// Values above 2 make CID fonts whose CIDs are handed out in order of first use.
enum TQVPDFCidFontMode : std::uint8_t {
  qvCIDOff = 0,
  qvCIDUnicode = 1,
  qvCIDSymbolOnly = 2,
};

// Message codes; the device's dispatcher puts its prefix in front of the text.
constexpr std::int32_t kFontMessageInternal = 5;      // "internal error "
constexpr std::int32_t kFontMessageEmbedding = 10;    // "Embed Font: "
constexpr std::int32_t kFontMessageCannotEmbed = 12;  // "Cannot embed Font: "

struct TQVPDFFontSettings {
  TQVPDFFontMode fontMode = qvUseTrueTypeFonts;
  std::uint8_t cidMode = qvCIDOff;  // TQVPDFCidFontMode or above
  // Face names, also as name + "-Bold", "-Italic", "-BoldItalic" or "-Normal" (comma text of
  // property key 9).
  qvplatform::TStringList excludedFonts;
  // When not empty (and its first entry not blank), only these faces are embedded (key 13).
  qvplatform::TStringList embedOnlyFonts;
  bool reportEmbeddedFonts = false;      // qvOnEmbedFonts: message 10 for each font file read
  bool toUnicodeForSimpleFonts = false;  // mode value 23: /ToUnicode for simple TrueType fonts

  void SetFontMode(TQVPDFFontMode mode) { fontMode = mode; }
  void SetExcludedFonts(std::string_view commaText) { excludedFonts.SetCommaText(commaText); }
  void SetEmbedOnlyFonts(std::string_view commaText) { embedOnlyFonts.SetCommaText(commaText); }
  void SetReportEmbeddedFonts(bool report) { reportEmbeddedFonts = report; }
};

// The PDF device sends these on as numbered messages. Must not throw.
class TQVFontMessageReceiver {
 public:
  virtual void FontMessage(std::int32_t code, const std::string& text) = 0;

 protected:
  ~TQVFontMessageReceiver() = default;
};

}  // namespace vellora
