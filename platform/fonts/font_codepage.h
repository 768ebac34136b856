// The font service's use of the code-page service, kept in one place: conversions of 8-bit
// text in a font's code page, of face names in the system code page, and of UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "qvplatform/wintypes.h"

namespace qvplatform::fonts {

// Code page of the 8-bit text functions for a realised character set (0 for the symbol
// character set, whose bytes are character codes as they are).
UINT FontCodePage(BYTE charset);

// 8-bit text to UTF-16: through the code page, or byte for byte when codePage is 0.
std::u16string BytesToWide(UINT codePage, std::string_view bytes);
// UTF-16 to 8-bit text in a code page, unknown characters as "?".
std::string WideToBytes(UINT codePage, std::u16string_view text);

std::string WideToUtf8(std::u16string_view text);

}  // namespace qvplatform::fonts
