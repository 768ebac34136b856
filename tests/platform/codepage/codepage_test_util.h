// Helpers for the code-page tests: one call that does the size query and the conversion, and
// checks that both agree.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "qvplatform/codepage.h"

namespace qvplatform::testing {

// Converts bytes to UTF-16; an empty result means the conversion failed.
inline std::u16string Widen(UINT cp, std::string_view bytes, DWORD flags = 0) {
  const int len = static_cast<int>(bytes.size());
  const int need = MultiByteToWideChar(cp, flags, bytes.data(), len, nullptr, 0);
  if (need <= 0) return {};
  std::u16string out(static_cast<std::size_t>(need), u'\0');
  const int got = MultiByteToWideChar(cp, flags, bytes.data(), len, out.data(), need);
  EXPECT_EQ(got, need) << "size query and conversion disagree";
  return got == need ? out : std::u16string{};
}

// Converts UTF-16 to bytes; an empty result means the conversion failed.
inline std::string Narrow(UINT cp, std::u16string_view text, bool* usedDefault = nullptr,
                          const char* defaultChar = nullptr, DWORD flags = 0) {
  const int len = static_cast<int>(text.size());
  bool queryUsed = false;
  const int need =
      WideCharToMultiByte(cp, flags, text.data(), len, nullptr, 0, defaultChar, &queryUsed);
  if (need <= 0) return {};
  std::string out(static_cast<std::size_t>(need), '\0');
  bool used = !queryUsed;
  const int got =
      WideCharToMultiByte(cp, flags, text.data(), len, out.data(), need, defaultChar, &used);
  EXPECT_EQ(got, need) << "size query and conversion disagree";
  EXPECT_EQ(used, queryUsed) << "size query and conversion disagree on the default char";
  if (usedDefault != nullptr) *usedDefault = used;
  return got == need ? out : std::string{};
}

// Readable form of a UTF-16 text for failure messages: U+XXXX per unit.
inline std::string Units(std::u16string_view text) {
  std::string s;
  char buf[8];
  for (char16_t u : text) {
    snprintf(buf, sizeof buf, "%04X ", static_cast<unsigned>(u));
    s += buf;
  }
  return s;
}

inline std::string Hex(std::string_view bytes) {
  std::string s;
  char buf[4];
  for (const char ch : bytes) {
    snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(ch));
    s += buf;
  }
  return s;
}

// Bytes and text that map onto each other exactly: widening gives the text, narrowing gives
// the bytes back without the default character.
inline void ExpectRoundTrip(UINT cp, const std::string& bytes, const std::u16string& text) {
  EXPECT_EQ(Widen(cp, bytes), text) << cp << ": " << Units(Widen(cp, bytes));
  bool used = true;
  EXPECT_EQ(Narrow(cp, text, &used), bytes) << cp << ": " << Hex(Narrow(cp, text));
  EXPECT_FALSE(used) << cp;
}

}  // namespace qvplatform::testing
