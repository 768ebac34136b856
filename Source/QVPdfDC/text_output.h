// Text output of the page-content device: one request (a metafile text record or a direct
// call) becomes PDF text operators in the work buffer, or filled glyph outlines where the PDF
// font cannot show the text. Measuring goes through the device's 96 dpi screen DC (GDI font
// from the level's logical font) and through the font hooks the PDF device answers.
//
// Units: positions, advances, widths and font sizes are logical units of the current DC
// level; the content's matrix maps them to the page, text space is content space (divided
// by the coordinate divisor, and horizontally by the DC text scale).
//
// A request is copied into per-level scratch buffers on entry, so the caller's texts and
// spacing array are only read. Runs of a text (a leading blank, words, single characters)
// are drawn one nesting level deeper; the split into words is a loop, so the nesting stays
// shallow whatever the length of the text.
#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QVPdfDC/ps_device.h"
#include "qvplatform/font_types.h"

namespace vellora {

// Mode values that only text output reads (known by number).
constexpr int kModeTextAsOutlines = 18;     // every text as outlines
constexpr int kModeKeepMissingGlyphs = 19;  // no outlines for characters the font lacks
constexpr int kModeFirstWordApart = 25;     // "x yyy": the first two characters alone
constexpr int kModeArabicAsOutlines = 27;   // charset 178 as outlines
constexpr int kModeHebrewAsOutlines = 28;   // charset 177 as outlines
constexpr int kModeCjkAsText = 29;          // CJK text stays text under CID modes and PDF/A
constexpr int kModeItalicAsArial = 30;      // as the process-wide switch below

// Process-wide switch (engine integer property 56): an italic text whose face has no italic
// form is drawn in "Arial" and placed exactly. Off by default.
bool ItalicAsArial();
void SetItalicAsArial(bool value);

// The process-wide sans-serif replacement face.
inline constexpr std::string_view kSansSerifReplacement = "Microsoft Sans Serif";

// Script detection: the character set a character asks for (0 for none), ideographs taking
// ideographCharset.
std::int32_t ScriptCharset(char16_t c, std::int32_t ideographCharset);
constexpr bool IsCjkCharset(std::int32_t charset) {
  return charset == 128 || charset == 129 || charset == 134 || charset == 136;
}
// The character set whose code page holds a text of the given set. A text of set 0 or 1 takes
// the first of the system page 1252 and the Latin pages 1250, 1254, 1257 and 1258 that holds
// it (set 0 or 1 stays when 1252 does); any other set keeps its own page. When no page holds
// the whole text, charset is the one holding its longest beginning, held the length of that
// beginning, and elsewhere tells whether the first character it cannot hold has a page (a
// Latin page or a script of its own), so that the text read on from there can be written as
// text.
struct TQVCharsetFit {
  std::int32_t charset = 0;
  std::int32_t held = 0;
  bool elsewhere = false;
};
TQVCharsetFit FitCharset(const char16_t* text, std::int32_t length, std::int32_t charset);
// The start of the word that holds position (characters up to 32 are blanks).
std::int32_t WordStart(const char16_t* text, std::int32_t position);
// ASCII case-insensitive comparison of face names.
bool EqualsNoCase(std::string_view a, std::string_view b);
// The end of the first word and the blanks after it (characters up to 32 are blanks).
std::int32_t FirstWordEnd(const char16_t* text, std::int32_t length);
// -value, the one value without a negative kept in range.
constexpr std::int32_t Negated(std::int32_t value) {
  return value == INT32_MIN ? INT32_MAX : -value;
}
// The sum of the first count entries (0 without an array), clamped to 32 bits.
std::int32_t SumAdvances(const std::int32_t* spacing, std::int32_t count);
// 8-bit text as UTF-16 in a code page (asCodes: each byte is the code itself), one unit per
// character: a double-byte character's advances are added up. outSpacing may be null.
void WidenBytes(std::uint32_t codePage, bool asCodes, const char* bytes, std::int32_t length,
                const std::int32_t* spacing, std::u16string& out,
                std::vector<std::int32_t>* outSpacing);

// Where TextAsOutline writes the outline points: x = xOffset + xScale * gx, y = yOffset -
// yScale * gy for a glyph point (gx, gy) of the 1024-unit em (y down), divided by the
// buffer's divisor; advanceScale is the logical x of one glyph unit (for the spacing array).
struct TQVOutlinePlacement {
  long double xOffset = 0, yOffset = 0;
  long double xScale = 1, yScale = 1;
  long double advanceScale = 1;
};

// One request as it travels between the runs of a text. The pointers refer to scratch
// buffers of text output, never to the caller's data.
struct TQVTextRequest {
  std::int32_t x = 0, y = 0;
  std::uint32_t options = 0;
  qvplatform::RECTL clip;
  char16_t* wide = nullptr;
  char* ansi = nullptr;
  std::int32_t length = 0;
  std::int32_t* spacing = nullptr;
};

// Drops the first count characters; x and the clip's left move by their advance, which is
// returned.
std::int32_t AdvanceRequest(TQVTextRequest& r, std::int32_t count);

// The buffers of one nesting level, kept between calls: a record allocates nothing once
// they have grown.
struct TQVTextScratch {
  std::u16string wide, missing, shaped, widened;
  std::string ansi, bytes, one, face;
  std::vector<std::int32_t> spacing, shapedSpacing, widenedSpacing, measured;
  std::vector<qvplatform::WORD> glyphs;
  std::vector<qvplatform::UINT> order;
};

// A box around the text in logical units, and the offset from the reference point to the
// baseline.
struct TQVTextBox {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t baselineOffset = 0;
};

// The font object of the last logical font asked for, kept: making one and selecting it
// matches the font anew, and most text runs repeat the font of the run before.
class TQVScreenFontCache {
 public:
  TQVScreenFontCache() = default;
  ~TQVScreenFontCache();
  TQVScreenFontCache(const TQVScreenFontCache&) = delete;
  TQVScreenFontCache& operator=(const TQVScreenFontCache&) = delete;
  // Not selected into any DC when the next different font replaces it.
  qvplatform::HFONT Font(const qvplatform::LOGFONTW& font);

