// Texts a host hands over as 8-bit strings: code page 1252, or UTF-8 when the host says so.
#pragma once

#include <string>
#include <string_view>

namespace vellora {

// The text as UTF-16; ill-formed input becomes replacement characters, never an error.
std::u16string DecodeHostText(std::string_view text, bool utf8);

}  // namespace vellora
