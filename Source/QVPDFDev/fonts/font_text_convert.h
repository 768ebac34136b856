// Text conversions of font selection and measuring, always over exactly the given length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vellora {

std::u16string FontUtf8ToUtf16(std::string_view text);
std::string FontUtf16ToUtf8(std::u16string_view text);

// 8-bit text of a code page to UTF-16 (empty when the page is unknown).
std::u16string FontCodePageToUtf16(const std::uint8_t* text, std::size_t count,
                                   std::uint32_t codePage);
// UTF-16 to a code page with "?" for what it lacks; usedDefault tells whether that happened.
// out is reused (no allocation once it has room); empty when the page is unknown.
void FontUtf16ToCodePage(const char16_t* text, std::size_t count, std::uint32_t codePage,
                         std::string& out, bool* usedDefault);

}  // namespace vellora
