#include "QVPDFDev/fonts/cid_unicode_cmap.h"

#include <algorithm>

#include "QVPDFDev/fonts/cid_width_array.h"

namespace vellora {
namespace {

constexpr std::size_t kBlockLimit = 99;

void AppendHex(std::string& out, std::uint32_t value, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  out += '<';
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
  out += '>';
}

// Lines in blocks of at most kBlockLimit (one block of 99 whenever 100 or more remain).
void AppendBlocks(std::string& out, const std::vector<std::string>& lines, const char* begin,
                  const char* end) {
  std::size_t at = 0;
  while (at < lines.size()) {
    const std::size_t left = lines.size() - at;
    const std::size_t count = left >= kBlockLimit + 1 ? kBlockLimit : left;
    out += std::to_string(count) + ' ' + begin + '\n';
    for (std::size_t i = 0; i < count; ++i) out += lines[at + i];
    out += end;
    out += '\n';
    at += count;
  }
}

}  // namespace

TQVCMapString::TQVCMapString(TQVPDFObjectOwner* owner) : TQVPDFStream(owner) {
  AddString(
      "/CIDInit /ProcSet findresource begin\n"
      "12 dict begin\n"
      "begincmap\n"
      "/CIDSystemInfo\n"
      "<</Registry (Adobe)/Ordering(UCS)/Supplement 0>> def\n"
      "/CMapName /Adobe-Identity-UCS def\n"
      "/CMapType 2 def\n");
}

std::string TQVCMapString::MappingText(std::vector<std::pair<std::uint32_t, std::uint32_t>> entries,
                                       int codeDigits) {
  std::sort(entries.begin(), entries.end());
  entries.erase(std::unique(entries.begin(), entries.end(),
                            [](const auto& a, const auto& b) { return a.first == b.first; }),
                entries.end());
  std::vector<std::string> ranges, singles;
  std::size_t i = 0;
  while (i < entries.size()) {
    std::size_t j = i;
    // A range only rises in the last byte of its code and of its value.
    while (j + 1 < entries.size() && entries[j + 1].first == entries[j].first + 1 &&
           entries[j + 1].second == entries[j].second + 1 && (entries[j + 1].first & 0xFF) != 0 &&
           (entries[j + 1].second & 0xFF) != 0)
      ++j;
    std::string line;
    AppendHex(line, entries[i].first, codeDigits);
    line += ' ';
    if (j > i) {
      AppendHex(line, entries[j].first, codeDigits);
      line += ' ';
      AppendHex(line, entries[i].second, 4);
      ranges.push_back(line + '\n');
    } else {
      AppendHex(line, entries[i].second, 4);
      singles.push_back(line + '\n');
    }
    i = j + 1;
  }
  std::string out;
  AppendBlocks(out, singles, "beginbfchar", "endbfchar");
  AppendBlocks(out, ranges, "beginbfrange", "endbfrange");
  return out;
}

std::string TQVCMapString::IdentityRanges() {
  std::vector<std::string> lines;
  lines.reserve(256);
  for (std::uint32_t high = 0; high < 256; ++high) {
    std::string line;
    AppendHex(line, high << 8, 4);
    line += ' ';
    AppendHex(line, (high << 8) | 0xFF, 4);
    line += ' ';
    AppendHex(line, high << 8, 4);
    lines.push_back(line + '\n');
  }
  std::string out;
  AppendBlocks(out, lines, "beginbfrange", "endbfrange");
  return out;
}

void TQVCMapString::WriteCMap(const TQVPDFWArray* widths) {
  if (!closed) {
    const bool cidFont = widths != nullptr || unicodeText.empty();
    std::string text = "1 begincodespacerange\n";
    text += cidFont ? "<0000> <FFFF>\n" : "<00> <FF>\n";
    text += "endcodespacerange\n";
    if (widths != nullptr) {
      std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;
      for (std::size_t p = 0; p < 256; ++p) {
        const TFontWidthsE* page = widths->PageAt(p);
        if (!page) continue;
        for (std::uint32_t s = 0; s < 256; ++s) {
          const std::uint32_t code = static_cast<std::uint32_t>(p) * 256 + s;
          if (page->values[s] == 0) continue;
          entries.emplace_back(identity ? code : page->values[s], code);
        }
      }
      text += MappingText(std::move(entries), 4);
    } else if (unicodeText.empty()) {
      text += IdentityRanges();
    } else if (oneByteIdentity) {
      text += "1 beginbfrange\n<00> <FF> <0000>\nendbfrange\n";
    } else {
      std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;
      for (std::size_t i = 0; i < unicodeText.size(); ++i) {
        const std::int64_t code = std::int64_t{firstCode} + static_cast<std::int64_t>(i);
        if (code < 0 || code > 0xFF) continue;
        entries.emplace_back(static_cast<std::uint32_t>(code), unicodeText[i]);
      }
      text += MappingText(std::move(entries), 2);
    }
    text +=
        "endcmap\n"
        "CMapName currentdict /CMap defineresource pop\n"
        "end\n"
        "end";
    AddString(text);
    closed = true;
  }
  WriteStream();
}

}  // namespace vellora
