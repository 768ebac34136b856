#include "QVPDFDev/device/tagging_record.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

namespace vellora {
namespace {

constexpr std::size_t kTypeOffset = 16;
constexpr std::size_t kTypeSize = 16;
constexpr std::size_t kItemsOffset = 32;
constexpr std::string_view kStyleItem = "/StyNo ";
constexpr std::size_t kStyleDigits = 8;

std::int32_t ReadInt32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                   std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
}

std::int32_t StyleNumber(std::string_view text) {
  text = text.substr(0, kStyleDigits);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

void TakeItem(TQVTaggingRecord& record, std::string_view item) {
  if (item.empty()) return;
  if (item.substr(0, kStyleItem.size()) == kStyleItem) {
    if (!record.styleNumber) record.styleNumber = StyleNumber(item.substr(kStyleItem.size()));
    return;
  }
  const std::size_t equals = item.find('=');
  if (equals == std::string_view::npos) return;
  const std::string_view name = item.substr(0, equals);
  const std::string_view value = item.substr(equals + 1);
  if (name == "T")
    record.title = value;
  else if (name == "Alt")
    record.alternateText = value;
  else if (name == "ActualText")
    record.actualText = value;
  else if (name == "Lang")
    record.language = value;
}

}  // namespace

TQVTaggingRecord ReadTaggingRecord(const std::uint8_t* data, std::size_t length) {
  TQVTaggingRecord record;
  if (data == nullptr) return record;
  if (length >= 4) record.identifier = ReadInt32(data);
  if (length >= 8) record.parentIdentifier = ReadInt32(data + 4);
  if (length >= 9) record.flags = data[8];
  if (length > kTypeOffset) {
    // Up to the terminator, never past the field or the payload.
    const std::size_t room = std::min(kTypeSize, length - kTypeOffset);
    const auto* type = reinterpret_cast<const char*>(data + kTypeOffset);
    const void* end = std::memchr(type, 0, room);
    record.type.assign(type, end != nullptr
                                 ? static_cast<std::size_t>(static_cast<const char*>(end) - type)
                                 : room);
  }
  if (length <= kItemsOffset || record.Has(TQVTaggingRecord::kNoItems)) return record;

  const std::string_view items(reinterpret_cast<const char*>(data + kItemsOffset),
                               length - kItemsOffset);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= items.size(); ++i) {
    const bool atEnd = i == items.size() || items[i] == '\0';
    if (!atEnd && (items[i] != ';' || (i > 0 && items[i - 1] == '\\'))) continue;
    TakeItem(record, items.substr(start, i - start));
    start = i + 1;
    if (atEnd) break;
  }
  return record;
}

}  // namespace vellora
