// The converters behind MultiByteToWideChar and WideCharToMultiByte (internal to the
// code-page component). Each walks its whole input once, writing into an Output that counts what
// does not fit, so one pass serves both the size query and the conversion.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qvplatform/wintypes.h"

namespace qvplatform::codepage_detail {

template <typename Unit>
struct Output {
  Unit* dst = nullptr;
  std::int64_t capacity = 0;  // 0 for a size query
  std::int64_t count = 0;

  void Put(Unit u) {
    if (count < capacity) dst[count] = u;
    ++count;
  }
};

using WideOutput = Output<WCHAR>;
using ByteOutput = Output<char>;

// The bytes written for a character the page cannot show.
struct DefaultChar {
  unsigned char bytes[2] = {'?', 0};
  int length = 1;
};

// Decoders return false only when strict is set and the input holds an invalid sequence.
// Encoders return false only when strict is set (UTF-8) and an unpaired surrogate occurs.

bool DecodeSingleByte(const char16_t* upperHalf, const unsigned char* src, std::size_t n,
                      WideOutput& out);
// Returns false when codePage is not a single-byte page.
bool EncodeSingleByte(UINT codePage, const WCHAR* src, std::size_t n, const DefaultChar& def,
                      ByteOutput& out, bool& usedDefault);

class DoubleBytePage;
// The page's tables, built on first use; nullptr when codePage is not a double-byte page or
// iconv cannot provide it.
const DoubleBytePage* FindDoubleBytePage(UINT codePage);
bool IsDoubleByteLead(const DoubleBytePage& page, unsigned char byte);
bool DecodeDoubleByte(const DoubleBytePage& page, const unsigned char* src, std::size_t n,
                      bool strict, WideOutput& out);
void EncodeDoubleByte(const DoubleBytePage& page, const WCHAR* src, std::size_t n,
                      const DefaultChar& def, ByteOutput& out, bool& usedDefault);

bool DecodeUtf8(const unsigned char* src, std::size_t n, bool strict, WideOutput& out);
bool EncodeUtf8(const WCHAR* src, std::size_t n, bool strict, ByteOutput& out);

}  // namespace qvplatform::codepage_detail
