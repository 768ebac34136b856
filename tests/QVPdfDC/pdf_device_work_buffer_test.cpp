#include "QVPdfDC/pdf_device_work_buffer.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "comma_locale.h"
#include "pdf_literal_reader.h"
#include "qvplatform/wintypes.h"

namespace vellora {
namespace {

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

TEST(WorkBuffer, NumberWritersUseTheFixedForm) {
  TQVPDFDeviceWorkBuffer b(2000);
  b.AddFloat(2.0L, 3);
  b.AddFloat(-0.5L, 3);
  b.AddFloat(0.000001L, 3);
  b.AddFloat(0.1234567L, 3);  // at least five decimals even when three are asked for
  b.AddFloat(1234.56789L, 3);
  b.AddFloat(12345678, 3);  // in full, not the mantissa
  b.AddFloat(kNaN, 3);
  b.AddFloat(-kInf, 3);
  b.AddFloat(12.5L, 3, true);
  EXPECT_EQ(b.Text(), "2 -0.5 0 0.12346 1234.568 12345678 0 0 12.5");
}

TEST(WorkBuffer, IntegersCoordinatesAndScaledValuesFollowTheDivisor) {
  struct Case {
    std::int32_t divisor;
    const char* out;
  };
  const Case cases[] = {
      {10, "-5 7|1.5 |1.5 |-0.1 "}, {1, "-5 7|15 |15 |-1 "}, {0, "-5 7|15 |15 |-1 "}};
  for (const auto& c : cases) {
    TQVPDFDeviceWorkBuffer b;
    b.SetDivisor(c.divisor);
    b.AddInt(-5, true);
    b.AddInt(7, false);
    b.AddString("|");
    b.AddCoord(15);
    b.AddString("|");
    b.AddScaledFloat(15);
    b.AddString("|");
    b.AddCoord(-1);
    EXPECT_EQ(b.Text(), c.out) << c.divisor;
  }
}

TEST(WorkBuffer, ComponentListsHaveTheirOwnBounds) {
  struct Case {
    std::initializer_list<long double> values;
    int decimals;
    const char* out;
  };
  const Case cases[] = {
      {{40000, 0, 1, 0.5L}, 3, "1 0 1 0.5"},
      {{kNaN, kInf, -0.0L, -40000, 0.12345L}, 3, "0 0 0 1 0.123"},
      {{2.6L, -0.4L}, 0, "3 0"},
      {{0.0000001L}, 3, "0"},
      {{1.0L / 3}, 6, "0.333333"},
      {{}, 3, ""},
  };
  for (const auto& c : cases) {
    TQVPDFDeviceWorkBuffer b;
    b.AddColorComponents(c.values, c.decimals);
    EXPECT_EQ(b.Text(), c.out);
  }
}

TEST(WorkBuffer, EscapedTextReadsBack) {
  TQVPDFDeviceWorkBuffer b;
  b.AddEscaped("a(b)\\\b\t\n\r\xE9");
  EXPECT_EQ(b.Text(), "a\\(b\\)\\\\\\b\\t\\n\\r\xE9");
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  all += "\r\n\n\r";
  TQVPDFDeviceWorkBuffer c;
  c.AddString("(");
  c.AddEscaped(all);
  c.AddString(")");
  EXPECT_EQ(vellora_test::ReadPdfLiteral(c.Text()), all);
}

TEST(WorkBuffer, OutputDoesNotChangeUnderACommaLocale) {
  const auto write = [] {
    TQVPDFDeviceWorkBuffer b;
    b.SetDivisor(10);
    b.AddFloat(1234.5678L, 3);
    b.AddCoord(15);
    b.AddColorComponents({0.5L, 0.25L, 40000}, 3);
    b.AddString(" ");  // a list ends without a blank
    b.AddColor(qvplatform::RGB(128, 64, 32), nullptr, {}, 1);
    return std::string(b.Text());
  };
  const std::string expected = write();
  vellora_test::ScopedCommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_EQ(write(), expected);
  EXPECT_EQ(expected, "1234.568 1.5 0.5 0.25 1 0.502 0.251 0.125 rg ");
}

// Counts how often the recorded capacity changes, that is how often the block moves.
struct GrowthProbe {
  TQVPDFDeviceWorkBuffer buffer;
  std::string expected;
  int moves = 0;
  void Add(std::string_view text) {
    const std::size_t before = buffer.Capacity();
    buffer.AddString(text);
    expected += text;
    if (buffer.Capacity() != before) ++moves;
  }
};

TEST(WorkBuffer, GrowthStaysGeometricForSmallAndLargeWrites) {
  GrowthProbe small;
  for (int i = 0; i < 200000; ++i) small.Add("12 ");
  EXPECT_EQ(small.buffer.Text(), small.expected);
  EXPECT_LE(small.moves, 30);

  // Writes larger than the step would each move the block under a step-only rule.
  GrowthProbe large;
  const std::string chunk(3000, 'x');
  for (int i = 0; i < 3000; ++i) large.Add(chunk);
  EXPECT_EQ(large.buffer.Size(), large.expected.size());
  EXPECT_TRUE(large.buffer.Text() == large.expected);
  EXPECT_LE(large.moves, 30);
}

TEST(WorkBuffer, ResetKeepsWorkingWithTheRecordedBoundBelowTheBlock) {
  GrowthProbe p;
  for (int i = 0; i < 5000; ++i) p.Add("0.123 4.567 l ");
  p.buffer.Reset();
  EXPECT_EQ(p.buffer.Size(), 0u);
  EXPECT_EQ(p.buffer.Capacity(), 256u);
  p.expected.clear();
  for (int i = 0; i < 5000; ++i) p.Add("q 1 0 0 1 0 0 cm Q ");
  EXPECT_EQ(p.buffer.Text(), p.expected);
}

TEST(WorkBuffer, TruncateOnlyCutsInsideTheContent) {
  TQVPDFDeviceWorkBuffer b;
  b.AddString("abcdef");
  b.Truncate(0);
  b.Truncate(6);
  b.Truncate(99);
  EXPECT_EQ(b.Text(), "abcdef");
  b.Truncate(3);
  EXPECT_EQ(b.Text(), "abc");
  b.AddString("x");
  EXPECT_EQ(b.Text(), "abcx");
}

TEST(WorkBuffer, HoldingMovesMarkedTextAsideUntilDirectModeReturns) {
  TQVPDFDeviceWorkBuffer b;
  b.AddString("a ");
  b.SetMode(TQVPDFDeviceWorkBuffer::kMarking);
  b.AddString("b ");
  b.SetMode(TQVPDFDeviceWorkBuffer::kMarking);  // again: the mark stays
  b.AddString("c ");
  b.SetMode(TQVPDFDeviceWorkBuffer::kHolding);
  EXPECT_EQ(b.Text(), "a ");
  EXPECT_EQ(b.HeldText(), "b c ");
  b.AddString("d ");
  b.SetMode(7);  // not a mode
  EXPECT_EQ(b.Mode(), TQVPDFDeviceWorkBuffer::kHolding);
  b.SetMode(TQVPDFDeviceWorkBuffer::kDirect);
  EXPECT_EQ(b.Text(), "a d b c ");
  EXPECT_EQ(b.HeldText(), "");

  // Holding entered directly holds nothing; dropping forgets the held text.
  b.SetMode(TQVPDFDeviceWorkBuffer::kHolding);
  b.SetMode(TQVPDFDeviceWorkBuffer::kDirect);
  EXPECT_EQ(b.Text(), "a d b c ");
  b.SetMode(TQVPDFDeviceWorkBuffer::kMarking);
  b.AddString("e ");
  b.SetMode(TQVPDFDeviceWorkBuffer::kHolding);
  b.SetMode(TQVPDFDeviceWorkBuffer::kDropHeld);
  EXPECT_EQ(b.Mode(), TQVPDFDeviceWorkBuffer::kDirect);
  b.SetMode(TQVPDFDeviceWorkBuffer::kDirect);
  EXPECT_EQ(b.Text(), "a d b c ");
}

TEST(WorkBuffer, HoldingAfterACutBelowTheMarkHoldsNothing) {
  TQVPDFDeviceWorkBuffer b;
  b.AddString("abcdef");
  b.SetMode(TQVPDFDeviceWorkBuffer::kMarking);
  b.Truncate(2);
  b.SetMode(TQVPDFDeviceWorkBuffer::kHolding);
  EXPECT_EQ(b.Text(), "ab");
  EXPECT_EQ(b.HeldText(), "");
}

TEST(WorkBuffer, FlushWritesOnceIncludingHeldTextAndKeepsTheContent) {
  TQVPDFDeviceWorkBuffer b;
  int calls = 0;
  std::string out;
  const auto sink = [&](const char* data, std::size_t size) {
    ++calls;
    out.append(data, size);
  };
  b.FlushTo(sink);
  EXPECT_EQ(calls, 0);

  b.AddString("q ");
  b.SetMode(TQVPDFDeviceWorkBuffer::kMarking);
  b.AddString("BT ");
  b.SetMode(TQVPDFDeviceWorkBuffer::kHolding);
  b.AddString("Q ");
  b.FlushTo(sink);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(out, "q Q BT ");
  EXPECT_EQ(b.Text(), "q Q BT ");
  EXPECT_EQ(b.Mode(), TQVPDFDeviceWorkBuffer::kDirect);

  b.SetMode(TQVPDFDeviceWorkBuffer::kMarking);
  b.AddString("x ");
  b.SetMode(TQVPDFDeviceWorkBuffer::kHolding);
  b.Reset();
  EXPECT_EQ(b.Mode(), TQVPDFDeviceWorkBuffer::kDirect);
  EXPECT_EQ(b.HeldText(), "");
  b.FlushTo(sink);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vellora
