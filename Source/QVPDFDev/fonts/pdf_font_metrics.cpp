// TQVPDFFont: width queries, used glyphs and CID allocation.
#include <algorithm>
#include <cmath>

#include "QVPDFDev/fonts/font_file_list.h"
#include "QVPDFDev/fonts/font_manager.h"
#include "QVPDFDev/fonts/font_text_convert.h"
#include "QVPDFDev/fonts/pdf_font.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

std::int32_t UnitsPerEm(const TQV_TTF_CMAP& tables) {
  return tables.unitsPerEm > 0 ? tables.unitsPerEm : 2048;
}

std::int32_t Advance(const TQV_TTF_CMAP& tables, std::int32_t glyph) {
  if (glyph < 0 || static_cast<std::size_t>(glyph) >= tables.advance.size()) glyph = 0;
  return tables.advance.empty() ? 0 : tables.advance[static_cast<std::size_t>(glyph)];
}

// The advance in thousandths of the em, as the font's /Widths (and /W) give it to a reader:
// measuring with it places the text where a viewer draws it.
long double WrittenAdvance(const TQV_TTF_CMAP& tables, std::int32_t glyph) {
  return qvplatform::MulDiv(Advance(tables, glyph), 1000, UnitsPerEm(tables)) / 1000.0L;
}

// A non-finite or huge product never reaches the integer conversion.
std::int32_t RoundWidth(long double value) {
  if (!std::isfinite(value)) return 0;
  return qvplatform::Round32(value);
}

}  // namespace

bool TQVPDFFont::GetCharWidths(const std::uint8_t* codes, std::int32_t count, long double scale,
                               std::int32_t* outWidths, float size) const {
  const TQV_TTF_CMAP* tables = descriptor ? descriptor->Tables() : nullptr;
  if (tables == nullptr && !widths) return false;
  if (codes == nullptr || outWidths == nullptr) return true;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t c = codes[i];
    if (tables != nullptr) {
      const std::int32_t glyph = descriptor->glyphMap[static_cast<std::size_t>(c)];
      outWidths[i] = RoundWidth(scale * size * WrittenAdvance(*tables, glyph));
    } else if (c >= firstChar && c <= lastChar) {
      outWidths[i] =
          RoundWidth(scale * size * widths->Get(static_cast<std::size_t>(c - firstChar)) / 1000.0L);
    }
  }
  return true;
}

bool TQVPDFFont::GetCharWidthsW(const char16_t* codes, std::int32_t count, long double scale,
                                std::int32_t* outWidths, float size) const {
  const TQV_TTF_CMAP* tables = descriptor ? descriptor->Tables() : nullptr;
  if (tables == nullptr && !widths) return false;
  if (codes == nullptr || outWidths == nullptr || count <= 0) return true;
  if (tables != nullptr) {
    for (std::int32_t i = 0; i < count; ++i)
      outWidths[i] =
          RoundWidth(scale * size * WrittenAdvance(*tables, tables->GetGlyphIndex(codes[i])));
    return true;
  }
  std::string bytes;
  ConvertWideText(this, codes, count, bytes);
  const std::int32_t n = std::min<std::int32_t>(count, static_cast<std::int32_t>(bytes.size()));
  return GetCharWidths(reinterpret_cast<const std::uint8_t*>(bytes.data()), n, scale, outWidths,
                       size);
}

long double TQVPDFFont::TextWidth(const std::uint8_t* codes, std::int32_t count, float size) const {
  const TQV_TTF_CMAP* tables = descriptor ? descriptor->Tables() : nullptr;
  long double sum = 0;
  if (codes == nullptr) return 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::int32_t c = codes[i];
    if (tables != nullptr) {
      sum += static_cast<long double>(size) *
             WrittenAdvance(*tables, descriptor->glyphMap[static_cast<std::size_t>(c)]);
    } else if (widths && c >= firstChar && c <= lastChar) {
      sum += static_cast<long double>(size) * widths->Get(static_cast<std::size_t>(c - firstChar)) /
             1000.0L;
    }
  }
  return sum;
}

long double TQVPDFFont::TextWidthW(const char16_t* codes, std::int32_t count, float size,
                                   bool skipBlanks) const {
  const TQV_TTF_CMAP* tables = descriptor ? descriptor->Tables() : nullptr;
  if (codes == nullptr || count <= 0) return 0;
  if (tables == nullptr) {
    ConvertWideText(this, codes, count, scratch_);
    // Single-byte pages give one byte per unit; blanks stay blanks.
    long double sum = 0;
    for (char c : scratch_) {
      const auto byte = static_cast<std::uint8_t>(c);
      if (!(skipBlanks && byte <= 32)) sum += TextWidth(&byte, 1, size);
    }
    return sum;
  }
  long double sum = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    if (skipBlanks && codes[i] <= 32) continue;
    sum +=
        static_cast<long double>(size) * WrittenAdvance(*tables, tables->GetGlyphIndex(codes[i]));
  }
  return sum;
}

