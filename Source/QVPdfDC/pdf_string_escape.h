// Escaping of bytes and UTF-16 text for PDF literal strings. The results are string bodies
// without the enclosing "(" and ")"; callers add those. Every routine is safe for any input,
// including NUL and bytes above 127, and its output reads back as the input under the PDF
// rules for literal strings (a raw CR or CR LF would read back as LF, so neither is left raw).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vellora {

// Upper bounds of the output size, for the *Into forms.
constexpr std::size_t EscapedBytesMaxSize(std::size_t count) { return 4 * count; }
constexpr std::size_t EscapedDelimitersMaxSize(std::size_t count) { return 2 * count; }

// Full escaping: backspace, tab, LF and CR as \b \t \n \r; "(", ")" and backslash preceded
// by a backslash; every other byte below 32 or above 127 as a backslash and three octal
// digits; bytes 32..127 as they are. The output is plain ASCII.
std::size_t EscapeBytesInto(char* out, const void* bytes, std::size_t count);
void AppendEscapedBytes(std::string& out, const void* bytes, std::size_t count);
std::string EscapeBytes(const void* bytes, std::size_t count);
std::string EscapeString(std::string_view text);

// Delimiter escaping for binary text (UTF-16 units): "(", ")" and backslash preceded by a
// backslash, CR and LF as \r and \n; every other byte, control and high bytes included,
// passes as it is.
std::size_t EscapeDelimitersInto(char* out, const void* bytes, std::size_t count);
void AppendEscapedDelimiters(std::string& out, const void* bytes, std::size_t count);
std::string EscapeDelimiters(const void* bytes, std::size_t count);

// EscapeDelimiters over the 16-bit units as stored (two bytes per unit in memory order, so
// little-endian here). Callers that need big-endian text swap the units first (SwapBytes16).
std::string EscapeWideText(std::u16string_view text);

// A missing or empty text gives "". Without utf8: EscapeBytes up to the terminator. With
// utf8: the text is decoded (each ill-formed subpart becomes U+FFFD) and written as a PDF text
// string, the marker FE FF and big-endian UTF-16, escaped as EscapeDelimiters does.
std::string EscapeText(const char* text, bool utf8);

// Swaps the two bytes of each 16-bit unit in place over count bytes (an odd last byte stays).
void SwapBytes16(void* bytes, std::size_t count);

}  // namespace vellora
