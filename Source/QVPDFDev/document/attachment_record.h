// The binary attachment record of a drawing program: a file name, an icon, annotation texts
// and file entries, read from untrusted bytes. Every field is read only after the bytes left
// are checked, little-endian on any host; texts stop at their terminator or at the end of
// their field.
//
//   0 file name (100 bytes)  100 icon  104 text list length L  108 entry count  116 text list
//   then the entries:  0 size (88 + body)  8 file system key  12 subtype (44 bytes, "-" for
//   "/")  56 modification date  66 creation date (10 bytes each)  76 data state  88 body
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "QVPDFDev/document/attachment_date.h"

namespace vellora {

// How a body is stored: 0 plain data (compressed by the writer), 1 as is, 2 already Flate
// compressed, 3 already LZW compressed.
enum class TQVAttachmentData : std::int32_t { plain = 0, stored = 1, flate = 2, lzw = 3 };

struct TQVAttachmentEntry {
  std::string fileSystemKey;  // "DOS", "Mac", "Unix" or "F"
  std::string subtype;        // the MIME type, "-" turned into "/"
  std::optional<TQVCalendarTime> modified, created;
  TQVAttachmentData data = TQVAttachmentData::plain;
  const std::uint8_t* body = nullptr;  // inside the record
  std::size_t bodySize = 0;
};

struct TQVAttachmentRecord {
  std::string fileName;
  std::uint8_t icon = 0;       // 0 empty appearance, 1 PushPin, 2 Graph, 3 Paperclip, 4 Tag
  std::string annotationText;  // comma text of name=value entries
  std::vector<TQVAttachmentEntry> entries;  // those that fit, in record order
};

inline constexpr std::size_t kAttachmentHeaderSize = 116;
inline constexpr std::size_t kAttachmentEntryHeaderSize = 88;

// None when the record is shorter than its header or its text list, or announces no entry.
// An entry whose size is below its header or beyond the bytes left ends the list: the
// entries before it stay.
std::optional<TQVAttachmentRecord> ReadAttachmentRecord(const std::uint8_t* data,
                                                        std::size_t length);

}  // namespace vellora
