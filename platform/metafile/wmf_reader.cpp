#include "wmf_reader.h"

namespace qvplatform {
namespace metafile {

WmfNext WmfRecordWalk::Next(WmfRecord& record) {
  if (offset_ >= size_ || size_ - offset_ < kWmfRecordHeadBytes) return WmfNext::kCutShort;
  const BYTE* head = data_ + offset_;
  const std::uint64_t words = LeDword(head);
  if (words < 3) return WmfNext::kTooSmall;
  if (words * 2 > size_ - offset_) return WmfNext::kPastData;
  record.offset = offset_;
  record.function = LeWord(head + 4);
  record.params = WmfParams(head + kWmfRecordHeadBytes, static_cast<std::size_t>(words - 3));
  if (record.function == 0) return WmfNext::kEnd;
  offset_ += static_cast<std::size_t>(words * 2);
  return WmfNext::kRecord;
}

bool ReadWmfHeader(const BYTE* data, std::size_t size, WmfHeader& header) {
  if (data == nullptr || size < kWmfHeaderBytes) return false;
  header.type = LeWord(data);
  header.headerWords = LeWord(data + 2);
  header.version = LeWord(data + 4);
  header.sizeWords = LeDword(data + 6);
  header.objects = LeWord(data + 10);
  header.maxRecord = LeDword(data + 12);
  return (header.type == 1 || header.type == 2) && header.headerWords == 9;
}

}  // namespace metafile
}  // namespace qvplatform
