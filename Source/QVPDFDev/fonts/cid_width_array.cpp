#include "QVPDFDev/fonts/cid_width_array.h"

#include <algorithm>
#include <vector>

#include "QVPDFDev/fonts/cid_to_gid_map.h"

namespace vellora {
namespace {

struct Entry {
  std::uint32_t key;
  std::uint32_t width;
};

}  // namespace

TQVPDFWArray::TQVPDFWArray(TQVPDFObjectOwner* owner) : TQVCustomPDFType(owner) { SetRaw(true); }

std::uint16_t TQVPDFWArray::Value(std::uint32_t code) const {
  const TFontWidthsE* page = code <= 0xFFFF ? pages_[code >> 8].get() : nullptr;
  return page ? page->values[code & 0xFF] : 0;
}

std::uint16_t TQVPDFWArray::Width(std::uint32_t code) const {
  const TFontWidthsE* page = code <= 0xFFFF ? pages_[code >> 8].get() : nullptr;
  return page ? page->widths[code & 0xFF] : 0;
}

void TQVPDFWArray::Set(std::uint32_t code, std::uint16_t value, std::uint16_t width) {
  if (code > 0xFFFF) return;
  auto& page = pages_[code >> 8];
  if (!page) page = std::make_unique<TFontWidthsE>();
  page->values[code & 0xFF] = value;
  page->widths[code & 0xFF] = width;
}

std::size_t TQVPDFWArray::PageCount() const {
  return static_cast<std::size_t>(std::count_if(pages_.begin(), pages_.end(),
                                                [](const auto& page) { return page != nullptr; }));
}

std::string TQVPDFWArray::EntriesText(bool byCode) const {
  std::vector<Entry> entries;
  for (std::uint32_t p = 0; p < pages_.size(); ++p) {
    const TFontWidthsE* page = pages_[p].get();
    if (!page) continue;
    for (std::uint32_t s = 0; s < 256; ++s) {
      if (page->widths[s] == 0) continue;
      entries.push_back({byCode ? p * 256 + s : page->values[s], page->widths[s]});
    }
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.key != b.key ? a.key < b.key : a.width < b.width;
  });
  // Codes that share a CID give it one width.
  entries.erase(std::unique(entries.begin(), entries.end(),
                            [](const Entry& a, const Entry& b) { return a.key == b.key; }),
                entries.end());

  std::string out;
  const std::size_t n = entries.size();
  std::size_t i = 0;
  while (i < n) {
    const Entry& first = entries[i];
    if (first.width == static_cast<std::uint32_t>(defaultWidth_)) {
      ++i;
      continue;
    }
    if (i + 1 < n && entries[i + 1].width == first.width && entries[i + 1].key == first.key + 1) {
      std::size_t j = i + 1;
      while (j + 1 < n && entries[j + 1].key == entries[j].key + 1 &&
             entries[j + 1].width == first.width)
        ++j;
      out += std::to_string(first.key) + ' ' + std::to_string(entries[j].key) + ' ' +
             std::to_string(first.width) + ' ';
      i = j + 1;
    } else {
      out += std::to_string(first.key) + '[' + std::to_string(first.width);
      std::size_t j = i + 1;
      while (j < n && entries[j].key == entries[j - 1].key + 1) {
        out += ' ' + std::to_string(entries[j].width);
        ++j;
      }
      out += ']';
      i = j;
    }
  }
  return out;
}

void TQVPDFWArray::WriteWidths(TQVCIDToGID* map) {
  if (IsWritten()) return;
  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.Write("[");
  out.Write(EntriesText(map != nullptr));
  out.WriteLn("]");
  out.WriteLn("endobj");
  if (map == nullptr) return;

  std::uint32_t highest = 0;
  for (std::uint32_t p = 0; p < pages_.size(); ++p) {
    if (!pages_[p]) continue;
    for (std::uint32_t s = 0; s < 256; ++s)
      if (pages_[p]->values[s] != 0) highest = p * 256 + s;
  }
  std::vector<std::uint8_t> data(2 * (std::size_t{highest} + 1), 0);
  for (std::uint32_t p = 0; p < pages_.size(); ++p) {
    if (!pages_[p]) continue;
    for (std::uint32_t s = 0; s < 256; ++s) {
      const std::uint16_t glyph = pages_[p]->values[s];
      if (glyph == 0) continue;
      const std::size_t at = 2 * std::size_t{p * 256 + s};
      data[at] = static_cast<std::uint8_t>(glyph >> 8);
      data[at + 1] = static_cast<std::uint8_t>(glyph & 0xFF);
    }
  }
  map->SetData(std::move(data));
}

}  // namespace vellora
