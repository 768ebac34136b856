// The document's start time as the clock gives it (local time and its UTC offset), and the
// date texts written from it. Every written date is in UTC and says so with "Z": readers
// take a date without an offset, or with a wrong one, as another instant.
#pragma once

#include <string>
#include <string_view>

#include "qvplatform/clock.h"

namespace vellora {

struct TQVDocumentTime {
  qvplatform::TDateTime local = 0;  // local date and time
  int utcOffsetMinutes = 0;         // local time minus UTC, east positive

  // The clock now (its override in tests).
  static TQVDocumentTime Now();
  // The same instant in UTC.
  qvplatform::DateTimeParts Utc() const;
};

// "D:20240131120000Z": the PDF date text in UTC.
std::string PDFDateText(const TQVDocumentTime& time);
// "2024-01-31T12:00:00Z": the XMP date in UTC.
std::string XMPDateText(const TQVDocumentTime& time);
// A PDF date text "D:YYYYMMDDHHmmSS" with "Z", an offset "+HH'mm'" or none, rearranged as an
// XMP date ("D:20240131120000Z" gives "2024-01-31T12:00:00Z"); empty for any other text.
std::string PDFDateToXMPDate(std::string_view pdfDate);

}  // namespace vellora
