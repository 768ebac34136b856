// TQVRasterDevice: a device of the engine's class chain that draws what the metafile player
// hands it into a cairo image surface, so that a metafile is read once (by the player, with the
// generic device's state) whether it becomes page content or pixels.
//
// Geometry is mapped the way the page-content device maps it: logical units through the DC
// level's combined matrix to page points, then to pixels at the render's scale and offset.
// Paths are kept in pixel coordinates in one reusable buffer and handed to cairo when painted;
// clipping lives in cairo's clip, saved and restored with the DC levels, next to a pixel region
// that lets the combine modes other than intersection be worked out.
//
// One device belongs to one render and one thread; it owns its surface reference, its clip
// regions and its font faces.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "QVGenDC/generic_device.h"
#include "QVRasterDC/raster_fonts.h"

namespace vellora {

// What a render met that it could not draw exactly; for tests and diagnostics.
struct TQVRasterStats {
  std::int32_t approximatedClips = 0;  // combine modes of clip paths drawn by their bounds
  std::int32_t skippedBitmaps = 0;     // bitmaps the DIB reader or converter refused
  std::int32_t missingGlyphRuns = 0;   // texts without a usable face
};

// One point of a path in pixel coordinates.
struct TQVRasterPathPoint {
  enum Kind : std::uint8_t { kMove, kLine, kCurve, kClose } kind;
  double x, y;
};

class TQVRasterDevice : public TQVGenericDevice {
 public:
  // Draws on surface (an ARGB32 or RGB24 image surface); the picture played at its own size
  // is stretched over width x height pixels at (left, top).
  TQVRasterDevice(cairo_surface_t* surface, double left, double top, double width, double height);
  ~TQVRasterDevice() override;

  const TQVRasterStats& Stats() const { return stats_; }
  // Places the picture as a page does: page points to pixels at this scale (plus the
  // constructor's offset) whatever size the picture has, instead of fitting the picture.
  void FixPageScale(double pixelsPerPointX, double pixelsPerPointY) {
    scaleX_ = pixelsPerPointX;
    scaleY_ = pixelsPerPointY;
    scaleFixed_ = true;
  }

