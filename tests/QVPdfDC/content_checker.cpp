#include "content_checker.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <set>

namespace vellora_test {

namespace {

bool IsWhite(char c) {
  return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}
bool IsDelimiter(char c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
         c == '}' || c == '/' || c == '%';
}

struct Token {
  enum Kind { kNumber, kOperator, kOther } kind;
  std::string text;
  double number = 0;
};

// Splits content into operands and operators; strings, names and arrays are operands.
std::vector<Token> Tokens(std::string_view s, std::vector<std::string>& errors) {
  std::vector<Token> out;
  std::size_t i = 0;
  int arrayDepth = 0;
  while (i < s.size()) {
    const char c = s[i];
    if (IsWhite(c)) {
      ++i;
    } else if (c == '%') {
      while (i < s.size() && s[i] != '\n' && s[i] != '\r') ++i;
    } else if (c == '[') {
      ++arrayDepth, ++i;
    } else if (c == ']') {
      if (--arrayDepth < 0) errors.push_back("unbalanced ]");
      ++i;
      if (arrayDepth == 0) out.push_back({Token::kOther, "[]"});
    } else if (c == '(') {
      int depth = 0;
      std::size_t j = i;
      for (; j < s.size(); ++j) {
        if (s[j] == '\\') {
          ++j;
        } else if (s[j] == '(') {
          ++depth;
        } else if (s[j] == ')' && --depth == 0) {
          break;
        }
      }
      if (j >= s.size()) errors.push_back("unterminated string");
      i = j + 1;
      if (arrayDepth == 0) out.push_back({Token::kOther, "()"});
    } else if (c == '<') {
      const std::size_t j = s.find('>', i);
      if (j == std::string_view::npos) errors.push_back("unterminated hex string");
      i = j == std::string_view::npos ? s.size() : j + 1;
      if (arrayDepth == 0) out.push_back({Token::kOther, "<>"});
    } else {
      std::size_t j = i + (c == '/' ? 1 : 0);
      while (j < s.size() && !IsWhite(s[j]) && !IsDelimiter(s[j])) ++j;
      if (j == i) {
        errors.push_back(std::string("stray delimiter ") + c);
        ++i;
        continue;
      }
      std::string word(s.substr(i, j - i));
      i = j;
      if (arrayDepth > 0) continue;
      if (word[0] == '/') {
        out.push_back({Token::kOther, word});
        continue;
      }
      char* end = nullptr;
      const double v = std::strtod(word.c_str(), &end);
      const bool numeric = (std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '-' ||
                            word[0] == '+' || word[0] == '.') &&
                           end == word.c_str() + word.size();
      if (numeric)
        out.push_back({Token::kNumber, word, v});
      else
        out.push_back({Token::kOperator, word});
    }
  }
  if (arrayDepth != 0) errors.push_back("unterminated array");
  return out;
}

// Operand counts of the operators the devices write (-1: any).
const std::map<std::string, int>& Arity() {
  static const std::map<std::string, int> table = {
      {"q", 0},   {"Q", 0},    {"cm", 6},  {"w", 1},    {"J", 1},  {"j", 1},  {"M", 1},  {"d", 2},
      {"m", 2},   {"l", 2},    {"c", 6},   {"v", 4},    {"y", 4},  {"h", 0},  {"re", 4}, {"S", 0},
      {"s", 0},   {"f", 0},    {"F", 0},   {"f*", 0},   {"B", 0},  {"B*", 0}, {"b", 0},  {"b*", 0},
      {"n", 0},   {"W", 0},    {"W*", 0},  {"BT", 0},   {"ET", 0}, {"Tm", 6}, {"Td", 2}, {"Tj", 1},
      {"TJ", 1},  {"Tf", 2},   {"Tc", 1},  {"Tw", 1},   {"Tz", 1}, {"TL", 1}, {"Ts", 1}, {"Tr", 1},
      {"G", 1},   {"g", 1},    {"RG", 3},  {"rg", 3},   {"K", 4},  {"k", 4},  {"cs", 1}, {"CS", 1},
      {"sc", -1}, {"scn", -1}, {"SC", -1}, {"SCN", -1}, {"Do", 1}, {"gs", 1}, {"sh", 1}};
  return table;
}

}  // namespace

std::string ContentReport::Summary() const {
  std::string s;
  for (const auto& e : errors) s += e + "; ";
  return s;
}

ContentReport CheckContent(std::string_view content) {
  ContentReport report;
  const std::vector<Token> tokens = Tokens(content, report.errors);
  static const std::set<std::string> kConstruct = {"m", "l", "c", "v", "y", "h", "re"};
  static const std::set<std::string> kPaint = {"S", "s", "f", "F", "f*", "B", "B*", "b", "b*", "n"};
  static const std::set<std::string> kTextOnly = {"Tj", "TJ", "Td", "Tm", "T*", "'", "\""};
  bool inPath = false, clipPending = false, inText = false;
  int depth = 0;
  int operands = 0;
  for (const Token& t : tokens) {
    if (t.kind != Token::kOperator) {
      ++operands;
      continue;
    }
    const std::string& op = t.text;
    report.operators.push_back(op);
    const auto arity = Arity().find(op);
    if (arity == Arity().end())
      report.errors.push_back("unknown operator " + op);
    else if (arity->second >= 0 && arity->second != operands)
      report.errors.push_back(op + " with " + std::to_string(operands) + " operands");
    operands = 0;
    if (clipPending && !kPaint.count(op)) report.errors.push_back(op + " after W");
    if (kConstruct.count(op)) {
      if (op != "m" && op != "re" && !inPath) report.errors.push_back(op + " without m");
      inPath = true;
    } else if (kPaint.count(op)) {
      if (!inPath) report.errors.push_back(op + " without a path");
      inPath = false;
      clipPending = false;
    } else if (op == "W" || op == "W*") {
      if (!inPath) report.errors.push_back(op + " without a path");
      clipPending = true;
    } else {
      if (inPath) report.errors.push_back(op + " inside a path");
      if (op == "q" || op == "Q") {
        if (inText) report.errors.push_back(op + " inside a text object");
        depth += op == "q" ? 1 : -1;
        if (op == "q") ++report.saves;
        if (depth < 0) report.errors.push_back("Q without q");
        if (depth > report.maxDepth) report.maxDepth = depth;
      } else if (op == "BT") {
        if (inText) report.errors.push_back("BT inside a text object");
        inText = true;
      } else if (op == "ET") {
        if (!inText) report.errors.push_back("ET without BT");
        inText = false;
      } else if (kTextOnly.count(op) && !inText) {
        report.errors.push_back(op + " outside a text object");
      }
    }
  }
  if (inPath) report.errors.push_back("path not painted at the end");
  if (inText) report.errors.push_back("text object not ended");
  if (depth != 0) report.errors.push_back("q/Q depth " + std::to_string(depth) + " at the end");
  return report;
}

std::vector<std::vector<double>> OperandsOf(std::string_view content, std::string_view op) {
  std::vector<std::string> errors;
  std::vector<std::vector<double>> out;
  std::vector<double> pending;
  for (const Token& t : Tokens(content, errors)) {
    if (t.kind == Token::kNumber) {
      pending.push_back(t.number);
    } else if (t.kind == Token::kOperator) {
      if (t.text == op) out.push_back(pending);
      pending.clear();
    } else {
      pending.clear();
    }
  }
  return out;
}

}  // namespace vellora_test
