// The current local date and time as the host class library's TDateTime, with an override
// for tests, and the locale-free decomposition and formatting the engine needs.
//
// TDateTime: days since 1899-12-30 00:00 in the integer part, the time of day in the
// fraction. Before that day the integer part is negative and the fraction still counts
// forwards from midnight: -1.25 is 1899-12-29 06:00.
#pragma once

#include <string>

namespace qvplatform {

using TDateTime = double;

struct DateTimeParts {
  int year = 1899;
  int month = 12;  // 1..12
  int day = 30;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int utcOffsetMinutes = 0;  // local time minus UTC (east positive), e.g. 120 for UTC+2
};

// The local date and time now, or the override while one is set.
TDateTime Now();

// Now() decomposed, with the local UTC offset (the override's while one is set).
DateTimeParts CurrentDateTime();

// Process-wide override for tests: Now() returns value and the offset is utcOffsetMinutes
// until ClearClockOverride(). Thread-safe.
void SetClockOverride(TDateTime value, int utcOffsetMinutes = 0);
void ClearClockOverride();

// Sets an override for its lifetime and restores the previous state afterwards.
class ScopedClockOverride {
 public:
  explicit ScopedClockOverride(TDateTime value, int utcOffsetMinutes = 0);
  ~ScopedClockOverride();
  ScopedClockOverride(const ScopedClockOverride&) = delete;
  ScopedClockOverride& operator=(const ScopedClockOverride&) = delete;

 private:
  bool hadOverride_;
  TDateTime oldValue_;
  int oldOffset_;
};

// Calendar arithmetic (proleptic Gregorian). Values are clamped to 0001-01-01 00:00:00.000 ..
// 9999-12-31 23:59:59.999, NaN counts as 0; the time is rounded to the millisecond.
// utcOffsetMinutes of the result is 0.
DateTimeParts DecodeDateTime(TDateTime value);
// Fields out of range are clamped (month to 1..12, day to the month's length, and so on).
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                         int millisecond = 0);

// The short date format "yyyy-mm-dd" and the long time format "hh:nn:ss" (24 hours),
// fixed and locale-free.
std::string FormatShortDate(TDateTime value);
std::string FormatLongTime(TDateTime value);

}  // namespace qvplatform
