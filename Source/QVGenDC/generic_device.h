// The abstract drawing device at the root of the device chain
// (TQVGenericDevice -> TQVGenericPSDevice -> TQVPDFDevice -> TQVPDFDeviceEX). It owns the
// device-context state, the GDI object table and the writer-state stack, plays enhanced
// metafiles (slot 1) and turns every drawing record into a call of one of its virtual drawing
// operations (slots 0..40, in slot order below), which it leaves abstract or empty.
//
// Coordinates passed to the drawing slots are logical units of the current DC level.
// One device belongs to one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "QVGenDC/dc_stack.h"
#include "QVGenDC/device_modes.h"
#include "QVGenDC/gdi_objects.h"
#include "QVGenDC/player_options.h"
#include "QVGenDC/writer_state.h"
#include "qvplatform/wintypes.h"

namespace vellora {

class TQVGenericDevice {
 public:
  using POINTL = qvplatform::POINTL;
  using RECTL = qvplatform::RECTL;
  using SIZEL = qvplatform::SIZEL;
  using COLORREF = qvplatform::COLORREF;
  using XFORM = qvplatform::XFORM;
  using LOGFONTW = qvplatform::LOGFONTW;
  using Bytes = std::span<const std::uint8_t>;

  // Resolutions 72 x 72, divisors from the process-wide default, Reset, mode value 27 added.
  // C++ runs the base Reset here: a derived class that overrides Reset calls it from its own
  // constructor.
  TQVGenericDevice();
  virtual ~TQVGenericDevice();
  TQVGenericDevice(const TQVGenericDevice&) = delete;
  TQVGenericDevice& operator=(const TQVGenericDevice&) = delete;

  // ---- Virtual slots 0..40 -------------------------------------------------------------

