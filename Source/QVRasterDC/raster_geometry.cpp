// Lines, curves, shapes and the path bracket: every figure is built into the path buffer in
// pixels and painted at once, or kept for DrawPath and SelectClipPath while a bracket is open.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "QVRasterDC/raster_device.h"
#include "qvplatform/glyph_path.h"

namespace vellora {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * kPi;
constexpr double kHalfPi = kPi / 2;

// Half the box's extent less half a unit, as GDI inscribes the ellipse; never 0.
double Radius(std::int32_t a, std::int32_t b) {
  const double r = (std::fabs(double(b) - double(a)) - 1) / 2;
  return r > 0.0005 ? r : 0.0005;
}

double Centre(std::int32_t a, std::int32_t b) { return (double(a) + double(b)) / 2; }

}  // namespace

void TQVRasterDevice::PathMove(const cairo_matrix_t& m, double x, double y) {
  double px, py;
  PixelPoint(m, x, y, px, py);
  path_.push_back({TQVRasterPathPoint::kMove, px, py});
}

void TQVRasterDevice::PathLine(const cairo_matrix_t& m, double x, double y) {
  double px, py;
  PixelPoint(m, x, y, px, py);
  // A line needs a figure to extend: a bare one starts at the current position.
  if (path_.empty() || path_.back().kind == TQVRasterPathPoint::kClose) {
    double cx, cy;
    PixelPoint(m, currentX_, currentY_, cx, cy);
    path_.push_back({TQVRasterPathPoint::kMove, cx, cy});
  }
  path_.push_back({TQVRasterPathPoint::kLine, px, py});
}

void TQVRasterDevice::PathCurve(const cairo_matrix_t& m, const double* xy) {
  if (path_.empty() || path_.back().kind == TQVRasterPathPoint::kClose) {
    double cx, cy;
    PixelPoint(m, currentX_, currentY_, cx, cy);
    path_.push_back({TQVRasterPathPoint::kMove, cx, cy});
  }
  for (int i = 0; i < 3; ++i) {
    double px, py;
    PixelPoint(m, xy[2 * i], xy[2 * i + 1], px, py);
    path_.push_back({TQVRasterPathPoint::kCurve, px, py});
  }
}

void TQVRasterDevice::PathClose() {
  if (!path_.empty() && path_.back().kind != TQVRasterPathPoint::kClose)
    path_.push_back({TQVRasterPathPoint::kClose, 0, 0});
}

void TQVRasterDevice::EmitPath(bool onPixelCentres) {
  cairo_new_path(cr_);
  cairo_identity_matrix(cr_);
  // A one-pixel line runs through the centres of the pixels its points fall in.
  const auto place = [onPixelCentres](double v) {
    return onPixelCentres ? std::floor(v) + 0.5 : v;
  };
  std::size_t i = 0;
  const std::size_t n = path_.size();
  while (i < n) {
    const TQVRasterPathPoint& p = path_[i];
    switch (p.kind) {
      case TQVRasterPathPoint::kMove:
        cairo_move_to(cr_, place(p.x), place(p.y));
        break;
      case TQVRasterPathPoint::kLine:
        cairo_line_to(cr_, place(p.x), place(p.y));
        break;
      case TQVRasterPathPoint::kCurve:
        if (i + 2 < n) {
          const TQVRasterPathPoint& b = path_[i + 1];
          const TQVRasterPathPoint& c = path_[i + 2];
          cairo_curve_to(cr_, place(p.x), place(p.y), place(b.x), place(b.y), place(c.x),
                         place(c.y));
          i += 2;
        }
        break;
      case TQVRasterPathPoint::kClose:
        cairo_close_path(cr_);
        break;
    }
    ++i;
  }
}

void TQVRasterDevice::Finish(bool fill, bool stroke) {
  if (InBracket()) return;
  if (fill) FillCurrentPath(CurrentDCState().winding);
  if (stroke) StrokeCurrentPath();
  path_.clear();
}

void TQVRasterDevice::MoveTo(std::int32_t x, std::int32_t y, POINTL* previous) {
  if (previous) *previous = POINTL{currentX_, currentY_};
  currentX_ = x;
  currentY_ = y;
  if (InBracket()) {
    const cairo_matrix_t m = LogicalToPixel();
    PathMove(m, x, y);
  }
}

