// TQVGenericPSDevice: the generic drawing device specialised to write PDF page-content
// operators. Between StartOutput and EndOutput the content of one page grows in the work
// buffer; graphics state (matrix, pen, brush, dash) is written only when the device-context
// state differs from what was last written at the current "q" level, which the writer-state
// stack of the base device records. The PDF device overrides the hooks of slots 41 to 64.
//
// Content invariants: every content stream starts with "q " and ends with its matching "Q "s;
// each writer level stands for exactly one written "q "; a path object is always ended by a
// painting operator (or "n ") before any other operator that is not allowed inside a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QVGenDC/generic_device.h"
#include "QVPdfDC/color_record.h"
#include "QVPdfDC/content_options.h"
#include "QVPdfDC/pdf_device_work_buffer.h"
#include "QVPdfDC/ps_output_stream.h"
#include "qvplatform/font_types.h"
#include "qvplatform/string_list.h"

namespace vellora {

class TQVTextOutput;
struct TQVOutlinePlacement;

class TQVGenericPSDevice : public TQVGenericDevice {
 public:
  // What is open in the content: nothing, a text object ("BT"), or drawing (path operators
  // may follow).
  static constexpr std::uint8_t kOpenNothing = 0;
  static constexpr std::uint8_t kOpenText = 1;
  static constexpr std::uint8_t kOpenDrawing = 2;

  // Pending path kinds.
  static constexpr std::uint8_t kPathNone = 0, kPathStroke = 1, kPathFill = 2, kPathStrokeFill = 3,
                                kPathClip = 4;

  // Option bits.
  static constexpr std::uint8_t kOptionAutoLinks = 0x01;    // link areas for web addresses
  static constexpr std::uint8_t kOptionCMYKRecords = 0x10;  // colour records in CMYK (-2)

  TQVGenericPSDevice();
  ~TQVGenericPSDevice() override;

  // ---- Overrides of the generic device ------------------------------------------------

  // 0: when output is open, ends the open path or text object, writes "Q " for every writer
  // level and hands the content to the stream; then clears dash, text and colour state and
  // the inherited state; when output is still open a new level is pushed with "q ".
  void Reset() override;
  // 4: ends the pending path (open drawing) or the text object; the matrix is written again.
  void FlushPending() override;
  // 17: output open (EnsureOutputOpen, else EQVAssertionFailed("Output is not open!")), text
  // object ended, drawing open, matrix written. A path left unpainted outside a bracket (an
  // abandoned path) is ended with "n " first.
  void PrepareDraw() override;
  // 18: the italic and bold availability flags of the DC level go back to true.
  void ObjectSelected() override;

  // Drawing primitives (ps_device_lines.cpp, ps_device_shapes.cpp).
  void PolyBezier(const POINTL* points, std::int32_t count, bool continueFromCurrent) override;
  void Polygon(const POINTL* points, std::int32_t count) override;
  void Polyline(const POINTL* points, std::int32_t count, bool continueFromCurrent, bool prepare,
                bool stroke) override;
  void SetPixel(std::int32_t x, std::int32_t y, COLORREF color) override;
  void MoveTo(std::int32_t x, std::int32_t y, POINTL* previous) override;
  void LineTo(std::int32_t x, std::int32_t y) override;
  // Points with PT_ types (6 move, 2 line, 4 Bezier, bit 0 closes the figure), as GDI: a first
  // line or curve starts at the current point; the last point becomes the current point.
  void PolyDraw(const POINTL* points, const std::uint8_t* types, std::int32_t count) override;
  // Angles in degrees, counter-clockwise as seen; a negative sweep runs clockwise. A line
  // joins the current point to the arc, whose end becomes the current point.
  void AngleArc(std::int32_t centerX, std::int32_t centerY, std::int32_t radius, float startAngle,
                float sweepAngle) override;
  void Ellipse(const RECTL& box, bool fill) override;
  void Rectangle(const RECTL& box) override;
  void FillSolidRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     COLORREF color) override;
  void FillSolidRectF(COLORREF color, float x, float y, float width, float height) override;
  void RoundRect(const RECTL& box, std::int32_t cornerWidth, std::int32_t cornerHeight) override;
  // Arcs run from the start point's direction to the end point's, counter-clockwise as seen
  // unless the DC's arc direction is clockwise.
  void Arc(const RECTL& box, POINTL start, POINTL end, bool arcTo) override;
  // The arc closed by its chord, stroked and filled.
  void Chord(const RECTL& box, POINTL start, POINTL end) override;
  void Pie(const RECTL& box, POINTL start, POINTL end) override;

