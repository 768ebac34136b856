// Measuring a text: the PDF font size, horizontal scaling, target and measured widths, the
// alignment shift, and the character and word spacing that make the two widths agree.
#include <cmath>

#include "QVPdfDC/text_output.h"
#include "QVPdfDC/text_output_call.h"
#include "qvplatform/numbers.h"
#include "qvplatform/text_measure.h"
#include "qvplatform/text_metrics.h"

namespace vellora {

namespace {

long double Finite(long double value) { return std::isfinite(value) ? value : 0.0L; }

}  // namespace

long double TQVTextOutput::CellToEm(std::int32_t cellHeight) {
  // The largest size h - k/2 (k = 0, 1, ...) whose text height fits the cell: the size the
  // font's own stepping gives, found by bisection (the text height grows with the size), so
  // it costs O(log h) queries and ends for every answer of the hook.
  const long double h = cellHeight;
  const auto fits = [&](long double size) {
    std::int32_t first = 0, second = 0;
    d_.FontVerticalMetrics(first, second, static_cast<float>(size));
    return second <= cellHeight;
  };
  if (fits(h)) return h;
  const std::int64_t last = 2 * std::int64_t{cellHeight} - 1;  // the smallest positive size
  if (last < 1 || !fits(h - last / 2.0L)) return h;            // no size fits: keep the cell
  std::int64_t lo = 0, hi = last;                              // lo does not fit, hi fits
  while (hi - lo > 1) {
    const std::int64_t mid = lo + (hi - lo) / 2;
    if (fits(h - mid / 2.0L))
      hi = mid;
    else
      lo = mid;
  }
  return h - hi / 2.0L;
}

void TQVTextOutput::FontSize(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVDCStackVar& v = V();
  TQVTextRequest& r = c.r;
  const std::int32_t h = c.lf.lfHeight;
  long double size = h < 0 ? -static_cast<long double>(h) : CellToEm(h);
  size *= d.fontSizeScale;
  if (d.modes.Has(qvInputIsWMFData) && r.spacing) {
    for (std::int32_t i = 0; i < r.length; ++i) {
      qvplatform::SIZE extent;
      const bool above = r.wide ? r.wide[i] > 32 : static_cast<unsigned char>(r.ansi[i]) > 32;
      if (!above) continue;
      const qvplatform::BOOL ok =
          r.wide ? qvplatform::GetTextExtentPoint32W(d.screenDC, r.wide + i, 1, &extent)
                 : qvplatform::GetTextExtentPoint32A(d.screenDC, r.ansi + i, 1, &extent);
      if (ok) r.spacing[i] = extent.cx;
    }
    c.total = SumAdvances(r.spacing, r.length);
  }
  // Bar codes in "*...*" drawn below one unit high.
  const long double m22 = std::fabs(static_cast<long double>(d.dcStack.Matrix().eM22));
  if (m22 != 0 && size * m22 < 1 && v.faceName == "Arial" && c.a8.size() > 2 &&
      c.a8.front() == '*' && c.a8.back() == '*')
    size = size / m22 / 3 * 2;
  c.size = Finite(size);
  d.FontVerticalMetrics(c.first, c.second, static_cast<float>(c.size));
  c.boldSim = (c.lf.lfWeight > 400 && v.boldFaceAvailable) || v.simulateBold;
}

void TQVTextOutput::HorizontalScale(Call& c) {
  TQVGenericPSDevice& d = d_;
  long double factor = 0;
  const long double width = std::fabs(static_cast<long double>(c.lf.lfWidth));
  if (c.lf.lfWidth != 0 && c.lf.lfWidth != 400 && !c.cjk) {
    if (c.charset == 2) {
      const long double average = d.GetFontValue() * c.size / 1000;
      factor = average != 0 ? width / average : 0;
    } else {
      qvplatform::LOGFONTW plain = c.lf;
      plain.lfWidth = 0;
      TQVScreenFont font(d.screenDC, plain);
      qvplatform::TEXTMETRICW tm;
      if (qvplatform::GetTextMetricsW(d.screenDC, &tm) != 0 && tm.tmAveCharWidth > 0)
        factor = width / tm.tmAveCharWidth;
      if (c.lf.lfWeight > 699) {
        factor /= 1.15L;
        c.exact = true;
      }
    }
  }
  float hz = static_cast<float>(Finite(factor));
  if (hz == 1.0f) hz = 0;
  if (hz != 0) {
    c.perChar = c.exact;
    c.exact = false;
  }
  c.hz = hz;
  V().horizontalScale = hz;
}

void TQVTextOutput::Widths(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVDCStackVar& v = V();
  TQVTextRequest& r = c.r;
  const std::uint32_t align = v.textAlignFlags;
  // A trailing blank of left-aligned text does not count.
  const bool trailing = !c.cjk && r.length > 1 &&
                        c.a8.size() >= static_cast<std::size_t>(r.length) && c.a8.back() == ' ' &&
                        (align & (kAlignRight | kAlignCenter | kAlignUpdateCP)) == 0;
  const std::int32_t count = trailing ? r.length - 1 : r.length;
  c.targetWidth = SumAdvances(r.spacing, count);
  long double w;
  const bool fromFont = !(((c.cjk || c.exact) && c.targetWidth != 0) || d.CurrentFontKind() != 0);
  if (!fromFont)
    w = c.targetWidth;
  else if (r.wide)
    w = d.TextWidthW(r.wide, count, static_cast<float>(c.size));
  else
    w = d.TextWidthA(c.a8.data(),
                     std::min<std::int32_t>(count, static_cast<std::int32_t>(c.a8.size())),
                     static_cast<float>(c.size));
  // (Heavy text written character by character keeps the font's own factor.)
  if (c.hz != 0 && fromFont && r.spacing && !c.perChar) ScaleToArray(c, w);
  if (c.hz != 0) w *= c.hz;
  // Unrounded: the spacing makes up the difference to the array exactly.
  c.measuredWidth = Finite(w * d.dcStack.aspect);
  // Without an array the text is as wide as the font makes it, in the same logical units.
  if (!r.spacing) c.targetWidth = qvplatform::Round32(c.measuredWidth);
  c.shift = (align & kAlignRight)    ? Negated(c.targetWidth)
            : (align & kAlignCenter) ? -(c.targetWidth / 2)
                                     : 0;
  if (align & kAlignUpdateCP) {
    const bool back = v.font.lfEscapement == 1800 || (align & (kAlignRight | kAlignCenter));
    d.currentX = qvplatform::ClampToInt32(std::int64_t{r.x} +
                                          (back ? -std::int64_t{c.targetWidth} : c.targetWidth));
    d.currentY = r.y;
    d.stateChanged = true;
  }
}

void TQVTextOutput::ScaleToArray(Call& c, long double naturalWidth) {
  // A narrowed or widened font is drawn at the array's width: the producer's face set the
  // advances, and the average width of the face written here may differ from its own.
  const long double aspect = d_.dcStack.aspect != 0 ? d_.dcStack.aspect : 1;
  const long double natural = naturalWidth * aspect;
  if (!(natural > 0) || c.targetWidth <= 0) return;
  const long double factor = c.targetWidth / natural;
  // An array far from the scaled font is spacing, not scaling: the font's factor stays.
  if (!std::isfinite(factor) || factor < c.hz / 4 || factor > c.hz * 4) return;
  c.hz = factor;
  V().horizontalScale = static_cast<float>(factor);
}

bool TQVTextOutput::MeasuredFits(const Call& c) {
  // Within half a logical unit the array cannot say more: its advances are whole units.
  return std::fabs(c.targetWidth - c.measuredWidth) < 0.5L;
}

void TQVTextOutput::FitLettersToShapedWidth(Call& c) {
  // The separate letters are wider than the joined glyphs the array measured: scaled as one
  // they keep the line's extent and stay legible (squeezed one by one they would overlap).
  if (c.hz != 0 || c.measuredWidth <= 0 || c.targetWidth <= 0 || MeasuredFits(c)) return;
  const long double factor = c.targetWidth / c.measuredWidth;
  c.hz = factor;
  V().horizontalScale = static_cast<float>(factor);
  c.measuredWidth = c.targetWidth;
}

void TQVTextOutput::Spacing(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVDCStackVar& v = V();
  TQVTextRequest& r = c.r;
  v.charSpacing = 0;
  v.wordSpacing = 0;
  if (c.hz != 0 || r.length < 2 || MeasuredFits(c) || c.exact ||
      d.modes.Has(qvDontAdjustTextSpacing) || c.cjk || c.boldSim || CidBranch(c))
    return;
  // Blanks of the 8-bit text, the last character not counted unless the current point moves.
  std::size_t counted = c.a8.size();
  if (!(v.textAlignFlags & kAlignUpdateCP) && counted > 0) --counted;
  std::int64_t n = 0;
  for (std::size_t i = 0; i < counted; ++i) n += c.a8[i] == ' ';
  const long double size = c.size;
  const std::int32_t weight = c.lf.lfWeight;
  const long double target = c.targetWidth, measured = c.measuredWidth;
  long double gap = (weight >= 301 && weight != 400) ? target - 1.1L * measured : target - measured;
  // Text space is content space: logical units over the divisor, x also over the text scale.
  const std::int32_t divisor = d.workBuffer.Divisor() > 1 ? d.workBuffer.Divisor() : 1;
  const long double aspect = d.dcStack.aspect != 0 ? d.dcStack.aspect : 1;
  const long double unit = divisor * aspect;
  long double tw = 0, tc = 0;
  // Turned text spreads nothing. A y-mirroring mapping alone marks the text rotated (its
  // matrix differs from the identity) but leaves it level: that text is spread like any other.
  const bool turned = d.textRotated && d.textAngle != 0;
  if (gap != 0 && !turned) {
    if (n > 0) {
      const long double blank = Finite(d.TextWidthA(" ", 1, static_cast<float>(size)));
      if (gap / n + blank / 2 >= 0) {
        tw = gap / n / unit;
        gap = 0;
      } else {
        tw = -blank / 2 / unit;
        gap += n * blank / 2;
      }
      --n;
    }
    // An all-blank text under update-current-position leaves no character to spread over.
    const long double over = r.length - n - 1;
    if (gap != 0 && over > 0) {
      long double per = gap / over;
      if (per < -size / 5) per = -size / 5;
      tc = per / unit;
    }
    const XFORM& world = v.world;
    if (world.eM11 != 0 && world.eM22 != 0) {
      const long double ratio = std::fabs(static_cast<long double>(world.eM22) / world.eM11);
      if (ratio > 1) {
        tw /= ratio;
        if (std::fabs(tw) < 0.9L) tw = 0;
        tc /= ratio;
      }
    }
  }
  v.charSpacing = static_cast<float>(Finite(tc));
  v.wordSpacing = static_cast<float>(Finite(tw));
}

}  // namespace vellora