void TQVRasterDevice::LineTo(std::int32_t x, std::int32_t y) {
  const cairo_matrix_t m = LogicalToPixel();
  if (!InBracket()) {
    path_.clear();
    PathMove(m, currentX_, currentY_);
  }
  PathLine(m, x, y);
  currentX_ = x;
  currentY_ = y;
  Finish(false, true);
}

std::int32_t TQVRasterDevice::StartFigure(const cairo_matrix_t& m, POINTL first,
                                          bool continueFromCurrent) {
  if (!InBracket()) path_.clear();
  if (continueFromCurrent) {
    // From the current position: inside a bracket the figure so far goes on.
    if (path_.empty() || !InBracket()) PathMove(m, currentX_, currentY_);
    return 0;
  }
  PathMove(m, first.x, first.y);
  return 1;
}

void TQVRasterDevice::Polyline(const POINTL* points, std::int32_t count, bool continueFromCurrent,
                               bool prepare, bool stroke) {
  (void)prepare;
  if (points == nullptr || count <= 0) return;
  const cairo_matrix_t m = LogicalToPixel();
  std::int32_t i = StartFigure(m, points[0], continueFromCurrent);
  for (; i < count; ++i) PathLine(m, points[i].x, points[i].y);
  currentX_ = points[count - 1].x;
  currentY_ = points[count - 1].y;
  Finish(false, stroke);
}

void TQVRasterDevice::PolyBezier(const POINTL* points, std::int32_t count,
                                 bool continueFromCurrent) {
  if (points == nullptr || count <= 0) return;
  const cairo_matrix_t m = LogicalToPixel();
  std::int32_t i = StartFigure(m, points[0], continueFromCurrent);
  for (; i + 2 < count; i += 3) {
    const double xy[6] = {double(points[i].x),     double(points[i].y),
                          double(points[i + 1].x), double(points[i + 1].y),
                          double(points[i + 2].x), double(points[i + 2].y)};
    PathCurve(m, xy);
    currentX_ = points[i + 2].x;
    currentY_ = points[i + 2].y;
  }
  if (!continueFromCurrent && count == 1) {
    currentX_ = points[0].x;
    currentY_ = points[0].y;
  }
  Finish(false, true);
}

void TQVRasterDevice::Polygon(const POINTL* points, std::int32_t count) {
  if (points == nullptr || count <= 0) return;
  const cairo_matrix_t m = LogicalToPixel();
  if (!InBracket()) path_.clear();
  PathMove(m, points[0].x, points[0].y);
  for (std::int32_t i = 1; i < count; ++i) PathLine(m, points[i].x, points[i].y);
  PathClose();
  Finish(true, true);
}

void TQVRasterDevice::PolyDraw(const POINTL* points, const std::uint8_t* types,
                               std::int32_t count) {
  if (points == nullptr || types == nullptr || count <= 0) return;
  const cairo_matrix_t m = LogicalToPixel();
  if (!InBracket()) {
    path_.clear();
    PathMove(m, currentX_, currentY_);
  }
  for (std::int32_t i = 0; i < count; ++i) {
    const std::uint8_t type = static_cast<std::uint8_t>(types[i] & ~qvplatform::PT_CLOSEFIGURE);
    if (type == qvplatform::PT_MOVETO) {
      PathMove(m, points[i].x, points[i].y);
    } else if (type == qvplatform::PT_LINETO) {
      PathLine(m, points[i].x, points[i].y);
    } else if (type == qvplatform::PT_BEZIERTO && i + 2 < count) {
      const double xy[6] = {double(points[i].x),     double(points[i].y),
                            double(points[i + 1].x), double(points[i + 1].y),
                            double(points[i + 2].x), double(points[i + 2].y)};
      PathCurve(m, xy);
      i += 2;
    } else {
      continue;  // a type GDI would refuse: the point is left out
    }
    currentX_ = points[i].x;
    currentY_ = points[i].y;
    if (types[i] & qvplatform::PT_CLOSEFIGURE) PathClose();
  }
  Finish(false, true);
}

void TQVRasterDevice::Rectangle(const RECTL& box) {
  const cairo_matrix_t m = LogicalToPixel();
  if (!InBracket()) path_.clear();
  PathMove(m, box.left, box.top);
  PathLine(m, box.right, box.top);
  PathLine(m, box.right, box.bottom);
  PathLine(m, box.left, box.bottom);
  PathClose();
  Finish(true, true);
}

