#include "QVPDFDev/navigation/link_target.h"

#include <array>
#include <cstdint>

#include "QVPDFDev/objects/host_text.h"
#include "QVPDFDev/objects/pdf_object.h"
#include "QVPDFDev/objects/pdf_text_encoding.h"

namespace vellora {
namespace {

constexpr std::size_t kMaxLaunchName = 256;
constexpr std::uint32_t kUtf8CodePage = 65001;

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    char p = prefix[i];
    if (p >= 'A' && p <= 'Z') p = static_cast<char>(p + 32);
    if (c != p) return false;
  }
  return true;
}

// A page number after "#": digits only, else (or beyond 32 bits) 0.
std::int64_t PageNumber(std::string_view text) {
  if (text.empty() || text.size() > 9) return 0;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool IsWhite(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\0';
}

bool IsDelimiter(char c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
         c == '}' || c == '/' || c == '%';
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsStructureKeyword(std::string_view word) {
  static constexpr std::array<std::string_view, 7> kKeywords = {
      "obj", "endobj", "stream", "endstream", "xref", "trailer", "startxref"};
  for (std::string_view k : kKeywords)
    if (word == k) return true;
  return false;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

// The bytes of the hex string that opens at i; i ends past it. False for a byte that is no
// hex digit or white space, or when it does not close.
bool ReadHexString(std::string_view s, std::size_t& i, std::string& bytes) {
  int high = -1;
  for (++i; i < s.size() && s[i] != '>'; ++i) {
    if (IsWhite(s[i])) continue;
    if (!IsHexDigit(s[i])) return false;
    if (high < 0) {
      high = HexValue(s[i]);
    } else {
      bytes += static_cast<char>(high << 4 | HexValue(s[i]));
      high = -1;
    }
  }
  if (i == s.size()) return false;
  if (high >= 0) bytes += static_cast<char>(high << 4);  // a missing last digit is 0
  ++i;
  return true;
}

}  // namespace

bool ReadLiteralString(std::string_view s, std::size_t& i, std::string& bytes) {
  int depth = 1;
  for (++i; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\\') {
      if (++i == s.size()) return false;
      c = s[i];
      switch (c) {
        case 'n':
          bytes += '\n';
          break;
        case 'r':
          bytes += '\r';
          break;
        case 't':
          bytes += '\t';
          break;
        case 'b':
          bytes += '\b';
          break;
        case 'f':
          bytes += '\f';
          break;
        case '\r':  // a line continuation
          if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
          break;
        case '\n':
          break;
        default:
          if (c >= '0' && c <= '7') {
            int value = 0;
            for (int n = 0; n < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7'; ++n, ++i)
              value = value * 8 + (s[i] - '0');
            --i;
            bytes += static_cast<char>(value & 0xFF);
          } else {
            bytes += c;  // ( ) \ and any other byte stand for themselves
          }
      }
    } else if (c == '\r') {
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
      bytes += '\n';
    } else {
      if (c == '(') ++depth;
      if (c == ')' && --depth == 0) {
        ++i;
        return true;
      }
      bytes += c;
    }
  }
  return false;
}

bool IsLaunchTarget(std::string_view target) {
  return StartsWithIgnoringCase(target, "Launch://") ||
         StartsWithIgnoringCase(target, "LaunchN://") || StartsWithIgnoringCase(target, "file://");
}

std::string PercentEncodedURI(std::string_view target) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(target.size());
  auto append = [&](unsigned char byte) {
    if (byte > 32 && byte < 127) {
      out += static_cast<char>(byte);
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  };
  std::size_t i = 0;
  while (i < target.size()) {
    if (static_cast<unsigned char>(target[i]) < 128) {
      append(static_cast<unsigned char>(target[i++]));
      continue;
    }
    // A run of code-page bytes, as UTF-8.
    std::size_t end = i;
    while (end < target.size() && static_cast<unsigned char>(target[end]) >= 128) ++end;
    const std::string utf8 =
        WideToCodePage(DecodeHostText(target.substr(i, end - i), false), kUtf8CodePage);
    for (char c : utf8) append(static_cast<unsigned char>(c));
    i = end;
  }
  return out;
}

std::string LinkActionEntry(TQVCustomPDFType& link, std::string_view target) {
  if (StartsWithIgnoringCase(target, "http://") || StartsWithIgnoringCase(target, "https://") ||
      StartsWithIgnoringCase(target, "mailto:"))
    return "/A << /Type/Action/S/URI/URI " + link.LiteralString(PercentEncodedURI(target)) + " >>";
  if (StartsWithIgnoringCase(target, "LaunchN://"))
    return "/A << /Type/Action/S/Launch/F " +
           link.LiteralString(target.substr(10, kMaxLaunchName)) + "/NewWindow true>>";
  if (StartsWithIgnoringCase(target, "Launch://"))
    return "/A << /Type/Action/S/Launch/F " + link.LiteralString(target.substr(9, kMaxLaunchName)) +
           " >>";
  if (StartsWithIgnoringCase(target, "file://"))
    return "/A << /Type/Action/S/Launch/F " + link.LiteralString(target.substr(7, kMaxLaunchName)) +
           " >>";
  if (StartsWithIgnoringCase(target, "GoToR://")) {
    const std::string_view rest = target.substr(8);
    const std::size_t hash = rest.find('#');
    const std::string_view file = rest.substr(0, hash);
    const std::int64_t page =
        hash == std::string_view::npos ? 0 : PageNumber(rest.substr(hash + 1));
    // GoToR needs a page; null keeps the reader's left, top and zoom.
    return "/A << /Type/Action/S/GoToR/F " + link.LiteralString(file) + " /D [" +
           std::to_string(page) + "/XYZ null null null] >>";
  }
  return std::string();
}

std::optional<std::string> RewrittenActionText(TQVCustomPDFType& link, std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::string nesting;  // '<' for a dictionary, '[' for an array
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (IsWhite(c)) {
      out += c;
      ++i;
    } else if (c == '%' || c == '{' || c == '}' || c == ')' ||
               (c == '>' && (i + 1 == s.size() || s[i + 1] != '>'))) {
      return std::nullopt;
    } else if (c == '(' || (c == '<' && (i + 1 == s.size() || s[i + 1] != '<'))) {
      std::string bytes;
      if (!(c == '(' ? ReadLiteralString(s, i, bytes) : ReadHexString(s, i, bytes)))
        return std::nullopt;
      out += link.LiteralString(bytes);
    } else if (c == '<' || c == '[') {
      nesting += c;
      out += c == '<' ? "<<" : "[";
      i += c == '<' ? 2 : 1;
    } else if (c == '>' || c == ']') {
      if (nesting.empty() || nesting.back() != (c == '>' ? '<' : '[')) return std::nullopt;
      nesting.pop_back();
      out += c == '>' ? ">>" : "]";
      i += c == '>' ? 2 : 1;
    } else {
      // A name or a regular word up to the next white space or delimiter.
      const std::size_t start = i;
      for (++i; i < s.size() && !IsWhite(s[i]) && !IsDelimiter(s[i]); ++i) {
      }
      const std::string_view word = s.substr(start, i - start);
      if (c != '/' && IsStructureKeyword(word)) return std::nullopt;
      out += word;
    }
  }
  if (!nesting.empty()) return std::nullopt;
  return out;
}

}  // namespace vellora
