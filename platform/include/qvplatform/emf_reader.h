// Bounds-checked reading of enhanced-metafile bytes: a view of one record, arrays inside it, the
// walk over a whole metafile and the header check. Every offset, count and length taken from the
// data is checked against the record (or the data) in 64-bit arithmetic before anything is read;
// a failed check yields an invalid result that the caller tests. Nothing here allocates or throws.
//
// A player's loop, in outline:
//   EmfHeader header;
//   if (ReadEmfHeader(bits, size, header) != EmfHeaderStatus::kOk) -> not an enhanced metafile
//   EmfRecordIterator it = RecordsAfterHeader(bits, size, header);
//   EmfRecord rec;
//   while (more records are wanted) {
//     const EmfNext next = it.Next(rec);
//     if (next != EmfNext::kRecord) -> kError (it.Error() says why) or kEnd: stop
//     if (rec.Size() < EmfMinRecordSize(rec.Type())) -> too short for its type: skip it
//     EMRxxx fixed; rec.Read(fixed); variable parts through emf_parts.h and emf_dib.h
//   }
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "qvplatform/emf_record_table.h"
#include "qvplatform/emf_records.h"
#include "qvplatform/wintypes.h"

namespace qvplatform {

// count elements of T at some place inside a record, already checked to lie inside it. Elements
// are copied out with memcpy (the bytes need not be aligned for T); Aligned() offers the bytes
// as T directly when their address allows it.
template <class T>
class EmfArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  EmfArray() = default;  // invalid

  // False when the array did not fit in its record (then it is also empty).
  bool Valid() const { return valid_; }
  bool Empty() const { return count_ == 0; }
  std::uint32_t Count() const { return count_; }
  const BYTE* Bytes() const { return bytes_; }  // nullptr when empty
  std::size_t ByteSize() const { return std::size_t{count_} * sizeof(T); }

  // Element i; i must be below Count().
  T operator[](std::size_t i) const {
    T value;
    std::memcpy(&value, bytes_ + i * sizeof(T), sizeof(T));
    return value;
  }
  // Element i, or a value-initialised T beyond the end.
  T At(std::size_t i) const { return i < count_ ? (*this)[i] : T{}; }

  void CopyTo(T* out) const {
    if (count_ != 0) std::memcpy(out, bytes_, ByteSize());
  }

  // The elements in place when they are aligned for T, else nullptr (and nullptr when empty).
  // The record bytes live in a buffer of unsigned char, where objects of trivial types exist
  // implicitly, so an aligned pointer may be used as T.
  const T* Aligned() const {
    if (count_ == 0 || reinterpret_cast<std::uintptr_t>(bytes_) % alignof(T) != 0) return nullptr;
    return reinterpret_cast<const T*>(bytes_);
  }

 private:
  friend class EmfRecord;
  EmfArray(const BYTE* bytes, std::uint32_t count)
      : bytes_(count ? bytes : nullptr), count_(count), valid_(true) {}

  const BYTE* bytes_ = nullptr;
  std::uint32_t count_ = 0;
  bool valid_ = false;
};

using EmfBytes = EmfArray<BYTE>;

// One record: its start and its size as checked by the iterator (at least 8, a multiple of 4,
// inside the data).
class EmfRecord {
 public:
  EmfRecord() = default;
  EmfRecord(const BYTE* data, DWORD size) : data_(data), size_(size) {
    if (size >= sizeof(EMR)) std::memcpy(&type_, data, sizeof(type_));
  }

  // A record read from the start of bytes alone: invalid unless the bytes hold its head and
  // its whole declared size (which must be at least 8 and a multiple of 4).
  static EmfRecord FromBytes(const void* bytes, std::size_t length);

  bool Valid() const { return data_ != nullptr; }
  DWORD Type() const { return type_; }
  DWORD Size() const { return size_; }
  const BYTE* Data() const { return data_; }

  // Whether count elements of elementSize bytes at offset lie inside the record.
  bool Holds(std::uint64_t offset, std::uint64_t count, std::uint64_t elementSize) const {
    if (offset > size_) return false;
    const std::uint64_t room = size_ - offset;
    return elementSize == 0 || count <= room / elementSize;
  }

  // Copies the struct T at offset out of the record; false (out value-initialised) when the
  // record is too short for it. Read(out) reads a record's fixed part.
  template <class T>
  bool Read(T& out, std::uint64_t offset = 0) const {
    static_assert(std::is_trivially_copyable_v<T>);
    if (!Holds(offset, 1, sizeof(T))) {
      out = T{};
      return false;
    }
    std::memcpy(&out, data_ + offset, sizeof(T));
    return true;
  }

  // count elements of T at offset. An empty array is valid wherever it is; a non-empty one
  // must lie inside the record and start at or after minOffset (pass the fixed part's size so
  // that an offset of 0 or one inside the fixed part is refused).
  template <class T>
  EmfArray<T> Array(std::uint64_t offset, std::uint64_t count, std::uint64_t minOffset = 0) const {
    if (count == 0) return EmfArray<T>(nullptr, 0);
    if (offset < minOffset || !Holds(offset, count, sizeof(T))) return EmfArray<T>();
    return EmfArray<T>(data_ + offset, static_cast<std::uint32_t>(count));
  }

