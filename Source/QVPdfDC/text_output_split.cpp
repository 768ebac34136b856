// Texts drawn in separate runs: italic slanted by hand, the first two characters apart, CJK text
// character by character; and the direct-drawing entry points.
#include <cmath>
#include <cstring>
#include <numbers>

#include "QVGenDC/face_name.h"
#include "QVPdfDC/text_clip_guard.h"
#include "QVPdfDC/text_output.h"
#include "QVPdfDC/text_output_call.h"
#include "qvplatform/device_context.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

constexpr std::uint32_t kHorizontalAlign = kAlignRight | kAlignCenter | kAlignUpdateCP;

}  // namespace

std::int32_t AdvanceRequest(TQVTextRequest& r, std::int32_t count) {
  const std::int32_t advance = SumAdvances(r.spacing, count);
  r.x = qvplatform::ClampToInt32(std::int64_t{r.x} + advance);
  r.clip.left = qvplatform::ClampToInt32(std::int64_t{r.clip.left} + advance);
  if (r.wide) r.wide += count;
  if (r.ansi) r.ansi += count;
  if (r.spacing) r.spacing += count;
  r.length -= count;
  return advance;
}

void TQVTextOutput::Slanted(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVTextRequest& r = c.r;
  TQVDCStackVar& v = V();
  d.EndText();
  const std::uint32_t align = v.textAlignFlags;
  if (align & kAlignUpdateCP) {
    r.x = d.currentX;
    r.y = d.currentY;
  }
  c.lf = WorkingFont();
  FontSize(c);
  // The runs are placed here, left to right from the aligned start.
  const std::int32_t width = c.total;
  const std::int32_t shift = (align & kAlignRight)    ? Negated(width)
                             : (align & kAlignCenter) ? -(width / 2)
                                                      : 0;
  c.box = ComputeBox(r.x, r.y, width, shift, c.first, c.second, r.clip);
  c.clipOpen = BoxAndBackground(c.box, r.options, r.clip, width);
  const TQVTextClipGuard clipGuard(*this, c.clipOpen);
  if (align & kAlignUpdateCP) {
    const bool back = v.font.lfEscapement == 1800 || (align & (kAlignRight | kAlignCenter));
    d.currentX =
        qvplatform::ClampToInt32(std::int64_t{r.x} + (back ? -std::int64_t{width} : width));
    d.currentY = r.y;
  }
  const std::int64_t lean = std::llabs(std::int64_t{c.lf.lfHeight}) / 10;
  std::int64_t x = std::int64_t{r.x} + shift;
  {
    TQVScopedValue<std::uint32_t> left(v.textAlignFlags, align & ~kHorizontalAlign);
    for (std::int32_t i = 0; i < r.length; ++i) {
      {
        TQVScopedValue<bool> slant(d.slant, true);
        TQVScopedValue<qvplatform::BYTE> upright(v.font.lfItalic, 0);
        d.EndText();  // each character gets its own slanted text matrix
        TQVTextRequest one = r;
        one.x = qvplatform::ClampToInt32(x + lean);
        one.clip = qvplatform::RECTL{};
        one.options &= ~(qvplatform::ETO_OPAQUE | qvplatform::ETO_CLIPPED);
        if (one.wide) one.wide += i;
        if (one.ansi) one.ansi += i;
        one.spacing += i;
        one.length = 1;
        Draw(one);
        d.EndText();
      }
      x += r.spacing[i];
    }
  }
  CloseClip(c.clipOpen);
}

void TQVTextOutput::FirstWordApart(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVTextRequest& r = c.r;
  const TQVDCStackVar& v = V();
  if (!d.modes.Has(kModeFirstWordApart) || c.perChar || c.exact || v.font.lfEscapement != 0 ||
      c.cjk || d.cjkPerCharacter || (v.textAlignFlags & kHorizontalAlign) || !r.wide ||
      !r.spacing || r.length <= 3 || r.wide[0] <= u' ' || (r.wide[1] != u' ' && r.wide[1] != u'\t'))
    return;
  for (int i = 0; i < 2; ++i) {
    TQVTextRequest one = r;
    one.length = 1;
    Draw(one);
    AdvanceRequest(r, 1);
  }
  c.total = SumAdvances(r.spacing, r.length);
}

