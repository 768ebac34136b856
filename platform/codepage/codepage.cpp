// The public conversion functions: argument checks, the page dispatch and the result rules
// (a size query returns the needed length; a buffer that is too small fails).
#include "qvplatform/codepage.h"

#include <climits>
#include <cstring>

#include "codecs.h"
#include "single_byte_tables.h"

namespace qvplatform {

using namespace codepage_detail;

namespace {

UINT Resolve(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_THREAD_ACP ? GetACP() : codePage;
}

template <typename Unit>
std::size_t TerminatedLength(const Unit* s) {
  std::size_t n = 0;
  while (s[n] != 0) ++n;
  return n + 1;
}

template <typename Unit>
int Finish(const Output<Unit>& out, int dstLen) {
  if (out.count > INT_MAX) return 0;
  if (dstLen > 0 && out.count > dstLen) return 0;
  return static_cast<int>(out.count);
}

bool BadArguments(const void* src, int srcLen, const void* dst, int dstLen) {
  return src == nullptr || srcLen == 0 || srcLen < -1 || dstLen < 0 ||
         (dstLen > 0 && dst == nullptr) || (dstLen > 0 && src == dst);
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcLen, WCHAR* dst,
                        int dstLen) {
  if (BadArguments(src, srcLen, dst, dstLen)) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(src);
  const std::size_t n = srcLen == -1 ? TerminatedLength(bytes) : static_cast<std::size_t>(srcLen);
  const bool strict = (flags & MB_ERR_INVALID_CHARS) != 0;
  WideOutput out{dst, dstLen};
  codePage = Resolve(codePage);
  bool ok = false;
  if (codePage == CP_UTF8) {
    ok = DecodeUtf8(bytes, n, strict, out);
  } else if (const char16_t* upper = SingleByteUpperHalf(codePage)) {
    ok = DecodeSingleByte(upper, bytes, n, out);
  } else if (const DoubleBytePage* page = FindDoubleBytePage(codePage)) {
    ok = DecodeDoubleByte(*page, bytes, n, strict, out);
  }
  return ok ? Finish(out, dstLen) : 0;
}

int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* src, int srcLen, char* dst,
                        int dstLen, const char* defaultChar, bool* usedDefault) {
  if (BadArguments(src, srcLen, dst, dstLen)) return 0;
  const std::size_t n = srcLen == -1 ? TerminatedLength(src) : static_cast<std::size_t>(srcLen);
  ByteOutput out{dst, dstLen};
  bool used = false;
  bool ok = false;
  codePage = Resolve(codePage);
  DefaultChar def;
  if (defaultChar != nullptr) {
    def.bytes[0] = static_cast<unsigned char>(defaultChar[0]);
    def.length = 1;
  }
  if (codePage == CP_UTF8) {
    ok = EncodeUtf8(src, n, (flags & WC_ERR_INVALID_CHARS) != 0, out);
  } else if (SingleByteUpperHalf(codePage) != nullptr) {
    ok = EncodeSingleByte(codePage, src, n, def, out, used);
  } else if (const DoubleBytePage* page = FindDoubleBytePage(codePage)) {
    if (defaultChar != nullptr && IsDoubleByteLead(*page, def.bytes[0]) && defaultChar[1] != 0) {
      def.bytes[1] = static_cast<unsigned char>(defaultChar[1]);
      def.length = 2;
    }
    EncodeDoubleByte(*page, src, n, def, out, used);
    ok = true;
  }
  if (!ok) return 0;
  const int result = Finish(out, dstLen);
  if (usedDefault != nullptr) *usedDefault = used;
  return result;
}

UINT GetACP() { return 1252; }

bool IsValidCodePage(UINT codePage) {
  return codePage == CP_UTF8 || SingleByteUpperHalf(codePage) != nullptr ||
         FindDoubleBytePage(codePage) != nullptr;
}

UINT CodePageFromCharset(BYTE charset) {
  switch (charset) {
    case 128:
      return 932;  // Shift-JIS
    case 129:
      return 949;  // Hangul
    case 134:
      return 936;  // GB2312
    case 136:
      return 950;  // Big5
    case 161:
      return 1253;  // Greek
    case 162:
      return 1254;  // Turkish
    case 163:
      return 1258;  // Vietnamese
    case 177:
      return 1255;  // Hebrew
    case 178:
      return 1256;  // Arabic
    case 186:
      return 1257;  // Baltic
    case 204:
      return 1251;  // Cyrillic
    case 222:
      return 874;  // Thai
    case 238:
      return 1250;  // Central European
    default:
      return 1252;
  }
}

}  // namespace qvplatform
