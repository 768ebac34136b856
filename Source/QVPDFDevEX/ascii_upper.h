// Upper case for action names and event names: ASCII letters only, whatever the locale.
#pragma once

#include <string>
#include <string_view>

namespace vellora {

inline std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace vellora
