#include "QVPDFDev/truetype/ttf_directory.h"

#include "QVPDFDev/truetype/ttf_bytes.h"

namespace vellora {

bool TtfDirectory::Parse(std::span<const uint8_t> font) {
  tables_.clear();
  TtfReader in(font);
  version_ = in.U32(0);
  const uint64_t count = in.U16(4);
  if (in.failed() || !in.Has(12, count * 16)) return false;
  tables_.reserve(count);
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t at = 12 + i * 16;
    TtfTableRecord record{in.U32(at), in.U32(at + 4), in.U32(at + 8), in.U32(at + 12)};
    if (!in.Has(record.offset, record.length)) {
      tables_.clear();
      return false;
    }
    tables_.push_back(record);
  }
  return true;
}

const TtfTableRecord* TtfDirectory::Find(uint32_t tag) const {
  for (const TtfTableRecord& record : tables_) {
    if (record.tag == tag) return &record;
  }
  return nullptr;
}

std::span<const uint8_t> TtfDirectory::Table(std::span<const uint8_t> font, uint32_t tag) const {
  const TtfTableRecord* record = Find(tag);
  if (!record) return {};
  return font.subspan(record->offset, record->length);
}

}  // namespace vellora
