#include "qvplatform/emf_writer.h"

#include <algorithm>
#include <cstring>

namespace qvplatform {

namespace {

void PutBytes(std::vector<BYTE>& out, const void* data, std::size_t size) {
  if (size == 0) return;
  const auto* p = static_cast<const BYTE*>(data);
  out.insert(out.end(), p, p + size);
}

std::size_t Padded(std::size_t size) { return (size + 3) / 4 * 4; }

}  // namespace

void EmfRecordWriter::Append(DWORD type, const void* body, std::size_t size) {
  AppendParts(type, static_cast<const BYTE*>(body), size, nullptr, 0);
}

void EmfRecordWriter::AppendParts(DWORD type, const BYTE* fixed, std::size_t fixedSize,
                                  const void* tail, std::size_t tailSize) {
  const std::size_t total = Padded(sizeof(EMR) + fixedSize + tailSize);
  const EMR head{type, static_cast<DWORD>(total)};
  const std::size_t start = body_.size();
  PutBytes(body_, &head, sizeof head);
  PutBytes(body_, fixed, fixedSize);
  PutBytes(body_, tail, tailSize);
  body_.resize(start + total, 0);
  ++records_;
}

void EmfRecordWriter::AppendBytes(const void* bytes, std::size_t size, bool countAsRecord) {
  PutBytes(body_, bytes, size);
  if (countAsRecord) ++records_;
}

void EmfRecordWriter::Rewind(const Mark& mark) {
  if (mark.bytes > body_.size() || mark.records > records_) return;
  body_.resize(mark.bytes);
  records_ = mark.records;
}

void EmfRecordWriter::Clear() {
  body_.clear();
  records_ = 0;
}

DWORD EmfHeaderRecordSize(DWORD fields, std::size_t descriptionUnits) {
  const DWORD kept = std::min<DWORD>(fields, sizeof(ENHMETAHEADER));
  return static_cast<DWORD>(kept + Padded(descriptionUnits * sizeof(char16_t)));
}

std::vector<BYTE> EmfHeaderRecord(ENHMETAHEADER header, DWORD fields,
                                  std::u16string_view description) {
  fields = std::min<DWORD>(fields, sizeof(ENHMETAHEADER));
  header.nDescription = static_cast<DWORD>(description.size());
  header.offDescription = description.empty() ? 0 : fields;
  std::vector<BYTE> out;
  PutBytes(out, &header, fields);
  PutBytes(out, description.data(), description.size() * sizeof(char16_t));
  out.resize(Padded(out.size()), 0);
  return out;
}

}  // namespace qvplatform
