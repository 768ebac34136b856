// A reader of PDF literal strings written from the file format's rules, independent of the
// engine's escapers, so that escaped output can be read back and compared with its input.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellora_test {

// Reads one literal string that starts at text[0] with "(" and returns its bytes, or nothing
// when text does not hold exactly one complete literal string (unbalanced parentheses,
// trailing bytes, missing "(").
std::optional<std::string> ReadPdfLiteral(std::string_view text);

}  // namespace vellora_test
