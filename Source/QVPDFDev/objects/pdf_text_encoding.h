// Byte forms of texts for PDF text strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellora {

// The PDF text-string form of UTF-16 text: FE FF and the units big-endian. Empty text gives "".
std::string UTF16ToUTF16BE(std::u16string_view text);

// UTF-8 text decoded (ill-formed sequences become U+FFFD) and given as UTF16ToUTF16BE does.
std::string UTF8ToUTF16BE(std::string_view text);

// UTF-16 text in an 8-bit code page; characters the page cannot show become "?".
std::string WideToCodePage(std::u16string_view text, std::uint32_t codePage);

// 8-bit text of a code page (0: the system page; an unknown page reads as the system page)
// as UTF-16.
std::u16string CodePageToWide(std::string_view text, std::uint32_t codePage);

}  // namespace vellora
