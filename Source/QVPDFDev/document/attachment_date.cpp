#include "QVPDFDev/document/attachment_date.h"

#include <cmath>

namespace vellora {
namespace {

constexpr std::int32_t kExponentBias = 16383;
constexpr std::int32_t kSignificandBits = 63;
constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
// Day count of 0001-01-01 and of 9999-12-31 (end) from 1899-12-30.
constexpr double kFirstDay = -693593;
constexpr double kPastLastDay = 2958466;
// 1899-12-30 counted from 1970-01-01.
constexpr std::int64_t kEpochShift = -25569;

// The civil date of a day count from 1970-01-01 (proleptic Gregorian calendar).
void CivilFromDays(std::int64_t z, std::int32_t& y, std::int32_t& m, std::int32_t& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<std::int32_t>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<std::int32_t>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<std::int32_t>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

void AppendDigits(std::string& out, std::int32_t value, int width) {
  std::string digits = std::to_string(value);
  if (digits.size() < static_cast<std::size_t>(width))
    out.append(static_cast<std::size_t>(width) - digits.size(), '0');
  out += digits;
}

}  // namespace

std::optional<double> DecodeExtended(const std::uint8_t* bytes) {
  std::uint64_t significand = 0;
  for (int i = 7; i >= 0; --i) significand = significand << 8 | bytes[i];
  const std::uint32_t top = static_cast<std::uint32_t>(bytes[9]) << 8 | bytes[8];
  const bool negative = (top & 0x8000u) != 0;
  const std::int32_t exponent = static_cast<std::int32_t>(top & 0x7FFFu);
  if (exponent == 0x7FFF) return std::nullopt;
  if (significand == 0) return negative ? -0.0 : 0.0;
  // Without the integer bit only denormals (exponent 0) are valid; they are tiny anyway.
  if (exponent != 0 && (significand >> 63) == 0) return std::nullopt;
  const std::int32_t power = (exponent == 0 ? 1 : exponent) - kExponentBias - kSignificandBits;
  const double value = std::ldexp(static_cast<double>(significand), power);
  return negative ? -value : value;
}

std::optional<TQVCalendarTime> CalendarTimeFromDays(double days) {
  if (!std::isfinite(days) || days < kFirstDay || days >= kPastLastDay) return std::nullopt;
  const double whole = std::trunc(days);
  std::int64_t ms = std::llround(std::fabs(days - whole) * kMillisecondsPerDay);
  if (ms >= kMillisecondsPerDay) ms = kMillisecondsPerDay - 1;
  TQVCalendarTime t;
  CivilFromDays(static_cast<std::int64_t>(whole) + kEpochShift, t.year, t.month, t.day);
  if (t.year < 1 || t.year > 9999) return std::nullopt;
  const std::int64_t seconds = ms / 1000;
  t.hour = static_cast<std::int32_t>(seconds / 3600);
  t.minute = static_cast<std::int32_t>(seconds / 60 % 60);
  t.second = static_cast<std::int32_t>(seconds % 60);
  return t;
}

std::string PdfDateText(const TQVCalendarTime& time) {
  std::string out = "D:";
  AppendDigits(out, time.year, 4);
  AppendDigits(out, time.month, 2);
  AppendDigits(out, time.day, 2);
  AppendDigits(out, time.hour, 2);
  AppendDigits(out, time.minute, 2);
  AppendDigits(out, time.second, 2);
  return out;
}

}  // namespace vellora
