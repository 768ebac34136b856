#include "QVPdfDC/number_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "comma_locale.h"

namespace vellora {
namespace {

std::string Fixed(long double v, int decimals) {
  char buf[kMaxNumberChars];
  return std::string(buf, FormatFixed(buf, v, decimals));
}

std::string Padded(long double v, int decimals) {
  char buf[kMaxNumberChars];
  return std::string(buf, FormatFixedPadded(buf, v, decimals));
}

constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();

struct Case {
  long double in;
  int decimals;
  const char* out;
};

TEST(FormatFixed, RoundsToSevenDigitsAndDropsTrailingZeros) {
  const Case cases[] = {
      {12.5L, 5, "12.5"},
      {3, 5, "3"},
      {2.0L, 5, "2"},
      {-0.5L, 5, "-0.5"},
      {0.1234567L, 5, "0.12346"},
      {1234.56789L, 5, "1234.568"},
      {123456.78L, 5, "123456.8"},
      {1234567.4L, 5, "1234567"},
      {0.000001L, 5, "0"},
      {-0.000001L, 5, "0"},  // never "-0"
      {-0.0L, 5, "0"},
      {0.00001L, 5, "0.00001"},
      {0.000123456789, 10, "0.0001234568"},  // seven significant digits below 1 as well
      {1e-20L, 15, "0"},
      {0.99999995, 5, "1"},
      {0.99999995, 7, "0.9999999"},  // the double lies just below ...995
      {0.99999996, 7, "1"},
      {9.9999996, 6, "10"},
      {999999.96, 5, "1000000"},
      {1.5, 0, "2"},
      {-1.5, 0, "-2"},
      {0.25, 1, "0.2"},  // an exact tie goes to even
      {0.5, -3, "0"},    // negative decimals act as 0
      {0.1, 99, "0.1"},  // oversized decimals are capped
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Fixed(c.in, c.decimals), c.out) << static_cast<double>(c.in) << " / " << c.decimals;
  }
}

TEST(FormatFixed, WritesLargeValuesInFullAndNeverAnythingButDigits) {
  const Case cases[] = {
      {12345678, 5, "12345678"},  // not the mantissa "1.234568"
      {12345678.9L, 5, "12345679"},
      {9999999.5L, 5, "10000000"},
      {-98765432109.L, 3, "-98765432109"},
      {1e15L, 5, "1000000000000000"},
      {1e300L, 5, "1000000000000000"},
      {-1e300L, 5, "-1000000000000000"},
      {std::numeric_limits<long double>::max(), 5, "1000000000000000"},
      {kNaN, 5, "0"},
      {kInf, 5, "0"},
      {-kInf, 5, "0"},
      {std::numeric_limits<long double>::denorm_min(), 15, "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Fixed(c.in, c.decimals), c.out);
}

TEST(FormatFixed, StaysWithinSevenDigitsAndHalfAUnitOfTheValue) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> exponent(-9, 14);
  std::uniform_int_distribution<int> decimals(0, 10);
  for (int i = 0; i < 20000; ++i) {
    const double v = std::pow(10.0, exponent(rng)) * (i % 2 ? -1 : 1);
    const int d = decimals(rng);
    const std::string s = Fixed(v, d);
    ASSERT_EQ(s.find_first_not_of("-0123456789."), std::string::npos) << s;
    ASSERT_NE(s, "-0");
    const auto point = s.find('.');
    if (point != std::string::npos) {
      ASSERT_NE(s.back(), '0') << s;
      ASSERT_LE(static_cast<int>(s.size() - point - 1), d) << s;
      const auto first = s.find_first_of("123456789");
      std::string digits = s.substr(first);
      std::erase(digits, '.');
      ASSERT_LE(digits.size(), 7u) << s;
    }
    // Error at most half a unit of the last place that the rules allow.
    const int e = static_cast<int>(std::floor(std::log10(std::fabs(v))));
    const double unit = std::max(std::pow(10.0, -d), std::pow(10.0, e - 6));
    ASSERT_LE(std::fabs(std::strtod(s.c_str(), nullptr) - v), 0.5 * unit * (1 + 1e-9))
        << v << " " << d << " " << s;
  }
}

TEST(FormatFixedPadded, KeepsExactlyTheDecimalsRequested) {
  const Case cases[] = {
      {0.5L, 3, "0.500"},
      {612, 3, "612.000"},
      {12345.678L, 3, "12345.680"},  // seven significant digits, then zeros
      {12345678, 3, "12345678.000"},
      {-0.0001L, 3, "0.000"},
      {kNaN, 3, "0.000"},
      {1e300L, 3, "1000000000000000.000"},
      {-1e300L, kMaxDecimals, "-1000000000000000.000000000000000"},
      {2.5L, 0, "2"},
  };
  for (const auto& c : cases) EXPECT_EQ(Padded(c.in, c.decimals), c.out);
  EXPECT_LE(Padded(-1e300L, kMaxDecimals).size(), kMaxNumberChars);
}

TEST(FormatInt, WritesTheFullRange) {
  char buf[kMaxNumberChars];
  EXPECT_EQ(std::string(buf, FormatInt(buf, 0)), "0");
  EXPECT_EQ(std::string(buf, FormatInt(buf, -42)), "-42");
  EXPECT_EQ(std::string(buf, FormatInt(buf, INT64_MIN)), "-9223372036854775808");
}

TEST(FormatFixed, IgnoresACommaDecimalLocale) {
  const std::string expected[] = {Fixed(1234.5678L, 5), Padded(0.5L, 3), Fixed(12345678, 5)};
  vellora_test::ScopedCommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
  EXPECT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(Fixed(1234.5678L, 5), expected[0]);
  EXPECT_EQ(Padded(0.5L, 3), expected[1]);
  EXPECT_EQ(Fixed(12345678, 5), expected[2]);
  EXPECT_EQ(expected[0], "1234.568");
}

}  // namespace
}  // namespace vellora
