// The payload of the marked-content and structure commands: identifiers, flags, a structure
// type of at most 16 bytes and an optional list of "name=value" items split at ";" (a ";"
// after a backslash does not split). A field is read only when the payload covers it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vellora {

struct TQVTaggingRecord {
  static constexpr std::uint8_t kNoItems = 1;
  static constexpr std::uint8_t kArtifact = 4;
  static constexpr std::uint8_t kReuse = 8;

  std::int32_t identifier = 0;
  std::int32_t parentIdentifier = 0;
  std::uint8_t flags = 0;
  std::string type;
  // The items read; texts in the system code page.
  std::string title, alternateText, actualText, language;
  // The style number of a "/StyNo" item, when there is one (the first).
  std::optional<std::int32_t> styleNumber;

  bool Has(std::uint8_t flag) const { return (flags & flag) != 0; }
};

TQVTaggingRecord ReadTaggingRecord(const std::uint8_t* data, std::size_t length);

}  // namespace vellora
