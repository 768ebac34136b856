// The settings that the field commands of a metafile change and the next form fields use.
// Every document starts with the defaults and gets them back when it ends.
#pragma once

#include <cstdint>
#include <string>

namespace vellora {

struct TQVFieldSettings {
  // Border flags of the next fields.
  static constexpr std::int32_t kBorder = 0x1;
  // Font size at most 11 (set by the first multi-line field).
  static constexpr std::int32_t kSmallFont = 0x400;

  std::string fontName = "Helv";  // font resource of the form's own fonts
  std::string fontSize = "0";     // size text of the default appearance
  std::string alignment;          // "0", "1" or "2"; empty: none
  std::string trueTypeFont;       // a real face for the appearance; empty: fontName
  bool multiLine = false;
  std::int32_t border = 0;
  std::int32_t codePage = 0;  // of 8-bit field texts; 0: the system's
  std::int32_t charset = 0;   // of trueTypeFont

  void Reset() { *this = TQVFieldSettings(); }
};

}  // namespace vellora
