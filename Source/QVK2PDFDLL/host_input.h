// Reading what a host passes: texts inside records are read up to the end of their field,
// texts behind free pointers up to a limit, so that a missing terminator can never make the
// engine read on without end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vellora {

// A file name longer than this is refused.
constexpr std::size_t kMaxHostFileName = 4096;
// A property text or a text behind a record's pointer longer than this is refused.
constexpr std::size_t kMaxHostText = std::size_t{1} << 24;

// The zero-terminated text of a fixed field: at most size bytes.
std::string_view FieldText(const char* field, std::size_t size);
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return FieldText(field, N);
}

// A zero-terminated 8-bit text of at most limit bytes; false (text untouched) when no
// terminator comes within limit + 1 bytes. Null reads as "".
bool HostText(const void* text, std::size_t limit, std::string& out);
// The same for UTF-16 text, limit counting code units.
bool HostWideText(const void* text, std::size_t limit, std::u16string& out);
// A UTF-16 text of at most most code units, ending sooner at a zero unit: never a unit past
// either is read. Null reads as "".
void HostWideTextPrefix(const void* text, std::size_t most, std::u16string& out);

}  // namespace vellora
