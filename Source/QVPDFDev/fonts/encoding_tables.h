// The /Encoding dictionaries of simple TrueType fonts by Windows character set: a
// /Differences array over WinAnsiEncoding that names, for every byte of the character set's
// code page, the standard glyph of its character.
#pragma once

#include <cstdint>
#include <string_view>

namespace vellora {

// The body (without "<<" and ">>") for the character sets that have a table of their own:
// 161, 162, 163, 177, 178, 186, 204, 222, 238. Empty for every other set.
std::string_view CharsetEncodingBody(std::int32_t charset);

// Any other character set outside PDF/A: WinAnsiEncoding with the Euro at 128.
constexpr std::string_view kEuroEncodingBody =
    "/Type/Encoding/Differences\n[128 /Euro]/BaseEncoding/WinAnsiEncoding";

}  // namespace vellora
