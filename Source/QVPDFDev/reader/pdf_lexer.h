// The tokens of PDF syntax over a bounded byte span: integers and reals (signed), names with
// #xx escapes, literal strings (nested, escaped), hex strings, array and dictionary brackets,
// keywords, with comments and white space skipped. Every read stays inside the span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace vellora {

// A syntax error of the input; the text says what and where.
class TQVPDFSyntaxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The span ended inside a token, and more of the file follows it: read a larger span.
class TQVPDFTruncatedSpan : public std::runtime_error {
 public:
  TQVPDFTruncatedSpan() : std::runtime_error("span ends inside an object") {}
};

enum class TQVTokenKind : std::uint8_t {
  kEnd,  // the end of the span (only when it is the end of the file)
  kInteger,
  kReal,
  kName,    // text: the decoded name without "/"
  kString,  // text: the decoded bytes of a literal or hex string
  kArrayOpen,
  kArrayClose,
  kDictOpen,
  kDictClose,
  kKeyword,  // text: true, false, null, R, obj, stream, xref, trailer, ...
};

struct TQVToken {
  TQVTokenKind kind = TQVTokenKind::kEnd;
  std::int64_t integer = 0;
  double real = 0;
  std::string text;  // also the digits of a number as written
  std::size_t start = 0;
};

class TQVPDFLexer {
 public:
  // endsFile: the span reaches the end of the input, so running out of bytes ends the tokens
  // instead of raising TQVPDFTruncatedSpan.
  TQVPDFLexer(std::span<const std::uint8_t> bytes, bool endsFile, std::size_t position = 0)
      : bytes_(bytes), endsFile_(endsFile), position_(position) {}

  TQVToken Next();
  // Skips white space and comments; false at the end of the span.
  bool SkipWhiteSpace();
  std::size_t Position() const { return position_; }
  void SetPosition(std::size_t position) { position_ = position; }
  std::span<const std::uint8_t> Bytes() const { return bytes_; }
  bool EndsFile() const { return endsFile_; }

  static bool IsWhiteSpace(std::uint8_t c) {
    return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32;
  }
  static bool IsDelimiter(std::uint8_t c);

 private:
  // The byte at the position; raises at the end of the span (TQVPDFTruncatedSpan when the file
  // goes on, else a syntax error naming what was being read).
  std::uint8_t Peek(const char* reading) const;
  bool AtEnd() const { return position_ >= bytes_.size(); }
  void ReadLiteralString(TQVToken& token);
  void ReadHexString(TQVToken& token);
  void ReadName(TQVToken& token);
  void ReadRegular(TQVToken& token);

  std::span<const std::uint8_t> bytes_;
  bool endsFile_;
  std::size_t position_;
};

}  // namespace vellora