  // Path bracket and clipping (ps_device_paths.cpp, ps_device_clip.cpp).
  void BeginPath(std::int32_t mode) override;
  // A polyline group inside an explicit bracket ends without closing its last figure.
  bool EndPath() override;
  void DrawPath(bool stroke, bool fill) override;
  void CloseFigure() override;
  // Mode 4 (difference) clips to everything outside the path.
  void SelectClipPath(std::int32_t mode) override;
  void SelectClipRegion(std::int32_t mode, const RECTL& bounds, std::int32_t count,
                        const RECTL* rects) override;
  std::int32_t SaveDC() override;
  void RestoreDC(std::int32_t level) override;
  // "q " and "Q " with a writer level. While a path is under construction they go in front of
  // its operators (PDF allows neither inside a path); a "Q " placed there is followed by the
  // matrix the path's points were written under, so that they stay where they are.
  void PushClip() override;
  void PopClip() override;

  // Raster operations (ps_device_blit.cpp).
  void BitBlt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              std::uint32_t rop) override;
  // Validates the bitmap (any header size, core headers converted, masks, colour table, bits
  // long enough) and hands it to DrawDIBits in the 40-byte form; 0 when it cannot be drawn.
  std::int32_t StretchDIBits(std::int32_t dstX, std::int32_t dstY, std::uint32_t rop,
                             std::uint32_t colorUsage, Bytes bitmapInfo, Bytes bits,
                             std::int32_t srcX, std::int32_t srcY, std::int32_t srcWidth,
                             std::int32_t srcHeight, std::int32_t dstWidth,
                             std::int32_t dstHeight) override;

  // 36: colour records and command records (comment_commands.cpp).
  void GdiComment(Bytes data) override;

  // 40: one text as PDF text operators, or as filled glyph outlines where a PDF font cannot
  // show it (text_output*.cpp). The caller's texts and spacing array are only read.
  void ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options, const RECTL& clip,
                  const char16_t* wideText, const char* ansiText, std::int32_t length,
                  const std::int32_t* spacing) override;

  // Direct drawing: a zero-terminated 8-bit text, or a wide text of length characters with
  // an optional spacing array, at a baseline point, left-aligned, without moving the current
  // point; opaque when the level's background is. clip may be null.
  void TextOutDirect(std::int32_t x, std::int32_t y, const char* text, const RECTL* clip);
  void TextOutDirectEx(std::int32_t x, std::int32_t y, const char16_t* text,
                       const std::int32_t* spacing, std::int32_t length, const RECTL* clip);
  // A text as filled glyph outlines in the text colour; inside a path bracket the outlines
  // join the path instead. (x, y) lies on the baseline when referencePoint is set, else the
  // level's vertical alignment places it. Right and centre alignment and the current point
  // are honoured; glyphIndices: the wide text holds glyph indices.
  void OutlineText(std::int32_t x, std::int32_t y, bool referencePoint, bool glyphIndices,
                   const std::int32_t* spacing, std::int32_t length, const char* ansiText,
                   const char16_t* wideText);
  // The glyph outlines of a text through the DC's path bracket, written by WritePathPoints;
  // returns the text's advance in logical units, or kOutlineFailed.
  static constexpr std::int32_t kOutlineFailed = -1000;
  std::int32_t TextAsOutline(qvplatform::HDC dc, const char16_t* text, std::int32_t length,
                             const LOGFONTW& font, bool ignoreSpacing, bool glyphIndices,
                             std::int32_t pathNesting, TQVPDFDeviceWorkBuffer& buffer,
                             long double emSize, const std::int32_t* spacing,
                             const TQVOutlinePlacement& placement);

  // ---- Slots 41..64 --------------------------------------------------------------------

  // 41: starts the content of a page: "q " and a writer level. Raises std::runtime_error on
  // open output and EQVAssertionFailed("OutputStream must not be nil!") without a stream.
  virtual bool StartOutput(TQVOutputStream* stream);
  // 42: ends the content ("Q " for every level) and writes it to the stream. Raises
  // std::runtime_error("Output is not open!") on closed output.
  virtual void EndOutput();
  // 43: whether output is open; the PDF device opens a page here.
  virtual bool EnsureOutputOpen();
  // 44: fill colour (or pattern), stroke colour, width, cap, join and dash, each only when it
  // differs from the current writer level. A null buffer writes nothing.
  virtual void WritePenState(bool stroke, bool fill, TQVPDFDeviceWorkBuffer* buffer);
  // 45: text state (Tc, Tw, Tz, font); a null buffer resets. Base: nothing.
  virtual void WriteTextState(TQVPDFDeviceWorkBuffer* buffer, float fontSize);
  // 46: the current font's average width. Base: 10.
  virtual std::int32_t GetFontValue();
  // 47: unused by the devices. Base: 1.
  virtual std::int32_t SpareHookA(std::int32_t a, std::int32_t b);
  // 48: selects a pattern colour space: hatch >= 0 a hatch (70000 a bitmap brush whose
  // number is color); hatch < 0 goes back to the plain colour space. Base: nothing.
  virtual void SelectBrushColorSpace(TQVPDFDeviceWorkBuffer* buffer, std::int32_t hatch,
                                     COLORREF color);
  // 49: registers an ICC colour space (data may be null: the built-in sRGB). Base: nothing.
  virtual void AddICCColorSpace(const std::string& name, std::int32_t kind,
                                const std::uint8_t* data, std::int32_t length,
                                std::int32_t components, const std::string& alternate);
  // 50, 52: width of a text in the current PDF font at size. Base: 100.
  virtual double TextWidthA(const char* text, std::int32_t length, float size);
  // 51: the current font's standard-font byte. Base: 0.
  virtual std::int32_t CurrentFontKind();
  virtual double TextWidthW(const char16_t* text, std::int32_t length, float size);
  // 53: ascent-like value and text height at size. Base: 10 and 10.
  virtual void FontVerticalMetrics(std::int32_t& first, std::int32_t& second, float size);
  // 54, 55: one width per character (horizontal scale in thousandths). Base: false.
  virtual bool MeasureTextA(const char* text, std::int32_t length, std::int32_t scale,
                            std::int32_t* widths, float size);
  virtual bool MeasureTextW(const char16_t* text, std::int32_t length, std::int32_t scale,
                            std::int32_t* widths, float size);
  // 56: wide text to 8-bit text. Base: the system code page (1252), "?" for what it lacks.
  virtual void ConvertWideText(const char16_t* text, std::int32_t length, std::string& out);
  // 57: a text command of a metafile comment (codes below 3000). Base: nothing.
  virtual void HandleEmbeddedCommand(const RECTL& rect, std::int32_t code, const std::string& text,
                                     bool& handled);
  // 58: a binary command (codes from 3000); data is valid during the call. Base: nothing.
  virtual void HandleTaggingCommand(const RECTL& rect, std::int32_t code, const std::uint8_t* data,
                                    std::int32_t length, bool& handled);
  // 59: unused by the devices. Base: 0.
  virtual std::int32_t SpareHookB(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d);
  // 60: marks a drawn area on the thumbnail raster. Base: nothing.
  virtual void MarkBitmapRegion(std::int32_t x, std::int32_t y, COLORREF color, std::int32_t width,
                                std::int32_t height);
  // 61: a link area in page units (y down). Base: nothing.
  virtual void AddLinkArea(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                           const std::string& target, const std::string& action);
  // 62, 64: characters used by the current font. Base: nothing.
  virtual void RegisterUsedCharsA(const char* text, std::int32_t length);
  // 63: the code to write for a character (width in thousandths in and out). Base: code.
  virtual std::uint32_t MapCharCode(std::uint32_t code, std::uint32_t glyph, std::int32_t& width);
  virtual void RegisterUsedCharsW(const char16_t* text, std::int32_t length);

  // ---- Operations used by the drawing code and the PDF device --------------------------

  // Opens a text object and writes the text matrix; x and y are consumed (set to 0) when the
  // matrix carries the text origin.
  void BeginText(std::int32_t& x, std::int32_t& y);
  // "ET " when a text object is open.
  void EndText();
  // Paints the pending path (open drawing) and closes the drawing object.
  void ClosePendingPath();
  void FinishPendingPath();
  // Marks the path pending; outside a bracket it is painted at once.
  void PaintCurrentPath(bool stroke, bool fill);
  void FinishPath(bool stroke, bool fill, bool clip);
  // The matrix from logical units to the content's units, relative to the last one written.
  // Inside a path under construction no "cm" is written: the later points of the path are
  // written through the new matrix relative to the written one (as GDI fixes each point of a
  // path by the transform of its moment), and the matrix stays dirty until the path ends.
  void WriteTransform();
  // A logical point in output coordinates by the device matrix (row-vector rule) plus the
  // device's y offset, rounded.
  POINTL TransformPoint(std::int32_t x, std::int32_t y);
  // A command record's rectangle as the hooks get it: top and bottom negated under a y flip,
  // and, for a logical rectangle, both corners through TransformPoint.
  RECTL CommandRectangle(const RECTL& stored, bool logical);
  // The dash step alone, before a pending move is written.
  void WriteDash();
  // The dash step, then "x y m " at the current point when state changed; true when written.
  bool EmitPendingMove();
  // One "re" for a rectangle; device units (converted to logical) when fromDevice. A device
  // rectangle under a turned or sheared world transform is written as its four mapped corners.
  void AddRectPath(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                   bool fromDevice);
  // Writes points with PT_ types as x offset + x scale * x, y offset - y scale * y; a Bezier
  // without its two further points or an unknown type stops the list. A figure closed before
  // any move closes at start (when given, else at the first point); last receives the last
  // point written. True when a line or curve was written.
  bool WritePathPoints(const POINTL* points, const std::uint8_t* types, std::int32_t count,
                       long double xOffset, long double yOffset, long double xScale,
                       long double yScale, TQVPDFDeviceWorkBuffer& buffer,
                       const POINTL* start = nullptr, POINTL* last = nullptr);

  // Bezier arcs in content coordinates, as x, y pairs in ArcValues() (a start point, then
  // three points per segment). ArcSegment adds one segment of sweep radians from angle start
  // (measured counter-clockwise in the content's y-up frame), the start point only when the list is
  // empty; a result that is not finite sets arcError and adds nothing. ArcToBeziers adds the arc of
  // the box from the start point's direction to the end point's, counter-clockwise in that frame or
  // clockwise; it returns the number of values, at most capacity.
  void ArcSegment(long double sweep, long double start, long double rx, long double ry,
                  long double cyContent, long double cx);
  std::size_t ArcToBeziers(const RECTL& box, POINTL start, POINTL end, bool clockwise,
                           std::size_t capacity);
  const std::vector<long double>& ArcValues() const { return arcValues_; }
  // Whether an arc that GDI draws clockwise (as seen) runs clockwise in the content's frame:
  // the arc-direction flag, reversed when the matrix mirrors the content.
  bool ClockwiseInContent(bool clockwiseAsSeen);

  // The PDF literal-string escapers (pdf_string_escape.h).
  static std::string EscapeString(std::string_view text);
  static std::string EscapeWideText(std::u16string_view text);

  // ---- State ---------------------------------------------------------------------------

  TQVColorRecord textColorRecord;
  TQVColorRecord strokeColorRecord;
  TQVColorRecord fillColorRecord;
  bool dashWritten = false;  // a dash array other than the solid one is in effect
  TQVPDFDeviceWorkBuffer workBuffer{2000};
  bool outputOpen = false;
  std::uint8_t pendingPathKind = kPathNone;
  std::string currentFontName = "Arial";
  qvplatform::TStringList stringList;  // used by text output
  TQVOutputStream* outputStream = nullptr;
  std::uint8_t openObject = kOpenNothing;
  qvplatform::HDC screenDC = 0;             // the 96 dpi screen device context text is measured on
  bool invertClip = false;                  // while a difference clip path is painted
  bool stateChanged = false;                // the content's current point is not the device's
  std::int32_t currentX = 0, currentY = 0;  // logical units
  std::int32_t figureStartX = 0, figureStartY = 0;
  bool figureStartValid = false;
  bool slant = false;                // text output writes a slanted text matrix
  bool arcError = false;             // a Bezier arc came out not finite
  TQVContentOptions contentOptions;  // CID fonts, CJK charset, PDF/A, option bits

  // Fields of text output.
  std::int32_t lastCjkBaseline = 0;
  bool cjkPerCharacter = false;
  std::string cjkFace;
  bool cjkCharacterInProgress = false;
  bool forceExactPositioning = false;
  bool lostCharacterReported = false;           // a character without any glyph was reported
  std::int32_t textDeltaX = 0, textDeltaY = 0;  // origin of the last Td in the text object
  std::int32_t forcedCharset = 0;
  bool wordSplitInProgress = false;
  bool splitAtBlanks = false;
  // The rectangle of the command record being handled, as the record stores it: flags that
  // travel in its first value must not pass through the mapping.
  RECTL commandRecordRect{0, 0, 0, 0};
  std::string textScratch;  // text output's working string, one per device (thread safety)

  // Text output's working state (text_output.h), made on first use.
  TQVTextOutput& TextOutput();

 private:
  struct TextOutputDeleter {
    void operator()(TQVTextOutput* output) const;
  };
  std::unique_ptr<TQVTextOutput, TextOutputDeleter> textOutput_;

  void InitialiseTextFields();
  void ClearColorRecords();
  // The dash array of a pen style with width w and unit u, w at least minimum and u at least
  // a tenth of it; writes "[] 0 d " for solid pens.
  void WriteDashArray(TQVPDFDeviceWorkBuffer& buffer, std::uint8_t style, long double w,
                      long double u, long double minimum);
  long double DashUnit(bool reduce);
  // The smaller of the logical-to-page matrix's two scales; 1 when it has vanished.
  long double MatrixScale();
  // One reference-device pixel in logical units for a cosmetic pen (width 0 or 1, not
  // geometric), else 0; s is MatrixScale().
  long double CosmeticDashMinimum(const TQVDCStackVar& v, long double s);
  // State written after the operators of a path under construction is moved before them.
  void MoveStateBeforePath(std::size_t stateStart);
  void MarkPathStart();
  // Values in fixed notation with the given decimals, each followed by a blank.
  void WriteNumbers(const long double* values, std::size_t count, int decimals);
  // A rectangle around the whole page in content units, for a difference clip.
  void InvertedClipRect();
  // "pen state" and "paint" of the primitives: the pen state only outside a bracket; the
  // paint with pen writing suppressed when asked.
  void PenState(bool stroke, bool fill);
  void Paint(bool stroke, bool fill, bool suppressPen);
  // A content coordinate (clamped to 32 bits), a logical point (y through the y-axis rule)
  // and the y of the content for a logical y.
  void Coord(std::int64_t value);
  void LogicalPoint(std::int32_t x, std::int32_t y);
  // A point of a path in content values before the divisor: integers (clamped to 32 bits) or
  // floats, through the path's relative matrix while one is in effect.
  void ContentPoint(std::int64_t x, std::int64_t y);
  void ContentPointF(long double x, long double y);
  // A rectangle of the path from its corner (x, y) by width and height in content values:
  // "re", or the four corners when the points go through the relative matrix.
  void RectFigure(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height);
  void RectFigureF(long double x, long double y, long double width, long double height);
  // WriteTransform inside a path under construction: the relative matrix for the points that
  // follow; a current point still to be written keeps the matrix it was set under.
  void FollowMatrixInPath(const long double* page, long double divisor);
  // Operators written from start that a path under construction may not contain go in front
  // of it; with no path operators pending, the path begins after them.
  void PlaceBeforeOpenPath(std::size_t start);
  // Writes the "cm" that makes matrix the one in effect again after a "Q" gave back the
  // level below (nothing when it already is, or when the written one cannot be inverted).
  void RestoreWrittenMatrix(const XFORM& matrix);
  // out = m x inverse(written), both in the row-vector form (a, b, c, d, e, f); false when
  // written cannot be inverted.
  static bool RelativeMatrix(const long double* m, const XFORM& written, long double* out);
  long double ContentY(long double y) const;
  // One arc point, or every segment after the start point: rounded to integers (AddCoord) or
  // as scaled floats.
  void WriteArcPoint(std::size_t index, bool rounded);
  void WriteArcSegments(bool rounded);
  // The logical current point from a point of the content written as integers.
  void SetCurrentFromContent(long double x, long double yContent);

  std::vector<long double> arcValues_;  // reused by every arc: no allocation per record
  std::string pathScratch_;
  std::size_t pathStart_ = 0;  // where the operators of the current path begin
  bool pathStartValid_ = false;
  // While set, path points are written as pathMatrix_ x point: from the content values of
  // pathTarget_ (with pathDivisor_) to the content units of the matrix in effect.
  bool pathRemap_ = false;
  long double pathMatrix_[6] = {1, 0, 0, 1, 0, 0};
  XFORM pathTarget_{};
  long double pathDivisor_ = 1;
};

}  // namespace vellora
