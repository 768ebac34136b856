#include "pdf_literal_reader.h"

namespace vellora_test {

namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

}  // namespace

std::optional<std::string> ReadPdfLiteral(std::string_view text) {
  if (text.empty() || text[0] != '(') return std::nullopt;
  std::string out;
  int depth = 1;
  std::size_t i = 1;
  const std::size_t n = text.size();
  while (i < n) {
    const char c = text[i++];
    if (c == '\\') {
      if (i >= n) return std::nullopt;
      const char e = text[i++];
      switch (e) {
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case '(':
        case ')':
        case '\\':
          out += e;
          break;
        case '\r':  // a backslash before an end of line continues the string
          if (i < n && text[i] == '\n') ++i;
          break;
        case '\n':
          break;
        default:
          if (IsOctal(e)) {
            int value = e - '0';
            for (int k = 0; k < 2 && i < n && IsOctal(text[i]); ++k)
              value = value * 8 + (text[i++] - '0');
            out += static_cast<char>(value & 0xFF);
          } else {
            out += e;  // an unknown escape: the backslash is dropped
          }
      }
    } else if (c == '\r') {
      // Any raw end of line (CR, CR LF, LF) reads as one LF.
      if (i < n && text[i] == '\n') ++i;
      out += '\n';
    } else if (c == '(') {
      ++depth;
      out += c;
    } else if (c == ')') {
      if (--depth == 0) return i == n ? std::optional<std::string>(out) : std::nullopt;
      out += c;
    } else {
      out += c;
    }
  }
  return std::nullopt;
}

}  // namespace vellora_test