void TQVRasterDevice::RoundRect(const RECTL& box, std::int32_t cornerWidth,
                                std::int32_t cornerHeight) {
  // Built on the box as given, each corner a quarter ellipse of the corner radii, so that the
  // shape comes out right whichever way the axes point.
  const double l = box.left, t = box.top, r = box.right, b = box.bottom;
  const double sx = r >= l ? 1 : -1, sy = b >= t ? 1 : -1;
  const double rx = sx * std::min(std::fabs(double(cornerWidth)) / 2, std::fabs(r - l) / 2);
  const double ry = sy * std::min(std::fabs(double(cornerHeight)) / 2, std::fabs(b - t) / 2);
  const double k = 1 - 0.5522847498;  // where a quarter circle's handles end, from the corner
  const cairo_matrix_t m = LogicalToPixel();
  if (!InBracket()) path_.clear();
  PathMove(m, l + rx, t);
  PathLine(m, r - rx, t);
  const double c1[6] = {r - k * rx, t, r, t + k * ry, r, t + ry};
  PathCurve(m, c1);
  PathLine(m, r, b - ry);
  const double c2[6] = {r, b - k * ry, r - k * rx, b, r - rx, b};
  PathCurve(m, c2);
  PathLine(m, l + rx, b);
  const double c3[6] = {l + k * rx, b, l, b - k * ry, l, b - ry};
  PathCurve(m, c3);
  PathLine(m, l, t + ry);
  const double c4[6] = {l, t + k * ry, l + k * rx, t, l + rx, t};
  PathCurve(m, c4);
  PathClose();
  Finish(true, true);
}

void TQVRasterDevice::AddArc(const cairo_matrix_t& m, double cx, double cy, double rx, double ry,
                             double start, double sweep, bool connect, double& endX, double& endY) {
  // Angles are measured with y up in the level's frame: under the y flip logical y is up
  // already, otherwise it points down and the angle's sine is turned over.
  const double ys = dcStack.yFlip ? 1.0 : -1.0;
  const auto at = [&](double a, double& x, double& y) {
    x = cx + rx * std::cos(a);
    y = cy + ys * ry * std::sin(a);
  };
  double x0, y0;
  at(start, x0, y0);
  if (connect && !path_.empty() && path_.back().kind != TQVRasterPathPoint::kClose)
    PathLine(m, x0, y0);
  else
    PathMove(m, x0, y0);
  const int segments = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / kHalfPi - 1e-9)));
  const double step = sweep / segments;
  const double handle = 4.0 / 3.0 * std::tan(step / 4);
  double a = start;
  for (int i = 0; i < segments; ++i) {
    const double b = a + step;
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    const double xy[6] = {cx + rx * (ca - handle * sa),
                          cy + ys * ry * (sa + handle * ca),
                          cx + rx * (cb + handle * sb),
                          cy + ys * ry * (sb - handle * cb),
                          cx + rx * cb,
                          cy + ys * ry * sb};
    PathCurve(m, xy);
    a = b;
  }
  at(start + sweep, endX, endY);
}

void TQVRasterDevice::ArcAngles(const RECTL& box, POINTL start, POINTL end, double& from,
                                double& sweep) {
  const double cx = Centre(box.left, box.right), cy = Centre(box.top, box.bottom);
  const double rx = Radius(box.left, box.right), ry = Radius(box.top, box.bottom);
  const double ys = dcStack.yFlip ? 1.0 : -1.0;
  const auto angle = [&](POINTL p) {
    return std::atan2(ys * (double(p.y) - cy) * rx, (double(p.x) - cx) * ry);
  };
  const double a = angle(start), b = angle(end);
  from = a;
  // Growing angles run counter-clockwise as seen unless the mapping mirrors.
  const bool growing = CurrentDCState().clockwise == Mirrored();
  if (start.x == end.x && start.y == end.y) {
    sweep = growing ? kTwoPi : -kTwoPi;
    return;
  }
  double up = b - a, down = a - b;
  if (up <= 0) up += kTwoPi;
  if (down <= 0) down += kTwoPi;
  sweep = growing ? up : -down;
}

