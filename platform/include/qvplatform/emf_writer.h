// Writing enhanced-metafile records: the one place that lays records out as bytes. Each record
// is its type and size, then its fields, zero-padded to a multiple of 4 bytes. The header is
// written last, when the whole size and the record count are known.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "qvplatform/emf_records.h"

namespace qvplatform {

class EmfRecordWriter {
 public:
  // A record of the type with these bytes after its head.
  void Append(DWORD type, const void* body, std::size_t size);
  // A fixed part (its emr head is written here) followed by tail bytes.
  template <class T>
  void AppendFixed(DWORD type, const T& fixed, const void* tail = nullptr,
                   std::size_t tailSize = 0) {
    static_assert(sizeof(T) >= sizeof(EMR));
    AppendParts(type, reinterpret_cast<const BYTE*>(&fixed) + sizeof(EMR), sizeof(T) - sizeof(EMR),
                tail, tailSize);
  }
  // Bytes as they are (damaged records of tests); counted as a record only when asked.
  void AppendBytes(const void* bytes, std::size_t size, bool countAsRecord);

  // A point to come back to: Rewind drops every record appended after it.
  struct Mark {
    std::size_t bytes = 0;
    DWORD records = 0;
  };
  Mark Position() const { return {body_.size(), records_}; }
  void Rewind(const Mark& mark);

  const std::vector<BYTE>& Body() const { return body_; }
  DWORD RecordCount() const { return records_; }  // without the header
  void Clear();

 private:
  void AppendParts(DWORD type, const BYTE* fixed, std::size_t fixedSize, const void* tail,
                   std::size_t tailSize);

  std::vector<BYTE> body_;
  DWORD records_ = 0;
};

// Size of a header record of `fields` bytes of fields followed by a description.
DWORD EmfHeaderRecordSize(DWORD fields, std::size_t descriptionUnits);

// The header record: the first `fields` bytes of header (at most sizeof(ENHMETAHEADER)) with
// nDescription and offDescription set for the description, which follows them padded to 4
// bytes. nSize, nBytes and nRecords are written as header holds them.
std::vector<BYTE> EmfHeaderRecord(ENHMETAHEADER header, DWORD fields,
                                  std::u16string_view description = {});

}  // namespace qvplatform
