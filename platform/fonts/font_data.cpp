// GetFontData and the standalone sfnt of a face.
#include "qvplatform/font_data.h"

#include <algorithm>
#include <cstring>

#include "realized_font.h"

namespace qvplatform {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v >> 8);
  out[at + 1] = static_cast<std::uint8_t>(v);
}

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  Put16(out, at, v >> 16);
  Put16(out, at + 2, v & 0xFFFF);
}

// Turns an application tag (first character in the low byte) into an sfnt tag.
std::uint32_t SfntTagOf(DWORD table) {
  return (table & 0xFF) << 24 | ((table >> 8) & 0xFF) << 16 | ((table >> 16) & 0xFF) << 8 |
         (table >> 24);
}

}  // namespace

std::vector<std::uint8_t> BuildStandaloneSfnt(const SfntFace& face) {
  std::vector<SfntTableRecord> tables = face.Directory().tables;
  std::sort(tables.begin(), tables.end(),
            [](const SfntTableRecord& a, const SfntTableRecord& b) { return a.tag < b.tag; });
  const std::size_t count = tables.size();
  std::size_t size = 12 + 16 * count;
  for (const auto& t : tables) size += (static_cast<std::size_t>(t.length) + 3) & ~std::size_t{3};
  std::vector<std::uint8_t> out(size, 0);

  const std::uint32_t version =
      face.Directory().version == kSfntVersionCff ? kSfntVersionCff : kSfntVersionTrueType;
  std::uint32_t selector = 0;
  while ((2u << selector) <= count) ++selector;
  const std::uint32_t searchRange = count ? 16u << selector : 0;
  Put32(out, 0, version);
  Put16(out, 4, static_cast<std::uint32_t>(count));
  Put16(out, 6, searchRange);
  Put16(out, 8, count ? selector : 0);
  Put16(out, 10, static_cast<std::uint32_t>(16 * count) - searchRange);

  const auto& file = face.File();
  std::size_t at = 12 + 16 * count;
  std::size_t headAt = 0;
  bool hasHead = false;
  for (std::size_t i = 0; i < count; ++i) {
    const SfntTableRecord& t = tables[i];
    // The directory reader checked that every table lies inside the file.
    std::memcpy(out.data() + at, file.data() + t.offset, t.length);
    if (t.tag == SfntTag("head") && t.length >= 12) {
      std::memset(out.data() + at + 8, 0, 4);  // checkSumAdjustment, set below
      headAt = at;
      hasHead = true;
    }
    const std::size_t rec = 12 + 16 * i;
    Put32(out, rec, t.tag);
    Put32(out, rec + 4, SfntChecksum(ByteSpan(out.data() + at, t.length)));
    Put32(out, rec + 8, static_cast<std::uint32_t>(at));
    Put32(out, rec + 12, t.length);
    at += (static_cast<std::size_t>(t.length) + 3) & ~std::size_t{3};
  }
  if (hasHead) Put32(out, headAt + 8, 0xB1B0AFBAu - SfntChecksum(ByteSpan(out)));
  return out;
}

DWORD GetFontData(HDC hdc, DWORD table, DWORD offset, void* buffer, DWORD size) {
  const auto font = fonts::UsableFont(hdc);
  if (!font) return GDI_ERROR;
  ByteSpan data;
  if (table == 0) {
    data = ByteSpan(font->face->StandaloneSfnt());
  } else if (table == MakeTableTag("ttcf")) {
    data = ByteSpan(font->Sfnt().File());
  } else {
    if (!font->Sfnt().Directory().Find(SfntTagOf(table))) return GDI_ERROR;
    data = font->Sfnt().Table(SfntTagOf(table));
  }
  if (offset > data.size()) return GDI_ERROR;
  const std::size_t available = data.size() - offset;
  if (available >= GDI_ERROR) return GDI_ERROR;  // cannot be told in a DWORD
  if (!buffer || size == 0) return static_cast<DWORD>(available);
  const std::size_t n = std::min<std::size_t>(available, size);
  std::memcpy(buffer, data.data() + offset, n);
  return static_cast<DWORD>(n);
}

}  // namespace qvplatform