 private:
  qvplatform::LOGFONTW logFont_{};
  qvplatform::HFONT font_ = 0;
};

class TQVTextOutput {
 public:
  explicit TQVTextOutput(TQVGenericPSDevice& device);
  TQVTextOutput(const TQVTextOutput&) = delete;
  TQVTextOutput& operator=(const TQVTextOutput&) = delete;

  // Slot 40 after the copy into the scratch buffers of the next level.
  void Draw(std::int32_t x, std::int32_t y, std::uint32_t options, const qvplatform::RECTL& clip,
            const char16_t* wide, const char* ansi, std::int32_t length,
            const std::int32_t* spacing);
  void Draw(const TQVTextRequest& request) {
    Draw(request.x, request.y, request.options, request.clip, request.wide, request.ansi,
         request.length, request.spacing);
  }

  // The outline road shared by OutlineText and ExtTextOut: readCurrentPoint takes (x, y)
  // from the current point, advanceCurrentPoint moves it by the advance; baselineOffset is
  // added to y after that.
  void OutlineAt(std::int32_t x, std::int32_t y, std::int32_t baselineOffset, bool glyphIndices,
                 const std::int32_t* spacing, std::int32_t length, const char* ansi,
                 const char16_t* wide, bool readCurrentPoint, bool advanceCurrentPoint);
  std::int32_t TextAsOutline(qvplatform::HDC dc, const char16_t* text, std::int32_t length,
                             const qvplatform::LOGFONTW& font, bool ignoreSpacing,
                             bool glyphIndices, std::int32_t pathNesting,
                             TQVPDFDeviceWorkBuffer& buffer, long double emSize,
                             const std::int32_t* spacing, const TQVOutlinePlacement& placement);

  // The level's logical font as text output measures it: precisions and quality 0 and a
  // height of 0 replaced by the default cell height in logical units.
  qvplatform::LOGFONTW WorkingFont();
  // The em size of a working font: |height| for a negative height, the cell height less the
  // internal leading (from the screen DC, where the font must be selected) for a positive one.
  long double EmSize(const qvplatform::LOGFONTW& font);
  // -1 when logical y grows upwards on the page (y-flipping map modes, a mirrored matrix),
  // else 1: the sign of "below" in logical y.
  std::int32_t DownSign();
  // The sense in which the escapement turns the text on the page: 1 counter-clockwise, -1
  // clockwise in a mapping that mirrors y (where GDI turns it so; the text matrix agrees).
  std::int32_t TurnSign();

  // The box of step 29 and the baseline offset; shift is the alignment shift of the text.
  TQVTextBox ComputeBox(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t shift,
                        std::int32_t first, std::int32_t second, const qvplatform::RECTL& clip);
  // MarkBitmapRegion, then (unless slant is active) the clip bracket and the background
  // (at least width wide). Returns true when a clip level was opened (CloseClip ends it).
  bool BoxAndBackground(const TQVTextBox& box, std::uint32_t options, const qvplatform::RECTL& clip,
                        std::int32_t width);
  void CloseClip(bool& open);
  // Option 2, unless white counts as transparent and the background is white.
  bool OpaqueWanted(std::uint32_t options);
  // From the reference point to the baseline by the level's alignment, in the metrics of the
  // font selected into the screen DC.
  std::int32_t GdiBaselineOffset();
  // Underline and strike-out from the baseline start (logical) over width along the text.
  void Lines(const qvplatform::LOGFONTW& font, std::int32_t baselineX, std::int32_t baselineY,
             std::int32_t width, std::int32_t descent, std::int32_t strikeOffset);

  // One "x y Td" relative to the last one; the values are text-space positions in logical
  // units (rounded here).
  void WriteTd(long double x, long double y);
  // A font size in logical units as WriteTextState takes it: in text space, which is
  // content space (logical units over the coordinate divisor).
  float TextSpaceSize(long double size);

