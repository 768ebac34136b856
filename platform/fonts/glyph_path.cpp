// Text as glyph outlines in a device context's path: placement, escapement, curves.
#include "qvplatform/glyph_path.h"

#include <cmath>
#include <numbers>

#include "device_context_impl.h"
#include "qvplatform/device_context.h"

namespace qvplatform::fonts {

namespace {

// A path larger than this is refused (a hostile text cannot exhaust memory through it).
constexpr std::size_t kMaxPathPoints = 1u << 24;

LONG RoundCoord(double v) { return RealizedFont::Round32Away(v); }

// Maps text-frame coordinates (u along the baseline, v downwards, in pixels) to the device.
struct Frame {
  double ox, oy, cosA, sinA;
  POINT Map(double u, double v) const {
    return POINT{RoundCoord(ox + u * cosA + v * sinA), RoundCoord(oy - u * sinA + v * cosA)};
  }
};

class PathWriter {
 public:
  PathWriter(const Frame& frame, std::vector<POINT>* points, std::vector<BYTE>* types)
      : frame_(frame), points_(points), types_(types) {}

  void Move(double u, double v) {
    Close();
    start_ = points_->size();
    startU_ = u, startV_ = v;
    Add(u, v, PT_MOVETO);
  }
  void Line(double u, double v) { Add(u, v, PT_LINETO); }
  void Cubic(double u1, double v1, double u2, double v2, double u3, double v3) {
    Add(u1, v1, PT_BEZIERTO);
    Add(u2, v2, PT_BEZIERTO);
    Add(u3, v3, PT_BEZIERTO);
  }
  // A quadratic curve as the cubic that traces it exactly.
  void Conic(double cu, double cv, double u, double v) {
    Cubic(curU_ + 2.0 / 3.0 * (cu - curU_), curV_ + 2.0 / 3.0 * (cv - curV_),
          u + 2.0 / 3.0 * (cu - u), v + 2.0 / 3.0 * (cv - v), u, v);
  }
  // Ends the open figure: a closing line back to the start is implied by PT_CLOSEFIGURE;
  // a figure of a lone move is dropped.
  void Close() {
    if (start_ == kNone) return;
    if (points_->size() - start_ > 1 && types_->back() == PT_LINETO && lastU_ == startU_ &&
        lastV_ == startV_) {
      points_->pop_back();
      types_->pop_back();
    }
    if (points_->size() - start_ <= 1) {
      points_->resize(start_);
      types_->resize(start_);
    } else {
      types_->back() |= PT_CLOSEFIGURE;
    }
    start_ = kNone;
  }
  double CurrentU() const { return curU_; }
  double CurrentV() const { return curV_; }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  void Add(double u, double v, BYTE type) {
    points_->push_back(frame_.Map(u, v));
    types_->push_back(type);
    lastU_ = curU_ = u;
    lastV_ = curV_ = v;
  }
  Frame frame_;
  std::vector<POINT>* points_;
  std::vector<BYTE>* types_;
  std::size_t start_ = kNone;
  double startU_ = 0, startV_ = 0, curU_ = 0, curV_ = 0, lastU_ = 0, lastV_ = 0;
};

}  // namespace

bool AppendTextOutline(const RealizedFont& font, int x, int y, UINT align, UINT options,
                       const std::u16string& text, const INT* dx, std::vector<POINT>* points,
                       std::vector<BYTE>* types) {
  std::vector<std::uint16_t> glyphs(text.size());
  std::vector<double> advances(text.size());
  double total = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    glyphs[i] = (options & ETO_GLYPH_INDEX) ? text[i] : font.GlyphOf(text[i]);
    if (glyphs[i] >= font.Sfnt().NumGlyphs()) glyphs[i] = 0;
    advances[i] = dx ? dx[i] : font.Advance(glyphs[i]);
    total += advances[i];
  }

  // The escapement turns the baseline; alignment moves the start within the turned frame.
  const double angle = font.lf.lfEscapement / 10.0 * std::numbers::pi / 180.0;
  Frame frame{double(x), double(y), std::cos(angle), std::sin(angle)};
  double u = 0, v = 0;
  if ((align & TA_CENTER) == TA_CENTER)
    u = -total / 2;
  else if (align & TA_RIGHT)
    u = -total;
  if ((align & TA_BASELINE) == TA_BASELINE)
    v = 0;
  else if (align & TA_BOTTOM)
    v = -font.CellDescent();
  else
    v = font.CellAscent();

  std::vector<POINT> newPoints;
  std::vector<BYTE> newTypes;
  PathWriter writer(frame, &newPoints, &newTypes);
  const OutlineStyle style{font.simulateBold, font.simulateItalic};
  std::vector<OutlineSegment> segments;
  for (std::size_t i = 0; i < glyphs.size(); ++i) {
    if (!font.face->Outline(glyphs[i], style, &segments)) return false;
    auto U = [&](double gx) { return u + gx * font.xScale; };
    auto V = [&](double gy) { return v - gy * font.yScale; };
    for (const auto& s : segments) {
      switch (s.kind) {
        case OutlineSegment::kMove:
          writer.Move(U(s.x[0]), V(s.y[0]));
          break;
        case OutlineSegment::kLine:
          writer.Line(U(s.x[0]), V(s.y[0]));
          break;
        case OutlineSegment::kConic:
          writer.Conic(U(s.x[0]), V(s.y[0]), U(s.x[1]), V(s.y[1]));
          break;
        case OutlineSegment::kCubic:
          writer.Cubic(U(s.x[0]), V(s.y[0]), U(s.x[1]), V(s.y[1]), U(s.x[2]), V(s.y[2]));
          break;
      }
    }
    writer.Close();
    if (points->size() + newPoints.size() > kMaxPathPoints) return false;
    u += advances[i];
  }
  points->insert(points->end(), newPoints.begin(), newPoints.end());
  types->insert(types->end(), newTypes.begin(), newTypes.end());
  return true;
}

}  // namespace qvplatform::fonts
