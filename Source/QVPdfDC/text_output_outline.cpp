// The outline road: text that no PDF font can show is drawn as its glyph outlines, taken from
// the screen DC's path bracket at an em of 1024 units and scaled to the text's em size.
#include <cmath>
#include <numbers>

#include "QVPdfDC/charset_code_page.h"
#include "QVPdfDC/number_format.h"
#include "QVPdfDC/text_clip_guard.h"
#include "QVPdfDC/text_output.h"
#include "QVPdfDC/text_output_call.h"
#include "qvplatform/device_context.h"
#include "qvplatform/glyph_path.h"
#include "qvplatform/numbers.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_metrics.h"

namespace vellora {

namespace {

constexpr long double kOutlineEm = 1024;

// The extent of a text in the selected font (logical units); 0 for glyph indices.
std::int32_t GdiExtent(qvplatform::HDC dc, const char16_t* text, std::int32_t length,
                       bool glyphIndices) {
  qvplatform::SIZE extent;
  if (glyphIndices || length <= 0 ||
      qvplatform::GetTextExtentPoint32W(dc, text, length, &extent) == 0)
    return 0;
  return extent.cx;
}

}  // namespace

void TQVGenericPSDevice::OutlineText(std::int32_t x, std::int32_t y, bool referencePoint,
                                     bool glyphIndices, const std::int32_t* spacing,
                                     std::int32_t length, const char* ansiText,
                                     const char16_t* wideText) {
  TQVTextOutput& out = TextOutput();
  std::int32_t offset = 0;
  if (!referencePoint) {
    TQVScreenFont font(screenDC, out.WorkingFont());
    offset = out.GdiBaselineOffset();
  }
  const bool cp = (CurrentDCState().textAlignFlags & kAlignUpdateCP) != 0;
  out.OutlineAt(x, y, offset, glyphIndices, spacing, length, ansiText, wideText, cp, cp);
}

std::int32_t TQVGenericPSDevice::TextAsOutline(
    qvplatform::HDC dc, const char16_t* text, std::int32_t length, const LOGFONTW& font,
    bool ignoreSpacing, bool glyphIndices, std::int32_t pathNesting, TQVPDFDeviceWorkBuffer& buffer,
    long double emSize, const std::int32_t* spacing, const TQVOutlinePlacement& placement) {
  return TextOutput().TextAsOutline(dc, text, length, font, ignoreSpacing, glyphIndices,
                                    pathNesting, buffer, emSize, spacing, placement);
}

void TQVTextOutput::OutlineRoad(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVTextRequest& r = c.r;
  if (r.length == 0) return EmptyText(c);
  if (!r.wide && !r.ansi) return;
  const std::uint32_t align = V().textAlignFlags;
  if (align & kAlignUpdateCP) {
    r.x = d.currentX;
    r.y = d.currentY;
  }
  c.lf = WorkingFont();
  TQVScreenFont font(d.screenDC, c.lf);
  // The outlines are the GDI font's: so are the metrics that place them.
  qvplatform::OUTLINETEXTMETRICW otm;
  const bool metrics = qvplatform::GetOutlineTextMetricsW(d.screenDC, sizeof otm, &otm) != 0;
  const std::int32_t height =
      metrics ? otm.otmTextMetrics.tmHeight
              : qvplatform::ClampToInt32(std::llabs(std::int64_t{c.lf.lfHeight}));
  const std::int32_t ascent =
      metrics ? otm.otmTextMetrics.tmAscent : qvplatform::Round32(height * 0.8L);
  const std::int32_t descent = metrics ? std::max(1, otm.otmTextMetrics.tmDescent) : 1;
  const std::int32_t strike =
      metrics && otm.otmsStrikeoutPosition > 0 ? otm.otmsStrikeoutPosition : ascent * 3 / 10;
  const bool glyphIndices = (r.options & qvplatform::ETO_GLYPH_INDEX) != 0;
  std::int32_t advance = c.total;
  if (!r.spacing && r.wide) advance = GdiExtent(d.screenDC, r.wide, r.length, glyphIndices);
  const std::int32_t shift = (align & kAlignRight)    ? Negated(advance)
                             : (align & kAlignCenter) ? -(advance / 2)
                                                      : 0;
  c.box = ComputeBox(r.x, r.y, advance, shift, ascent, height, r.clip);
  // Inside a path bracket the glyphs join the path and nothing else is drawn.
  const bool bracket = d.pathNesting > 0;
  if (!bracket) c.clipOpen = BoxAndBackground(c.box, r.options, r.clip, advance);
  const TQVTextClipGuard clipGuard(*this, c.clipOpen);
  OutlineAt(r.x, r.y, c.box.baselineOffset, glyphIndices, r.spacing, r.length, r.ansi, r.wide,
            false, (align & kAlignUpdateCP) != 0);
  if (!bracket)
    Lines(c.lf, qvplatform::ClampToInt32(std::int64_t{r.x} + shift),
          qvplatform::ClampToInt32(std::int64_t{r.y} + c.box.baselineOffset), advance, descent,
          strike);
  CloseClip(c.clipOpen);
}

// One text drawn as outlines: the text as UTF-16 with its advances, the face and em the glyphs
// are taken at, and where glyph space lands.
struct TQVTextOutput::OutlineRun {
  const TQVDCStackVar* level = nullptr;  // the level the text was asked on (its colour)
  const char16_t* text = nullptr;
  std::int32_t count = 0;
  const std::int32_t* advances = nullptr;
  bool glyphIndices = false;
  bool ignoreSpacing = false;
  qvplatform::LOGFONTW glyphFont;
  long double em = 0;
  long double k = 0;   // em size over the outline em
  long double sy = 1;  // -1 where the matrix turns the page's y round
  long double px = 0;  // start on the baseline, logical x
  long double cy = 0;  // start on the baseline, content y
  TQVOutlinePlacement place;
};

void TQVTextOutput::OutlineAt(std::int32_t x, std::int32_t y, std::int32_t baselineOffset,
                              bool glyphIndices, const std::int32_t* spacing, std::int32_t length,
                              const char* ansi, const char16_t* wide, bool readCurrentPoint,
                              bool advanceCurrentPoint) {
  TQVGenericPSDevice& d = d_;
  if (length <= 0 || (!wide && !ansi)) return;
  OutlineRun run;
  run.level = &V();
  const std::uint32_t align = run.level->textAlignFlags;
  const qvplatform::LOGFONTW lf = WorkingFont();
  if (readCurrentPoint) {
    x = d.currentX;
    y = d.currentY;
  }
  run.glyphIndices = glyphIndices;
  OutlineSource(run, lf, spacing, length, ansi, wide);

  TQVScreenFont font(d.screenDC, lf);
  run.em = EmSize(lf);
  const std::int32_t advance = run.advances
                                   ? SumAdvances(run.advances, run.count)
                                   : GdiExtent(d.screenDC, run.text, run.count, glyphIndices);
  long double px = x, py = static_cast<long double>(y) + baselineOffset;
  const std::int32_t down = DownSign();
  if (align & (kAlignRight | kAlignCenter)) {
    const long double back = (align & kAlignRight) ? advance : advance / 2.0L;
    const long double angle = lf.lfEscapement / 3600.0L * 2 * std::numbers::pi_v<long double>;
    px -= back * std::cos(angle);
    py += down * TurnSign() * back * std::sin(angle);
  }
  run.ignoreSpacing = std::llabs(std::int64_t{lf.lfHeight}) <= 19 &&
                      d.contentOptions.cidFontMode == 0 && !d.modes.Has(qvExactTextPositioning) &&
                      !(align & kAlignRight);
  OutlineGlyphSpace(run, lf, px, py);

  const std::int32_t result = d.pathNesting > 0 ? OutlineIntoPath(run) : OutlineIntoContent(run);
  // The current point moves over the text as for text written with a font.
  if (result != TQVGenericPSDevice::kOutlineFailed && advanceCurrentPoint) {
    const bool back = lf.lfEscapement == 1800 || (align & (kAlignRight | kAlignCenter));
    d.currentX =
        qvplatform::ClampToInt32(std::int64_t{x} + (back ? -std::int64_t{result} : result));
    d.currentY = y;
    d.stateChanged = true;
  }
}

void TQVTextOutput::OutlineSource(OutlineRun& run, const qvplatform::LOGFONTW& lf,
                                  const std::int32_t* spacing, std::int32_t length,
                                  const char* ansi, const char16_t* wide) {
  // The text as UTF-16: glyph indices and symbol codes as they are, else in the code page of
  // the font's character set, one advance per character.
  run.text = wide;
  run.count = length;
  run.advances = spacing;
  if (wide) return;
  const bool asCodes = run.glyphIndices || lf.lfCharSet == 2;
  WidenBytes(CharsetToCodePage(lf.lfCharSet), asCodes, ansi, length, spacing, outlineText_,
             spacing ? &outlineSpacing_ : nullptr);
  run.text = outlineText_.data();
  run.count = static_cast<std::int32_t>(outlineText_.size());
  run.advances = spacing ? outlineSpacing_.data() : nullptr;
}

void TQVTextOutput::OutlineGlyphSpace(OutlineRun& run, const qvplatform::LOGFONTW& lf,
                                      long double px, long double py) {
  TQVGenericPSDevice& d = d_;
  // Glyph space (1024 units, y down) to content: the em size over 1024, x also over the text
  // scale; a matrix that turns the page's y round turns the glyphs round too. So glyph space
  // reaches the page unmirrored: GDI's counter-clockwise escapement is reversed where the
  // text turns the other way (as PDF text does in a mirrored y).
  const long double aspect = d.dcStack.aspect != 0 ? d.dcStack.aspect : 1;
  run.k = run.em / kOutlineEm;
  run.sy = d.dcStack.Matrix().eM22 < 0 ? -1 : 1;
  run.glyphFont = lf;
  if (TurnSign() < 0) {
    run.glyphFont.lfEscapement = Negated(run.glyphFont.lfEscapement);
    run.glyphFont.lfOrientation = Negated(run.glyphFont.lfOrientation);
  }
  run.px = px;
  run.cy = d.dcStack.yFlip ? d.yOrigin + py : d.yOrigin - py;
  run.place.advanceScale = run.k * aspect;
}

std::int32_t TQVTextOutput::OutlineIntoPath(OutlineRun& run) {
  // Inside a path bracket the outlines join the path, placed point by point.
  TQVGenericPSDevice& d = d_;
  d.PrepareDraw();
  run.place.xOffset = run.px;
  run.place.yOffset = run.cy;
  run.place.xScale = run.place.advanceScale;
  run.place.yScale = run.k * run.sy;
  const std::size_t before = d.workBuffer.Size();
  const std::int32_t result =
      TextAsOutline(d.screenDC, run.text, run.count, run.glyphFont, run.ignoreSpacing,
                    run.glyphIndices, d.pathNesting, d.workBuffer, run.em, run.advances, run.place);
  if (d.workBuffer.Size() > before) d.pathPending = true;  // blanks add nothing
  return result;
}

std::int32_t TQVTextOutput::OutlineIntoContent(OutlineRun& run) {
  // Outside a bracket the outlines are filled in a level of their own, glyph space set by cm.
  TQVGenericPSDevice& d = d_;
  d.transformDirty = true;
  d.PrepareDraw();
  TQVPDFDeviceWorkBuffer& b = d.workBuffer;
  const std::size_t before = b.Size();
  const std::int32_t divisor = b.Divisor() > 1 ? b.Divisor() : 1;
  const long double m[6] = {run.place.advanceScale / divisor,
                            0,
                            0,
                            run.k * run.sy / divisor,
                            run.px / divisor,
                            run.cy / divisor};
  char number[kMaxNumberChars + 1];
  b.AddString("q ");
  for (int i = 0; i < 6; ++i) {
    std::size_t n = FormatFixed(number, m[i], i < 4 ? 9 : 5);
    number[n++] = ' ';
    b.AddString(std::string_view(number, n));
  }
  b.AddString("cm ");
  b.AddColor(run.level->textColor, &d.textColorRecord, {}, 1);
  const std::size_t body = b.Size();
  b.SetDivisor(1);
  std::int32_t result;
  try {
    result = TextAsOutline(d.screenDC, run.text, run.count, run.glyphFont, run.ignoreSpacing,
                           run.glyphIndices, 0, b, run.em, run.advances, run.place);
  } catch (...) {
    b.SetDivisor(divisor);
    throw;
  }
  b.SetDivisor(divisor);
  if (result == TQVGenericPSDevice::kOutlineFailed || b.Size() == body)
    b.Truncate(before);
  else
    b.AddString("Q ");
  return result;
}

std::int32_t TQVTextOutput::TextAsOutline(qvplatform::HDC dc, const char16_t* text,
                                          std::int32_t length, const qvplatform::LOGFONTW& font,
                                          bool ignoreSpacing, bool glyphIndices,
                                          std::int32_t pathNesting, TQVPDFDeviceWorkBuffer& buffer,
                                          long double emSize, const std::int32_t* spacing,
                                          const TQVOutlinePlacement& placement) {
  constexpr std::int32_t kFailed = TQVGenericPSDevice::kOutlineFailed;
  if (text == nullptr || length <= 0) return 0;
  if (!(emSize > 0)) emSize = 1;
  // The em of 1024 units; a stretched font keeps its stretch at that em.
  qvplatform::LOGFONTW lf = font;
  lf.lfHeight = -static_cast<std::int32_t>(kOutlineEm);
  if (lf.lfWidth != 0) lf.lfWidth = qvplatform::Round32(kOutlineEm / emSize * lf.lfWidth);
  TQVScreenFont selected(dc, lf);

  const long double perUnit = placement.advanceScale > 0 ? placement.advanceScale : 1;
  const std::int32_t* dx = nullptr;
  std::int32_t sum = 0;
  if (spacing) {
    std::vector<std::int32_t>& scaled = outlineDx_;
    scaled.resize(static_cast<std::size_t>(length));
    for (std::int32_t i = 0; i < length; ++i)
      scaled[static_cast<std::size_t>(i)] = qvplatform::Round32(spacing[i] / perUnit);
    sum = SumAdvances(spacing, length);
    if (!ignoreSpacing) dx = scaled.data();
  }

  const qvplatform::UINT previousAlign = qvplatform::SetTextAlign(dc, qvplatform::TA_BASELINE);
  struct AlignBack {
    qvplatform::HDC dc;
    qvplatform::UINT align;
    ~AlignBack() {
      if (align != qvplatform::GDI_ERROR) qvplatform::SetTextAlign(dc, align);
    }
  } alignBack{dc, previousAlign};
  if (qvplatform::BeginPath(dc) == 0) return kFailed;
  const bool drawnByGdi =
      qvplatform::ExtTextOutW(dc, 0, 0, glyphIndices ? qvplatform::ETO_GLYPH_INDEX : 0, nullptr,
                              text, static_cast<qvplatform::UINT>(length), dx) != 0;
  qvplatform::EndPath(dc);
  if (!drawnByGdi) return kFailed;
  if (!spacing) sum = qvplatform::Round32(GdiExtent(dc, text, length, glyphIndices) * perUnit);
  const int count = qvplatform::GetPath(dc, nullptr, nullptr, 0);
  if (count < 0) return kFailed;
  if (count == 0) return sum;  // blanks only: nothing to fill
  pathPoints_.resize(static_cast<std::size_t>(count));
  pathTypes_.resize(static_cast<std::size_t>(count));
  if (qvplatform::GetPath(dc, pathPoints_.data(), pathTypes_.data(), count) != count)
    return kFailed;
  std::int32_t start = 0;
  while (start < count && (pathTypes_[static_cast<std::size_t>(start)] & qvplatform::PT_MOVETO) !=
                              qvplatform::PT_MOVETO)
    ++start;
  if (start == count) return kFailed;
  if (!d_.WritePathPoints(pathPoints_.data() + start, pathTypes_.data() + start, count - start,
                          placement.xOffset, placement.yOffset, placement.xScale, placement.yScale,
                          buffer))
    return kFailed;
  buffer.AddString(pathNesting > 0 ? "\n" : " f\n");
  return sum;
}

}  // namespace vellora
