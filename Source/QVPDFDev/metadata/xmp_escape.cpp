#include "QVPDFDev/metadata/xmp_escape.h"

#include <cstdint>

namespace vellora {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// XML 1.0 (fifth edition) NameStartChar without ":".
bool IsNameStart(char32_t c) {
  return (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
         (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
         (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) ||
         (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
  return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The code point at text[i] (advancing i past it); an unpaired surrogate gives U+FFFD.
char32_t NextCodePoint(std::u16string_view text, std::size_t& i) {
  const char16_t u = text[i++];
  if (IsHighSurrogate(u)) {
    if (i < text.size() && IsLowSurrogate(text[i])) {
      const char16_t low = text[i++];
      return 0x10000 + ((char32_t{u} - 0xD800) << 10) + (char32_t{low} - 0xDC00);
    }
    return kReplacement;
  }
  if (IsLowSurrogate(u)) return kReplacement;
  return u;
}

void AppendAscii(std::u16string& out, std::string_view text) {
  for (char c : text) out += static_cast<char16_t>(c);
}

void AppendReference(std::u16string& out, char32_t c) {
  char digits[12];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + c % 10);
    c /= 10;
  } while (c != 0);
  out += u"&#";
  while (n > 0) out += static_cast<char16_t>(digits[--n]);
  out += u';';
}

void AppendCodePoint(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
    return;
  }
  c -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (c >> 10));
  out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

}  // namespace

void AppendXMLText(std::u16string& out, std::u16string_view text) {
  out.reserve(out.size() + text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char32_t c = NextCodePoint(text, i);
    switch (c) {
      case '<':
        AppendAscii(out, "&lt;");
        continue;
      case '>':
        AppendAscii(out, "&gt;");
        continue;
      case '&':
        AppendAscii(out, "&amp;");
        continue;
      case '\t':
      case '\n':
        out += static_cast<char16_t>(c);
        continue;
      case '\r':
        AppendAscii(out, "&#13;");
        continue;
      default:
        break;
    }
    if (c < 0x20 || c == 0xFFFE || c == 0xFFFF) {
      AppendReference(out, kReplacement);
    } else if (c < 0x80) {
      out += static_cast<char16_t>(c);
    } else {
      AppendReference(out, c);
    }
  }
}

std::u16string XMLPropertyName(std::u16string_view text) {
  std::u16string name;
  name.reserve(text.size() + 1);
  std::size_t i = 0;
  while (i < text.size()) {
    const char32_t c = NextCodePoint(text, i);
    if (name.empty() && !IsNameStart(c) && IsNameChar(c)) name += u'_';
    if (IsNameChar(c)) {
      AppendCodePoint(name, c);
    } else {
      name += u'_';
    }
  }
  return name;
}

}  // namespace vellora
