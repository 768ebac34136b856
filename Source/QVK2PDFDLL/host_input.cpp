#include "QVK2PDFDLL/host_input.h"

#include <cstring>

namespace vellora {

std::string_view FieldText(const char* field, std::size_t size) {
  return std::string_view(field, ::strnlen(field, size));
}

bool HostText(const void* text, std::size_t limit, std::string& out) {
  if (text == nullptr) {
    out.clear();
    return true;
  }
  const char* bytes = static_cast<const char*>(text);
  const std::size_t length = ::strnlen(bytes, limit + 1);
  if (length > limit) return false;
  out.assign(bytes, length);
  return true;
}

bool HostWideText(const void* text, std::size_t limit, std::u16string& out) {
  if (text == nullptr) {
    out.clear();
    return true;
  }
  // Read unit by unit through memcpy: the host's pointer need not be aligned.
  const unsigned char* bytes = static_cast<const unsigned char*>(text);
  std::size_t length = 0;
  for (;; ++length) {
    if (length > limit) return false;
    char16_t unit;
    std::memcpy(&unit, bytes + 2 * length, sizeof unit);
    if (unit == 0) break;
  }
  out.resize(length);
  if (length != 0) std::memcpy(out.data(), bytes, 2 * length);
  return true;
}

void HostWideTextPrefix(const void* text, std::size_t most, std::u16string& out) {
  out.clear();
  if (text == nullptr) return;
  const unsigned char* bytes = static_cast<const unsigned char*>(text);
  for (std::size_t i = 0; i < most; ++i) {
    char16_t unit;
    std::memcpy(&unit, bytes + 2 * i, sizeof unit);
    if (unit == 0) break;
    out.push_back(unit);
  }
}

}  // namespace vellora
