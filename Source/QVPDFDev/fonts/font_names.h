// The name rules of font selection: how a requested face name is normalised, which faces are
// symbol faces or never embedded, the style suffixes, the PostScript-style name and the
// standard-14 names. Comparisons ignore ASCII case unless said otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellora {

// Style bits of a font request.
constexpr std::uint8_t kFontStyleBold = 1;
constexpr std::uint8_t kFontStyleItalic = 2;

// The process-wide sans-serif replacement face that "MS Sans Serif" maps to.
constexpr std::string_view kSansSerifReplacementFace = "Microsoft Sans Serif";

bool SameFontName(std::string_view a, std::string_view b);
// The text without bytes up to 32 at either end.
std::string_view TrimFontName(std::string_view text);

// 1 Japanese (128), 2 Korean (129), 3 simplified Chinese (134), 4 traditional Chinese (136),
// else 0.
std::uint8_t CJKKindOfCharset(std::int32_t charset);

// "Symbol", "Wingdings..." (the first nine characters), "RodEdid" and "Webdings": requested
// with the symbol character set whatever the caller passed.
bool IsSymbolFaceName(std::string_view name);

// The selection-time rules, before the reuse scan: "Wingdings" and "Webdings" take that
// spelling; symbol faces take charset 2; a trailing " CE" (exact case) goes; a name with "("
// becomes the trimmed text before it; "MS Sans Serif" and "Microsoft Sans Serif" become the
// sans-serif replacement face, "System" becomes "Courier New".
void NormaliseFaceRequest(std::string& name, std::int32_t& charset);
// For a new font: "TimesNewRoman" and "CourierNew" take that spelling.
void NormaliseNewFaceName(std::string& name);

// A face that is never embedded: a name beginning with "@" or one of the East Asian system
// faces ("Taipei", "MingliU", "PMingliU", "SimSun", "Batang", "Gulim", "msmincho", "SimHei").
bool IsNoEmbedFaceName(std::string_view name);

// "-BoldItalic", "-Bold", "-Italic" or "".
std::string_view StyleSuffix(std::uint8_t style);
// The key that the excluded-fonts list is also matched against: name + the style suffix, or
// + "-Normal" for the plain style.
std::string ExclusionKey(std::string_view name, std::uint8_t style);

// The PostScript-style name: "(" and ")" dropped; a blank dropped and the next kept character
// made upper case; other bytes up to 32 dropped (a pending upper-casing stays); then ","
// and "BoldItalic", "Italic" or "Bold" by style; the first character upper case.
// "Times New Roman" bold gives "TimesNewRoman,Bold".
std::string PostScriptFontName(std::string_view name, std::uint8_t style);

// The standard Type1 font for a face under font mode 3 ("Courier-Oblique", "Times-Roman",
// "Symbol", "ZapfDingbats", "Helvetica-Bold", ...).
std::string StandardFontName(std::string_view name, std::uint8_t style);
// Symbol and ZapfDingbats have their own built-in encoding.
bool StandardFontHasOwnEncoding(std::string_view standardName);

}  // namespace vellora
