// The font mapper: a logical font request resolves to one face of one file, on fontconfig.
//
// Rules, in the spirit of the Windows mapper:
// - The face name is the strong request. fontconfig's own alias rules supply metric-compatible
//   substitutes (Arial, Times New Roman, Courier New -> Liberation Sans, Serif, Mono).
// - After it, weak fallbacks by pitch and family: fixed pitch or FF_MODERN -> "Courier New"
//   then "monospace", FF_ROMAN -> "Times New Roman" then "serif", anything else -> "Arial" then
//   "sans-serif"; a fixed-pitch request also asks for a monospaced face. So an unknown face
//   falls back by pitch and family, and an unknown fixed-pitch face gives a monospaced one.
// - An explicit character set other than ANSI, DEFAULT, OEM and MAC steers the choice: the
//   first face in fontconfig's order that covers the set's language wins, also over the named
//   face (as the Windows mapper weighs the character set above the name). A SYMBOL_CHARSET
//   request for a face that is not present prefers a symbol font.
// - Only sfnt faces are chosen (TrueType or CFF outlines), static faces only; a face with
//   TrueType outlines is preferred over a CFF-flavoured one, since only TrueType outlines can
//   be embedded as a TrueType font program.
// - A face the font service cannot load (a damaged file) is passed over for the next one.
// Results are cached per request; thread-safe.
#pragma once

#include <cstdint>
#include <string>

#include "qvplatform/wintypes.h"

namespace qvplatform {

struct FontMatch {
  bool found = false;
  std::string path;
  std::uint32_t index = 0;   // face index inside a collection
  std::string family;        // fontconfig's first family name of the face (UTF-8)
  bool namedFamily = false;  // the face is the requested family or one of its aliases
};

// Resolves the face name (lfFaceName, a leading "@" ignored), weight, italic, character set
// and pitch and family of a logical font.
FontMatch MatchFont(const LOGFONTW& lf);

// Adds a font file to the mapper's set for the rest of the process (the private fonts of the
// process); clears the match cache. False when fontconfig does not accept the file.
bool AddFontFile(const std::string& path);

}  // namespace qvplatform
