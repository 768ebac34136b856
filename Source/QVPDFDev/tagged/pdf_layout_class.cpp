// Layout classes: the attributes text comes from metafile commands, so it is kept only when
// it reads as "/Name value" pairs that cannot close the class dictionary.
#include <cctype>
#include <string>
#include <vector>

#include "QVPDFDev/tagged/pdf_struct_tree.h"

namespace vellora {
namespace {

bool IsDelimiter(char c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
         c == '}' || c == '/' || c == '%';
}

bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// True when every string, array and dictionary opened is closed in order, and no string is
// left open; ">>" may only close a "<<" (a lone ">" closes a hex string).
bool DelimitersBalance(std::string_view text) {
  std::vector<char> open;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '(') {
      std::size_t depth = 1;
      for (++i; i < text.size() && depth > 0; ++i) {
        if (text[i] == '\\') {
          ++i;
        } else if (text[i] == '(') {
          ++depth;
        } else if (text[i] == ')') {
          --depth;
        }
      }
      if (depth > 0) return false;
      --i;
    } else if (c == '<' && i + 1 < text.size() && text[i + 1] == '<') {
      open.push_back('d');
      ++i;
    } else if (c == '<') {
      const std::size_t end = text.find('>', i);
      if (end == std::string_view::npos) return false;
      i = end;
    } else if (c == '[') {
      open.push_back('[');
    } else if (c == ']' || c == '>') {
      const char want = c == ']' ? '[' : 'd';
      if (open.empty() || open.back() != want) return false;
      if (c == '>') {
        if (i + 1 >= text.size() || text[i + 1] != '>') return false;
        ++i;
      }
      open.pop_back();
    } else if (c == ')' || c == '{' || c == '}' || c == '%') {
      return false;
    }
  }
  return open.empty();
}

// Each pair starts with a name at the top level.
bool IsPairSequence(std::string_view text) {
  std::size_t i = 0;
  bool expectName = true;
  int depth = 0;
  while (i < text.size()) {
    if (IsBlank(text[i])) {
      ++i;
      continue;
    }
    if (depth == 0 && expectName) {
      if (text[i] != '/') return false;
      ++i;
      while (i < text.size() && !IsBlank(text[i]) && !IsDelimiter(text[i])) ++i;
      expectName = false;
      continue;
    }
    // One value: a token, or a bracketed run (balance was checked before).
    const char c = text[i];
    if (c == '[' || (c == '<' && i + 1 < text.size() && text[i + 1] == '<')) {
      ++depth;
      i += c == '[' ? 1 : 2;
    } else if (c == ']' || c == '>') {
      --depth;
      i += c == ']' ? 1 : 2;
    } else if (c == '(') {
      std::size_t nest = 0;
      for (; i < text.size(); ++i) {
        if (text[i] == '\\') {
          ++i;
        } else if (text[i] == '(') {
          ++nest;
        } else if (text[i] == ')' && --nest == 0) {
          ++i;
          break;
        }
      }
    } else if (c == '<') {
      i = text.find('>', i) + 1;
    } else {
      if (c == '/') ++i;
      while (i < text.size() && !IsBlank(text[i]) && !IsDelimiter(text[i])) ++i;
    }
    if (depth == 0) expectName = true;
  }
  return expectName;
}

}  // namespace

void TFolvioLayoutElement::SetAttributes(std::string_view text) {
  if (DelimitersBalance(text) && IsPairSequence(text))
    attributes_ = text;
  else
    attributes_.clear();
}

std::string TFolvioLayoutElement::AsString() { return "/O/Layout" + attributes_; }

}  // namespace vellora
