#include "qvplatform/codepage.h"

#include <gtest/gtest.h>

#include "codepage_test_util.h"

namespace qvplatform {
namespace {

using testing::Hex;
using testing::Narrow;
using testing::Units;
using testing::Widen;

TEST(Utf8, DecodesAndReplacesEachIllFormedSubpartOnce) {
  struct Case {
    std::string bytes;
    std::u16string text;
  };
  const Case cases[] = {
      {"A\xC3\xA9\xE2\x82\xAC", u"A\u00E9\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong: C0 never starts a sequence
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong three-byte form
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xE2\x82", u"\uFFFD"},                            // truncated at the end
      {"\xE2\x82"
       "A",
       u"\uFFFDA"},  // the breaking byte is read again
      {"\xF0\x9F\x98"
       "\xC3\xA9",
       u"\uFFFD\u00E9"},
      {"\x80\xBF\xFE\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Widen(CP_UTF8, c.bytes), c.text)
        << Hex(c.bytes) << ": " << Units(Widen(CP_UTF8, c.bytes));
    const bool valid = c.text.find(u'\uFFFD') == std::u16string::npos;
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, c.bytes.data(),
                                  static_cast<int>(c.bytes.size()), nullptr, 0) > 0,
              valid)
        << Hex(c.bytes);
  }
}

TEST(Utf8, EncodesAndReplacesUnpairedSurrogates) {
  bool used = true;
  EXPECT_EQ(Narrow(CP_UTF8, u"A\u00E9\u20AC\U0001F600", &used),
            "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_FALSE(used);
  EXPECT_EQ(Narrow(CP_UTF8, u"\xD800x\xDC00"), "\xEF\xBF\xBDx\xEF\xBF\xBD");
  const char16_t lone[] = u"a\xDBFF";
  EXPECT_EQ(
      WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, 2, nullptr, 0, nullptr, nullptr), 0);
}

TEST(CodePageCalls, LengthsSizeQueriesAndBadArguments) {
  // -1: zero-terminated, and the terminator is converted and counted.
  WCHAR wide[8] = {};
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "ab\x80", -1, nullptr, 0), 4);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "ab\x80", -1, wide, 8), 4);
  EXPECT_EQ(std::u16string(wide), u"ab\u20AC");
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "ab\x80", -1, wide, 3), 0);  // too small
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "ab\x80", 2, wide, 2), 2);   // exact fit, no terminator

  char bytes[8] = {};
  bool used = true;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9t\u00E9", -1, nullptr, 0, nullptr, &used), 4);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u00E9t\u00E9", -1, bytes, 8, nullptr, &used), 4);
  EXPECT_STREQ(bytes, "\xE9t\xE9");
  EXPECT_FALSE(used);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00E9t\u00E9", -1, bytes, 6, nullptr, nullptr), 6);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00E9t\u00E9", -1, bytes, 5, nullptr, nullptr), 0);

  // Failures: empty or negative lengths, missing buffers, unknown pages.
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 0, wide, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", -2, wide, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, nullptr, 1, wide, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 1, nullptr, 8), 0);
  EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 1, wide, -1), 0);
  EXPECT_EQ(MultiByteToWideChar(437, 0, "a", 1, wide, 8), 0);
  EXPECT_EQ(WideCharToMultiByte(437, 0, u"a", 1, bytes, 8, nullptr, nullptr), 0);
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"a", 1, nullptr, 8, nullptr, nullptr), 0);
}

TEST(CodePageCalls, SystemPageValidityAndCharsetTable) {
  EXPECT_EQ(GetACP(), 1252u);
  for (UINT cp : {874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u, 65001u})
    EXPECT_TRUE(IsValidCodePage(cp)) << cp;
  for (UINT cp : {0u, 1u, 437u, 850u, 1259u, 20127u, 65000u})
    EXPECT_FALSE(IsValidCodePage(cp)) << cp;

  struct Case {
    BYTE charset;
    UINT cp;
  };
  const Case cases[] = {{0, 1252},   {1, 1252},   {2, 1252},   {77, 1252},  {128, 932},
                        {129, 949},  {130, 1252}, {134, 936},  {136, 950},  {161, 1253},
                        {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
                        {204, 1251}, {222, 874},  {238, 1250}, {255, 1252}};
  for (const Case& c : cases) EXPECT_EQ(CodePageFromCharset(c.charset), c.cp) << int(c.charset);
}

}  // namespace
}  // namespace qvplatform
