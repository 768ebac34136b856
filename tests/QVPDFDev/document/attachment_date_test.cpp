// The dates of attachment records: 80-bit extended floats decoded bit by bit into PDF date
// texts, and the encodings and ranges that give no date.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "QVPDFDev/document/attachment_date.h"
#include "attachment_record_builder.h"

namespace vellora {
namespace {

std::string DateOf(const std::uint8_t* bytes) {
  const std::optional<double> days = DecodeExtended(bytes);
  if (!days) return "no number";
  const std::optional<TQVCalendarTime> time = CalendarTimeFromDays(*days);
  return time ? PdfDateText(*time) : "no date";
}

TEST(AttachmentDate, DaysSince1899AsPdfDates) {
  const struct {
    double days;
    const char* text;
  } cases[] = {
      {0, "D:18991230000000"},
      {45322.5, "D:20240131120000"},
      {45322.999999999, "D:20240131235959"},  // rounds to the millisecond, never to a new day
      {-1.25, "D:18991229060000"},            // the day part, and the fraction as the time
      {-657434, "D:01000101000000"},          // years below 1000 keep four digits
      {-693593, "D:00010101000000"},
      {2958465.5, "D:99991231120000"},
      {-693594, "no date"},
      {2958466, "no date"},
      {std::numeric_limits<double>::infinity(), "no number"},
      {std::numeric_limits<double>::quiet_NaN(), "no number"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.days);
    std::uint8_t bytes[10];
    if (std::isfinite(c.days)) {
      vellora_test::PutExtended(c.days, bytes);
    } else {
      std::memset(bytes, 0, sizeof bytes);
      bytes[7] = 0x80;
      if (std::isnan(c.days)) bytes[7] = 0xC0;
      bytes[8] = 0xFF;
      bytes[9] = 0x7F;
    }
    EXPECT_EQ(DateOf(bytes), c.text);
  }
  // Without the integer bit a normal exponent is no number (an unnormal).
  std::uint8_t unnormal[10] = {0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F};
  EXPECT_EQ(DateOf(unnormal), "no number");
}

}  // namespace
}  // namespace vellora
