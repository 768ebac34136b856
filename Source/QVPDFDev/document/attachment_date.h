// The dates of an attachment record: 80-bit extended floats counting days since 1899-12-30
// (the fraction is the time of day), decoded bit by bit so that any host reads the same.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vellora {

struct TQVCalendarTime {
  std::int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// The ten bytes (little-endian: 64-bit significand with its integer bit, then sign and
// 15-bit exponent) as a double; none for infinities, NaNs and unnormal encodings.
std::optional<double> DecodeExtended(const std::uint8_t* bytes);

// The calendar time of a day count; none unless finite and within years 1 to 9999. A
// negative count keeps its day part and takes the fraction's magnitude as the time.
std::optional<TQVCalendarTime> CalendarTimeFromDays(double days);

// "D:" + four-digit year, then month, day, hour, minute and second in two digits each.
std::string PdfDateText(const TQVCalendarTime& time);

}  // namespace vellora
