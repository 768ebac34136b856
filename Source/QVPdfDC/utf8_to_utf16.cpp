#include "utf8_to_utf16.h"

#include <cstdint>

namespace vellora {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

struct LeadInfo {
  int continuation;  // continuation bytes that follow the lead byte
  std::uint8_t low;  // allowed range of the first continuation byte
  std::uint8_t high;
  std::uint32_t payload;  // value bits of the lead byte
};

// Returns false for bytes that cannot start a sequence.
bool Lead(std::uint8_t b, LeadInfo& info) {
  if (b >= 0xC2 && b <= 0xDF) {
    info = {1, 0x80, 0xBF, b & 0x1Fu};
  } else if (b >= 0xE0 && b <= 0xEF) {
    // E0 excludes overlong forms, ED the surrogate range.
    info = {2, b == 0xE0 ? std::uint8_t{0xA0} : std::uint8_t{0x80},
            b == 0xED ? std::uint8_t{0x9F} : std::uint8_t{0xBF}, b & 0x0Fu};
  } else if (b >= 0xF0 && b <= 0xF4) {
    // F0 excludes overlong forms, F4 values above U+10FFFF.
    info = {3, b == 0xF0 ? std::uint8_t{0x90} : std::uint8_t{0x80},
            b == 0xF4 ? std::uint8_t{0x8F} : std::uint8_t{0xBF}, b & 0x07u};
  } else {
    return false;
  }
  return true;
}

}  // namespace

void AppendUtf8AsUtf16(std::u16string& out, std::string_view text) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const std::uint8_t b = p[i];
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    LeadInfo info;
    if (!Lead(b, info)) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    std::uint32_t cp = info.payload;
    std::size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < info.continuation; ++k, ++j) {
      const std::uint8_t lo = k == 0 ? info.low : 0x80;
      const std::uint8_t hi = k == 0 ? info.high : 0xBF;
      if (j >= n || p[j] < lo || p[j] > hi) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (p[j] & 0x3Fu);
    }
    // On failure the bytes accepted so far form one ill-formed subpart.
    i = j;
    if (!ok) {
      out.push_back(kReplacement);
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char16_t>(cp));
    } else {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
  }
}

}  // namespace vellora
