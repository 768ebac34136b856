#include "QVPDFDev/metadata/info_document_time.h"

#include <cstdio>

namespace vellora {
namespace {

constexpr double kMinutesPerDay = 24 * 60;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

TQVDocumentTime TQVDocumentTime::Now() {
  // One reading of the clock gives both the time and the offset that belongs to it.
  const qvplatform::DateTimeParts now = qvplatform::CurrentDateTime();
  TQVDocumentTime time;
  time.local = qvplatform::EncodeDateTime(now.year, now.month, now.day, now.hour, now.minute,
                                          now.second, now.millisecond);
  time.utcOffsetMinutes = now.utcOffsetMinutes;
  return time;
}

qvplatform::DateTimeParts TQVDocumentTime::Utc() const {
  // DecodeDateTime rounds to the millisecond, which absorbs the error of the day fraction.
  return qvplatform::DecodeDateTime(local - utcOffsetMinutes / kMinutesPerDay);
}

std::string PDFDateText(const TQVDocumentTime& time) {
  const qvplatform::DateTimeParts p = time.Utc();
  char text[32];
  std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02dZ", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  return text;
}

std::string XMPDateText(const TQVDocumentTime& time) {
  const qvplatform::DateTimeParts p = time.Utc();
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  return text;
}

std::string PDFDateToXMPDate(std::string_view pdfDate) {
  if (pdfDate.size() < 16 || pdfDate.substr(0, 2) != "D:") return {};
  const std::string_view digits = pdfDate.substr(2, 14);
  for (char c : digits)
    if (!IsDigit(c)) return {};
  std::string out;
  out.reserve(25);
  out.append(digits.substr(0, 4)).append("-").append(digits.substr(4, 2)).append("-");
  out.append(digits.substr(6, 2)).append("T").append(digits.substr(8, 2)).append(":");
  out.append(digits.substr(10, 2)).append(":").append(digits.substr(12, 2));
  const std::string_view zone = pdfDate.substr(16);
  if (zone.empty()) return out;
  if (zone == "Z" || zone == "Z00'00'" || zone == "Z00'00") return out + "Z";
  // "+HH'mm'" (the closing apostrophe is optional in practice).
  if (zone.size() >= 6 && (zone[0] == '+' || zone[0] == '-') && IsDigit(zone[1]) &&
      IsDigit(zone[2]) && zone[3] == '\'' && IsDigit(zone[4]) && IsDigit(zone[5]) &&
      (zone.size() == 6 || zone.substr(6) == "'")) {
    out += zone[0];
    out.append(zone.substr(1, 2)).append(":").append(zone.substr(4, 2));
    return out;
  }
  return {};
}

}  // namespace vellora