void TQVRasterDevice::Ellipse(const RECTL& box, bool fill) {
  const cairo_matrix_t m = LogicalToPixel();
  if (!InBracket()) path_.clear();
  double ex, ey;
  AddArc(m, Centre(box.left, box.right), Centre(box.top, box.bottom), Radius(box.left, box.right),
         Radius(box.top, box.bottom), 0, kTwoPi, false, ex, ey);
  PathClose();
  Finish(fill, true);
}

void TQVRasterDevice::Arc(const RECTL& box, POINTL start, POINTL end, bool arcTo) {
  double from, sweep;
  ArcAngles(box, start, end, from, sweep);
  const cairo_matrix_t m = LogicalToPixel();
  if (!InBracket()) {
    path_.clear();
    if (arcTo) PathMove(m, currentX_, currentY_);
  } else if (arcTo && path_.empty()) {
    PathMove(m, currentX_, currentY_);
  }
  double ex, ey;
  AddArc(m, Centre(box.left, box.right), Centre(box.top, box.bottom), Radius(box.left, box.right),
         Radius(box.top, box.bottom), from, sweep, arcTo, ex, ey);
  if (arcTo) {
    currentX_ = static_cast<std::int32_t>(std::lround(ex));
    currentY_ = static_cast<std::int32_t>(std::lround(ey));
  }
  Finish(false, true);
}

void TQVRasterDevice::Chord(const RECTL& box, POINTL start, POINTL end) {
  double from, sweep;
  ArcAngles(box, start, end, from, sweep);
  const cairo_matrix_t m = LogicalToPixel();
  if (!InBracket()) path_.clear();
  double ex, ey;
  AddArc(m, Centre(box.left, box.right), Centre(box.top, box.bottom), Radius(box.left, box.right),
         Radius(box.top, box.bottom), from, sweep, false, ex, ey);
  PathClose();
  Finish(true, true);
}

void TQVRasterDevice::Pie(const RECTL& box, POINTL start, POINTL end) {
  double from, sweep;
  ArcAngles(box, start, end, from, sweep);
  const cairo_matrix_t m = LogicalToPixel();
  if (!InBracket()) path_.clear();
  const double cx = Centre(box.left, box.right), cy = Centre(box.top, box.bottom);
  PathMove(m, cx, cy);
  double ex, ey;
  AddArc(m, cx, cy, Radius(box.left, box.right), Radius(box.top, box.bottom), from, sweep, true, ex,
         ey);
  PathClose();
  Finish(true, true);
}

void TQVRasterDevice::AngleArc(std::int32_t centerX, std::int32_t centerY, std::int32_t radius,
                               float startAngle, float sweepAngle) {
  if (!std::isfinite(startAngle) || !std::isfinite(sweepAngle)) return;
  double start = double(startAngle) / 360 * kTwoPi;
  double sweep = std::clamp(double(sweepAngle) / 360 * kTwoPi, -kTwoPi, kTwoPi);
  // Counter-clockwise as seen; a mirroring mapping turns the angles round.
  if (Mirrored()) {
    start = -start;
    sweep = -sweep;
  }
  const cairo_matrix_t m = LogicalToPixel();
  if (!InBracket()) {
    path_.clear();
    PathMove(m, currentX_, currentY_);
  } else if (path_.empty()) {
    PathMove(m, currentX_, currentY_);
  }
  const double r = std::max(std::fabs(double(radius)), 0.0005);
  double ex, ey;
  AddArc(m, centerX, centerY, r, r, start, sweep, true, ex, ey);
  currentX_ = static_cast<std::int32_t>(std::lround(std::clamp(ex, -2.0e9, 2.0e9)));
  currentY_ = static_cast<std::int32_t>(std::lround(std::clamp(ey, -2.0e9, 2.0e9)));
  Finish(false, true);
}

void TQVRasterDevice::BeginPath(std::int32_t mode) {
  // An explicit bracket discards any path before it; the player's groups keep it.
  if (pathNesting == 0) path_.clear();
  TQVGenericDevice::BeginPath(mode);
}

void TQVRasterDevice::CloseFigure() { PathClose(); }

void TQVRasterDevice::DrawPath(bool stroke, bool fill) {
  if (InBracket()) return;  // GDI paints only a closed bracket
  if (fill) {
    // Filling closes every open figure.
    FillCurrentPath(CurrentDCState().winding);
  }
  if (stroke) StrokeCurrentPath();
  path_.clear();
}

}  // namespace vellora