  TQVTextScratch& Scratch(std::size_t level);
  std::vector<qvplatform::POINTL>& PathPoints() { return pathPoints_; }
  std::vector<qvplatform::BYTE>& PathTypes() { return pathTypes_; }
  // Set while the open text object's matrix carries the text origin (BeginText consumed it):
  // positions are then relative to that origin.
  bool originInMatrix = false;
  // Opens or continues the text object through BeginText and keeps originInMatrix right.
  // Rotated text always gets a text object of its own, with its origin in the matrix.
  void BeginText(std::int32_t& x, std::int32_t& y);

 private:
  struct Call;
  void Run(TQVTextRequest r, TQVTextScratch& s);
  void Main(Call& c);
  void EmptyText(Call& c);
  void OutlineRoad(Call& c);
  // Phases of OutlineAt (text_output_outline.cpp).
  struct OutlineRun;
  void OutlineSource(OutlineRun& run, const qvplatform::LOGFONTW& lf, const std::int32_t* spacing,
                     std::int32_t length, const char* ansi, const char16_t* wide);
  void OutlineGlyphSpace(OutlineRun& run, const qvplatform::LOGFONTW& lf, long double px,
                         long double py);
  std::int32_t OutlineIntoPath(OutlineRun& run);
  std::int32_t OutlineIntoContent(OutlineRun& run);
  void Slanted(Call& c);
  bool DetectScript(TQVTextRequest& r);
  // A text that no one code page holds may be written in runs of their own sets.
  bool CanSplitByCharset(const TQVTextRequest& r);
  // A spacing array for a request without one: the advances of the level's font on the
  // screen DC (of its shaped glyphs for right-to-left text), in the scratch's spacing.
  void NaturalAdvances(TQVTextRequest& r, TQVTextScratch& s);
  // The measured width is the target's, as far as whole logical units can tell.
  static bool MeasuredFits(const Call& c);
  // The horizontal factor of a font with a width, from the array and the natural width.
  void ScaleToArray(Call& c, long double naturalWidth);
  // Right-to-left letters written as 8-bit text, scaled to the width of their shaped glyphs.
  void FitLettersToShapedWidth(Call& c);
  void WidenAnsi(Call& c);
  void MissingGlyphs(Call& c, bool byGlyphs);
  // A character that neither the PDF font nor an outline can draw: said once per document.
  void NoteNoGlyph(char16_t ch);
  void FirstWordApart(Call& c);
  void Shape(Call& c);
  bool CjkPerCharacter(Call& c);
  void FontSize(Call& c);
  void HorizontalScale(Call& c);
  void Widths(Call& c);
  void Spacing(Call& c);
  bool Links(Call& c);
  void Write(Call& c);
  void WriteCid(Call& c);
  void WriteExact(Call& c);
  long double CellToEm(std::int32_t cellHeight);
  bool CidBranch(const Call& c);
  TQVDCStackVar& V() { return d_.CurrentDCState(); }
  // "x y w h" of a rectangle in logical units (at least minWidth wide) for "re".
  void RectOperands(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                    std::int32_t minWidth);
  void BackgroundColor();

  TQVGenericPSDevice& d_;
  std::vector<std::unique_ptr<TQVTextScratch>> levels_;
  std::size_t depth_ = 0;
  std::vector<qvplatform::POINTL> pathPoints_;
  std::vector<qvplatform::BYTE> pathTypes_;
  std::vector<std::int32_t> outlineSpacing_, outlineDx_;
  std::u16string outlineText_;
  // Descent and strike-out position of the last working font: asking the platform builds
  // the font's name strings each time, and most runs repeat the font of the run before.
  struct FontMetrics {
    qvplatform::LOGFONTW font{};
    bool known = false;  // font holds the working font these values were read for
    bool found = false;  // the platform answered
    std::int32_t descent = 1;
    std::int32_t strikeOffset = 0;
  };
  FontMetrics lastMetrics_;
  TQVScreenFontCache screenFonts_;
  void ReadFontMetrics(Call& c);
};

// A font of the screen DC for the life of the object: created from a logical font and
// selected; the previous font (the stock system font when there was none) is selected back
// and the font deleted at the end.
class TQVScreenFont {
 public:
  TQVScreenFont(qvplatform::HDC dc, const qvplatform::LOGFONTW& font);
  // The font comes from the cache and stays there.
  TQVScreenFont(qvplatform::HDC dc, const qvplatform::LOGFONTW& font, TQVScreenFontCache& cache);
  ~TQVScreenFont();
  TQVScreenFont(const TQVScreenFont&) = delete;
  TQVScreenFont& operator=(const TQVScreenFont&) = delete;

 private:
  qvplatform::HDC dc_;
  qvplatform::HFONT font_ = 0;
  qvplatform::HGDIOBJ previous_ = 0;
  bool owned_ = true;
};

// Sets a flag for the life of the object and puts the old value back.
template <class T>
class TQVScopedValue {
 public:
  TQVScopedValue(T& target, T value) : target_(target), saved_(target) { target = value; }
  ~TQVScopedValue() { target_ = saved_; }
  TQVScopedValue(const TQVScopedValue&) = delete;
  TQVScopedValue& operator=(const TQVScopedValue&) = delete;

 private:
  T& target_;
  T saved_;
};

}  // namespace vellora
