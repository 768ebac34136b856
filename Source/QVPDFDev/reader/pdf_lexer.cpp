#include "QVPDFDev/reader/pdf_lexer.h"

#include <cmath>
#include <limits>

namespace vellora {
namespace {

int HexValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Whether the characters form a number: an optional sign, digits with at most one point, and
// at least one digit.
bool IsNumber(const std::string& text, bool& real) {
  std::size_t i = 0, digits = 0, points = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      ++digits;
    } else if (text[i] == '.') {
      ++points;
    } else {
      return false;
    }
  }
  real = points > 0;
  return digits > 0 && points <= 1;
}

// The value of a checked number text, without the locale's decimal point; huge values become 0.
long double ParseReal(const std::string& text) {
  long double value = 0, scale = 1;
  bool fraction = false;
  for (char c : text) {
    if (c == '.') {
      fraction = true;
    } else if (c >= '0' && c <= '9') {
      if (fraction) {
        scale /= 10;
        value += (c - '0') * scale;
      } else {
        value = value * 10 + (c - '0');
      }
    }
  }
  if (!std::isfinite(value) || value > 1e30L) return 0;
  return text[0] == '-' ? -value : value;
}

}  // namespace

bool TQVPDFLexer::IsDelimiter(std::uint8_t c) {
  switch (c) {
    case '(':
    case ')':
    case '<':
    case '>':
    case '[':
    case ']':
    case '{':
    case '}':
    case '/':
    case '%':
      return true;
    default:
      return false;
  }
}

std::uint8_t TQVPDFLexer::Peek(const char* reading) const {
  if (position_ < bytes_.size()) return bytes_[position_];
  if (!endsFile_) throw TQVPDFTruncatedSpan();
  throw TQVPDFSyntaxError(std::string("the file ends inside ") + reading);
}

bool TQVPDFLexer::SkipWhiteSpace() {
  for (;;) {
    if (AtEnd()) {
      if (!endsFile_) throw TQVPDFTruncatedSpan();
      return false;
    }
    const std::uint8_t c = bytes_[position_];
    if (IsWhiteSpace(c)) {
      ++position_;
    } else if (c == '%') {
      while (!AtEnd() && bytes_[position_] != 10 && bytes_[position_] != 13) ++position_;
    } else {
      return true;
    }
  }
}

TQVToken TQVPDFLexer::Next() {
  TQVToken token;
  if (!SkipWhiteSpace()) {
    token.start = position_;
    return token;
  }
  token.start = position_;
  const std::uint8_t c = bytes_[position_];
  switch (c) {
    case '(':
      ++position_;
      ReadLiteralString(token);
      break;
    case '<':
      ++position_;
      if (Peek("a hex string") == '<') {
        ++position_;
        token.kind = TQVTokenKind::kDictOpen;
      } else {
        ReadHexString(token);
      }
      break;
    case '>':
      ++position_;
      if (Peek("a dictionary") != '>') throw TQVPDFSyntaxError("a single '>' outside a string");
      ++position_;
      token.kind = TQVTokenKind::kDictClose;
      break;
    case '[':
      ++position_;
      token.kind = TQVTokenKind::kArrayOpen;
      break;
    case ']':
      ++position_;
      token.kind = TQVTokenKind::kArrayClose;
      break;
    case '/':
      ++position_;
      ReadName(token);
      break;
    case ')':
    case '{':
    case '}':
      throw TQVPDFSyntaxError("an unexpected '" + std::string(1, static_cast<char>(c)) +
                              "' at offset " + std::to_string(position_));
    default:
      ReadRegular(token);
      break;
  }
  return token;
}

void TQVPDFLexer::ReadLiteralString(TQVToken& token) {
  token.kind = TQVTokenKind::kString;
  int depth = 1;
  for (;;) {
    std::uint8_t c = Peek("a string");
    ++position_;
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) return;
    } else if (c == '\\') {
      c = Peek("a string");
      ++position_;
      switch (c) {
        case 'n':
          c = '\n';
          break;
        case 'r':
          c = '\r';
          break;
        case 't':
          c = '\t';
          break;
        case 'b':
          c = '\b';
          break;
        case 'f':
          c = '\f';
          break;
        case 13:  // a line continuation: the line end is no part of the string
          if (Peek("a string") == 10) ++position_;
          continue;
        case 10:
          continue;
        default:
          if (c >= '0' && c <= '7') {
            int value = c - '0';
            for (int i = 0; i < 2 && Peek("a string") >= '0' && bytes_[position_] <= '7'; ++i)
              value = value * 8 + (bytes_[position_++] - '0');
            c = static_cast<std::uint8_t>(value & 0xFF);
          }
          break;  // any other escaped byte stands for itself
      }
    }
    token.text += static_cast<char>(c);
  }
}

void TQVPDFLexer::ReadHexString(TQVToken& token) {
  token.kind = TQVTokenKind::kString;
  int high = -1;
  for (;;) {
    const std::uint8_t c = Peek("a hex string");
    ++position_;
    if (c == '>') break;
    if (IsWhiteSpace(c)) continue;
    const int value = HexValue(c);
    if (value < 0) throw TQVPDFSyntaxError("a bad character in a hex string");
    if (high < 0) {
      high = value;
    } else {
      token.text += static_cast<char>(high * 16 + value);
      high = -1;
    }
  }
  if (high >= 0) token.text += static_cast<char>(high * 16);  // an odd last digit: 0 follows
}

void TQVPDFLexer::ReadName(TQVToken& token) {
  token.kind = TQVTokenKind::kName;
  for (;;) {
    if (AtEnd()) {
      if (!endsFile_) throw TQVPDFTruncatedSpan();
      return;
    }
    const std::uint8_t c = bytes_[position_];
    if (IsWhiteSpace(c) || IsDelimiter(c)) return;
    ++position_;
    if (c == '#' && position_ + 1 < bytes_.size() && HexValue(bytes_[position_]) >= 0 &&
        HexValue(bytes_[position_ + 1]) >= 0) {
      token.text +=
          static_cast<char>(HexValue(bytes_[position_]) * 16 + HexValue(bytes_[position_ + 1]));
      position_ += 2;
    } else {
      token.text += static_cast<char>(c);
    }
  }
}

void TQVPDFLexer::ReadRegular(TQVToken& token) {
  for (;;) {
    if (AtEnd()) {
      if (!endsFile_) throw TQVPDFTruncatedSpan();
      break;
    }
    const std::uint8_t c = bytes_[position_];
    if (IsWhiteSpace(c) || IsDelimiter(c)) break;
    token.text += static_cast<char>(c);
    ++position_;
    if (token.text.size() > 255) throw TQVPDFSyntaxError("a token longer than 255 bytes");
  }
  bool real = false;
  if (!IsNumber(token.text, real)) {
    token.kind = TQVTokenKind::kKeyword;
    return;
  }
  if (!real) {
    // Digits past the 64-bit range are read as a real.
    std::int64_t value = 0;
    bool overflow = false;
    std::size_t i = 0;
    const bool negative = token.text[0] == '-';
    if (token.text[0] == '+' || negative) ++i;
    for (; i < token.text.size(); ++i) {
      const int digit = token.text[i] - '0';
      if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) {
        overflow = true;
        break;
      }
      value = value * 10 + digit;
    }
    if (!overflow) {
      token.kind = TQVTokenKind::kInteger;
      token.integer = negative ? -value : value;
      return;
    }
  }
  token.kind = TQVTokenKind::kReal;
  token.real = static_cast<double>(ParseReal(token.text));
}

}  // namespace vellora
