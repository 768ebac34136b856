// Big-endian access to font bytes: a bounds-checked reader for untrusted input and the few
// writers the subsetter needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vellora {

// Reads big-endian values at absolute offsets. A read that does not lie wholly inside the data
// gives 0 and makes the reader failed; callers read a group of fields and check once.
class TtfReader {
 public:
  TtfReader() = default;
  explicit TtfReader(std::span<const uint8_t> data) : data_(data) {}

  uint64_t size() const { return data_.size(); }
  std::span<const uint8_t> data() const { return data_; }
  bool failed() const { return failed_; }

  // True when [offset, offset + length) lies inside the data (64-bit, no wrap).
  bool Has(uint64_t offset, uint64_t length) const {
    return offset <= data_.size() && length <= data_.size() - offset;
  }

  uint8_t U8(uint64_t offset) const {
    if (!Has(offset, 1)) return Fail();
    return data_[offset];
  }
  uint16_t U16(uint64_t offset) const {
    if (!Has(offset, 2)) return Fail();
    return static_cast<uint16_t>(data_[offset] << 8 | data_[offset + 1]);
  }
  int16_t S16(uint64_t offset) const { return static_cast<int16_t>(U16(offset)); }
  uint32_t U32(uint64_t offset) const {
    if (!Has(offset, 4)) return Fail();
    return uint32_t{data_[offset]} << 24 | uint32_t{data_[offset + 1]} << 16 |
           uint32_t{data_[offset + 2]} << 8 | data_[offset + 3];
  }

  // The bytes [offset, offset + length), or an empty span (and failed) when they do not fit.
  std::span<const uint8_t> Slice(uint64_t offset, uint64_t length) const {
    if (!Has(offset, length)) {
      Fail();
      return {};
    }
    return data_.subspan(offset, length);
  }

 private:
  uint8_t Fail() const {
    failed_ = true;
    return 0;
  }

  std::span<const uint8_t> data_;
  mutable bool failed_ = false;
};

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

// Four-character table tag as the 32-bit value stored in the directory.
constexpr uint32_t TtfTag(const char (&tag)[5]) {
  return uint32_t{static_cast<uint8_t>(tag[0])} << 24 |
         uint32_t{static_cast<uint8_t>(tag[1])} << 16 |
         uint32_t{static_cast<uint8_t>(tag[2])} << 8 | static_cast<uint8_t>(tag[3]);
}

}  // namespace vellora
