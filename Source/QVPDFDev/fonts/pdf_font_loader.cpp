// TQVPDFFont::LoadFont: the face through the platform's font service.
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "QVPDFDev/fonts/font_manager.h"
#include "QVPDFDev/fonts/font_names.h"
#include "QVPDFDev/fonts/font_text_convert.h"
#include "QVPDFDev/fonts/pdf_font.h"
#include "QVPdfDC/charset_code_page.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_data.h"
#include "qvplatform/font_service.h"
#include "qvplatform/numbers.h"
#include "qvplatform/sfnt_reader.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_metrics.h"

namespace vellora {
namespace {

using namespace qvplatform;

// No real font file comes near this; a larger answer is treated as unreadable.
constexpr DWORD kMaxFontFileSize = 512u << 20;

// Selects a logical font into the reference context for the load and always restores the
// previous font and deletes the logical one.
class SelectedFont {
 public:
  SelectedFont(HDC dc, const LOGFONTW& lf) : dc_(dc), font_(CreateFontIndirectW(&lf)) {
    previous_ = SelectObject(dc_, font_);
  }
  ~SelectedFont() {
    SelectObject(dc_, previous_ != 0 ? previous_ : GetStockObject(SYSTEM_FONT));
    DeleteObject(font_);
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;
  HFONT Font() const { return font_; }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ previous_ = 0;
};

bool IsCIDSymbolName(std::string_view name) {
  return SameFontName(name, "WingDings") || SameFontName(name, "WingDings 2") ||
         SameFontName(name, "Symbol");
}

std::int32_t WidthAtEm1000(const TQV_TTF_CMAP& tables, std::int32_t glyph) {
  if (glyph < 0 || static_cast<std::size_t>(glyph) >= tables.advance.size()) glyph = 0;
  if (tables.advance.empty()) return 0;
  const std::int32_t em = tables.unitsPerEm > 0 ? tables.unitsPerEm : 2048;
  return MulDiv(tables.advance[static_cast<std::size_t>(glyph)], 1000, em);
}

// The face asked for at an em of 1000 units: every metric read from it is in thousandths of
// the em.
LOGFONTW EmFont(const std::string& name, std::int32_t charset, std::uint8_t style) {
  LOGFONTW lf;
  lf.lfHeight = -1000;
  lf.lfWeight = (style & kFontStyleBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style & kFontStyleItalic) ? 1 : 0;
  // The character set steers the match towards a face that covers it.
  lf.lfCharSet = static_cast<BYTE>(charset >= 0 && charset <= 255 ? charset : DEFAULT_CHARSET);
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfClipPrecision = 16;
  lf.lfQuality = PROOF_QUALITY;
  lf.lfPitchAndFamily = 4;
  const std::u16string face = FontUtf8ToUtf16(name);
  for (std::size_t i = 0; i < face.size() && i + 1 < static_cast<std::size_t>(LF_FACESIZE); ++i)
    lf.lfFaceName[i] = face[i];
  return lf;
}

// The outline metrics of the selected face, in buffer; raises when the face has none.
const OUTLINETEXTMETRICW& ReadOutlineMetrics(HDC dc, HFONT font, const std::string& name,
                                             std::vector<std::uint8_t>& buffer) {
  const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
  buffer.resize(std::max<UINT>(size, sizeof(OUTLINETEXTMETRICW)));
  auto* otm = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
  if (size == 0 || GetOutlineTextMetricsW(dc, size, otm) == 0) {
    char text[400];
    std::snprintf(text, sizeof text, "Cannot load font data  (dc=%d font=%d font=%s)!",
                  static_cast<int>(dc), static_cast<int>(font), name.c_str());
    throw std::runtime_error(text);
  }
  return *otm;
}

// The widths of the codes first..last as the platform measures them (the average width where
// it does not); byteUnicode holds the code page's character of each byte.
std::vector<std::int32_t> MeasureCodes(HDC dc, std::int32_t first, std::int32_t last,
                                       std::int32_t averageWidth, std::int32_t charset,
                                       const std::array<char16_t, 256>& byteUnicode) {
  std::vector<std::int32_t> widths(static_cast<std::size_t>(last - first + 1), averageWidth);
  for (std::int32_t code = first; code <= last; ++code) {
    const std::uint8_t byte = static_cast<std::uint8_t>(code);
    INT width = 0;
    bool measured = false;
    if (charset == SYMBOL_CHARSET) {
      // Bytes are character codes of the symbol set.
      measured = GetCharWidth32A(dc, byte, byte, &width);
    } else if (const char16_t unit = byteUnicode[byte]; unit != 0) {
      measured = GetCharWidth32W(dc, unit, unit, &width);
    }
    if (measured) widths[static_cast<std::size_t>(code - first)] = width;
  }
  return widths;
}

void CopyOutlineMetrics(const OUTLINETEXTMETRICW& otm, TQVFontDescriptor& d) {
  const TEXTMETRICW& tm = otm.otmTextMetrics;
  d.ascent = otm.otmAscent;
  d.cellHeight = tm.tmHeight;
  d.textAscent = tm.tmAscent;
  d.capHeight = otm.otmsCapEmHeight != 0 ? static_cast<std::int32_t>(otm.otmsCapEmHeight) : 500;
  d.descent = otm.otmDescent;
  d.italicAngle = otm.otmItalicAngle;
  d.xHeight = static_cast<std::int32_t>(otm.otmsXHeight);
  d.leading = tm.tmInternalLeading + tm.tmExternalLeading;
  d.avgWidth = tm.tmAveCharWidth;
  d.stemV = 0;
  d.maxWidth = 0;
  d.bboxLeft = otm.otmrcFontBox.left;
  d.bboxTop = otm.otmrcFontBox.top;
  d.bboxRight = otm.otmrcFontBox.right;
  d.bboxBottom = otm.otmrcFontBox.bottom;
}

// The embedding decision for a font that may embed (not asked to stay out, not CJK); a CID
// font is always embedded as a subset.
void DecideEmbedding(const TQVPDFFontSettings& settings, bool mayEmbed, bool excluded,
                     bool symbolInCID, bool symbolic, TQVFontDescriptor& d) {
  const TQVPDFFontMode mode = settings.fontMode;
  bool embed = false;
  if (mayEmbed) {
    const bool modeEmbeds = mode == qvEmbedTrueTypeFonts ||
                            mode == qvEmbedSubsetTrueType_Charsets ||
                            mode == qvEmbedSubsetTrueType_UsedChar;
    embed = (!excluded && modeEmbeds) || symbolInCID ||
            (mode == qvEmbedSymbolTrueTypeFonts && symbolic);
  }
  d.wholeFont = !(symbolInCID || mode == qvEmbedSubsetTrueType_Charsets ||
                  mode == qvEmbedSubsetTrueType_UsedChar);
  if (d.cidKind != 0) {
    embed = true;
    d.wholeFont = false;
  }
  d.embedded = embed;
}

}  // namespace

void TQVPDFFont::LoadFont(std::string& face, std::int32_t requestedCharset, bool noEmbed) {
  TQVPDFFontManager& manager = *manager_;
  const TQVPDFFontSettings& settings = manager.Settings();
  const HDC dc = manager.ReferenceDC();
  SelectedFont selected(dc, EmFont(face, requestedCharset, style));
  ReadMatchedName();
  std::vector<std::uint8_t> buffer;
  const OUTLINETEXTMETRICW& otm = ReadOutlineMetrics(dc, selected.Font(), face, buffer);
  const TEXTMETRICW& tm = otm.otmTextMetrics;
  actualCharset = tm.tmCharSet;
  ReadCodes(tm.tmFirstChar, tm.tmLastChar, tm.tmCharSet == SYMBOL_CHARSET);
  charWidths_ =
      MeasureCodes(dc, firstChar, lastChar, tm.tmAveCharWidth, requestedCharset, byteUnicode_);

  descriptor = std::make_unique<TQVFontDescriptor>(Owner(), this);
  TQVFontDescriptor& d = *descriptor;
  DecideCID(face, requestedCharset, noEmbed);
  if (!face.empty() && face.front() == '@') face.erase(0, 1);
  if (d.cidKind != 0) {
    toUnicode = std::make_unique<TQVCMapString>(Owner());
    toUnicode->identity = d.cidKind == 1;
    unicodeReferenced_ = true;
    wArray = std::make_unique<TQVPDFWArray>(Owner());
    cidToGid = std::make_unique<TQVCIDToGID>(Owner());
  }

  d.fontName = PostScriptFontName(face, style);
  d.embeddedFontName = PostScriptFontName(matchedName.empty() ? face : matchedName, style);
  CopyOutlineMetrics(otm, d);
  const bool symbolic = tm.tmCharSet == SYMBOL_CHARSET || SameFontName(face, "Webdings") ||
                        SameFontName(face, "Wingdings") || SameFontName(face, "Symbol");
  d.flags = symbolic ? 6 : 32;
  if (d.cidKind == 0) WidthsFromTable(charWidths_);

  const bool mayEmbed = !noEmbed && CJKKindOfCharset(requestedCharset) == 0;
  DecideEmbedding(settings, mayEmbed, mayEmbed && IsExcluded(face), symbolInCID_, symbolic, d);
  if (d.embedded) AttachFontFile();

  // A simple font gets its Unicode map under PDF/A for a code page other than 1252, and with
  // mode value 23 (not for symbol fonts, whose bytes are not characters of a code page).
  if (d.cidKind == 0 && !symbolic && requestedCharset != SYMBOL_CHARSET &&
      ((manager.PdfA() && codePage != 1252) || settings.toUnicodeForSimpleFonts))
    AddSimpleToUnicode();

  if (d.Tables() != nullptr) {
    BuildGlyphMap();
    if (widths) WidthsFromFontFile();
  }
}

void TQVPDFFont::ReadMatchedName() {
  WCHAR matched[256] = {};
  if (GetTextFaceW(manager_->ReferenceDC(), 256, matched) > 0) {
    std::u16string text(reinterpret_cast<const char16_t*>(matched));
    matchedName = FontUtf16ToUtf8(text);
    if (SameFontName(matchedName, "System")) matchedName = "Courier New";
  }
}

void TQVPDFFont::ReadCodes(std::int32_t first, std::int32_t last, bool symbolCharset) {
  // A symbol face's characters lie at U+F000 + code.
  if (symbolCharset && first >= 0xF000) first -= 0xF000;
  if (symbolCharset && last >= 0xF000 && last <= 0xF0FF) last -= 0xF000;
  lastChar = std::clamp(last, 0, 255);
  firstChar = std::clamp(first, 0, lastChar);
  for (int code = 1; code < 256; ++code) {
    const auto byte = static_cast<std::uint8_t>(code);
    const std::u16string u = FontCodePageToUtf16(&byte, 1, codePage);
    byteUnicode_[static_cast<std::size_t>(code)] = u.size() == 1 ? u[0] : u'\0';
  }
}

void TQVPDFFont::DecideCID(std::string_view face, std::int32_t requestedCharset, bool noEmbed) {
  const TQVPDFFontSettings& settings = manager_->Settings();
  TQVFontDescriptor& d = *descriptor;
  if (noEmbed || CJKKindOfCharset(requestedCharset) != 0) {
    d.cidKind = 0;
    noCID_ = CJKKindOfCharset(requestedCharset) != 0;
  } else if (IsCIDSymbolName(face)) {
    d.cidKind = 0;
    symbolInCID_ = settings.cidMode != qvCIDOff;
  } else if (settings.cidMode == qvCIDSymbolOnly) {
    d.cidKind = (requestedCharset == SYMBOL_CHARSET || IsSymbolFaceName(face)) ? 1 : 0;
  } else {
    d.cidKind = settings.cidMode;
  }
}

void TQVPDFFont::AddSimpleToUnicode() {
  toUnicode = std::make_unique<TQVCMapString>(Owner());
  toUnicode->firstCode = firstChar;
  bool identity = true;
  for (std::int32_t code = firstChar; code <= 255; ++code) {
    const std::uint8_t byte = static_cast<std::uint8_t>(code);
    const char16_t unit = byteUnicode_[byte];
    toUnicode->unicodeText += unit;
    if (unit != code) identity = false;
  }
  toUnicode->oneByteIdentity = identity;
  unicodeReferenced_ = true;
}

void TQVPDFFont::AttachFontFile() {
  TQVPDFFontManager& manager = *manager_;
  TQVFontDescriptor& d = *descriptor;
  const HDC dc = manager.ReferenceDC();
  const std::string key = TQVPDFFontFileList::KeyFor(d.embeddedFontName, d.cidKind);
  TQVPDFFontFile* file = manager.FontFiles().Find(key);
  if (file == nullptr) file = &manager.FontFiles().Add(Owner(), key, &manager);

  if (!file->Read()) {
    // The file is read once, by the first font that embeds it.
    if (manager.Settings().reportEmbeddedFonts)
      manager.Message(kFontMessageEmbedding, d.GetFontName());
    const DWORD size = GetFontData(dc, 0, 0, nullptr, 0);
    std::vector<std::uint8_t> bytes;
    if (size != GDI_ERROR && size > 0 && size <= kMaxFontFileSize) {
      bytes.resize(size);
      if (GetFontData(dc, 0, 0, bytes.data(), size) != size) bytes.clear();
    }
    // Only TrueType outlines can be embedded as a TrueType font program: a face with CFF
    // outlines (an "OTTO" file) is referenced by name.
    const std::uint32_t version = qvplatform::ByteReader(bytes).U32(0);
    const bool trueTypeOutlines = version == kSfntVersionTrueType || version == kSfntVersionApple;
    if (!bytes.empty() && !trueTypeOutlines) {
      manager.Message(kFontMessageCannotEmbed, d.fontName + " (no TrueType outlines)");
      bytes.clear();
      file->SetRead(true);
    } else if (bytes.empty()) {
      file->SetRead(true);
      manager.Message(kFontMessageInternal, d.fontName);
    } else {
      file->SetRead(false);
      file->Stream().FontData() = std::move(bytes);
      if (!file->Stream().LoadTables()) manager.Message(kFontMessageCannotEmbed, d.fontName);
    }
  }

  if (file->Unreadable()) {
    // Nothing to embed: the font is referenced by name instead.
    d.embedded = false;
    FallBackToSimple();
    return;
  }
  d.fontFile = file;
  file->AddSharer(&d);
  if (file->Stream().Tables() == nullptr) {
    // Tables that cannot be parsed: the whole file, as a simple TrueType font.
    file->Stream().SetWholeFont(true);
    d.wholeFont = true;
    FallBackToSimple();
  }
}

void TQVPDFFont::FallBackToSimple() {
  if (descriptor->cidKind == 0) return;
  descriptor->cidKind = 0;
  toUnicode.reset();
  wArray.reset();
  cidToGid.reset();
  WidthsFromTable(charWidths_);
}

void TQVPDFFont::WidthsFromTable(const std::vector<std::int32_t>& table) {
  widths = std::make_unique<TQVPDFNumArray>(Owner());
  widths->SetRaw(true);
  for (std::int32_t value : table) widths->Add(value);
  widths->Add(0);  // the spare entry, never written
}

void TQVPDFFont::BuildGlyphMap() {
  TQVFontDescriptor& d = *descriptor;
  const TQV_TTF_CMAP& tables = *d.Tables();
  const bool symbolic = d.flags == 6 || charset == 2;
  const bool markCharset =
      manager_->Settings().fontMode == qvEmbedSubsetTrueType_Charsets && charset != 2;
  d.glyphMap.fill(0);
  for (std::int32_t code = 1; code <= 255; ++code) {
    const std::uint8_t byte = static_cast<std::uint8_t>(code);
    std::int32_t glyph = 0;
    if (symbolic && tables.hasByteTable) {
      glyph = tables.GlyphForCode(code, true);
    } else if (symbolic) {
      glyph = tables.GetGlyphIndex(code);
    } else if (byteUnicode_[byte] != 0) {
      glyph = tables.GetGlyphIndex(byteUnicode_[byte]);
    }
    d.glyphMap[static_cast<std::size_t>(code)] = glyph;
    if (markCharset && glyph > 0) d.Tables()->MarkUsed(glyph);
  }
}

void TQVPDFFont::WidthsFromFontFile() {
  const TQV_TTF_CMAP& tables = *descriptor->Tables();
  std::vector<std::int32_t> table;
  table.reserve(static_cast<std::size_t>(lastChar - firstChar + 1));
  for (std::int32_t code = firstChar; code <= lastChar; ++code)
    table.push_back(WidthAtEm1000(tables, descriptor->glyphMap[static_cast<std::size_t>(code)]));
  WidthsFromTable(table);
}

bool TQVPDFFont::IsExcluded(std::string_view face) const {
  const TQVPDFFontSettings& settings = manager_->Settings();
  const auto& only = settings.embedOnlyFonts;
  if (only.Count() > 0 && !TrimFontName(only[0]).empty()) {
    for (int i = 0; i < only.Count(); ++i)
      if (SameFontName(TrimFontName(only[i]), face)) return false;
    return true;
  }
  if (manager_->PdfA()) return false;
  if (noCID_) return true;
  return settings.excludedFonts.IndexOf(face) >= 0 ||
         settings.excludedFonts.IndexOf(ExclusionKey(face, style)) >= 0;
}

}  // namespace vellora
