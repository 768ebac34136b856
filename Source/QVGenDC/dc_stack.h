// The device-context state: a chain of saved levels, each holding the drawing attributes that
// metafile records set, and the mapping from logical coordinates to page units (map mode,
// window, viewport, world transform, page scale) folded into one combined matrix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "QVGenDC/xform_math.h"
#include "qvplatform/wintypes.h"

namespace vellora {

class TQVGenericDevice;

// Derived text-alignment flags (TQVDCStackVar::textAlignFlags), from the raw TA_ flags.
constexpr std::uint32_t kAlignBaseline = 1;   // TA_BASELINE (24)
constexpr std::uint32_t kAlignBottom = 2;     // TA_BOTTOM (8)
constexpr std::uint32_t kAlignCenter = 4;     // TA_CENTER (6)
constexpr std::uint32_t kAlignRight = 16;     // TA_RIGHT (2)
constexpr std::uint32_t kAlignUpdateCP = 32;  // TA_UPDATECP (1)

// The attributes of one level. Defaults are those of a first level.
struct TQVDCStackVar {
  TQVDCStackVar();

  // Coordinate mapping.
  XFORM world;  // identity
  bool worldSet = false;
  std::int32_t mapMode = 1;
  qvplatform::POINTL viewportOrg;
  qvplatform::SIZEL viewportExt;
  qvplatform::POINTL windowOrg;
  qvplatform::SIZEL windowExt;
  bool viewportExtSet = false;
  // The window extent was given in tenths (33600 x 47504) and divided by 10; kept with the
  // level so that the stack's tenths flag survives later rebuilds of the matrix.
  bool windowExtInTenths = false;
  qvplatform::POINTL brushOrg;

  // Selected objects: indexes in the device's object table (0: none).
  std::int32_t selectedFont = 0;
  std::int32_t selectedPen = 0;
  std::int32_t selectedBrush = 0;
  std::int32_t selectedPalette = 0;

  // Text.
  std::uint32_t textAlign = 0;       // raw TA_ flags as the record gave them
  std::uint32_t textAlignFlags = 0;  // kAlign... bits derived by SetTextAlign
  qvplatform::COLORREF textColor = 0;
  qvplatform::COLORREF bkColor = 0xFFFFFF;
  bool opaque = false;             // background mode OPAQUE
  qvplatform::LOGFONTW font;       // numeric part and UTF-16 face; height 10, "Arial"
  std::string faceName = "Arial";  // the face as UTF-8 text

  // Copies of the selected pen and brush. Before any selection: black solid pen, white
  // solid brush (the platform's defaults).
  std::int32_t penWidth = 0;
  std::uint8_t penStyle = 0;
  bool penGeometric = false;
  qvplatform::COLORREF penColor = 0;
  std::int32_t penCap = 0;
  std::int32_t penJoin = 0;
  std::uint8_t brushStyle = 0;
  qvplatform::COLORREF brushColor = 0xFFFFFF;
  std::uint32_t brushHatch = 0;

  bool winding = false;      // polygon fill mode WINDING (2), else ALTERNATE
  std::int32_t rop2 = 13;    // R2_COPYPEN
  bool clockwise = false;    // arc direction AD_CLOCKWISE (2)
  float miterLimit = 10.0f;  // never below 1

  bool transformDirty = true;
  bool textRotationDirty = true;
  bool savedYFlip = false;  // the stack's y-flip flag as SaveDC and SetMapMode left it

  // Per-level flags of text output. ObjectSelected of the content device sets the first
  // two back to true; escapementChanged is cleared when a level is copied and when a font
  // is selected.
  bool italicFaceAvailable = true;
  bool boldFaceAvailable = true;
  bool simulateBold = false;
  bool escapementChanged = false;

  // Text state computed by text output and written by the PDF device as Tc, Tw, Tz, Ts, Tr.
  float charSpacing = 0.0f;
  float wordSpacing = 0.0f;
  float horizontalScale = 0.0f;  // factor; 0 means none
  bool superscript = false;
  bool subscript = false;
  bool outlineText = false;  // embedded command 2003
  qvplatform::COLORREF outlineColor = 0;
  bool renderFlag = false;
};

struct TQVDCStackEntry {
  TQVDCStackVar vars;
  std::int32_t xResolution = 0;
  std::int32_t yResolution = 0;
  bool barrier = false;  // set by the owner device: Pop never removes this level
  std::int32_t depth = 0;
  XFORM savedMatrix;  // the combined matrix when the level was pushed
};

// Saved levels a metafile may open. Real files nest a few levels (pictures inside pictures a few
// more); the cap bounds the memory of the stack and the depth of the page content's "q" nesting.
constexpr std::int32_t kMaxSavedLevels = 256;

class TQVDCStack {
 public:
  explicit TQVDCStack(TQVGenericDevice& owner);
  TQVDCStack(const TQVDCStack&) = delete;
  TQVDCStack& operator=(const TQVDCStack&) = delete;

