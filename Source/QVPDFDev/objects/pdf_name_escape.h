// Names from metafile comments and hosts written after "/": every byte outside "!".."~", "#"
// and the delimiters ( ) < > [ ] { } / % become "#" and two hex digits, so any text gives a
// valid name that reads back as the text. NUL, which no name can hold, is dropped.
#pragma once

#include <string>
#include <string_view>

namespace vellora {

void AppendEscapedName(std::string& out, std::string_view name);
std::string EscapeName(std::string_view name);

}  // namespace vellora
