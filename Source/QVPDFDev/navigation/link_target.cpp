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

// Past the literal string that opens at i; npos when it does not close.
std::size_t SkipLiteralString(std::string_view s, std::size_t i) {
  int depth = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\\') {
      ++i;  // the escaped byte, whatever it is
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) return i + 1;
    }
  }
  return std::string_view::npos;
}

}  // namespace

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

bool IsSafeActionText(std::string_view s) {
  std::string nesting;  // '<' for a dictionary, '[' for an array
  std::size_t i = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (IsWhite(c)) {
      ++i;
    } else if (c == '%' || c == '{' || c == '}' || c == ')') {
      return false;
    } else if (c == '(') {
      i = SkipLiteralString(s, i);
      if (i == std::string_view::npos) return false;
    } else if (c == '<' && i + 1 < s.size() && s[i + 1] == '<') {
      nesting += '<';
      i += 2;
    } else if (c == '>' && i + 1 < s.size() && s[i + 1] == '>') {
      if (nesting.empty() || nesting.back() != '<') return false;
      nesting.pop_back();
      i += 2;
    } else if (c == '<') {
      for (++i; i < s.size() && s[i] != '>'; ++i)
        if (!IsHexDigit(s[i]) && !IsWhite(s[i])) return false;
      if (i == s.size()) return false;
      ++i;
    } else if (c == '>') {
      return false;
    } else if (c == '[') {
      nesting += '[';
      ++i;
    } else if (c == ']') {
      if (nesting.empty() || nesting.back() != '[') return false;
      nesting.pop_back();
      ++i;
    } else {
      // A name or a regular word up to the next white space or delimiter.
      const std::size_t start = i;
      for (++i; i < s.size() && !IsWhite(s[i]) && !IsDelimiter(s[i]); ++i) {
      }
      if (c != '/' && IsStructureKeyword(s.substr(start, i - start))) return false;
    }
  }
  return nesting.empty();
}

}  // namespace vellora
