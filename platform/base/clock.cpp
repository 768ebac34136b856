// Local time comes from clock_gettime and localtime_r; the calendar is computed here (days
// from civil dates in the proleptic Gregorian calendar), so nothing depends on the locale.
#include "qvplatform/clock.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <mutex>

namespace qvplatform {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kUnixEpochDay = 25569;  // 1970-01-01 as a TDateTime day

struct Override {
  bool active = false;
  TDateTime value = 0;
  int offset = 0;
};

std::mutex g_overrideMutex;
Override g_override;  // guarded by g_overrideMutex

Override CurrentOverride() {
  std::lock_guard<std::mutex> lock(g_overrideMutex);
  return g_override;
}

// Days since 1970-01-01 of a civil date, and back.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

constexpr std::int64_t kFirstDay = -693593;  // 0001-01-01
constexpr std::int64_t kLastDay = 2958465;   // 9999-12-31

// Milliseconds since 1899-12-30 00:00 on a continuous time line (negative before it),
// clamped to the supported years.
std::int64_t ToMilliseconds(TDateTime value) {
  if (std::isnan(value)) value = 0;
  // Clamped first so that the conversions below stay in range (also for infinities).
  value = std::clamp(value, static_cast<double>(kFirstDay - 1), static_cast<double>(kLastDay + 1));
  const double dayPart = std::trunc(value);
  const double frac = std::fabs(value - dayPart);  // counts forwards from midnight either way
  std::int64_t day = static_cast<std::int64_t>(dayPart);
  std::int64_t ms = std::llround(frac * static_cast<double>(kMsPerDay));
  if (ms >= kMsPerDay) {  // rounded up to midnight: the next calendar day
    ms -= kMsPerDay;
    ++day;
  }
  return std::clamp(day * kMsPerDay + ms, kFirstDay * kMsPerDay,
                    kLastDay * kMsPerDay + kMsPerDay - 1);
}

TDateTime FromMilliseconds(std::int64_t total) {
  std::int64_t day = total / kMsPerDay;
  std::int64_t ms = total % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --day;
  }
  const double time = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
  return day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time;
}

}  // namespace

DateTimeParts DecodeDateTime(TDateTime value) {
  const std::int64_t total = ToMilliseconds(value);
  std::int64_t day = total / kMsPerDay;
  std::int64_t ms = total % kMsPerDay;
  if (ms < 0) {
    ms += kMsPerDay;
    --day;
  }
  DateTimeParts p;
  CivilFromDays(day - kUnixEpochDay, p.year, p.month, p.day);
  p.hour = static_cast<int>(ms / 3600000);
  p.minute = static_cast<int>(ms / 60000 % 60);
  p.second = static_cast<int>(ms / 1000 % 60);
  p.millisecond = static_cast<int>(ms % 1000);
  p.utcOffsetMinutes = 0;
  return p;
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second,
                         int millisecond) {
  year = std::clamp(year, 1, 9999);
  month = std::clamp(month, 1, 12);
  day = std::clamp(day, 1, DaysInMonth(year, month));
  const std::int64_t days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kUnixEpochDay;
  const std::int64_t ms = std::int64_t{std::clamp(hour, 0, 23)} * 3600000 +
                          std::int64_t{std::clamp(minute, 0, 59)} * 60000 +
                          std::int64_t{std::clamp(second, 0, 59)} * 1000 +
                          std::clamp(millisecond, 0, 999);
  return FromMilliseconds(days * kMsPerDay + ms);
}

TDateTime Now() {
  const Override o = CurrentOverride();
  if (o.active) return o.value;
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, std::min(local.tm_sec, 59),
                        static_cast<int>(ts.tv_nsec / 1000000));
}

DateTimeParts CurrentDateTime() {
  const Override o = CurrentOverride();
  if (o.active) {
    DateTimeParts p = DecodeDateTime(o.value);
    p.utcOffsetMinutes = o.offset;
    return p;
  }
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  DateTimeParts p;
  p.year = local.tm_year + 1900;
  p.month = local.tm_mon + 1;
  p.day = local.tm_mday;
  p.hour = local.tm_hour;
  p.minute = local.tm_min;
  p.second = std::min(local.tm_sec, 59);  // a leap second shows as :59
  p.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
  p.utcOffsetMinutes = static_cast<int>(local.tm_gmtoff / 60);
  return p;
}

void SetClockOverride(TDateTime value, int utcOffsetMinutes) {
  std::lock_guard<std::mutex> lock(g_overrideMutex);
  g_override = {true, value, utcOffsetMinutes};
}

void ClearClockOverride() {
  std::lock_guard<std::mutex> lock(g_overrideMutex);
  g_override = {};
}

ScopedClockOverride::ScopedClockOverride(TDateTime value, int utcOffsetMinutes) {
  std::lock_guard<std::mutex> lock(g_overrideMutex);
  hadOverride_ = g_override.active;
  oldValue_ = g_override.value;
  oldOffset_ = g_override.offset;
  g_override = {true, value, utcOffsetMinutes};
}

ScopedClockOverride::~ScopedClockOverride() {
  std::lock_guard<std::mutex> lock(g_overrideMutex);
  g_override = {hadOverride_, oldValue_, oldOffset_};
}

std::string FormatShortDate(TDateTime value) {
  const DateTimeParts p = DecodeDateTime(value);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
  return buf;
}

std::string FormatLongTime(TDateTime value) {
  const DateTimeParts p = DecodeDateTime(value);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", p.hour, p.minute, p.second);
  return buf;
}

}  // namespace qvplatform
