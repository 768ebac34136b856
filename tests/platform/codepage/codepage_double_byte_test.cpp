#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "codepage_test_util.h"
#include "qvplatform/codepage.h"

namespace qvplatform {
namespace {

using testing::Hex;
using testing::Narrow;
using testing::Units;
using testing::Widen;

constexpr UINT kDoubleBytePages[] = {932, 936, 949, 950};

class DoubleByteCodePages : public ::testing::Test {
 protected:
  void SetUp() override {
    for (UINT cp : kDoubleBytePages)
      if (!IsValidCodePage(cp)) GTEST_SKIP() << "iconv lacks code page " << cp;
  }
};

TEST_F(DoubleByteCodePages, TextBothWays) {
  struct Case {
    UINT cp;
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {932, "a\x82\xA0\x88\x9F\xB1", u"a\u3042\u4E9C\uFF71"},
      {932, "\x81\xE0\x87\x54\xFA\x40\x81\xCA", u"\u2252\u2160\u2170\uFFE2"},
      {932, "\x80\xA0\xFD\xFF", u"\u0080\uF8F0\uF8F1\uF8F3"},  // the system's single bytes
      {932, "\xF0\x40\xF9\xFC", u"\uE000\uE757"},              // user-defined area
      {936, "\xC4\xE3\x80\x81\x40", u"\u4F60\u20AC\u4E02"},
      {936, "\xAA\xA1\xA1\x40\xFF", u"\uE000\uE4C6\uF8F5"},
      {949, "\xB0\xA1\x81\x41", u"\uAC00\uAC02"},
      {949, "\xC9\xA1\xFE\xFE", u"\uE000\uE0BB"},
      {950, "\xA4\x40\xA1\x40\xF9\xFE", u"\u4E00\u3000\u2593"},
      {950, "\xFA\x40\x81\x40\xC6\xA1\xFF", u"\uE000\uEEB8\uF6B1\uF8F8"},
  };
  for (const Case& c : cases) testing::ExpectRoundTrip(c.cp, c.bytes, c.text);
}

// A lead byte whose trail is missing or out of range gives U+30FB and the next byte is read on
// its own; an undefined pair in the trail range gives one U+30FB; an undefined single byte
// gives "?". Under MB_ERR_INVALID_CHARS each of these fails the call.
TEST_F(DoubleByteCodePages, InvalidAndTruncatedInput) {
  struct Case {
    UINT cp;
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {932, "a\x82", u"a\u30FB"},
      {932, "\x82 b", u"\u30FB b"},
      {932, std::string("\x82\0", 2), std::u16string(u"\u30FB\0", 2)},
      {932, "\x82\r\n", u"\u30FB\r\n"},
      {932, "\x85\x40x", u"\u30FBx"},  // lead and trail, but no character
      {936, "\xB0\x7F", u"\u30FB\u007F"},
      {949, "\x80\xFF\xB0", u"??\u30FB"},
      {949, "\xB0\x5B", u"\u30FB["},  // 0x5B lies between the page's trail ranges
      {950, "\xA4\x80", u"\u30FB\u0080"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Widen(c.cp, c.bytes), c.text)
        << c.cp << " " << Hex(c.bytes) << ": " << Units(Widen(c.cp, c.bytes));
    EXPECT_EQ(MultiByteToWideChar(c.cp, MB_ERR_INVALID_CHARS, c.bytes.data(),
                                  static_cast<int>(c.bytes.size()), nullptr, 0),
              0)
        << c.cp << " " << Hex(c.bytes);
  }
  // The terminator after a dangling lead byte survives a zero-terminated conversion.
  WCHAR out[4] = {1, 1, 1, 1};
  EXPECT_EQ(MultiByteToWideChar(932, 0, "\x82", -1, out, 4), 2);
  EXPECT_EQ(out[0], 0x30FB);
  EXPECT_EQ(out[1], 0);
}

// Only round-trip mappings: iconv's one-way fallbacks are best-fit mappings and give "?".
TEST_F(DoubleByteCodePages, UnmappableUnitsBecomeTheDefaultChar) {
  struct Case {
    UINT cp;
    std::u16string text;
    const char* defaultChar;
    std::string bytes;
  };
  const Case cases[] = {
      {932, u"\u00A5\u203E\u301C", nullptr, "???"},
      {932, u"a\u00E9", nullptr, "a?"},
      {932, u"\u00E9", "\x81\x45", "\x81\x45"},  // a double-byte default character
      {936, u"\u0E01\U00020000", nullptr, "???"},
      {949, u"\u0E01", "*", "*"},
      {950, u"\u3042x", nullptr, "?x"},  // its Big5 extension area is user-defined here
      {950, u"\u0101", nullptr, "?"},
  };
  for (const Case& c : cases) {
    bool used = false;
    const std::string got = Narrow(c.cp, c.text, &used, c.defaultChar);
    EXPECT_EQ(got, c.bytes) << c.cp << " " << Units(c.text) << ": " << Hex(got);
    EXPECT_EQ(used, c.bytes.find_first_of("?*\x81") != std::string::npos) << c.cp;
  }
}

// Every pair of every page: what it decodes to encodes to bytes that decode to the same unit.
TEST_F(DoubleByteCodePages, EveryPairRoundTrips) {
  for (UINT cp : kDoubleBytePages) {
    int defined = 0;
    for (int lead = 0x81; lead < 0x100; ++lead) {
      for (int trail = 0x40; trail < 0x100; ++trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        WCHAR wide[2];
        if (MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, pair, 2, wide, 2) != 1) continue;
        ++defined;
        char back[2];
        bool used = true;
        const int n = WideCharToMultiByte(cp, 0, wide, 1, back, 2, nullptr, &used);
        ASSERT_GT(n, 0);
        ASSERT_FALSE(used) << cp << " " << Hex(std::string_view(pair, 2));
        WCHAR again;
        ASSERT_EQ(MultiByteToWideChar(cp, 0, back, n, &again, 1), 1);
        ASSERT_EQ(again, wide[0]) << cp << " " << Hex(std::string_view(pair, 2));
      }
    }
    EXPECT_GT(defined, 7000) << cp;
  }
}

// The first use of a page builds its tables; threads that race for it all get the same result.
TEST_F(DoubleByteCodePages, ConcurrentFirstUse) {
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&wrong, t] {
      const UINT cp = kDoubleBytePages[t % 4];
      for (int i = 0; i < 200; ++i) {
        const char* text = cp == 932   ? "\x82\xA0"
                           : cp == 936 ? "\xC4\xE3"
                           : cp == 949 ? "\xB0\xA1"
                                       : "\xA4\x40";
        WCHAR w = 0;
        char back[3] = {};
        if (MultiByteToWideChar(cp, 0, text, 2, &w, 1) != 1 ||
            WideCharToMultiByte(cp, 0, &w, 1, back, 3, nullptr, nullptr) != 2 ||
            back[0] != text[0] || back[1] != text[1])
          ++wrong;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace qvplatform
