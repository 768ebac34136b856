// UTF-8 both ways. Ill-formed input is replaced the way current systems do it: one U+FFFD per
// maximal subpart (the longest prefix of a well-formed sequence), so a truncated sequence
// costs one replacement and the byte that broke it is read again.
#include "codecs.h"

namespace qvplatform::codepage_detail {

namespace {
constexpr WCHAR kReplacement = 0xFFFD;
}

bool DecodeUtf8(const unsigned char* src, std::size_t n, bool strict, WideOutput& out) {
  for (std::size_t i = 0; i < n;) {
    const unsigned b = src[i];
    if (b < 0x80) {
      out.Put(static_cast<WCHAR>(b));
      ++i;
      continue;
    }
    int extra = 0;
    unsigned lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      extra = 1;
      cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2;
      cp = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;  // no overlong forms
      if (b == 0xED) hi = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      extra = 3;
      cp = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    }
    std::size_t j = i + 1;
    bool complete = extra > 0;
    for (int k = 0; k < extra; ++k, ++j) {
      const unsigned c = j < n ? src[j] : 0;
      if (j >= n || c < (k == 0 ? lo : 0x80) || c > (k == 0 ? hi : 0xBF)) {
        complete = false;
        break;
      }
      cp = cp << 6 | (c & 0x3F);
    }
    if (!complete) {
      if (strict) return false;
      out.Put(kReplacement);
      i = j;  // j stops at the byte that broke the sequence (or just after a bad lead)
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.Put(static_cast<WCHAR>(0xD800 + (cp >> 10)));
      out.Put(static_cast<WCHAR>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.Put(static_cast<WCHAR>(cp));
    }
    i = j;
  }
  return true;
}

bool EncodeUtf8(const WCHAR* src, std::size_t n, bool strict, ByteOutput& out) {
  for (std::size_t i = 0; i < n; ++i) {
    char32_t cp = src[i];
    if (cp >= 0xD800 && cp <= 0xDFFF) {
      if (cp <= 0xDBFF && i + 1 < n && src[i + 1] >= 0xDC00 && src[i + 1] <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (src[i + 1] - 0xDC00);
        ++i;
      } else {
        if (strict) return false;
        cp = kReplacement;
      }
    }
    if (cp < 0x80) {
      out.Put(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.Put(static_cast<char>(0xC0 | cp >> 6));
      out.Put(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.Put(static_cast<char>(0xE0 | cp >> 12));
      out.Put(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
      out.Put(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.Put(static_cast<char>(0xF0 | cp >> 18));
      out.Put(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
      out.Put(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
      out.Put(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return true;
}

}  // namespace qvplatform::codepage_detail
