#include <gtest/gtest.h>
#include <iconv.h>

#include <map>

#include "codepage_test_util.h"
#include "qvplatform/codepage.h"

namespace qvplatform {
namespace {

using testing::Hex;
using testing::Narrow;
using testing::Units;
using testing::Widen;

constexpr UINT kSingleBytePages[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

// Bytes above 0x9F that glibc leaves undefined and the system maps.
const std::map<std::pair<UINT, int>, char16_t> kSystemOnly = {
    {{874, 0xDB}, 0xF8C1},  {{874, 0xDC}, 0xF8C2},  {{874, 0xDD}, 0xF8C3},  {{874, 0xDE}, 0xF8C4},
    {{874, 0xFC}, 0xF8C5},  {{874, 0xFD}, 0xF8C6},  {{874, 0xFE}, 0xF8C7},  {{874, 0xFF}, 0xF8C8},
    {{1253, 0xAA}, 0xF8F9}, {{1253, 0xD2}, 0xF8FA}, {{1253, 0xFF}, 0xF8FB}, {{1255, 0xCA}, 0x05BA},
    {{1255, 0xD9}, 0xF88D}, {{1255, 0xDA}, 0xF88E}, {{1255, 0xDB}, 0xF88F}, {{1255, 0xDC}, 0xF890},
    {{1255, 0xDD}, 0xF891}, {{1255, 0xDE}, 0xF892}, {{1255, 0xDF}, 0xF893}, {{1255, 0xFB}, 0xF894},
    {{1255, 0xFC}, 0xF895}, {{1255, 0xFF}, 0xF896}, {{1257, 0xA1}, 0xF8FC}, {{1257, 0xA5}, 0xF8FD},
};

// glibc's reading of one byte, or -1 when it leaves the byte undefined.
int IconvByte(UINT cp, unsigned char b) {
  const std::string name = "CP" + std::to_string(cp);
  iconv_t cd = iconv_open("UTF-16LE", name.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return -2;
  char* in = reinterpret_cast<char*>(&b);
  char16_t unit[4];
  char* out = reinterpret_cast<char*>(unit);
  std::size_t il = 1, ol = sizeof unit;
  std::size_t r = iconv(cd, &in, &il, &out, &ol);
  // glibc holds back a 1255 or 1258 base letter that a combining mark could follow.
  if (r != static_cast<std::size_t>(-1)) r = iconv(cd, nullptr, nullptr, &out, &ol);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1) || sizeof unit - ol != 2) return -1;
  return unit[0];
}

// Every byte of every page: glibc's mapping where it has one, the system's own elsewhere (the
// C1 control of the same value below 0xA0), and each mapping encodes back to its byte.
TEST(SingleByteCodePages, EveryByteMatchesTheSystemAndRoundTrips) {
  for (UINT cp : kSingleBytePages) {
    ASSERT_TRUE(IsValidCodePage(cp)) << cp;
    for (int b = 0; b < 256; ++b) {
      const std::string byte(1, static_cast<char>(b));
      const std::u16string wide = Widen(cp, byte);
      ASSERT_EQ(wide.size(), 1u) << cp << " byte " << b;
      int expected = IconvByte(cp, static_cast<unsigned char>(b));
      ASSERT_NE(expected, -2) << "glibc lacks CP" << cp;
      if (expected == -1) {
        const auto it = kSystemOnly.find({cp, b});
        ASSERT_TRUE(b < 0xA0 || it != kSystemOnly.end()) << cp << " byte " << b;
        expected = b < 0xA0 ? b : it->second;
      }
      EXPECT_EQ(wide[0], expected) << cp << " byte " << std::hex << b;
      bool used = true;
      EXPECT_EQ(Narrow(cp, wide, &used), byte) << cp << " byte " << std::hex << b;
      EXPECT_FALSE(used);
    }
  }
}

TEST(SingleByteCodePages, TextBothWays) {
  struct Case {
    UINT cp;
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {1252, "A\x80\x81\x8D\x8F\x90\x9D\xE9\xFF",
       u"A\u20AC\u0081\u008D\u008F\u0090\u009D\u00E9\u00FF"},
      {0, "\x9C\xA3", u"\u0153\u00A3"},  // CP_ACP is 1252
      {1250, "\x8A\xB9\x81\x98", u"\u0160\u0105\u0081\u0098"},
      {1251, "\xC0\xFF\x88\x98", u"\u0410\u044F\u20AC\u0098"},
      {1253, "\xC1\xAA\xA2", u"\u0391\uF8F9\u0386"},
      {1254, "\xD0\xFD\x8E", u"\u011E\u0131\u008E"},
      // Alef with qamats stays two units: no composition.
      {1255, "\xE0\xC8\xCA\xA4", u"\u05D0\u05B8\u05BA\u20AA"},
      {1256, "\xC7\x81\xFF", u"\u0627\u067E\u06D2"},
      {1257, "\xC0\xA1\x8D", u"\u0104\uF8FC\u00A8"},
      // A with the combining hook above stays two units.
      {1258, "A\xD2\xC3\xFE", u"A\u0309\u0102\u20AB"},
      {874, "\xA1\xDB\x80", u"\u0E01\uF8C1\u20AC"},
  };
  for (const Case& c : cases) testing::ExpectRoundTrip(c.cp, c.bytes, c.text);
}

// No best-fit mapping: "ā" is never written as "a"; every unit the page lacks becomes the
// default character, one per UTF-16 unit (so a character outside the BMP gives two).
TEST(SingleByteCodePages, UnmappableUnitsBecomeTheDefaultChar) {
  struct Case {
    UINT cp;
    std::u16string text;
    const char* defaultChar;
    std::string bytes;
    bool used;
  };
  const Case cases[] = {
      {1252, u"A\u0101\u20AC\u4E2D", nullptr, "A?\x80?", true},
      {1252, u"A\u0101", "*", "A*", true},
      {1252, u"\u00C3\u0303", nullptr, "\xC3?", true},  // no decomposition either
      {1252, u"x\U0001F600", nullptr, "x??", true},
      {1252, u"\xD800x\xDC00", nullptr, "?x?", true},  // unpaired surrogates
      {1251, u"\u0410\u00E9", nullptr, "\xC0?", true},
      {1258, u"\u00C3", nullptr, "?", true},  // exists only as A + combining tilde
      {1253, u"\u03A3\u0100", nullptr, "\xD3?", true},
      {1252, u"plain", nullptr, "plain", false},
  };
  for (const Case& c : cases) {
    bool used = !c.used;
    EXPECT_EQ(Narrow(c.cp, c.text, &used, c.defaultChar), c.bytes) << c.cp << " " << Units(c.text);
    EXPECT_EQ(used, c.used) << c.cp << " " << Units(c.text);
  }
}

}  // namespace
}  // namespace qvplatform
