#include "utf8_to_utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace vellora {
namespace {

TEST(Utf8ToUtf16, DecodesAndReplacesEachIllFormedSubpart) {
  struct Case {
    std::string in;
    std::u16string out;
  };
  const Case cases[] = {
      {"a", u"a"},
      {"\xC3\xA9", u"\u00E9"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xEF\xBF\xBF", u"\uFFFF"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"\x80", u"\uFFFD"},
      {"\xFF"
       "a",
       u"\uFFFDa"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong lead
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong three-byte form
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xE2\x82", u"\uFFFD"},                            // truncated at the end
      {"\xE2\x82"
       "a",
       u"\uFFFDa"},
      {"\xF0\x9F\x98"
       "\xC3\xA9",
       u"\uFFFD\u00E9"},
  };
  for (const auto& c : cases) {
    std::u16string out;
    AppendUtf8AsUtf16(out, c.in);
    EXPECT_EQ(out, c.out) << testing::PrintToString(c.in);
  }
}

}  // namespace
}  // namespace vellora
