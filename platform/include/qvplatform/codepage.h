// Conversion between 8-bit code pages and UTF-16, with the meaning the engine relies on.
//
// Supported pages: 874, 1250-1258 (tables that match the system's own, including the bytes
// other tables leave undefined), 932, 936, 949, 950 (double-byte, tables built once from
// iconv), and 65001 (UTF-8). CP_ACP and CP_THREAD_ACP mean the system code page, 1252.
//
// Both functions are thread-safe. They return the number of units written (or needed when
// dstLen is 0), and 0 on failure: an unknown code page, bad arguments, a too small buffer,
// or invalid input when the *_ERR_INVALID_CHARS flag is given.
#pragma once

#include "qvplatform/wintypes.h"

namespace qvplatform {

constexpr UINT CP_ACP = 0;
constexpr UINT CP_THREAD_ACP = 3;
constexpr UINT CP_UTF8 = 65001;

// Flags that change the result; every other flag bit is accepted and ignored.
constexpr DWORD MB_PRECOMPOSED = 0x01;         // the default; there is no composition either way
constexpr DWORD MB_ERR_INVALID_CHARS = 0x08;   // fail instead of replacing invalid input
constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;   // UTF-8 only: fail on an unpaired surrogate
constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x400;  // always in effect: there is no best-fit mapping

// The Unicode character that replaces an invalid or undefined double-byte sequence.
constexpr WCHAR kDbcsUnicodeDefault = 0x30FB;

// 8-bit text to UTF-16. srcLen -1: src is zero-terminated and the terminator is converted
// too (and counted). dstLen 0: nothing is written, the needed length is returned.
// Invalid input without MB_ERR_INVALID_CHARS:
// - UTF-8: each maximal ill-formed subsequence (overlong forms, surrogates, values above
//   U+10FFFF, truncated sequences) becomes one U+FFFD.
// - 932/936/949/950: a lead byte followed by a byte of the page's trail range whose pair the
//   page does not define gives one U+30FB for both bytes; a lead byte followed by any other
//   byte, or at the end of the input, gives U+30FB and the next byte is read on its own (so a
//   line end or the terminator is never swallowed); a single byte the page does not define
//   gives U+003F.
// - The single-byte pages define all 256 bytes.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcLen, WCHAR* dst,
                        int dstLen);

// UTF-16 to 8-bit text; srcLen and dstLen as above. A unit the page cannot show (no best-fit
// mapping ever) is written as defaultChar (its first byte, or two bytes for a double-byte
// character in a double-byte page; "?" when null) and sets *usedDefault. An unpaired
// surrogate counts as a unit the page cannot show; a character outside the BMP gives one
// default character per surrogate. For CP_UTF8 defaultChar is ignored, *usedDefault is set
// to false, and an unpaired surrogate becomes U+FFFD (fails under WC_ERR_INVALID_CHARS).
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* src, int srcLen, char* dst,
                        int dstLen, const char* defaultChar, bool* usedDefault);

// The system ("ANSI") code page: 1252.
UINT GetACP();

// True for the pages listed above (a double-byte page only when iconv can provide it).
// CP_ACP is a selector, not a page, and gives false.
bool IsValidCodePage(UINT codePage);

// The code page of a Windows character set, as the engine and the font service share it:
// 128 -> 932, 129 -> 949, 134 -> 936, 136 -> 950, 161 -> 1253, 162 -> 1254, 163 -> 1258,
// 177 -> 1255, 178 -> 1256, 186 -> 1257, 204 -> 1251, 222 -> 874, 238 -> 1250; 1252 otherwise.
UINT CodePageFromCharset(BYTE charset);

}  // namespace qvplatform