  // length bytes at offset, with the same rules as Array.
  EmfBytes Block(std::uint64_t offset, std::uint64_t length, std::uint64_t minOffset = 0) const {
    return Array<BYTE>(offset, length, minOffset);
  }

 private:
  const BYTE* data_ = nullptr;
  DWORD size_ = 0;
  DWORD type_ = 0;
};

// What EmfRecordIterator::Next found.
enum class EmfNext : std::uint8_t {
  kRecord,  // a record, handed out
  kEnd,     // no bytes left
  kError,   // a record that cannot be walked over; Error() says why; the walk stays stopped
};

enum class EmfRecordError : std::uint8_t {
  kNone,
  kTruncatedHead,   // fewer than 8 bytes left for a record's type and size
  kSizeTooSmall,    // nSize below 8: the walk would not advance
  kSizeUnaligned,   // nSize not a multiple of 4
  kSizeBeyondData,  // nSize larger than the bytes left
};

const char* EmfRecordErrorText(EmfRecordError error);

// Walks the records of a metafile from a byte offset (normally the header's nSize, see
// EmfHeader). Cheap to copy, so a look-ahead can walk a copy.
class EmfRecordIterator {
 public:
  EmfRecordIterator() = default;
  EmfRecordIterator(const void* data, std::size_t size, std::size_t offset)
      : data_(static_cast<const BYTE*>(data)),
        size_(size),
        offset_(offset > size ? size : offset) {}

  EmfNext Next(EmfRecord& record) {
    if (error_ != EmfRecordError::kNone) return EmfNext::kError;
    const std::size_t left = size_ - offset_;
    if (left == 0) return EmfNext::kEnd;
    if (left < sizeof(EMR)) return Fail(EmfRecordError::kTruncatedHead);
    EMR head;
    std::memcpy(&head, data_ + offset_, sizeof(head));
    if (head.nSize < sizeof(EMR)) return Fail(EmfRecordError::kSizeTooSmall);
    if (head.nSize % 4 != 0) return Fail(EmfRecordError::kSizeUnaligned);
    if (head.nSize > left) return Fail(EmfRecordError::kSizeBeyondData);
    record = EmfRecord(data_ + offset_, head.nSize);
    offset_ += head.nSize;
    return EmfNext::kRecord;
  }

  // Offset of the next record; after an error, of the record that failed.
  std::size_t Offset() const { return offset_; }
  EmfRecordError Error() const { return error_; }

 private:
  EmfNext Fail(EmfRecordError error) {
    error_ = error;
    return EmfNext::kError;
  }

  const BYTE* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t offset_ = 0;
  EmfRecordError error_ = EmfRecordError::kNone;
};

inline EmfRecord EmfRecord::FromBytes(const void* bytes, std::size_t length) {
  EmfRecordIterator it(bytes, length, 0);
  EmfRecord record;
  it.Next(record);
  return record;
}

enum class EmfHeaderStatus : std::uint8_t {
  kOk,
  kTooShort,        // fewer than 8 bytes
  kNotEnhanced,     // type not EMR_HEADER or dSignature not ENHMETA_SIGNATURE
  kBadSize,         // nSize below the 88 bytes of the header's fields, or not a multiple of 4
  kSizeBeyondData,  // nSize larger than the data
};

// The header record as read: its fields (those beyond what the record holds are zero) and
// which of the optional extensions it carries.
struct EmfHeader {
  ENHMETAHEADER fields;
  bool hasPixelFormat = false;  // extension 1: cbPixelFormat, offPixelFormat, bOpenGL
  bool hasMicrometers = false;  // extension 2: szlMicrometers
};

// Checks the header at the start of data: enough bytes for the record head, type 1, a size that
// holds the header's fields and lies inside the data, the signature; then reads it. The
// extensions count only where the header is long enough for them and they do not overlap the
// description or the pixel format that a writer placed after a shorter header.
EmfHeaderStatus ReadEmfHeader(const void* data, std::size_t size, EmfHeader& header);

// The description string (UTF-16, nDescription units at offDescription, after the 88 bytes of
// fields); invalid when it runs past the header record.
inline EmfArray<WCHAR> EmfHeaderDescription(const void* data, const EmfHeader& header) {
  const EmfRecord record(static_cast<const BYTE*>(data), header.fields.nSize);
  return record.Array<WCHAR>(header.fields.offDescription, header.fields.nDescription,
                             kEmfHeaderBaseSize);
}

// The records after a header that ReadEmfHeader accepted.
inline EmfRecordIterator RecordsAfterHeader(const void* data, std::size_t size,
                                            const EmfHeader& header) {
  return EmfRecordIterator(data, size, header.fields.nSize);
}

}  // namespace qvplatform
