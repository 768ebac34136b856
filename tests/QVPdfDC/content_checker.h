// Reads a PDF content stream by the file format's rules and reports what breaks them: "q"/"Q"
// out of balance, operators that are not allowed inside a path object or a text object,
// painting without a path, a clip operator not followed by a painting operator, operand counts
// that do not fit the operator. Independent of the code that writes the content.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellora_test {

struct ContentReport {
  std::vector<std::string> errors;     // empty when the content is sound
  int maxDepth = 0;                    // deepest "q" nesting
  int saves = 0;                       // number of "q"
  std::vector<std::string> operators;  // every operator in order
  std::string Summary() const;
};

ContentReport CheckContent(std::string_view content);

// The operand lists of every occurrence of an operator, as numbers.
std::vector<std::vector<double>> OperandsOf(std::string_view content, std::string_view op);

}  // namespace vellora_test
