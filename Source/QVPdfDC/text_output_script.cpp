// What a text is made of: its script and character set, 8-bit text made wide, characters the
// font lacks, and right-to-left text put in visual order.
#include <atomic>
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
    }
  } else {
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
  // At the same place and spacing, before the text; the text keeps the current point.
  OutlineAt(r.x, r.y, GdiBaselineOffset(), false, r.spacing, r.length, nullptr, s.missing.data(),
            false, false);
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
  results.nGlyphs = static_cast<qvplatform::UINT>(n);
  const qvplatform::DWORD flags =
      qvplatform::GetFontLanguageInfo(d_.screenDC) & qvplatform::FLI_MASK;
  if (qvplatform::GetCharacterPlacementW(d_.screenDC, r.wide, r.length, 0, &results, flags) == 0 ||
      results.nGlyphs != n)
    return;
  // The spacing follows its character: entry i moves to the visual position of i.
  s.shapedSpacing.assign(n, 0);
  s.measured.assign(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const qvplatform::UINT to = s.order[i];
    if (to >= n || s.measured[to] != 0) return;  // not a permutation
    s.measured[to] = 1;
    s.shapedSpacing[to] = r.spacing[i];
  }
  r.wide = s.shaped.data();
  r.spacing = s.shapedSpacing.data();
  c.shaped = true;
}

}  // namespace vellora
