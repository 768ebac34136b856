// UTF-8 to UTF-16 decoding for texts the engine receives in UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vellora {

// Appends the UTF-16 units of text to out. An ill-formed sequence (stray continuation byte,
// overlong form, surrogate, value above U+10FFFF, truncated sequence) becomes one U+FFFD per
// maximal ill-formed subpart, as Windows' converter does without its strict flag.
void AppendUtf8AsUtf16(std::u16string& out, std::string_view text);

}  // namespace vellora
