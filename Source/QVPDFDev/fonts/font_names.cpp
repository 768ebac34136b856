#include "QVPDFDev/fonts/font_names.h"

namespace vellora {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool StartsWithName(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameFontName(text.substr(0, prefix.size()), prefix);
}

}  // namespace

bool SameFontName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string_view TrimFontName(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  return text;
}

std::uint8_t CJKKindOfCharset(std::int32_t charset) {
  switch (charset) {
    case 128:
      return 1;
    case 129:
      return 2;
    case 134:
      return 3;
    case 136:
      return 4;
    default:
      return 0;
  }
}

bool IsSymbolFaceName(std::string_view name) {
  return SameFontName(name, "Symbol") || StartsWithName(name, "Wingdings") ||
         SameFontName(name, "RodEdid") || SameFontName(name, "Webdings");
}

void NormaliseFaceRequest(std::string& name, std::int32_t& charset) {
  if (SameFontName(name, "Wingdings")) name = "Wingdings";
  if (SameFontName(name, "Webdings")) name = "Webdings";
  if (IsSymbolFaceName(name)) charset = 2;
  if (name.size() >= 3 && name.compare(name.size() - 3, 3, " CE") == 0)
    name.resize(name.size() - 3);
  if (const std::size_t paren = name.find('('); paren != std::string::npos)
    name = std::string(TrimFontName(std::string_view(name).substr(0, paren)));
  if (SameFontName(name, "MS Sans Serif") || SameFontName(name, "Microsoft Sans Serif")) {
    name = kSansSerifReplacementFace;
  } else if (SameFontName(name, "System")) {
    name = "Courier New";
  }
}

void NormaliseNewFaceName(std::string& name) {
  if (SameFontName(name, "TimesNewRoman")) name = "TimesNewRoman";
  if (SameFontName(name, "CourierNew")) name = "CourierNew";
}

bool IsNoEmbedFaceName(std::string_view name) {
  if (!name.empty() && name.front() == '@') return true;
  for (std::string_view face :
       {"Taipei", "MingliU", "PMingliU", "SimSun", "Batang", "Gulim", "msmincho", "SimHei"})
    if (SameFontName(name, face)) return true;
  return false;
}

std::string_view StyleSuffix(std::uint8_t style) {
  switch (style & (kFontStyleBold | kFontStyleItalic)) {
    case kFontStyleBold | kFontStyleItalic:
      return "-BoldItalic";
    case kFontStyleBold:
      return "-Bold";
    case kFontStyleItalic:
      return "-Italic";
    default:
      return "";
  }
}

std::string ExclusionKey(std::string_view name, std::uint8_t style) {
  std::string key(name);
  const std::string_view suffix = StyleSuffix(style);
  key += suffix.empty() ? std::string_view("-Normal") : suffix;
  return key;
}

std::string PostScriptFontName(std::string_view name, std::uint8_t style) {
  std::string out;
  out.reserve(name.size() + 11);
  bool upper = false;
  for (char c : name) {
    if (c == '(' || c == ')') continue;
    if (c == ' ') {
      upper = true;
      continue;
    }
    if (static_cast<unsigned char>(c) <= 32) continue;
    out += upper ? UpperAscii(c) : c;
    upper = false;
  }
  const std::string_view suffix = StyleSuffix(style);
  if (!suffix.empty()) {
    out += ',';
    out += suffix.substr(1);
  }
  if (!out.empty()) out[0] = UpperAscii(out[0]);
  return out;
}

std::string StandardFontName(std::string_view name, std::uint8_t style) {
  std::string base;
  for (char c : name) {
    if (c == ' ')
      base += "#20";
    else
      base += LowerAscii(c);
  }
  const bool bold = style & kFontStyleBold;
  const bool italic = style & kFontStyleItalic;
  auto pick = [&](const char* plain, const char* b, const char* i, const char* bi) {
    return std::string(bold ? (italic ? bi : b) : (italic ? i : plain));
  };
  if (base.find("courier") != std::string::npos)
    return pick("Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique");
  if (base.find("times") != std::string::npos)
    return pick("Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic");
  if (base == "symbol") return "Symbol";
  if (base == "zapfdingbats" || base == "wingdings") return "ZapfDingbats";
  return pick("Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique");
}

bool StandardFontHasOwnEncoding(std::string_view standardName) {
  return standardName == "Symbol" || standardName == "ZapfDingbats";
}

}  // namespace vellora