  // 0: back to the start state (divisor, justification, DC stack, object table, writer
  // levels, page scale from the device resolution). Modes keep their value.
  virtual void Reset();
  // 1: plays an enhanced metafile held in memory (metafile_player.cpp). Offsets, target size
  // and resolutions are in device units; a resolution <= 0 is taken from the header, a target
  // size <= 0 means the picture's own size. Returns BeginPicture's result, 0 for nil bits.
  virtual std::int32_t PlayMetafile(const std::uint8_t* bits, std::size_t size,
                                    std::int32_t xOffset, std::int32_t yOffset,
                                    std::int32_t targetWidth, std::int32_t targetHeight,
                                    bool measureOnly, std::int32_t xResolution,
                                    std::int32_t yResolution);
  // 2: a picture of width x height device units begins; the result is the play result.
  virtual std::int32_t BeginPicture(std::int32_t width, std::int32_t height,
                                    std::int32_t xResolution, std::int32_t yResolution) {
    (void)width, (void)height, (void)xResolution, (void)yResolution;
    return 0;
  }
  // 3: the picture ends.
  virtual void EndPicture(std::int32_t playResult) { (void)playResult; }
  // 4: completes whatever drawing is pending.
  virtual void FlushPending() {}
  // 5: draws a device-independent bitmap; bitmapHeader holds the BITMAPINFOHEADER bytes,
  // colorTable the colour entries that follow it (when hasColorTable). Returns an image
  // number (0: nothing drawn).
  virtual std::int32_t DrawDIBits(bool hasColorTable, std::int32_t srcX, std::int32_t srcY,
                                  std::int32_t srcWidth, std::int32_t srcHeight, float dstX,
                                  float dstY, float dstWidth, float dstHeight, bool crop,
                                  Bytes bits, Bytes bitmapHeader, Bytes colorTable) {
    (void)hasColorTable, (void)srcX, (void)srcY, (void)srcWidth, (void)srcHeight;
    (void)dstX, (void)dstY, (void)dstWidth, (void)dstHeight, (void)crop;
    (void)bits, (void)bitmapHeader, (void)colorTable;
    return 0;
  }
  // 6
  virtual void PolyBezier(const POINTL* points, std::int32_t count, bool continueFromCurrent) = 0;
  // 7
  virtual void Polygon(const POINTL* points, std::int32_t count) = 0;
  // 8
  virtual void Polyline(const POINTL* points, std::int32_t count, bool continueFromCurrent,
                        bool prepare, bool stroke) = 0;
  // 9, 10: no behaviour anywhere in the system.
  virtual void SpareDrawA() {}
  virtual void SpareDrawB() {}
  // 11
  virtual void SetPixel(std::int32_t x, std::int32_t y, COLORREF color) = 0;
  // 12: previous may be nullptr (the player passes none).
  virtual void MoveTo(std::int32_t x, std::int32_t y, POINTL* previous) = 0;
  // 13: saves the DC level; returns the new depth, or 0 (nothing saved) at kMaxSavedLevels.
  virtual std::int32_t SaveDC();
  // 14: restores one level whatever level says; the restore of a refused save pops nothing.
  virtual void RestoreDC(std::int32_t level);
  // 15, 16
  virtual void PopClip() = 0;
  virtual void PushClip() = 0;
  // 17: makes the output ready for path operators.
  virtual void PrepareDraw() = 0;
  // 18: a font was selected.
  virtual void ObjectSelected() {}
  // 19: angles in degrees.
  virtual void AngleArc(std::int32_t centerX, std::int32_t centerY, std::int32_t radius,
                        float startAngle, float sweepAngle) = 0;
  // 20: fill is false for an arc record whose end points are all 0.
  virtual void Ellipse(const RECTL& box, bool fill) = 0;
  // 21
  virtual void Rectangle(const RECTL& box) = 0;
  // 22
  virtual void FillSolidRect(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, COLORREF color) = 0;
  // 23
  virtual void FillSolidRectF(COLORREF color, float x, float y, float width, float height) = 0;
  // 24
  virtual void RoundRect(const RECTL& box, std::int32_t cornerWidth, std::int32_t cornerHeight) = 0;
  // 25
  virtual void Arc(const RECTL& box, POINTL start, POINTL end, bool arcTo) = 0;
  // 26, 27
  virtual void Chord(const RECTL& box, POINTL start, POINTL end) = 0;
  virtual void Pie(const RECTL& box, POINTL start, POINTL end) = 0;
  // 28
  virtual void LineTo(std::int32_t x, std::int32_t y) = 0;
  // 29
  virtual void PolyDraw(const POINTL* points, const std::uint8_t* types, std::int32_t count) = 0;
  // 30: opens a path bracket (nesting + 1). Modes: 1 polyline group, 2 polygon group,
  // 3 explicit path or a polygon group drawn with a pen style above 4.
  virtual void BeginPath(std::int32_t mode);
  // 31: closes one bracket level; true while a bracket is still open.
  virtual bool EndPath();
  // 32
  virtual void DrawPath(bool stroke, bool fill) = 0;
  // 33
  virtual void CloseFigure() {}
  // 34
  virtual void SelectClipPath(std::int32_t mode) = 0;
  // 35: rectangles are in device units; nullptr when there is no list.
  virtual void SelectClipRegion(std::int32_t mode, const RECTL& bounds, std::int32_t count,
                                const RECTL* rects) = 0;
  // 36: the comment's data.
  virtual void GdiComment(Bytes data) = 0;
  // 37
  virtual void PaintRegion(Bytes regionData) { (void)regionData; }
  // 38
  virtual void BitBlt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                      std::uint32_t rop) = 0;
  // 39: colorUsage 777 marks a bitmap taken from a blit record. Returns DrawDIBits' result.
  virtual std::int32_t StretchDIBits(std::int32_t dstX, std::int32_t dstY, std::uint32_t rop,
                                     std::uint32_t colorUsage, Bytes bitmapInfo, Bytes bits,
                                     std::int32_t srcX, std::int32_t srcY, std::int32_t srcWidth,
                                     std::int32_t srcHeight, std::int32_t dstWidth,
                                     std::int32_t dstHeight) = 0;
  // 40: exactly one of wideText and ansiText is normally given (the other nullptr); each holds
  // length characters, spacing (when given) one advance per character.
  virtual void ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options, const RECTL& clip,
                          const char16_t* wideText, const char* ansiText, std::int32_t length,
                          const std::int32_t* spacing) = 0;
  // Not a slot of the chain: the player refused a bitmap record whose header claims more pixels
  // than the record holds; nothing of it is drawn.
  virtual void BitmapRefused() {}

  // ---- Handlers of the state records (dc_state_handlers.cpp) ---------------------------
  // Each works on the current DC level. "Dirty" sets the level's and the device's
  // transform dirty flags.

  std::int32_t SetMapMode(std::int32_t mode);  // returns the previous mode
  void SetWindowExt(std::int32_t x, std::int32_t y, SIZEL* previous = nullptr);
  void SetWindowOrg(std::int32_t x, std::int32_t y, POINTL* previous = nullptr);
  void SetViewportExt(std::int32_t x, std::int32_t y, SIZEL* previous = nullptr);
  void SetViewportOrg(std::int32_t x, std::int32_t y, POINTL* previous = nullptr);
  // x := x * xNum / xDenom, y likewise (64-bit, truncating, clamped to 32 bits); a zero
  // denominator leaves the extent unchanged.
  void ScaleViewportExt(std::int32_t xNum, std::int32_t xDenom, std::int32_t yNum,
                        std::int32_t yDenom);
  void ScaleWindowExt(std::int32_t xNum, std::int32_t xDenom, std::int32_t yNum,
                      std::int32_t yDenom);
  void SetBrushOrg(std::int32_t x, std::int32_t y);
  // World transforms return false and leave the world as it was when a value is not finite,
  // the result would overflow, or |dx| or |dy| is 128000 or more (taken for garbage).
  bool SetWorldTransform(const XFORM& xform);
  // Mode 1: identity; 2: world := xform x world (xform applies first); 3: world := world x
  // xform; 4: world := xform, as SetWorldTransform. An unknown mode only marks the transform
  // dirty and returns false.
  bool ModifyWorldTransform(const XFORM& xform, std::uint32_t mode);
  std::int32_t SetBkMode(std::int32_t mode);  // 2 when the background was opaque, else 0
  void SetPolyFillMode(std::int32_t mode);
  std::int32_t SetROP2(std::int32_t rop2);          // returns the previous
  std::uint32_t SetTextAlign(std::uint32_t flags);  // returns the previous raw flags
  COLORREF SetTextColor(COLORREF color);            // returns the previous
  COLORREF SetBkColor(COLORREF color);              // returns the previous
  void SetArcDirection(std::int32_t direction);
  void SetMiterLimit(std::uint32_t limit);
  void SetTextJustification(std::int32_t extra, std::int32_t count);
  // Selects a table object into the level; returns the previously selected index of that
  // kind, 0 for an index that holds no object.
  std::int32_t SelectObject(std::int32_t index);
  // Selects only a palette; returns the previous palette index, 0 when nothing was selected.
  std::int32_t SelectPalette(std::int32_t index);
  // Resolution of direct drawing calls: fixes M to 72 / x, 72 / y; x or y of 0 clears the
  // fixed scale and does nothing else.
  void SetResolution(std::int32_t x, std::int32_t y);

  // ---- Creation handlers (gdi_object_handlers.cpp); each returns the new index ---------

  std::int32_t CreatePen(std::uint32_t styleFlags, std::int32_t width, COLORREF color);
  std::int32_t CreateBrush(std::uint32_t style, COLORREF color, std::uint32_t hatch);
  std::int32_t CreateFont(const LOGFONTW& font);
  // Copies min(count, entryBytes.size() / 4) little-endian 32-bit palette entries.
  std::int32_t CreatePalette(std::uint32_t count, Bytes entryBytes);
  void DeleteObject(std::int32_t index);

  // ---- Non-virtual operations ----------------------------------------------------------

  TQVDCStackVar& CurrentDCState() { return dcStack.Current(); }
  void SetModes(TQVDevModes drawingModes) { modes = drawingModes; }

  // The current writer level; an empty stack gets its first level.
  TQVWriterStackVar& WriterState();
  // Pushes a copy of the current level (or the first level when the stack is empty).
  void PushWriterState();
  // Drops the newest level; false when the stack is empty.
  bool PopWriterState();
  std::int32_t WriterDepth() const { return static_cast<std::int32_t>(writerCount_); }

  // The y-axis rule: yOrigin + y when the DC flips y, else yOrigin - y (clamped to 32 bits).
  std::int32_t DeviceY(std::int32_t y) const;
  float DeviceYF(float y) const;
  std::int32_t RelativeY(std::int32_t y) const;
  static void SwapInts(std::int32_t& a, std::int32_t& b);
  static RECTL MakeDeviceRect(std::int32_t left, std::int32_t top, std::int32_t right,
                              std::int32_t bottom) {
    return RECTL{left, top, right, bottom};
  }

  // ---- State ---------------------------------------------------------------------------

  std::int32_t xResolution = 72;  // dots per inch of direct drawing calls
  std::int32_t yResolution = 72;
  std::int32_t debugDumpCounter = 0;
  std::int32_t defaultDivisor = 1;     // from the process-wide default at construction
  std::int32_t coordinateDivisor = 1;  // 1 or 10; the work buffer divides coordinates by it
  bool transparentBlit = false;        // around a transparent blit or a masking raster op
  COLORREF transparentColor = 0;
  bool lastWasLine = false;  // the last played record was EMR_LINETO or EMR_MOVETOEX
  std::int32_t justificationExtra = 0;
  std::int32_t justificationBreakCount = 0;
  std::int32_t justificationRemainder = 0;
  bool outputStateDirty = true;  // pen, brush or font must be written again
  bool transformDirty = true;    // the matrix must be written again
  bool metafileError = false;    // a record ran past the data
  double timestamp = 0.0;        // date and time the player's error message prints
  bool abortRequested = false;   // the record loop stops before the next record
  std::int32_t pathMode = 0;
  std::int32_t pathNesting = 0;
  std::int32_t yOrigin = 0;      // page height in output units for the y flip
  float yOffset = 0.0f;          // added by TransformPoint of the content device
  bool yOriginMode = false;      // set by the owner: the y origin is the scaled page origin
  long double textAngle = 0.0L;  // radians, set with the text-rotation matrix
  bool textRotated = false;
  TQVDevModes modes;               // the drawing modes, set as a whole by SetModes
  TQVPlayerOptions playerOptions;  // picture size, debug dumps

  // Used by the content device and text output.
  bool textMatrixPending = false;
  bool textRotationChanged = false;  // set whenever the text-rotation matrix is recomputed
  bool pathPending = false;          // path operators written and not yet painted
  bool figureOpen = false;
  bool movePending = false;
  bool closeFigurePending = false;
  bool writePenStateSuppressed = false;
  long double fontSizeScale = 1.0L;  // text output multiplies font heights by it

  TQVDCStack dcStack;
  TQVGenericDeviceObjects objects;

 private:
  // Levels [0, writerCount_) are live, newest last; slots beyond are kept for reuse.
  std::vector<TQVWriterStackVar> writer_;
  std::size_t writerCount_ = 0;
};

}  // namespace vellora
