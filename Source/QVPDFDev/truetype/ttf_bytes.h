// Big-endian writers for the tables the subsetter builds. Font bytes are read through the
// platform's bounds-checked qvplatform::ByteReader (qvplatform/sfnt_reader.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vellora {

// Appending and patching writers for built tables (the caller sizes the buffer for patches).
inline void PutU16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}
inline void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  PutU16(out, value >> 16);
  PutU16(out, value & 0xFFFF);
}
inline void SetU16(std::span<uint8_t> out, size_t offset, uint32_t value) {
  out[offset] = static_cast<uint8_t>(value >> 8);
  out[offset + 1] = static_cast<uint8_t>(value);
}
inline void SetU32(std::span<uint8_t> out, size_t offset, uint32_t value) {
  SetU16(out, offset, value >> 16);
  SetU16(out, offset + 2, value & 0xFFFF);
}

}  // namespace vellora
