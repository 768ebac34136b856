#include "QVPDFDev/document/attachment_record.h"

#include <cstring>
#include <string_view>

namespace vellora {
namespace {

constexpr std::size_t kFileNameSize = 100;
constexpr std::size_t kIconOffset = 100;
constexpr std::size_t kTextLengthOffset = 104;
constexpr std::size_t kEntryCountOffset = 108;
constexpr std::size_t kKeyOffset = 8;
constexpr std::size_t kSubtypeOffset = 12;
constexpr std::size_t kSubtypeSize = 44;
constexpr std::size_t kModifiedOffset = 56;
constexpr std::size_t kCreatedOffset = 66;
constexpr std::size_t kDataStateOffset = 76;

std::int32_t ReadInt32(const std::uint8_t* p) {
  const std::uint32_t v = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                          static_cast<std::uint32_t>(p[2]) << 16 |
                          static_cast<std::uint32_t>(p[3]) << 24;
  return static_cast<std::int32_t>(v);
}

std::string FieldText(const std::uint8_t* p, std::size_t size) {
  const void* end = std::memchr(p, 0, size);
  const std::size_t length =
      end != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - p) : size;
  return std::string(reinterpret_cast<const char*>(p), length);
}

std::string FileSystemKey(std::uint8_t key) {
  switch (key) {
    case 3:
      return "DOS";
    case 4:
      return "Mac";
    case 5:
      return "Unix";
    default:
      return "F";
  }
}

std::optional<TQVCalendarTime> DateAt(const std::uint8_t* p) {
  const std::optional<double> days = DecodeExtended(p);
  return days ? CalendarTimeFromDays(*days) : std::nullopt;
}

}  // namespace

std::optional<TQVAttachmentRecord> ReadAttachmentRecord(const std::uint8_t* data,
                                                        std::size_t length) {
  if (data == nullptr || length < kAttachmentHeaderSize) return std::nullopt;
  const std::int32_t count = ReadInt32(data + kEntryCountOffset);
  if (count <= 0) return std::nullopt;
  const std::int32_t textLength = ReadInt32(data + kTextLengthOffset);
  std::size_t left = length - kAttachmentHeaderSize;
  const std::uint8_t* p = data + kAttachmentHeaderSize;

  TQVAttachmentRecord record;
  if (textLength > 0) {
    const auto size = static_cast<std::size_t>(textLength);
    if (size > left) return std::nullopt;
    record.annotationText.assign(reinterpret_cast<const char*>(p), size);
    p += size;
    left -= size;
  }
  record.fileName = FieldText(data, kFileNameSize);
  record.icon = data[kIconOffset];

  // Every entry takes at least its header, so the loop ends however large the count is.
  for (std::int32_t i = 0; i < count && left >= kAttachmentEntryHeaderSize; ++i) {
    const std::int32_t size = ReadInt32(p);
    if (size < static_cast<std::int32_t>(kAttachmentEntryHeaderSize) ||
        static_cast<std::size_t>(size) > left)
      break;
    TQVAttachmentEntry entry;
    entry.fileSystemKey = FileSystemKey(p[kKeyOffset]);
    entry.subtype = FieldText(p + kSubtypeOffset, kSubtypeSize);
    for (char& c : entry.subtype)
      if (c == '-') c = '/';
    entry.modified = DateAt(p + kModifiedOffset);
    entry.created = DateAt(p + kCreatedOffset);
    const std::int32_t state = ReadInt32(p + kDataStateOffset);
    entry.data =
        state >= 0 && state <= 3 ? static_cast<TQVAttachmentData>(state) : TQVAttachmentData::plain;
    entry.body = p + kAttachmentEntryHeaderSize;
    entry.bodySize = static_cast<std::size_t>(size) - kAttachmentEntryHeaderSize;
    record.entries.push_back(entry);
    p += size;
    left -= static_cast<std::size_t>(size);
  }
  return record;
}

}  // namespace vellora
