// The gradient-fill record of the player: a two-vertex rectangle gradient is drawn as a strip
// of at most 500 pixels made with the platform's gradient routine, or as one solid rectangle
// of the middle colour when that routine is not available.
#include <algorithm>

#include "QVGenDC/metafile_player.h"
#include "QVGenDC/process_settings.h"
#include "qvplatform/emf_parts.h"
#include "qvplatform/gradient_fill.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

using namespace qvplatform;  // NOLINT: the record names read best unqualified here

constexpr std::int64_t kMaxStrip = 500;

unsigned Channel(unsigned a, unsigned b, long double t) {
  if (a < b) return static_cast<unsigned>(a + Round((b - a) * t));
  return static_cast<unsigned>(a - Round((a - b) * t));
}

// A strip length outside 1..500 becomes 500.
LONG StripLength(std::int64_t n) {
  return static_cast<LONG>(n >= 1 && n <= kMaxStrip ? n : kMaxStrip);
}

COLORREF VertexColor(const TRIVERTEX& v) { return RGB(v.Red >> 8, v.Green >> 8, v.Blue >> 8); }

}  // namespace

COLORREF InterpolateColor(COLORREF a, COLORREF b, std::int32_t position, std::int32_t low,
                          std::int32_t high) {
  if (position <= low) return a;
  if (position >= high) return b;
  const long double t = static_cast<long double>(std::int64_t{position} - low) /
                        static_cast<long double>(std::int64_t{high} - low);
  return RGB(Channel(GetRValue(a), GetRValue(b), t), Channel(GetGValue(a), GetGValue(b), t),
             Channel(GetBValue(a), GetBValue(b), t));
}

void TQVMetafilePlayer::PlayGradientFill(const EmfRecord& r) {
  const EmfGradient g = ReadGradientFill(r);
  if (!g.ok) return Damaged();
  const DWORD mode = g.fixed.ulMode;
  // Only a rectangle between exactly two vertices is drawn (a triangle needs three).
  if (g.vertices.Count() != 2 || (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V))
    return;
  const TRIVERTEX v1 = g.vertices[0], v2 = g.vertices[1];
  const std::int64_t dx = std::int64_t{v2.x} - v1.x, dy = std::int64_t{v2.y} - v1.y;
  const GradientFillProc fill = GradientFillEnabled() ? FindGradientFill() : nullptr;
  if (fill == nullptr) {
    device_.FillSolidRect(v1.x, v1.y, ClampToInt32(dx), ClampToInt32(dy),
                          InterpolateColor(VertexColor(v1), VertexColor(v2), 50, 0, 100));
    return;
  }

  const RECTL& b = g.fixed.rclBounds;
  std::int64_t w = std::int64_t{b.right} - b.left, h = std::int64_t{b.bottom} - b.top;
  if (mode == GRADIENT_FILL_RECT_H) {
    h = 1;
    w = std::min(w, dx);
  } else {
    w = 1;
    h = std::min(h, dy);
  }
  Dib24View view;
  view.width = StripLength(w);
  view.height = StripLength(h);
  const std::size_t bytes = Dib24Stride(view.width) * static_cast<std::size_t>(view.height);
  gradientPixels_.assign(bytes, 0);  // at most 500 x 1 or 1 x 500 pixels, reused
  view.bits = gradientPixels_.data();
  TRIVERTEX corners[2] = {v1, v2};
  corners[0].x = corners[0].y = 0;
  corners[1].x = view.width + 1;
  corners[1].y = view.height + 1;
  const GRADIENT_RECT rect{0, 1};
  fill(view, corners, 2, &rect, 1, mode);
  const std::vector<std::uint8_t> file = MakeBitmapFile24(view);
  constexpr std::size_t kInfoAt = sizeof(BITMAPFILEHEADER);
  constexpr std::size_t kBitsAt = kInfoAt + sizeof(BITMAPINFOHEADER);
  if (file.size() <= kBitsAt) return;
  device_.StretchDIBits(v1.x, v1.y, SRCCOPY, kBlitColorUsage,
                        {file.data() + kInfoAt, sizeof(BITMAPINFOHEADER)},
                        {file.data() + kBitsAt, file.size() - kBitsAt}, 0, 0, view.width,
                        view.height, ClampToInt32(dx), ClampToInt32(dy));
}

}  // namespace vellora
