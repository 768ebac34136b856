// ExtTextOut: the request copied, its separate runs, the decisions that come before measuring, and
// the order of the main road.
#include "QVPdfDC/text_output.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "QVGenDC/face_name.h"
#include "QVPdfDC/text_clip_guard.h"
#include "QVPdfDC/text_output_call.h"
#include "qvplatform/device_context.h"
#include "qvplatform/font_service.h"
#include "qvplatform/numbers.h"
#include "qvplatform/text_metrics.h"

namespace vellora {

namespace {

using qvplatform::ETO_GLYPH_INDEX;
using qvplatform::ETO_OPAQUE;

// Runs nest at most a few levels (blank, word, first characters, one character); deeper
// requests cannot arise and are not drawn.
constexpr std::size_t kMaxDepth = 8;

std::int32_t AddClamped(std::int32_t a, std::int32_t b) {
  return qvplatform::ClampToInt32(std::int64_t{a} + b);
}

}  // namespace

void TQVGenericPSDevice::TextOutputDeleter::operator()(TQVTextOutput* output) const {
  delete output;
}

TQVTextOutput& TQVGenericPSDevice::TextOutput() {
  if (!textOutput_) textOutput_.reset(new TQVTextOutput(*this));
  return *textOutput_;
}

void TQVGenericPSDevice::ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options,
                                    const RECTL& clip, const char16_t* wideText,
                                    const char* ansiText, std::int32_t length,
                                    const std::int32_t* spacing) {
  TextOutput().Draw(x, y, options, clip, wideText, ansiText, length, spacing);
}

TQVTextOutput::TQVTextOutput(TQVGenericPSDevice& device) : d_(device) {}

TQVTextScratch& TQVTextOutput::Scratch(std::size_t level) {
  while (levels_.size() <= level) levels_.push_back(std::make_unique<TQVTextScratch>());
  return *levels_[level];
}

void TQVTextOutput::Draw(std::int32_t x, std::int32_t y, std::uint32_t options,
                         const qvplatform::RECTL& clip, const char16_t* wide, const char* ansi,
                         std::int32_t length, const std::int32_t* spacing) {
  if (depth_ >= kMaxDepth) return;
  TQVTextScratch& s = Scratch(depth_);
  TQVScopedValue<std::size_t> level(depth_, depth_ + 1);
  TQVTextRequest r;
  r.x = x;
  r.y = y;
  r.options = options;
  r.clip = clip;
  const std::size_t n = length > 0 ? static_cast<std::size_t>(length) : 0;
  r.length = static_cast<std::int32_t>(n);
  // Work on copies: the caller's text may be the metafile's own bytes.
  if (wide) {
    s.wide.assign(wide, n);
    r.wide = s.wide.data();
  }
  if (ansi) {
    s.ansi.assign(ansi, n);
    r.ansi = s.ansi.data();
  }
  if (spacing && n > 0) {
    s.spacing.assign(spacing, spacing + n);
    r.spacing = s.spacing.data();
  }
  Run(r, s);
}