bool TQVTextOutput::CjkPerCharacter(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVTextRequest& r = c.r;
  if (!c.cjk || !r.spacing || d.cjkPerCharacter) return false;
  if (!r.wide) WidenAnsi(c);  // one run per character, not per byte
  TQVDCStackVar& v = V();
  const std::uint32_t align = v.textAlignFlags;
  // Advance direction in logical units along the escapement (as it turns on the page),
  // exact for the quarter turns.
  const long double down = DownSign() * TurnSign();
  long double dx = 1, dy = 0;
  const std::int32_t escapement = v.font.lfEscapement % 3600;
  switch (escapement) {
    case 0:
      break;
    case 1800:
    case -1800:
      dx = -1;
      break;
    case 900:
    case -2700:
      dx = 0, dy = -down;
      break;
    case 2700:
    case -900:
      dx = 0, dy = down;
      break;
    default: {
      const long double angle = escapement / 1800.0L * std::numbers::pi_v<long double>;
      dx = std::cos(angle);
      dy = -down * std::sin(angle);
    }
  }
  const long double total = SumAdvances(r.spacing, r.length);
  const long double back = (align & kAlignRight) ? total : (align & kAlignCenter) ? total / 2 : 0;
  long double x = r.x - back * dx, y = r.y - back * dy;
  {
    TQVScopedValue<bool> perCharacter(d.cjkPerCharacter, true);
    TQVScopedValue<std::uint32_t> left(v.textAlignFlags, align & ~kHorizontalAlign);
    TQVTextScratch& s = *c.s;
    for (std::int32_t i = 0; i < r.length; ++i) {
      const bool ascii = r.wide[i] < 128;
      qvplatform::WCHAR savedFace[qvplatform::LF_FACESIZE];
      std::memcpy(savedFace, v.font.lfFaceName, sizeof savedFace);
      s.face = v.faceName;
      const qvplatform::BYTE savedCharset = v.font.lfCharSet;
      // Latin letters inside CJK text take the face set for them.
      if (ascii) {
        v.font.lfCharSet = 1;
        if (!d.cjkFace.empty()) AssignFaceName(v.font, v.faceName, d.cjkFace);
      }
      struct Back {
        TQVDCStackVar& v;
        const qvplatform::WCHAR* face;
        const std::string& text;
        qvplatform::BYTE charset;
        ~Back() {
          std::memcpy(v.font.lfFaceName, face, sizeof v.font.lfFaceName);
          v.faceName = text;
          v.font.lfCharSet = charset;
        }
      } restoreFont{v, savedFace, s.face, savedCharset};
      TQVScopedValue<bool> inProgress(d.cjkCharacterInProgress, true);
      TQVTextRequest one = r;
      one.x = qvplatform::Round32(x);
      one.y = qvplatform::Round32(y);
      one.wide = r.wide + i;
      one.ansi = nullptr;
      one.spacing = r.spacing + i;
      one.length = 1;
      Draw(one);
      x += r.spacing[i] * dx;
      y += r.spacing[i] * dy;
    }
  }
  if (align & kAlignUpdateCP) {
    d.currentX = qvplatform::Round32(x);
    d.currentY = qvplatform::Round32(y);
    d.stateChanged = true;
  }
  return true;
}

void TQVGenericPSDevice::TextOutDirect(std::int32_t x, std::int32_t y, const char* text,
                                       const RECTL* clip) {
  TQVDCStackVar& v = CurrentDCState();
  TQVScopedValue<std::uint32_t> align(v.textAlignFlags, kAlignBaseline);
  const std::size_t length = text ? std::strlen(text) : 0;
  ExtTextOut(x, y, v.opaque ? qvplatform::ETO_OPAQUE : 0, clip ? *clip : RECTL{}, nullptr, text,
             qvplatform::ClampToInt32(static_cast<std::int64_t>(length)), nullptr);
}

void TQVGenericPSDevice::TextOutDirectEx(std::int32_t x, std::int32_t y, const char16_t* text,
                                         const std::int32_t* spacing, std::int32_t length,
                                         const RECTL* clip) {
  TQVDCStackVar& v = CurrentDCState();
  TQVScopedValue<std::uint32_t> align(v.textAlignFlags, kAlignBaseline);
  ExtTextOut(x, y, v.opaque ? qvplatform::ETO_OPAQUE : 0, clip ? *clip : RECTL{}, text, nullptr,
             text ? length : 0, spacing);
}

}  // namespace vellora
