// Writing the text: automatic links, then the Td/Tj/TJ forms (CID runs, exact positioning
// arrays, character by character) and the registration of the characters used.
#include <cmath>

#include "QVPdfDC/number_format.h"
#include "QVPdfDC/text_output.h"
#include "QVPdfDC/text_output_call.h"
#include "qvplatform/numbers.h"
#include "qvplatform/text_measure.h"

namespace vellora {

namespace {

// A code as hex digits: four, or eight when it does not fit in two bytes.
void AddHexCode(TQVPDFDeviceWorkBuffer& buffer, std::uint32_t code) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char text[8];
  const int count = code > 0xFFFF ? 8 : 4;
  for (int i = 0; i < count; ++i) text[i] = kDigits[(code >> (4 * (count - 1 - i))) & 0xF];
  buffer.AddString(std::string_view(text, static_cast<std::size_t>(count)));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool TQVTextOutput::CidBranch(const Call& c) {
  return d_.contentOptions.cidFontMode != 0 && d_.WriterDepth() > 0 && d_.WriterState().fontIsCID &&
         c.r.wide;
}

bool TQVTextOutput::Links(Call& c) {
  TQVGenericPSDevice& d = d_;
  if (!(d.contentOptions.optionBits & TQVGenericPSDevice::kOptionAutoLinks) || c.r.length < 8)
    return true;
  const bool web = StartsWith(c.a8, "http://") || StartsWith(c.a8, "https://");
  const bool mark = StartsWith(c.a8, "bookm://");
  if (!web && !mark) return true;
  const qvplatform::RECTL& clip = c.r.clip;
  qvplatform::RECTL area{c.box.left, c.box.top, c.box.right, c.box.bottom};
  if (d.textRotated && clip.right != clip.left) area = clip;
  const qvplatform::POINTL a = d.TransformPoint(area.left, area.top);
  const qvplatform::POINTL b = d.TransformPoint(area.right, area.bottom);
  const std::int32_t x = std::min(a.x, b.x), y = std::min(a.y, b.y);
  const std::int32_t w = qvplatform::ClampToInt32(std::llabs(std::int64_t{b.x} - a.x));
  const std::int32_t h = qvplatform::ClampToInt32(std::llabs(std::int64_t{b.y} - a.y));
  if (web) {
    d.AddLinkArea(x, y, w, h, std::string(c.a8), std::string());
    return true;
  }
  // A bookmark link: the name is the target, the text itself is not drawn.
  d.AddLinkArea(x, y, w, h, std::string(c.a8.substr(8, 255)), std::string());
  return false;
}

void TQVTextOutput::Write(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVTextRequest& r = c.r;
  TQVPDFDeviceWorkBuffer& b = d.workBuffer;
  if (CidBranch(c)) {
    // The positions come from the array: spacing left from the text state would add up.
    TQVDCStackVar& v = V();
    if (v.charSpacing != 0 || v.wordSpacing != 0) {
      v.charSpacing = v.wordSpacing = 0;
      d.WriteTextState(&b, TextSpaceSize(c.size));
    }
    return WriteCid(c);
  }
  const long double aspect = d.dcStack.aspect != 0 ? d.dcStack.aspect : 1;
  if (c.cjk && r.wide && r.spacing) {
    WriteTd(c.tx, c.ty);
    b.AddString("(");
    b.AddEscaped(c.a8);
    b.AddString(")Tj ");
  } else if (c.perChar && r.wide && r.spacing && r.length > 1) {
    long double x = c.tx;
    for (std::int32_t i = 0; i < r.length; ++i) {
      d.ConvertWideText(r.wide + i, 1, c.s->one);
      WriteTd(x, c.ty);
      b.AddString("(");
      b.AddEscaped(c.s->one);
      b.AddString(")Tj ");
      x += r.spacing[i] / aspect;
    }
  } else if (c.exact && r.spacing) {
    WriteExact(c);
  } else {
    WriteTd(c.tx, c.ty);
    b.AddString("(");
    b.AddEscaped(c.a8);
    b.AddString(")Tj\n");
  }
  if (r.wide)
    d.RegisterUsedCharsW(r.wide, r.length);
  else
    d.RegisterUsedCharsA(c.a8.data(), static_cast<std::int32_t>(c.a8.size()));
}

void TQVTextOutput::WriteExact(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVTextRequest& r = c.r;
  TQVPDFDeviceWorkBuffer& b = d.workBuffer;
  TQVTextScratch& s = *c.s;
  const std::size_t n = static_cast<std::size_t>(r.length);
  const std::int32_t scale = c.hz != 0 ? qvplatform::Round32(c.hz * 1000) : 1000;
  s.measured.assign(n, 0);
  const float size = static_cast<float>(c.size);
  const bool measured = r.wide ? d.MeasureTextW(r.wide, r.length, scale, s.measured.data(), size)
                               : c.a8.size() == n && d.MeasureTextA(c.a8.data(), r.length, scale,
                                                                    s.measured.data(), size);
  WriteTd(c.tx, c.ty);
  if (!measured || c.size <= 0) {
    b.AddString("(");
    b.AddEscaped(c.a8);
    b.AddString(")Tj\n");
    return;
  }
  // Each glyph advances by the font's width; the number after it (thousandths of the font
  // size) makes up the difference to the array's advance, its rounding rest carried on.
  const long double aspect = d.dcStack.aspect != 0 ? d.dcStack.aspect : 1;
  const long double th = c.hz != 0 ? c.hz : 1;
  b.AddString("[");
  bool open = false;
  long double carry = 0;
  for (std::size_t i = 0; i < n; ++i) {
    std::string_view one;
    if (c.a8.size() == n) {
      one = c.a8.substr(i, 1);
    } else {
      d.ConvertWideText(r.wide + i, 1, s.one);
      one = s.one;
    }
    if (!open) b.AddString("(");
    open = true;
    b.AddEscaped(one);
    const long double wanted = 1000.0L * r.spacing[i] / aspect;
    const long double e = carry + (s.measured[i] - wanted) / (c.size * th);
    const std::int64_t t = qvplatform::Round(e);
    carry = e - static_cast<long double>(t);
    if (t != 0) {
      b.AddString(")");
      open = false;
      b.AddInt(t, false);
    }
  }
  if (open) b.AddString(")");
  b.AddString("]TJ \n");
}

void TQVTextOutput::WriteCid(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVTextRequest& r = c.r;
  TQVPDFDeviceWorkBuffer& b = d.workBuffer;
  TQVTextScratch& s = *c.s;
  const std::size_t n = static_cast<std::size_t>(r.length);
  const long double size = c.size > 0 ? c.size : 1;
  const long double aspect = d.dcStack.aspect != 0 ? d.dcStack.aspect : 1;
  const bool charCodes = d.contentOptions.cidFontMode == 1 || d.contentOptions.cidFontMode == 2;
  const auto code = [&](char16_t ch, qvplatform::WORD glyph, std::int32_t& width) {
    const std::uint32_t mapped = d.MapCharCode(ch, glyph, width);
    if (charCodes) return static_cast<std::uint32_t>(ch);
    return mapped >= 1 ? mapped : glyph;
  };
  s.glyphs.assign(n, 0xFFFF);
  bool looked = false, missing = false;
  if (d.modes.Has(qvTestIfWeHaveCID)) {
    looked = qvplatform::GetGlyphIndicesW(d.screenDC, r.wide, r.length, s.glyphs.data(),
                                          qvplatform::GGI_MARK_NONEXISTING_GLYPHS) !=
             qvplatform::GDI_ERROR;
    for (std::size_t i = 0; looked && i < n; ++i) missing |= s.glyphs[i] == 0xFFFF;
  }

  if (c.shaped || missing || n == 1) {
    qvplatform::WORD blank = 0xFFFF;
    if (missing) qvplatform::GetGlyphIndicesW(d.screenDC, u" ", 1, &blank, 0);
    long double x = c.tx;
    for (std::size_t i = 0; i < n; ++i) {
      const std::int32_t advance = r.spacing ? r.spacing[i] : 0;
      std::int32_t k = qvplatform::Round32(advance * 1000.0L / size);
      qvplatform::WORD glyph = s.glyphs[i];
      if (looked) {
        if (glyph == 0xFFFF) glyph = blank;
      } else if (qvplatform::GetGlyphIndicesW(d.screenDC, r.wide + i, 1, &glyph,
                                              qvplatform::GGI_MARK_NONEXISTING_GLYPHS) ==
                 qvplatform::GDI_ERROR) {
        glyph = 0xFFFF;
      }
      if (glyph != 0xFFFF) {
        const std::uint32_t value = code(r.wide[i], glyph, k);
        WriteTd(x, c.ty);
        b.AddString("<");
        AddHexCode(b, value);
        b.AddString(">Tj ");
      }
      // Without an array a character advances by the width recorded for it.
      x += r.spacing ? advance / aspect : k * size / 1000 * (c.hz != 0 ? c.hz : 1);
    }
    return;
  }

  if (!looked && qvplatform::GetGlyphIndicesW(d.screenDC, r.wide, r.length, s.glyphs.data(), 0) ==
                     qvplatform::GDI_ERROR)
    s.glyphs.assign(n, 0);
  const long double th = c.hz != 0 && c.hz != 1 ? c.hz : 1;
  WriteTd(c.tx, c.ty);
  b.AddString("[");
  bool open = false;
  long double carry = 0;
  char number[kMaxNumberChars];
  for (std::size_t i = 0; i < n; ++i) {
    // Wanted width in thousandths of the size; the recorded width comes back in k.
    const long double wanted = r.spacing ? r.spacing[i] * 1000.0L / (size * th * aspect) : 0;
    std::int32_t k = qvplatform::Round32(wanted);
    const std::uint32_t value = code(r.wide[i], s.glyphs[i], k);
    if (!open) b.AddString("<");
    open = true;
    AddHexCode(b, value);
    if (!r.spacing) continue;
    const long double a = carry + k - wanted;
    const std::int64_t hundredths = qvplatform::Round(100 * a);
    if (hundredths != 0) {
      b.AddString(">");
      open = false;
      b.AddString(std::string_view(number, FormatFixed(number, hundredths / 100.0L, 2)));
    }
    carry = a - hundredths / 100.0L;
  }
  if (open) b.AddString(">");
  b.AddString("]TJ ");
}

}  // namespace vellora