void TQVTextOutput::Run(TQVTextRequest r, TQVTextScratch& s) {
  TQVGenericPSDevice& d = d_;
  // Character set and weight are changed for this request only.
  struct Restore {
    TQVTextOutput& out;
    qvplatform::BYTE charset;
    qvplatform::LONG weight;
    ~Restore() {
      TQVDCStackVar& v = out.V();
      v.font.lfCharSet = charset;
      v.font.lfWeight = weight;
    }
  } restore{*this, V().font.lfCharSet, V().font.lfWeight};

  // Each pass is one request; a text split into words continues with its rest. What a pass
  // finds out about the whole text holds for its rest, so a pass costs the length of one
  // word, not of the rest.
  bool firstPass = true;
  std::int32_t total = SumAdvances(r.spacing, r.length);
  for (;;) {
    TQVDCStackVar& v = V();
    Call c;
    c.s = &s;
    if (v.opaque) r.options |= ETO_OPAQUE;
    // A leading blank alone (its advance must be known).
    if (r.wide && r.spacing && r.length > 1 && r.wide[0] == u' ') {
      TQVTextRequest blank = r;
      blank.length = 1;
      Draw(blank);
      total = qvplatform::ClampToInt32(std::int64_t{total} - AdvanceRequest(r, 1));
    }
    if (d.openObject == TQVGenericPSDevice::kOpenText && v.escapementChanged) d.EndText();

    if (EqualsNoCase(v.faceName, "WingDings") && v.font.lfCharSet != 2) {
      v.font.lfCharSet = 2;
      c.symbol = true;
    } else {
      c.symbol = v.font.lfCharSet == 2 && !EqualsNoCase(v.faceName, "Cross Stitch 2");
    }
    if (d.forcedCharset > 0) v.font.lfCharSet = static_cast<qvplatform::BYTE>(d.forcedCharset);
    // A later pass finds nothing new: the first one scanned the whole text, or stopped at a
    // script change, after which the character set is no longer 0 or 1.
    bool mixed = false;
    if (firstPass && !d.cjkPerCharacter && r.wide &&
        (v.font.lfCharSet == 0 || v.font.lfCharSet == 1))
      mixed = DetectScript(r);
    if (firstPass && !c.symbol && !d.cjkPerCharacter && d.forcedCharset <= 0 && r.wide &&
        v.font.lfCharSet != 2 && !IsCjkCharset(v.font.lfCharSet)) {
      // The text stays text only in a set whose code page holds its characters.
      const TQVCharsetFit fit = FitCharset(r.wide, r.length, v.font.lfCharSet);
      // Runs, outlines and visual order all need each character's advance.
      const bool rightToLeft = v.font.lfCharSet == 177 || v.font.lfCharSet == 178;
      if (!r.spacing && r.length > 0 && (fit.held < r.length || rightToLeft)) {
        NaturalAdvances(r, s);
        total = SumAdvances(r.spacing, r.length);
      }
      if (fit.held < r.length && fit.elsewhere && CanSplitByCharset(r)) {
        std::int32_t cut = WordStart(r.wide, fit.held);
        if (cut == 0) cut = FirstWordEnd(r.wide, r.length);
        if (cut < r.length) {
          // Each run finds its own set.
          v.font.lfCharSet = restore.charset;
          TQVTextRequest head = r;
          head.length = cut;
          Draw(head);
          total = qvplatform::ClampToInt32(std::int64_t{total} - AdvanceRequest(r, cut));
          continue;
        }
      }
      v.font.lfCharSet = static_cast<qvplatform::BYTE>(fit.charset);
    }
    c.charset = v.font.lfCharSet;
    c.cjk = IsCjkCharset(c.charset);
    if (EqualsNoCase(v.faceName, "SimSun"))
      v.font.lfWeight = 700;
    else if (EqualsNoCase(v.faceName, "Arial Black"))
      v.font.lfWeight = 0;
    c.total = total;
    c.r = r;

    const bool outline = c.symbol || d.modes.Has(kModeTextAsOutlines) || d.pathNesting > 0 ||
                         (r.options & ETO_GLYPH_INDEX) != 0 ||
                         ((d.contentOptions.pdfAConformance || d.contentOptions.cidFontMode != 0) &&
                          c.cjk && !d.modes.Has(kModeCjkAsText)) ||
                         (c.charset == 178 && d.modes.Has(kModeArabicAsOutlines)) ||
                         (c.charset == 177 && d.modes.Has(kModeHebrewAsOutlines)) ||
                         (d.contentOptions.cidFontMode == 0 && !d.cjkCharacterInProgress &&
                          r.wide && r.length == 1 && r.wide[0] > 0xF8FF);
    if (outline) return OutlineRoad(c);

    if (!r.wide && !r.ansi) return;
    if (r.wide && r.length > 0 &&
        (r.wide[0] == 0 || (r.length == 1 && r.wide[0] <= 31 && !c.symbol)))
      return;
    d.WriteTextState(nullptr, 0);

    if (v.font.lfItalic && !d.slant && (ItalicAsArial() || d.modes.Has(kModeItalicAsArial))) {
      if (!v.italicFaceAvailable) {
        AssignFaceName(v.font, v.faceName, "Arial");
        c.italicArial = true;
      }
    } else if (!d.wordSplitInProgress && !d.slant && v.font.lfItalic && !v.italicFaceAvailable &&
               r.spacing && r.length > 0) {
      return Slanted(c);
    }

    if ((d.splitAtBlanks || mixed) && !d.wordSplitInProgress && r.spacing && r.wide &&
        r.length > 0 && v.font.lfEscapement == 0 &&
        !(d.contentOptions.cidFontMode != 0 && d.WriterState().fontIsCID)) {
      const std::int32_t cut = FirstWordEnd(r.wide, r.length);
      if (cut < r.length) {
        {
          TQVScopedValue<bool> split(d.wordSplitInProgress, true);
          TQVTextRequest head = r;
          head.length = cut;
          Draw(head);
        }
        total = qvplatform::ClampToInt32(std::int64_t{total} - AdvanceRequest(r, cut));
        firstPass = false;
        continue;
      }
    }
    return Main(c);
  }
}

