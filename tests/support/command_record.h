// Command records of metafile comments (code, magic, rectangle, payload length, payload) and
// the tagging payload of the marked-content and structure commands, for test metafiles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qvplatform/wintypes.h"

namespace vellora_test {

inline constexpr std::uint32_t kCommandAnsi = 120269;
inline constexpr std::uint32_t kCommandUtf8 = 120270;

std::vector<std::uint8_t> CommandRecord(std::int32_t code, std::uint32_t magic, qvplatform::RECTL r,
                                        const std::string& payload, std::uint32_t length);
std::vector<std::uint8_t> CommandRecord(std::int32_t code, std::uint32_t magic, qvplatform::RECTL r,
                                        const std::string& payload);

// Record 291102: code, identifier, rectangle, 24 unread bytes, the text's length in bytes
// and the UTF-16LE text; trailing bytes follow the text (the length does not count them).
inline constexpr std::uint32_t kUnicodeCommand = 291102;
std::vector<std::uint8_t> UnicodeCommandRecord(std::int32_t code, qvplatform::RECTL r,
                                               const std::u16string& text,
                                               std::size_t trailingBytes = 0);

// Identifier, parent, flags, structure type (16 bytes, zero-padded) and the item list.
std::string TaggingPayload(std::int32_t identifier, std::int32_t parent, std::uint8_t flags,
                           const std::string& type, const std::string& items = {});

}  // namespace vellora_test
