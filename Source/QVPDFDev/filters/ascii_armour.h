// The two ASCII armours of PDF streams: ASCII base-85 and hexadecimal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellora {

// Groups of four bytes, big-endian, as five characters from "!"; a full zero group as "z"; a
// final group of n bytes as n + 1 characters. A line feed ends each line of about 80
// characters; the output ends with "~>" and a line feed.
std::vector<std::uint8_t> ASCII85EncodeBytes(const std::uint8_t* data, std::size_t size);

// Skips white space, "z" gives four zero bytes, "~>" (or the end of the data) ends it; a final
// group of n (2 to 4) characters gives n - 1 bytes. Raises std::runtime_error for characters
// outside "!".."u", a "z" inside a group, a group above 2^32 - 1, a final group of one
// character, and output beyond maxOutput bytes.
std::vector<std::uint8_t> ASCII85DecodeBytes(const std::uint8_t* data, std::size_t size,
                                             std::size_t maxOutput);

// Two lower-case hex digits per byte, a line feed after every 40th byte, then ">" and a line
// feed.
std::vector<std::uint8_t> ASCIIHexEncodeBytes(const std::uint8_t* data, std::size_t size);

// Skips white space; ">" (or the end of the data) ends it; an odd last digit counts as if
// followed by 0. Raises std::runtime_error for any other character.
std::vector<std::uint8_t> ASCIIHexDecodeBytes(const std::uint8_t* data, std::size_t size);

}  // namespace vellora