bool TQVPDFFont::NeedsUsedGlyphs() const {
  return descriptor && descriptor->embedded && descriptor->fontFile != nullptr &&
         descriptor->Tables() != nullptr && !descriptor->wholeFont &&
         !descriptor->fontFile->IsWholeFont();
}

void TQVPDFFont::MarkUsedChars(const std::uint8_t* codes, std::int32_t count) {
  if (codes == nullptr || count <= 0 || !descriptor || !descriptor->embedded) return;
  TQVPDFFontFile* file = descriptor->fontFile;
  if (file == nullptr || file->Stream().Tables() == nullptr) return;
  if (charset == 2) {
    for (std::int32_t i = 0; i < count; ++i) file->Stream().MarkGlyph(codes[i], true);
    return;
  }
  for (std::int32_t i = 0; i < count; ++i)
    if (const char16_t unit = byteUnicode_[codes[i]]; unit != 0)
      file->Stream().MarkGlyph(unit, false);
}

void TQVPDFFont::MarkUsedCharsW(const char16_t* codes, std::int32_t count) {
  if (codes == nullptr || count <= 0 || !descriptor || !descriptor->embedded) return;
  TQVPDFFontFile* file = descriptor->fontFile;
  if (file == nullptr || file->Stream().Tables() == nullptr) return;
  for (std::int32_t i = 0; i < count; ++i) file->Stream().MarkGlyph(codes[i], false);
}

std::uint16_t TQVPDFFont::MapCID(std::uint32_t code, std::int32_t glyph, std::int32_t& width) {
  if (!descriptor || !descriptor->embedded || !wArray || code > 0xFFFF) return 0;
  TQV_TTF_CMAP* tables = descriptor->Tables();
  if (tables == nullptr) return 0;
  if (wArray->Value(code) == 0) {
    const bool known = glyph > 0 && glyph < tables->numGlyphs &&
                       static_cast<std::size_t>(glyph) < tables->newNumber.size();
    const std::size_t g = known ? static_cast<std::size_t>(glyph) : 0;
    std::uint16_t cid = 0;
    if (descriptor->cidKind == 1) {
      if (known) {
        cid = static_cast<std::uint16_t>(glyph);
        tables->newNumber[g] = cid;
      }
    } else if (known) {
      // A glyph keeps the CID it got first, also through another code or another font
      // resource of the same file; the counter belongs to the file.
      cid = tables->newNumber[g];
      if (cid == 0 && tables->highestCid < 0xFFFF) {
        cid = static_cast<std::uint16_t>(++tables->highestCid);
        tables->newNumber[g] = cid;
      }
      wArray->SetCIDCounter(static_cast<std::uint16_t>(tables->highestCid));
    }
    if (known) tables->MarkUsed(glyph);
    if (code != 9 && code != 32 && code != 160) tables->hasVisibleGlyph = true;

    std::int32_t w;
    const std::int32_t advance = known ? Advance(*tables, glyph) : 0;
    if (manager_->Settings().cidMode != qvCIDUnicode && width > 0) {
      w = width;
    } else if (!known || advance < 1) {
      w = width > 0 ? width : wArray->DefaultWidth();
    } else {
      w = qvplatform::MulDiv(advance, 1000, UnitsPerEm(*tables));
    }
    w = std::clamp(w, 0, 0xFFFF);
    wArray->Set(code, cid, static_cast<std::uint16_t>(w));
  }
  width = wArray->Width(code);
  return wArray->Value(code);
}

void TQVPDFFont::ConvertWideText(const TQVPDFFont* font, const char16_t* text, std::int32_t count,
                                 std::string& out) {
  out.clear();
  if (text == nullptr || count <= 0) return;
  const std::size_t n = static_cast<std::size_t>(count);
  auto lowBytes = [&] {
    out.resize(n);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>(text[i] & 0xFF);
  };
  if (font != nullptr && font->charset == 2) return lowBytes();
  const std::uint32_t codePage = font != nullptr ? font->codePage : 1252;
  bool usedDefault = false;
  FontUtf16ToCodePage(text, n, codePage, out, &usedDefault);
  if (out.empty()) FontUtf16ToCodePage(text, n, 1252, out, &usedDefault);
  if (!usedDefault) return;
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t high = text[i] & 0xFF00;
    if (high != 0x0000 && high != 0xF000) return;
  }
  lowBytes();
}

}  // namespace vellora
