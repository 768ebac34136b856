#include "QVPDFDev/truetype/ttf_sfnt_writer.h"

#include <algorithm>

#include "QVPDFDev/truetype/ttf_bytes.h"
#include "qvplatform/sfnt_reader.h"

namespace vellora {

namespace {
using qvplatform::SfntChecksum;
constexpr uint32_t kHead = qvplatform::SfntTag("head");
constexpr size_t kAdjustmentOffset = 8;  // checkSumAdjustment inside head
}  // namespace

void TtfSfntWriter::Add(uint32_t tag, std::span<const uint8_t> data) {
  for (Entry& entry : tables_) {
    if (entry.tag == tag) {
      entry.data = data;
      return;
    }
  }
  tables_.push_back({tag, data});
}

bool TtfSfntWriter::Has(uint32_t tag) const {
  for (const Entry& entry : tables_) {
    if (entry.tag == tag) return true;
  }
  return false;
}

void TtfSfntWriter::Write(std::vector<uint8_t>& out) const {
  std::vector<Entry> sorted = tables_;
  std::sort(sorted.begin(), sorted.end(),
            [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
  const uint32_t count = static_cast<uint32_t>(sorted.size());
  uint32_t selector = 0;
  while ((2u << selector) <= count) ++selector;
  const uint32_t range = count ? (16u << selector) : 0;

  size_t total = 12 + 16 * size_t{count};
  for (const Entry& entry : sorted) total += (entry.data.size() + 3) & ~size_t{3};
  out.clear();
  out.reserve(total);
  PutU32(out, 0x00010000);
  PutU16(out, count);
  PutU16(out, range);
  PutU16(out, selector);
  PutU16(out, count * 16 - range);
  out.resize(12 + 16 * size_t{count});

  size_t headAt = 0;
  bool hasHead = false;
  for (uint32_t i = 0; i < count; ++i) {
    const Entry& entry = sorted[i];
    const size_t at = out.size();
    out.insert(out.end(), entry.data.begin(), entry.data.end());
    uint32_t checksum;
    if (entry.tag == kHead && entry.data.size() >= kAdjustmentOffset + 4) {
      // The table checksum of head is taken with checkSumAdjustment zeroed.
      SetU32(out, at + kAdjustmentOffset, 0);
      checksum = SfntChecksum({out.data() + at, entry.data.size()});
      headAt = at;
      hasHead = true;
    } else {
      checksum = SfntChecksum(entry.data);
    }
    out.resize((out.size() + 3) & ~size_t{3}, 0);
    const size_t record = 12 + 16 * size_t{i};
    SetU32(out, record, entry.tag);
    SetU32(out, record + 4, checksum);
    SetU32(out, record + 8, static_cast<uint32_t>(at));
    SetU32(out, record + 12, static_cast<uint32_t>(entry.data.size()));
  }
  if (hasHead) SetU32(out, headAt + kAdjustmentOffset, 0xB1B0AFBAu - SfntChecksum(out));
}

}  // namespace vellora
