#include "QVPdfDC/pdf_string_escape.h"

#include <gtest/gtest.h>

#include <string>

#include "pdf_literal_reader.h"

namespace vellora {
namespace {

using vellora_test::ReadPdfLiteral;

std::string ReadBack(const std::string& body) {
  auto bytes = ReadPdfLiteral("(" + body + ")");
  EXPECT_TRUE(bytes.has_value()) << "not one literal string: " << body;
  return bytes.value_or("<unreadable>");
}

std::string AllBytes() {
  std::string s;
  for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
  return s;
}

std::string MemoryBytes(std::u16string_view units) {
  return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2);
}

TEST(EscapeBytes, WritesTheFixedForms) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"", ""},
      {std::string("a(b\n\xE9"), "a\\(b\\n\\351"},
      {"\x7F", "\x7F"},
      {"\x80", "\\200"},
      {"\b\t\r\n", "\\b\\t\\r\\n"},
      {"\\)(", "\\\\\\)\\("},
      {std::string("\0"
                   "7",
                   2),
       "\\0007"},  // always three digits: no digit is swallowed
      {"\x0C\x1F\xFF", "\\014\\037\\377"},
      {" ~", " ~"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeString(c.in), c.out) << c.out;
  EXPECT_EQ(EscapeBytes(nullptr, 0), "");
}

TEST(EscapeBytes, EveryBytePairReadsBackAsPrintableText) {
  const std::string all = AllBytes();
  const std::string escaped = EscapeString(all);
  EXPECT_EQ(ReadBack(escaped), all);
  for (const char ch : escaped) {
    const auto c = static_cast<unsigned char>(ch);
    EXPECT_TRUE(c >= 32 && c <= 127) << int(c);
  }
  // Neighbours matter (an octal escape before a digit, CR before LF): every ordered pair.
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const std::string in{static_cast<char>(a), static_cast<char>(b)};
      ASSERT_EQ(ReadBack(EscapeString(in)), in) << a << " " << b;
    }
  }
}

TEST(EscapeDelimiters, EscapesDelimitersAndLineEndsOnly) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"(a)\\", "\\(a\\)\\\\"},
      {"\r\n", "\\r\\n"},
      {std::string("\x00\x09\x08\x7F\x80\xFF", 6), std::string("\x00\x09\x08\x7F\x80\xFF", 6)},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeDelimiters(c.in.data(), c.in.size()), c.out);
  EXPECT_EQ(EscapeDelimiters(nullptr, 0), "");
}

TEST(EscapeDelimiters, EveryBytePairReadsBack) {
  const std::string all = AllBytes();
  EXPECT_EQ(ReadBack(EscapeDelimiters(all.data(), all.size())), all);
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const std::string in{static_cast<char>(a), static_cast<char>(b)};
      ASSERT_EQ(ReadBack(EscapeDelimiters(in.data(), in.size())), in) << a << " " << b;
    }
  }
}

TEST(EscapeWideText, AwkwardUnitsReadBackInBothByteOrders) {
  // Units whose bytes are CR, LF, delimiters, NUL, surrogates and byte-order marks.
  const char16_t awkward[] = {0x010D, 0x0D0A, 0x0A0D, 0x0D0D, 0x000D, 0x0D00, 0x000A,
                              0x2829, 0x2928, 0x5C5C, 0x005C, 0x0028, 0x0029, 0x0000,
                              0xD800, 0xDFFF, 0xFEFF, 0xFFFE, 0xFFFF, 0x0041};
  for (char16_t a : awkward) {
    for (char16_t b : awkward) {
      const std::u16string text{a, b, u'x'};
      ASSERT_EQ(ReadBack(EscapeWideText(text)), MemoryBytes(text)) << int(a) << " " << int(b);
      std::u16string swapped = text;
      SwapBytes16(swapped.data(), swapped.size() * 2);
      const std::string big_endian = MemoryBytes(swapped);
      ASSERT_EQ(ReadBack(EscapeWideText(swapped)), big_endian);
      ASSERT_EQ(static_cast<unsigned char>(big_endian[0]), a >> 8);
    }
  }
}

TEST(EscapeWideText, KeepsTheCaronCharacterWhole) {
  // U+010D big-endian is 01 0D; a raw CR would read back as LF and turn it into U+010A.
  std::u16string text = u"\u010Dx";
  SwapBytes16(text.data(), text.size() * 2);
  const std::string escaped = EscapeWideText(text);
  EXPECT_EQ(escaped, std::string("\x01\\r\0x", 5));
  EXPECT_EQ(ReadBack(escaped), std::string("\x01\x0D\0x", 4));
  EXPECT_EQ(EscapeWideText(u""), "");
}

TEST(EscapeText, PlainTextIsFullyEscapedAndUtf8BecomesATextString) {
  EXPECT_EQ(EscapeText(nullptr, false), "");
  EXPECT_EQ(EscapeText("", true), "");
  EXPECT_EQ(EscapeText("a(\xE9", false), "a\\(\\351");
  // Marker FE FF, then big-endian units: Z, e-diaeresis, CR, a surrogate pair for U+1F600.
  const std::string expected("\xFE\xFF\x00Z\x00\xEB\x00\r\xD8\x3D\xDE\x00", 12);
  EXPECT_EQ(ReadBack(EscapeText("Z\xC3\xAB\r\xF0\x9F\x98\x80", true)), expected);
  // Ill-formed input still gives a well-formed string: FFFD in place of the bad byte.
  EXPECT_EQ(ReadBack(EscapeText("\xFF", true)), std::string("\xFE\xFF\xFF\xFD", 4));
}

TEST(SwapBytes16, SwapsEachUnitAndLeavesAnOddByte) {
  std::string bytes = "abcde";
  SwapBytes16(bytes.data(), bytes.size());
  EXPECT_EQ(bytes, "badce");
  SwapBytes16(bytes.data(), 0);
  EXPECT_EQ(bytes, "badce");
}

}  // namespace
}  // namespace vellora
