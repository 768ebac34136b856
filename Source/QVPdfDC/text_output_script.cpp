// What a text is made of: its script and character set, 8-bit text made wide, characters the
// font lacks, and right-to-left text put in visual order.
#include <atomic>
#include <iterator>
#include <string>

#include "QVPdfDC/charset_code_page.h"
#include "QVPdfDC/text_output.h"
#include "QVPdfDC/text_output_call.h"
#include "qvplatform/codepage.h"
#include "qvplatform/debug_output.h"
#include "qvplatform/numbers.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_placement.h"

namespace vellora {

namespace {

std::atomic<bool> italicAsArial{false};

bool In(char16_t c, char16_t first, char16_t last) { return c >= first && c <= last; }

bool IsArabicPresentationForm(char16_t c) {
  return (c >= 0xFB50 && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF);
}

// The visual order (and what else results asks for) of a text in the DC's font, with the
// font's own language flags; false when it fails or leaves characters out.
bool PlaceVisually(qvplatform::HDC dc, const char16_t* text, std::int32_t length,
                   qvplatform::GCP_RESULTSW& results) {
  const auto n = static_cast<qvplatform::UINT>(length);
  results.nGlyphs = n;
  const qvplatform::DWORD flags = qvplatform::GetFontLanguageInfo(dc) & qvplatform::FLI_MASK;
  return qvplatform::GetCharacterPlacementW(dc, text, length, 0, &results, flags) != 0 &&
         results.nGlyphs == n;
}

bool DoubleBytePage(std::uint32_t page) {
  return page == 932 || page == 936 || page == 949 || page == 950;
}

}  // namespace

bool ItalicAsArial() { return italicAsArial.load(std::memory_order_relaxed); }
void SetItalicAsArial(bool value) { italicAsArial.store(value, std::memory_order_relaxed); }

std::int32_t ScriptCharset(char16_t c, std::int32_t ideographCharset) {
  if (In(c, 0x0590, 0x05FF)) return 177;
  // Kana and the Hangul compatibility letters lie inside the last range of this row.
  if (In(c, 0x3200, 0x33FF) || In(c, 0x3400, 0x4DB5) || In(c, 0x4E00, 0x9FFF) ||
      In(c, 0xFE30, 0xFE4F) || In(c, 0x2845, 0x9F44))
    return ideographCharset;
  if (In(c, 0x1100, 0x11FF) || In(c, 0xAC00, 0xD7A3)) return 129;
  if (In(c, 0x0E00, 0x0E7F)) return 222;
  if (In(c, 0x0391, 0x03C9)) return 161;
  if (In(c, 0x0600, 0x06FF)) return 178;
  if (In(c, 0x0400, 0x052F)) return 204;
  return 0;
}

namespace {

// The pages a text of character set 0 or 1 may move to, in the order tried.
struct TQVLatinPage {
  std::uint32_t codePage;
  std::int32_t charset;
};
constexpr TQVLatinPage kLatinPages[] = {
    {1252, 0}, {1250, 238}, {1254, 162}, {1257, 186}, {1258, 163}};
constexpr unsigned kAllLatinPages = (1u << std::size(kLatinPages)) - 1;

bool PageHolds(std::uint32_t codePage, char16_t c) {
  if (c < 0x80) return true;
  char bytes[2];
  bool usedDefault = false;
  return qvplatform::WideCharToMultiByte(codePage, 0, &c, 1, bytes, 2, nullptr, &usedDefault) ==
             1 &&
         !usedDefault;
}

bool HasPage(char16_t c) {
  if (ScriptCharset(c, 136) != 0) return true;
  for (const TQVLatinPage& page : kLatinPages)
    if (PageHolds(page.codePage, c)) return true;
  return false;
}

}  // namespace

TQVCharsetFit FitCharset(const char16_t* text, std::int32_t length, std::int32_t charset) {
  TQVCharsetFit fit{charset, length, false};
  const bool latin = charset == 0 || charset == 1;
  const std::uint32_t own = CharsetToCodePage(charset);
  unsigned alive = kAllLatinPages;
  for (std::int32_t i = 0; i < length; ++i) {
    const char16_t c = text[i];
    if (c < 0x80) continue;
    unsigned next = 0;
    if (latin) {
      for (std::size_t k = 0; k < std::size(kLatinPages); ++k)
        if ((alive >> k & 1u) && PageHolds(kLatinPages[k].codePage, c)) next |= 1u << k;
    } else if (PageHolds(own, c)) {
      continue;
    }
    if (next == 0) {
      fit.held = i;
      fit.elsewhere = HasPage(c);
      break;
    }
    alive = next;
  }
  if (latin) {
    std::size_t k = 0;
    while (!(alive >> k & 1u)) ++k;
    if (k > 0) fit.charset = kLatinPages[k].charset;
  }
  return fit;
}

std::int32_t WordStart(const char16_t* text, std::int32_t position) {
  while (position > 0 && text[position - 1] > 32) --position;
  return position;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::int32_t FirstWordEnd(const char16_t* text, std::int32_t length) {
  std::int32_t i = 0;
  while (i < length && text[i] > 32) ++i;
  while (i < length && text[i] <= 32) ++i;
  return i;
}

std::int32_t SumAdvances(const std::int32_t* spacing, std::int32_t count) {
  if (spacing == nullptr) return 0;
  std::int64_t sum = 0;
  for (std::int32_t i = 0; i < count; ++i) sum += spacing[i];
  return qvplatform::ClampToInt32(sum);
}

bool TQVTextOutput::DetectScript(TQVTextRequest& r) {
  TQVDCStackVar& v = V();
  for (std::int32_t i = 0; i < r.length; ++i) {
    const char16_t c = r.wide[i];
    if (c == 0x2014) {
      r.wide[i] = u'-';  // the em dash of the copy
      continue;
    }
    if (c == 0x3001) continue;
    const std::int32_t target = ScriptCharset(c, d_.contentOptions.cjkIdeographCharset);
    if (target == 0) continue;
    const std::int32_t current = v.font.lfCharSet;
    if (current != 0 && current != 1 && current != (target & 0xFF)) return true;  // mixed
    v.font.lfCharSet = static_cast<qvplatform::BYTE>(target);
  }
  return false;
}

void WidenBytes(std::uint32_t codePage, bool asCodes, const char* bytes, std::int32_t length,
                const std::int32_t* spacing, std::u16string& out,
                std::vector<std::int32_t>* outSpacing) {
  const bool doubleByte = !asCodes && DoubleBytePage(codePage);
  out.clear();
  if (outSpacing) outSpacing->clear();
  std::int32_t i = 0;
  while (i < length) {
    std::int32_t take = 1;
    char16_t unit = u'?';
    if (asCodes) {
      unit = static_cast<unsigned char>(bytes[i]);
    } else {
      qvplatform::WCHAR converted[2] = {};
      // A lead byte alone converts to the double-byte default: it takes its trail byte.
      if (doubleByte && i + 1 < length &&
          qvplatform::MultiByteToWideChar(codePage, 0, bytes + i, 1, converted, 2) == 1 &&
          converted[0] == qvplatform::kDbcsUnicodeDefault)
        take = 2;
      if (qvplatform::MultiByteToWideChar(codePage, 0, bytes + i, take, converted, 2) >= 1)
        unit = converted[0];
    }
    out.push_back(unit);
    if (outSpacing && spacing) outSpacing->push_back(SumAdvances(spacing + i, take));
    i += take;
  }
}

void TQVTextOutput::WidenAnsi(Call& c) {
  TQVTextRequest& r = c.r;
  TQVTextScratch& s = *c.s;
  WidenBytes(CharsetToCodePage(c.charset), c.charset == 2, r.ansi, r.length, r.spacing, s.widened,
             &s.widenedSpacing);
  r.wide = s.widened.data();
  r.length = static_cast<std::int32_t>(s.widened.size());
  r.spacing = r.spacing ? s.widenedSpacing.data() : nullptr;
  r.ansi = nullptr;
}

void TQVTextOutput::MissingGlyphs(Call& c, bool byGlyphs) {
  TQVGenericPSDevice& d = d_;
  TQVTextRequest& r = c.r;
  TQVTextScratch& s = *c.s;
  const std::size_t n = static_cast<std::size_t>(r.length);
  s.missing.assign(n, u' ');
  bool any = false;
  if (byGlyphs) {
    s.glyphs.resize(n);
    const qvplatform::DWORD got = qvplatform::GetGlyphIndicesW(
        d.screenDC, r.wide, r.length, s.glyphs.data(), qvplatform::GGI_MARK_NONEXISTING_GLYPHS);
    if (got == qvplatform::GDI_ERROR) {
      // Diagnostic only: the text is written as it is.
      qvplatform::OutputDebugString("error " + std::to_string(static_cast<std::int32_t>(got)) +
                                    " (" + std::to_string(r.length) + ")");
      return;
    }
    for (std::size_t i = 0; i < n; ++i) {
      const char16_t ch = r.wide[i];
      const bool missing =
          s.glyphs[i] == 0xFFFF || (c.cjk && (ch == 0x00B1 || (ch >= 0xE000 && ch <= 0xE009)));
      if (!missing) continue;
      s.missing[i] = ch;
      r.wide[i] = u' ';
      any = true;
      if (s.glyphs[i] == 0xFFFF) NoteNoGlyph(ch);
    }
  }
  // Written as 8-bit text, a character the font's code page cannot hold would become "?":
  // it is drawn as an outline instead, also where the font has its glyph.
  if (!byGlyphs || !CidBranch(c)) {
    d.ConvertWideText(r.wide, r.length, s.bytes);
    if (c.charset != 2 && s.bytes.size() == n) {
      for (std::size_t i = 0; i < n; ++i) {
        if (s.bytes[i] != '?' || r.wide[i] == u'?') continue;
        s.missing[i] = r.wide[i];
        r.wide[i] = u' ';
        any = true;
      }
    }
  }
  if (!any) return;
  if (!byGlyphs && !d.lostCharacterReported) {
    // The outline has only this face's glyphs: a character it lacks stays blank.
    s.glyphs.resize(n);
    if (qvplatform::GetGlyphIndicesW(d.screenDC, s.missing.data(), r.length, s.glyphs.data(),
                                     qvplatform::GGI_MARK_NONEXISTING_GLYPHS) !=
        qvplatform::GDI_ERROR)
      for (std::size_t i = 0; i < n; ++i)
        if (s.missing[i] != u' ' && s.glyphs[i] == 0xFFFF) NoteNoGlyph(s.missing[i]);
  }
  // At the same place and spacing, before the text; the text keeps the current point.
  OutlineAt(r.x, r.y, GdiBaselineOffset(), false, r.spacing, r.length, nullptr, s.missing.data(),
            false, false);
}

void TQVTextOutput::NoteNoGlyph(char16_t ch) {
  TQVGenericPSDevice& d = d_;
  if (d.lostCharacterReported) return;
  d.lostCharacterReported = true;
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string code = "U+";
  for (int shift = 12; shift >= 0; shift -= 4) code += kDigits[(ch >> shift) & 0xF];
  qvplatform::OutputDebugString("Text: the face \"" + V().faceName + "\" has no glyph for " + code +
                                "; characters no face can draw are left blank in this document");
}

void TQVTextOutput::NaturalAdvances(TQVTextRequest& r, TQVTextScratch& s) {
  TQVGenericPSDevice& d = d_;
  const std::size_t n = static_cast<std::size_t>(r.length);
  const TQVScreenFont font(d.screenDC, WorkingFont());
  // The screen DC's font is as high in pixels as the level's in logical units: its widths
  // are logical units of y, x takes the text scale.
  const long double aspect = d.dcStack.aspect != 0 ? d.dcStack.aspect : 1;
  s.spacing.assign(n, 0);
  bool placed = false;
  const std::int32_t charset = V().font.lfCharSet;
  if (charset == 177 || charset == 178) {
    // Right-to-left text advances by its shaped glyphs, as a producer records it.
    s.order.assign(n, 0);
    s.measured.assign(n, 0);
    qvplatform::GCP_RESULTSW results;
    results.lpOrder = s.order.data();
    results.lpDx = s.measured.data();
    placed = PlaceVisually(d.screenDC, r.wide, r.length, results);
    for (std::size_t i = 0; placed && i < n; ++i) {
      const qvplatform::UINT to = s.order[i];
      if (to >= n) placed = false;
      if (placed) s.spacing[i] = qvplatform::Round32(s.measured[to] * aspect);
    }
  }
  for (std::size_t i = 0; !placed && i < n; ++i) {
    qvplatform::INT width = 0;
    qvplatform::GetCharWidth32W(d.screenDC, r.wide[i], r.wide[i], &width);
    s.spacing[i] = qvplatform::Round32(width * aspect);
  }
  r.spacing = s.spacing.data();
}

void TQVTextOutput::Shape(Call& c) {
  TQVTextRequest& r = c.r;
  if ((c.charset != 177 && c.charset != 178) || !r.wide || !r.spacing || r.length <= 0) return;
  TQVTextScratch& s = *c.s;
  const std::size_t n = static_cast<std::size_t>(r.length);
  s.shaped.assign(n, u' ');
  s.order.assign(n, 0);
  qvplatform::GCP_RESULTSW results;
  results.lpOutString = s.shaped.data();
  results.lpOrder = s.order.data();
  if (!PlaceVisually(d_.screenDC, r.wide, r.length, results)) return;
  // The spacing follows its character: entry i moves to the visual position of i.
  s.shapedSpacing.assign(n, 0);
  s.measured.assign(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const qvplatform::UINT to = s.order[i];
    if (to >= n || s.measured[to] != 0) return;  // not a permutation
    s.measured[to] = 1;
    s.shapedSpacing[to] = r.spacing[i];
  }
  // The placement gives the contextual forms, which only a CID font can write; 8-bit text
  // takes the letters themselves in the same order (mirrored brackets stay).
  if (!CidBranch(c))
    for (std::size_t i = 0; i < n; ++i)
      if (IsArabicPresentationForm(s.shaped[s.order[i]])) s.shaped[s.order[i]] = r.wide[i];
  r.wide = s.shaped.data();
  r.spacing = s.shapedSpacing.data();
  c.shaped = true;
}

}  // namespace vellora