  // The top level's attributes; creates the first level when there is none.
  TQVDCStackVar& Current();
  // The top level, or nullptr when there is none.
  TQVDCStackEntry* Top() { return count_ > 0 ? &levels_[count_ - 1] : nullptr; }
  std::int32_t Depth() const { return depth_; }

  // A new level: a copy of the top level that saves the current combined matrix, or a
  // first level with the defaults that saves the page scale. Returns the new depth.
  std::int32_t Push();
  // Removes up to count levels, stopping at a barrier; marks the new top dirty.
  void Pop(std::int32_t count);
  // Removes every level and resets resolution, page scale, frame origin, aspect and flags.
  void Clear();
  // The top level's transform and text rotation must be recomputed.
  void MarkDirty();
  // Creates a level if needed, marks it dirty and gives it the resolution;
  // page scale := (72 / x, 72 / y) without offset (a resolution of 0 or less counts as 72).
  void SetResolution(std::int32_t x, std::int32_t y);

  // The combined matrix M from logical units to page points (y down), rebuilt first when the
  // top level is dirty and the scale is not fixed.
  const XFORM& Matrix();
  // The text-rotation matrix, recomputed after Matrix when the level asks for it.
  const XFORM& TextMatrix();

  // A point in device units mapped back to logical units through the inverse of N, rounded;
  // unchanged when N is singular. The vector form ignores the translation.
  qvplatform::POINTL LogicalFromDevice(qvplatform::POINTL p);
  qvplatform::POINTL LogicalFromDeviceVector(qvplatform::POINTL p);

  // Extended precision, as the coordinate code computes.
  using Extended = long double;

  TQVGenericDevice& owner;
  XFORM textMatrix{0, 0, 0, 0, 0, 0};  // computed on first use
  // Units per inch of the map mode in force, and of map mode 1 (the device's pixels). Kept
  // unrounded: the reference device of a picture seldom has a whole number of pixels per inch,
  // and the page scale built from these must map its pixels exactly.
  Extended resolutionX = 96, resolutionY = 96;
  Extended naturalResolutionX = 96, naturalResolutionY = 96;
  bool yFlip = false;                               // logical y points up (map modes 2..6)
  XFORM combined;                                   // M
  XFORM logicalToViewport;                          // N
  XFORM pageScale;                                  // (sx, 0, 0, sy, page offset x, page offset y)
  Extended extraScaleX = 1.0L, extraScaleY = 1.0L;  // set by the player
  Extended residueX = 0.0L, residueY = 0.0L;        // rounding rests of M's two scales
  bool fixedScale = false;  // direct drawing: M is set by the device and never rebuilt
  bool yMirrored = false;   // M.eM22 < 0 before the world transform
  bool tenths = false;      // the window extent was given in tenths
  bool xPositiveYNegative = false;
  // Owned by the PDF device: x is the horizontal output offset the content device adds to
  // the matrix; y is the page height that the y flip subtracts.
  qvplatform::POINTL pageOrigin;
  qvplatform::POINTL frameOrigin;
  Extended aspect = 1.0L;  // the text scale: |rx / ry| when y units are finer than x units
  // SaveDC calls refused at the cap whose RestoreDC has not come yet: each such RestoreDC pops
  // nothing, so that the levels below the cap still pair with their own restores.
  std::int32_t refusedSaves = 0;

 private:
  void RebuildMatrix();
  // Phases of RebuildMatrix on the matrix m (to the page) and n (to the viewport).
  void ScaleWindowToViewport(TQVDCStackVar& v, XFORM& m, XFORM& n);
  void ApplyOrigins(const TQVDCStackVar& v, XFORM& m, XFORM& n) const;
  void ApplyWorldAndYOrigin(const TQVDCStackVar& v, XFORM& m, XFORM& n);
  void RebuildTextMatrix();

  // Levels [0, count_) are live, newest last; the slots beyond are kept for reuse so that
  // SaveDC and RestoreDC do not allocate in steady state.
  std::vector<TQVDCStackEntry> levels_;
  std::size_t count_ = 0;
  std::int32_t depth_ = 0;
};

}  // namespace vellora
