#include "qvplatform/clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include <cmath>
#include <limits>

namespace qvplatform {
namespace {

TEST(Clock, EncodeAndDecodeKnownDates) {
  struct Case {
    int y, mo, d, h, mi, s, ms;
    double value;
  };
  const Case cases[] = {
      {1899, 12, 30, 0, 0, 0, 0, 0.0},
      {1900, 1, 1, 0, 0, 0, 0, 2.0},
      {1970, 1, 1, 0, 0, 0, 0, 25569.0},
      {2000, 2, 29, 12, 0, 0, 0, 36585.5},
      {2024, 3, 1, 6, 0, 0, 0, 45352.25},
      {1899, 12, 29, 6, 0, 0, 0, -1.25},  // before day 0 the fraction still counts forwards
      {1, 1, 1, 0, 0, 0, 0, -693593.0},
      {9999, 12, 31, 0, 0, 0, 0, 2958465.0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms), c.value) << c.value;
    const DateTimeParts p = DecodeDateTime(c.value);
    EXPECT_EQ(p.year, c.y) << c.value;
    EXPECT_EQ(p.month, c.mo) << c.value;
    EXPECT_EQ(p.day, c.d) << c.value;
    EXPECT_EQ(p.hour, c.h) << c.value;
  }
  // Milliseconds survive the double, and rounding to the millisecond carries into the day.
  const DateTimeParts p = DecodeDateTime(EncodeDateTime(2023, 12, 31, 23, 59, 58, 999));
  EXPECT_EQ(p.second, 58);
  EXPECT_EQ(p.millisecond, 999);
  const DateTimeParts next = DecodeDateTime(45291.0 + 0.99999999999);
  EXPECT_EQ(next.year, 2024);
  EXPECT_EQ(next.hour, 0);
  // Out-of-range and non-finite values are clamped, never undefined.
  EXPECT_EQ(DecodeDateTime(std::numeric_limits<double>::quiet_NaN()).year, 1899);
  EXPECT_EQ(DecodeDateTime(1e300).year, 9999);
  EXPECT_EQ(DecodeDateTime(-std::numeric_limits<double>::infinity()).year, 1);
  EXPECT_EQ(DecodeDateTime(EncodeDateTime(2023, 2, 31)).day, 28);
}

TEST(Clock, OverrideAndFormatting) {
  const TDateTime fixed = EncodeDateTime(2024, 7, 5, 9, 3, 7, 250);
  {
    ScopedClockOverride clock(fixed, 120);
    EXPECT_EQ(Now(), fixed);
    const DateTimeParts p = CurrentDateTime();
    EXPECT_EQ(p.year, 2024);
    EXPECT_EQ(p.month, 7);
    EXPECT_EQ(p.day, 5);
    EXPECT_EQ(p.hour, 9);
    EXPECT_EQ(p.minute, 3);
    EXPECT_EQ(p.second, 7);
    EXPECT_EQ(p.millisecond, 250);
    EXPECT_EQ(p.utcOffsetMinutes, 120);
    EXPECT_EQ(FormatShortDate(Now()), "2024-07-05");
    EXPECT_EQ(FormatLongTime(Now()), "09:03:07");
    {
      ScopedClockOverride inner(EncodeDateTime(1999, 12, 31, 23, 59, 59), -330);
      EXPECT_EQ(FormatShortDate(Now()) + " " + FormatLongTime(Now()), "1999-12-31 23:59:59");
      EXPECT_EQ(CurrentDateTime().utcOffsetMinutes, -330);
    }
    EXPECT_EQ(Now(), fixed);  // the outer override is back
  }
  // Without an override the clock follows the system's local time.
  time_t t = time(nullptr);
  tm local{};
  localtime_r(&t, &local);
  const DateTimeParts now = CurrentDateTime();
  EXPECT_EQ(now.utcOffsetMinutes, local.tm_gmtoff / 60);
  EXPECT_NEAR(Now(),
              EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                             local.tm_min, local.tm_sec),
              5.0 / 86400);
}

}  // namespace
}  // namespace qvplatform
