#include "qvplatform/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qvplatform {
namespace {

TEST(Numbers, RoundHalvesToEven) {
  struct Case {
    long double in;
    std::int64_t out;
  };
  const Case cases[] = {{0.5L, 0},          {1.5L, 2},          {2.5L, 2},    {-0.5L, 0},
                        {-1.5L, -2},        {-2.5L, -2},        {2.4999L, 2}, {2.5001L, 3},
                        {1e30L, INT64_MAX}, {-1e30L, INT64_MIN}};
  for (const auto& c : cases) EXPECT_EQ(Round(c.in), c.out) << static_cast<double>(c.in);
  EXPECT_EQ(Round(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(Round(std::numeric_limits<long double>::infinity()), INT64_MAX);
  EXPECT_EQ(Round32(3e9L), INT32_MAX);
  EXPECT_EQ(Round32(-3e9L), INT32_MIN);
}

TEST(Numbers, TruncTowardsZero) {
  EXPECT_EQ(Trunc(2.9L), 2);
  EXPECT_EQ(Trunc(-2.9L), -2);
  EXPECT_EQ(Trunc(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(Trunc32(1e12L), INT32_MAX);
}

TEST(Numbers, MulDivRoundsHalfAwayFromZeroAndFlagsFailure) {
  struct Case {
    std::int32_t a, b, c, out;
  };
  const Case cases[] = {
      {10, 1, 4, 3},    // 2.5 -> 3
      {-10, 1, 4, -3},  // -2.5 -> -3
      {10, -1, 4, -3},
      {10, 1, -4, -3},
      {-10, -1, -4, -3},
      {7, 1, 2, 4},
      {1, 1, 3, 0},
      {2, 1, 3, 1},
      {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},  // 64-bit intermediate
      {5, 5, 0, -1},                                 // zero divisor
      {INT32_MAX, 2, 1, -1},                         // overflow
      {INT32_MIN, 1, -1, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.out) << c.a << "*" << c.b << "/" << c.c;
}

}  // namespace
}  // namespace qvplatform
