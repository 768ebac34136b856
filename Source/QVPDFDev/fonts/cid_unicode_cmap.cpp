#include "QVPDFDev/fonts/cid_unicode_cmap.h"

#include <algorithm>

#include "QVPDFDev/fonts/arabic_forms.h"
#include "QVPDFDev/fonts/cid_width_array.h"

namespace vellora {
namespace {

constexpr std::size_t kBlockLimit = 99;

// What a code shows: an Arabic presentation form reads as its letters.
std::uint32_t TextOf(std::uint32_t code) {
  const std::uint32_t letters = ArabicFormLetters(code);
  return letters != 0 ? letters : code;
}

// A value of two UTF-16 units (first << 16 | second) takes eight digits.
int ValueDigits(std::uint32_t value) { return value > 0xFFFF ? 8 : 4; }

// Pages of codes that hold presentation forms.
bool FormPage(std::size_t page) { return page == 0xFB || page == 0xFE; }

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
      AppendHex(line, entries[i].second, ValueDigits(entries[i].second));
      ranges.push_back(line + '\n');
    } else {
      AppendHex(line, entries[i].second, ValueDigits(entries[i].second));
      singles.push_back(line + '\n');
    }
    i = j + 1;
  }
  std::string out;
  AppendBlocks(out, singles, "beginbfchar", "endbfchar");
  AppendBlocks(out, ranges, "beginbfrange", "endbfrange");
  return out;
}

std::string TQVCMapString::IdentityRanges(const TQVPDFWArray* used) {
  std::vector<std::string> lines;
  lines.reserve(256);
  // The used codes of a page of presentation forms are mapped one by one.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> forms;
  for (std::uint32_t high = 0; high < 256; ++high) {
    const TFontWidthsE* page = used != nullptr && FormPage(high) ? used->PageAt(high) : nullptr;
    if (page != nullptr) {
      for (std::uint32_t s = 0; s < 256; ++s) {
        const std::uint32_t code = high << 8 | s;
        if (page->values[s] != 0) forms.emplace_back(code, TextOf(code));
      }
      continue;
    }
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
  if (!forms.empty()) out += MappingText(std::move(forms), 4);
  return out;
}

void TQVCMapString::WriteCMap(const TQVPDFWArray* widths, const TQVPDFWArray* used) {
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
          entries.emplace_back(identity ? code : page->values[s], TextOf(code));
        }
      }
      text += MappingText(std::move(entries), 4);
    } else if (unicodeText.empty()) {
      text += IdentityRanges(used);
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
