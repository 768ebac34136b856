// Attachment records as a drawing program writes them (little-endian, the layout the PDF
// device reads): a file name, an icon, annotation texts and file entries, each field of which
// a test may set to anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vellora_test {

struct AttachmentBody {
  std::uint8_t fileSystemKey = 0;  // 3 DOS, 4 Mac, 5 Unix, other F
  std::string subtype;             // "-" for "/"
  double modified = 45322.5;       // days since 1899-12-30: 2024-01-31 12:00
  double created = 45322.25;       // 06:00
  std::int32_t dataState = 0;
  std::string body;
  std::optional<std::int32_t> size;  // the entry size written, else 88 + body
};

struct AttachmentRecordFields {
  std::string fileName = "report.txt";  // up to 100 bytes; 100 leaves no terminator
  std::uint8_t icon = 1;
  std::string texts;  // the comma text
  std::vector<AttachmentBody> bodies;
  std::optional<std::int32_t> textLength;  // written instead of the texts' length
  std::optional<std::int32_t> count;       // written instead of the number of bodies
};

// Shorthands for the common fields.
AttachmentBody Body(std::string body, std::int32_t dataState = 0, std::uint8_t fileSystemKey = 0,
                    std::string subtype = {});
AttachmentRecordFields Record(std::string fileName, std::vector<AttachmentBody> bodies,
                              std::string texts = {}, std::uint8_t icon = 1);

std::vector<std::uint8_t> BuildAttachmentRecord(const AttachmentRecordFields& record);

// Offsets of the record's length and count fields: the text length, the entry count and each
// entry's size.
std::vector<std::size_t> AttachmentLengthFields(const AttachmentRecordFields& record);

// An 80-bit extended float, little-endian, as the record holds its dates.
void PutExtended(double value, std::uint8_t* out);

}  // namespace vellora_test
