// Bounds-checked reading of old-style metafile bytes: little-endian words, the 18-byte header
// and the walk over the records. A record is its size in 16-bit words (32 bits), its function
// (16 bits) and parameters; every read is checked against the record, a read outside it gives
// 0. Nothing here allocates or throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "qvplatform/wintypes.h"

namespace qvplatform {
namespace metafile {

inline WORD LeWord(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
inline DWORD LeDword(const BYTE* p) { return LeWord(p) | (DWORD{LeWord(p + 2)} << 16); }

// The parameters of one record, as 16-bit words.
class WmfParams {
 public:
  WmfParams() = default;
  WmfParams(const BYTE* data, std::size_t words) : data_(data), words_(words) {}

  std::size_t Words() const { return words_; }
  bool Has(std::size_t words) const { return words <= words_; }
  WORD Word(std::size_t i) const { return i < words_ ? LeWord(data_ + 2 * i) : 0; }
  std::int16_t Short(std::size_t i) const { return static_cast<std::int16_t>(Word(i)); }
  // Words i (low half) and i + 1 (high half).
  DWORD Dword(std::size_t i) const { return Word(i) | (DWORD{Word(i + 1)} << 16); }
  // count bytes from word i; empty when they do not lie inside the record.
  std::span<const BYTE> Bytes(std::size_t word, std::uint64_t count) const {
    if (word > words_ || count > std::uint64_t{words_ - word} * 2) return {};
    return {data_ + 2 * word, static_cast<std::size_t>(count)};
  }
  // Everything from word i on.
  std::span<const BYTE> Rest(std::size_t word) const {
    if (word >= words_) return {};
    return {data_ + 2 * word, 2 * (words_ - word)};
  }

 private:
  const BYTE* data_ = nullptr;
  std::size_t words_ = 0;
};

struct WmfRecord {
  std::size_t offset = 0;  // from the start of the data (the old-style header)
  WORD function = 0;
  WmfParams params;
};

enum class WmfNext : std::uint8_t {
  kRecord,
  kEnd,       // the end record (function 0)
  kCutShort,  // the data ends before an end record
  kTooSmall,  // a record under 3 words: it cannot be stepped over
  kPastData,  // a record whose size runs past the data
};

constexpr std::size_t kWmfHeaderBytes = 18;
constexpr std::size_t kWmfRecordHeadBytes = 6;

class WmfRecordWalk {
 public:
  WmfRecordWalk(const BYTE* data, std::size_t size, std::size_t start)
      : data_(data), size_(size), offset_(start) {}

  // The next record; anything but kRecord ends the walk (Offset() stays at the record).
  WmfNext Next(WmfRecord& record);
  std::size_t Offset() const { return offset_; }

 private:
  const BYTE* data_;
  std::size_t size_;
  std::size_t offset_;
};

struct WmfHeader {
  WORD type = 0;         // 1 memory, 2 disk
  WORD headerWords = 0;  // 9
  WORD version = 0;      // 0x0100 or 0x0300
  DWORD sizeWords = 0;   // the whole metafile, as its writer counted it
  WORD objects = 0;      // size of the object table
  DWORD maxRecord = 0;   // largest record in words
};

// False when the bytes do not start with an old-style header of 9 words.
bool ReadWmfHeader(const BYTE* data, std::size_t size, WmfHeader& header);

}  // namespace metafile
}  // namespace qvplatform