  // ---- Slots ---------------------------------------------------------------------------
  void Reset() override;
  // The picture's own size fixes the scale from its points to the destination's pixels.
  std::int32_t BeginPicture(std::int32_t width, std::int32_t height, std::int32_t xResolution,
                            std::int32_t yResolution) override;
  void EndPicture(std::int32_t playResult) override;
  std::int32_t DrawDIBits(bool hasColorTable, std::int32_t srcX, std::int32_t srcY,
                          std::int32_t srcWidth, std::int32_t srcHeight, float dstX, float dstY,
                          float dstWidth, float dstHeight, bool crop, Bytes bits,
                          Bytes bitmapHeader, Bytes colorTable) override;
  void PolyBezier(const POINTL* points, std::int32_t count, bool continueFromCurrent) override;
  void Polygon(const POINTL* points, std::int32_t count) override;
  void Polyline(const POINTL* points, std::int32_t count, bool continueFromCurrent, bool prepare,
                bool stroke) override;
  void SetPixel(std::int32_t x, std::int32_t y, COLORREF color) override;
  void MoveTo(std::int32_t x, std::int32_t y, POINTL* previous) override;
  std::int32_t SaveDC() override;
  void RestoreDC(std::int32_t level) override;
  void PopClip() override;
  void PushClip() override;
  void PrepareDraw() override {}
  void AngleArc(std::int32_t centerX, std::int32_t centerY, std::int32_t radius, float startAngle,
                float sweepAngle) override;
  void Ellipse(const RECTL& box, bool fill) override;
  void Rectangle(const RECTL& box) override;
  void FillSolidRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     COLORREF color) override;
  void FillSolidRectF(COLORREF color, float x, float y, float width, float height) override;
  void RoundRect(const RECTL& box, std::int32_t cornerWidth, std::int32_t cornerHeight) override;
  void Arc(const RECTL& box, POINTL start, POINTL end, bool arcTo) override;
  void Chord(const RECTL& box, POINTL start, POINTL end) override;
  void Pie(const RECTL& box, POINTL start, POINTL end) override;
  void LineTo(std::int32_t x, std::int32_t y) override;
  void PolyDraw(const POINTL* points, const std::uint8_t* types, std::int32_t count) override;
  void BeginPath(std::int32_t mode) override;
  void DrawPath(bool stroke, bool fill) override;
  void CloseFigure() override;
  void SelectClipPath(std::int32_t mode) override;
  void SelectClipRegion(std::int32_t mode, const RECTL& bounds, std::int32_t count,
                        const RECTL* rects) override;
  void GdiComment(Bytes data) override { (void)data; }
  void PaintRegion(Bytes regionData) override;
  void BitBlt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              std::uint32_t rop) override;
  std::int32_t StretchDIBits(std::int32_t dstX, std::int32_t dstY, std::uint32_t rop,
                             std::uint32_t colorUsage, Bytes bitmapInfo, Bytes bits,
                             std::int32_t srcX, std::int32_t srcY, std::int32_t srcWidth,
                             std::int32_t srcHeight, std::int32_t dstWidth,
                             std::int32_t dstHeight) override;
  void ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options, const RECTL& clip,
                  const char16_t* wideText, const char* ansiText, std::int32_t length,
                  const std::int32_t* spacing) override;

 private:
  // ---- Mapping (raster_device.cpp) -----------------------------------------------------
  // Logical units of the current level to pixels.
  cairo_matrix_t LogicalToPixel();
  // The mapping mirrors (its determinant is negative).
  bool Mirrored();
  void PixelPoint(const cairo_matrix_t& m, double x, double y, double& px, double& py) const;

  // ---- Path buffer (raster_geometry.cpp) -----------------------------------------------
  bool InBracket() const { return pathNesting > 0; }
  void ClearPath() { path_.clear(); }
  void PathMove(const cairo_matrix_t& m, double x, double y);
  void PathLine(const cairo_matrix_t& m, double x, double y);
  void PathCurve(const cairo_matrix_t& m, const double* xy);  // 3 points
  void PathClose();
  // Starts the figure of a poly record: at the current position when it continues from there
  // (the first point is then the first to draw), else at its first point. Returns the index
  // of the first point still to draw.
  std::int32_t StartFigure(const cairo_matrix_t& m, POINTL first, bool continueFromCurrent);
  // Appends the arc of the ellipse in box from angle start through sweep (radians, counted
  // counter-clockwise with y up in the level's frame), as cubic Béziers; connect joins it to
  // the figure with a line, else it starts a figure. Leaves (endX, endY) at its logical end.
  void AddArc(const cairo_matrix_t& m, double cx, double cy, double rx, double ry, double start,
              double sweep, bool connect, double& endX, double& endY);
  // Start and sweep of the arc of box between the radials through start and end, in the
  // direction the level asks for.
  void ArcAngles(const RECTL& box, POINTL start, POINTL end, double& from, double& sweep);
  // Hands the path buffer to cairo, its points moved to pixel centres when asked.
  void EmitPath(bool onPixelCentres);
  // Fills and then strokes the path buffer with the level's brush and pen, then clears it;
  // inside a bracket nothing is painted and the buffer keeps the figure.
  void Finish(bool fill, bool stroke);

  // ---- Pens and brushes (raster_paint.cpp) ---------------------------------------------
  void FillCurrentPath(bool winding);
  void StrokeCurrentPath();
  // Sets cairo's source to the level's brush; false for a null brush.
  bool SetBrushSource();
  void SetColor(COLORREF color);
  // The 8 x 8 mask of a hatch style, repeated in device pixels.
  cairo_pattern_t* HatchPattern(std::uint32_t hatch);
  cairo_surface_t* PatternOfSelectedBrush();

  // ---- Clipping (raster_clip.cpp) ------------------------------------------------------
  // A clip shape (the path buffer or pixel rectangles) combined with the clip in force.
  void CombineClip(std::int32_t mode, cairo_region_t* shape, bool shapeIsPath);
  void ApplyRegionClip(cairo_region_t* region);
  cairo_region_t* SurfaceRegion() const;

  // ---- Bitmaps (raster_bitmaps.cpp) ----------------------------------------------------
  // Decodes a DIB into bgrx_ (top-down, 4 bytes a pixel) and returns a surface on it, null
  // when it cannot be read; alpha keeps the per-pixel alpha of a 32-bit bitmap.
  cairo_surface_t* DecodeDib(Bytes info, Bytes bits, std::uint32_t usage, bool alpha);
  // Draws source (srcWidth x srcHeight pixels at its own origin) over the logical
  // destination rectangle with the raster operation.
  void Blit(cairo_surface_t* source, std::int32_t srcX, std::int32_t srcY, std::int32_t srcWidth,
            std::int32_t srcHeight, double dstX, double dstY, double dstWidth, double dstHeight,
            std::uint32_t rop);
  // A raster operation that is no plain copy: worked out bit by bit over the destination's
  // pixels with the source (when given) and the brush.
  void RasterOperation(cairo_surface_t* source, const cairo_matrix_t& sourceToPixel, double dstX,
                       double dstY, double dstWidth, double dstHeight, std::uint8_t rop3);
  void FillLogicalRect(double x, double y, double width, double height, COLORREF color);

  // ---- Text (raster_text.cpp) ----------------------------------------------------------
  void DrawTextUnderline(const double* origin, const double* advance, const double* down, double em,
                         double position, double thickness);

  cairo_t* cr_;
  cairo_surface_t* surface_;
  double offsetX_, offsetY_, width_, height_;
  double scaleX_ = 1, scaleY_ = 1;  // pixels per point of the picture
  bool scaleFixed_ = false;         // BeginPicture keeps the scale (FixPageScale)
  std::int32_t surfaceWidth_, surfaceHeight_;

  std::vector<TQVRasterPathPoint> path_;
  std::int32_t currentX_ = 0, currentY_ = 0;  // the current position, logical

  // Clip regions of the saved levels (null: unclipped), the current one last.
  std::vector<cairo_region_t*> clipRegions_;
  std::int32_t ignoredSaves_ = 0;  // saves beyond the depth cap, popped without effect

  // DIB pattern brushes: the player registers the pattern with DrawDIBits and then creates
  // the brush, so each pattern is kept with the serial number that brush receives.
  struct PatternBrush {
    std::int32_t serial;
    cairo_surface_t* surface;
    std::vector<std::uint8_t> pixels;
  };
  std::vector<PatternBrush> patterns_;

  // Reused pixel buffers of bitmaps and raster operations.
  std::vector<std::uint8_t> dibRows_;
  std::vector<std::uint8_t> bgrx_;
  std::vector<std::uint8_t> scratch_;
  std::vector<std::uint8_t> infoBlock_;
  std::vector<qvplatform::PALETTEENTRY> palette_;
  std::vector<TQVRasterPathPoint> blitPath_;  // the path being built, kept aside by a blit
  double blendAlpha_ = 1.0;                   // constant alpha of the blend being drawn
  cairo_surface_t* hatchMasks_[6] = {};

  TQVRasterFonts fonts_;
  std::vector<std::uint16_t> glyphIds_;
  std::vector<cairo_glyph_t> glyphs_;
  std::vector<char16_t> wide_;
  std::vector<qvplatform::UINT> order_;
  std::vector<std::int32_t> visualSpacing_;

  TQVRasterStats stats_;
};

}  // namespace vellora