bool TQVTextOutput::CanSplitByCharset(const TQVTextRequest& r) {
  const TQVDCStackVar& v = V();
  // Runs are placed from the left by the array's advances; a CID font needs no code page.
  return r.spacing && r.length > 1 && v.font.lfEscapement == 0 &&
         (v.textAlignFlags & (kAlignRight | kAlignCenter | kAlignUpdateCP)) == 0 &&
         !(d_.contentOptions.cidFontMode != 0 && d_.WriterState().fontIsCID);
}

// The screen DC's mapping never changes, so equal logical fonts have equal metrics.
void TQVTextOutput::ReadFontMetrics(Call& c) {
  FontMetrics& m = lastMetrics_;
  if (!m.known || std::memcmp(&m.font, &c.lf, sizeof c.lf) != 0) {
    qvplatform::OUTLINETEXTMETRICW otm;
    m.found = qvplatform::GetOutlineTextMetricsW(d_.screenDC, sizeof otm, &otm) != 0;
    if (m.found) {
      m.descent = std::max<std::int32_t>(1, otm.otmTextMetrics.tmDescent);
      m.strikeOffset = otm.otmsStrikeoutPosition;
    }
    m.font = c.lf;
    m.known = true;
  }
  if (m.found) {
    c.descent = m.descent;
    c.strikeOffset = m.strikeOffset;
  }
}

void TQVTextOutput::Main(Call& c) {
  TQVGenericPSDevice& d = d_;
  TQVDCStackVar& v = V();
  TQVTextRequest& r = c.r;
  if (r.length == 0) return EmptyText(c);
  if (v.textAlignFlags & kAlignUpdateCP) {
    r.x = d.currentX;
    r.y = d.currentY;
  }
  if (c.cjk) d.lastCjkBaseline = r.y;
  // A Type0 font takes two-byte codes: 8-bit text becomes wide text first.
  if (d.contentOptions.cidFontMode != 0 && !r.wide && r.ansi) WidenAnsi(c);

  const bool unshowable = r.wide && r.spacing && !d.modes.Has(kModeKeepMissingGlyphs);
  const bool byGlyphs = unshowable && (d.contentOptions.cidFontMode != 0 ||
                                       ((c.charset == 0 || c.charset == 1) && !d.cjkPerCharacter));
  if (byGlyphs) {
    // The faces the PDF side replaces, so that the glyph check asks the face written.
    if (EqualsNoCase(v.faceName, "MS Sans Serif") ||
        EqualsNoCase(v.faceName, kSansSerifReplacement))
      AssignFaceName(v.font, v.faceName, kSansSerifReplacement);
    else if (EqualsNoCase(v.faceName, "System"))
      AssignFaceName(v.font, v.faceName, "Courier New");
  }
  c.lf = WorkingFont();
  TQVScreenFont font(d.screenDC, c.lf, screenFonts_);
  if (unshowable) MissingGlyphs(c, byGlyphs);

  ReadFontMetrics(c);

  if (d.forceExactPositioning ||
      (d.modes.Has(qvExactTextPositioning) || c.italicArial || d.slant || r.y == d.lastCjkBaseline))
    c.exact = c.perChar = true;
  if (c.charset == 2) {
    std::string& lower = c.s->face;
    lower = v.faceName;
    for (char& ch : lower)
      if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    if (lower.find("3 of 9") == std::string::npos && lower.find("barcode") == std::string::npos)
      c.exact = c.perChar = true;
  }

  FirstWordApart(c);
  Shape(c);
  if (c.shaped || !r.ansi) {
    d.ConvertWideText(r.wide, r.length, c.s->bytes);
    c.a8 = c.s->bytes;
  } else {
    c.a8 = std::string_view(r.ansi, static_cast<std::size_t>(r.length));
  }
  if (CjkPerCharacter(c)) return;

  FontSize(c);
  HorizontalScale(c);
  Widths(c);
  if (c.shaped && !CidBranch(c)) FitLettersToShapedWidth(c);

  c.box = ComputeBox(r.x, r.y, c.targetWidth, c.shift, c.first, c.second, r.clip);
  c.clipOpen = BoxAndBackground(c.box, r.options, r.clip, c.targetWidth);
  const TQVTextClipGuard clipGuard(*this, c.clipOpen);

  std::int32_t bx = r.x, by = r.y;
  BeginText(bx, by);
  Spacing(c);
  if (!Links(c)) return;
  d.WriteTextState(&d.workBuffer, TextSpaceSize(c.size));
  // Text-space start: relative to the matrix's origin when it holds the reference point.
  const long double aspect = d.dcStack.aspect;
  const long double yBase = static_cast<long double>(by) + c.box.baselineOffset;
  c.tx = bx;
  c.ty = d.dcStack.yFlip ? d.yOrigin + yBase : d.yOrigin - yBase;
  if (originInMatrix) c.ty -= d.yOrigin;
  // Text space's y is turned round exactly where BeginText turns the text matrix's (its
  // sign v); the two must change together.
  if (d.dcStack.yMirrored) c.ty = -c.ty;
  if (aspect != 1 && aspect != 0) c.tx = std::round(c.tx / aspect);
  c.tx += aspect != 0 ? c.shift / aspect : c.shift;
  Write(c);
  Lines(c.lf, AddClamped(r.x, c.shift), AddClamped(r.y, c.box.baselineOffset), c.targetWidth,
        c.descent, c.strikeOffset);
  CloseClip(c.clipOpen);
}

void TQVTextOutput::BeginText(std::int32_t& x, std::int32_t& y) {
  TQVGenericPSDevice& d = d_;
  d.dcStack.TextMatrix();  // settles the rotation
  // Positions of a rotated text are relative to its own origin: one text object each.
  if (d.textRotated) d.textRotationChanged = true;
  const long double scale = d.dcStack.aspect;
  bool reopen = d.openObject != TQVGenericPSDevice::kOpenText || d.transformDirty ||
                d.textRotationChanged || scale != 1;
  bool matrix =
      reopen || d.textMatrixPending || d.textRotationChanged || d.dcStack.yFlip || scale != 1;
  // An origin left in the matrix by an earlier text belongs to that text.
  if (originInMatrix && !matrix) {
    d.EndText();
    reopen = matrix = true;
  }
  const bool consume = matrix && (d.textRotationChanged || d.slant);
  d.BeginText(x, y);
  if (matrix) originInMatrix = consume;
}

float TQVTextOutput::TextSpaceSize(long double size) {
  const std::int32_t divisor = d_.workBuffer.Divisor();
  return static_cast<float>(divisor > 1 ? size / divisor : size);
}

void TQVTextOutput::WriteTd(long double x, long double y) {
  TQVGenericPSDevice& d = d_;
  const std::int64_t ix = qvplatform::Round(x), iy = qvplatform::Round(y);
  d.workBuffer.AddCoord(qvplatform::ClampToInt32(ix - d.textDeltaX));
  d.workBuffer.AddCoord(qvplatform::ClampToInt32(iy - d.textDeltaY));
  d.workBuffer.AddString("Td");
  d.textDeltaX = qvplatform::ClampToInt32(ix);
  d.textDeltaY = qvplatform::ClampToInt32(iy);
}

qvplatform::LOGFONTW TQVTextOutput::WorkingFont() {
  qvplatform::LOGFONTW lf = V().font;
  lf.lfOutPrecision = 0;
  lf.lfClipPrecision = 0;
  lf.lfQuality = 0;
  if (lf.lfHeight == 0) {
    // The default font is 16 device pixels high (cell height), whatever the mapping.
    const qvplatform::POINTL cell = d_.dcStack.LogicalFromDeviceVector(qvplatform::POINTL{0, 16});
    const std::int64_t h = std::llabs(std::int64_t{cell.y});
    lf.lfHeight = h < 1 ? 1 : qvplatform::ClampToInt32(h);
  }
  return lf;
}

long double TQVTextOutput::EmSize(const qvplatform::LOGFONTW& font) {
  if (font.lfHeight < 0) return -static_cast<long double>(font.lfHeight);
  qvplatform::TEXTMETRICW tm;
  if (qvplatform::GetTextMetricsW(d_.screenDC, &tm) != 0 && tm.tmHeight - tm.tmInternalLeading > 0)
    return tm.tmHeight - tm.tmInternalLeading;
  return font.lfHeight > 0 ? font.lfHeight : 1;
}

std::int32_t TQVTextOutput::DownSign() {
  const bool mirrored = d_.dcStack.Matrix().eM22 < 0;
  return d_.dcStack.yFlip != mirrored ? -1 : 1;
}

std::int32_t TQVTextOutput::TurnSign() {
  d_.dcStack.Matrix();  // settles the mirror flag
  return d_.dcStack.yMirrored ? -1 : 1;
}

TQVScreenFont::TQVScreenFont(qvplatform::HDC dc, const qvplatform::LOGFONTW& font) : dc_(dc) {
  if (dc_ == 0) return;
  font_ = qvplatform::CreateFontIndirectW(&font);
  if (font_ != 0) previous_ = qvplatform::SelectObject(dc_, font_);
}

TQVScreenFont::TQVScreenFont(qvplatform::HDC dc, const qvplatform::LOGFONTW& font,
                             TQVScreenFontCache& cache)
    : dc_(dc), owned_(false) {
  if (dc_ == 0) return;
  font_ = cache.Font(font);
  if (font_ != 0) previous_ = qvplatform::SelectObject(dc_, font_);
}

TQVScreenFont::~TQVScreenFont() {
  if (font_ == 0) return;
  qvplatform::SelectObject(
      dc_, previous_ != 0 ? previous_ : qvplatform::GetStockObject(qvplatform::SYSTEM_FONT));
  if (owned_) qvplatform::DeleteObject(font_);
}

TQVScreenFontCache::~TQVScreenFontCache() {
  if (font_ != 0) qvplatform::DeleteObject(font_);
}

qvplatform::HFONT TQVScreenFontCache::Font(const qvplatform::LOGFONTW& font) {
  if (font_ != 0 && std::memcmp(&logFont_, &font, sizeof font) == 0) return font_;
  if (font_ != 0) qvplatform::DeleteObject(font_);
  font_ = qvplatform::CreateFontIndirectW(&font);
  logFont_ = font;
  return font_;
}

}  // namespace vellora
