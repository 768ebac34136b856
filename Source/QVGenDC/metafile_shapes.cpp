// Point and text records of the player. The 16-bit variants (85-91) are widened into the same
// point buffer and take the same road as their 32-bit forms (2-8), so both make the same calls.
#include <algorithm>
#include <cstring>

#include "QVGenDC/metafile_player.h"
#include "qvplatform/emf_parts.h"

namespace vellora {

namespace {

using namespace qvplatform;  // NOLINT: the record names read best unqualified here

// The 32-bit type of a 16-bit point record (85-91 -> 2-8); other types stay.
DWORD Type32(DWORD type) {
  return type >= EMR_POLYBEZIER16 && type <= EMR_POLYPOLYGON16
             ? type - (EMR_POLYBEZIER16 - EMR_POLYBEZIER)
             : type;
}

std::int32_t Count32(std::uint64_t n) { return static_cast<std::int32_t>(n); }  // < 2^30

}  // namespace

const POINTL* TQVMetafilePlayer::CopyPoints(const EmfArray<POINTL>& points) {
  POINTL* out = points_.Reserve(points.Count());
  points.CopyTo(out);
  return out;
}

const POINTL* TQVMetafilePlayer::CopyPoints(const EmfArray<POINTS>& points) {
  return WidenPoints(points, points_);
}

template <class Point>
void TQVMetafilePlayer::PlayPoly(const EmfRecord& r) {
  const EmfPolyPoints<Point> p = ReadPolyPoints<Point>(r);
  if (!p.ok) return Damaged();
  if (p.points.Empty()) return;  // nothing to draw
  const POINTL* points = CopyPoints(p.points);
  const std::int32_t n = Count32(p.points.Count());
  TQVGenericDevice& d = device_;
  switch (Type32(r.Type())) {
    case EMR_POLYBEZIER:
      d.PolyBezier(points, n, false);
      break;
    case EMR_POLYGON:
      d.Polygon(points, n);
      break;
    case EMR_POLYLINE:
      d.Polyline(points, n, false, true, true);
      break;
    case EMR_POLYBEZIERTO:
      d.PolyBezier(points, n, true);
      break;
    default:
      d.Polyline(points, n, true, true, true);
      break;  // EMR_POLYLINETO
  }
}

template <class Point>
void TQVMetafilePlayer::PlayPolyPoly(const EmfRecord& r) {
  const EmfPolyPolyPoints<Point> p = ReadPolyPolyPoints<Point>(r);
  if (!p.ok) return Damaged();
  if (p.points.Empty() || p.counts.Empty()) return;
  const POINTL* points = CopyPoints(p.points);
  TQVGenericDevice& d = device_;
  const bool polygons = Type32(r.Type()) == EMR_POLYPOLYGON;
  // A polygon group drawn with a pen style above 4 is an explicit path.
  d.BeginPath(polygons ? (d.CurrentDCState().penStyle > 4 ? 3 : 2) : 1);
  // The reader checked that the counts add up to no more than the points.
  std::size_t at = 0;
  for (std::uint32_t i = 0; i < p.counts.Count(); ++i) {
    const DWORD count = p.counts[i];
    if (count == 0) continue;  // an empty member draws nothing
    if (polygons)
      d.Polygon(points + at, Count32(count));
    else
      d.Polyline(points + at, Count32(count), false, true, true);
    at += count;
  }
  d.EndPath();
  if (d.pathNesting == 0) d.DrawPath(true, polygons);
}

template void TQVMetafilePlayer::PlayPoly<POINTL>(const EmfRecord&);
template void TQVMetafilePlayer::PlayPoly<POINTS>(const EmfRecord&);
template void TQVMetafilePlayer::PlayPolyPoly<POINTL>(const EmfRecord&);
template void TQVMetafilePlayer::PlayPolyPoly<POINTS>(const EmfRecord&);

void TQVMetafilePlayer::PlayPolyDraw(const EmfRecord& r) {
  const EmfPolyDrawPoints<POINTL> p = ReadPolyDrawPoints<POINTL>(r);
  if (!p.ok) return Damaged();
  if (p.points.Empty()) return;
  device_.PolyDraw(CopyPoints(p.points), p.types.Bytes(), Count32(p.points.Count()));
}

void TQVMetafilePlayer::PlayText(const EmfRecord& r) {
  const EmfText t = ReadExtTextOut(r);
  if (!t.ok) return Damaged();
  const EMRTEXT& e = t.fixed.emrtext;
  const bool wide = r.Type() == EMR_EXTTEXTOUTW;
  if (wide ? !t.chars16.Valid() : !t.chars8.Valid()) return Damaged();
  const std::uint32_t n = e.nChars;  // the string lies inside the record: below 2^31
  // Never a null text for the record's kind, so that an empty text still tells A from W.
  const char16_t* wideText = nullptr;
  const char* ansiText = nullptr;
  if (wide) {
    char16_t* out = wideText_.Reserve(std::max<std::size_t>(n, 1));
    t.chars16.CopyTo(out);
    wideText = out;
  } else {
    char* out = ansiText_.Reserve(std::max<std::size_t>(n, 1));
    if (n != 0) std::memcpy(out, t.chars8.Bytes(), n);
    ansiText = out;
  }
  // One advance per character: with ETO_PDY the array holds x and y advances in pairs, of
  // which the x advances are handed on.
  const std::int32_t* spacing = nullptr;
  if (n != 0 && t.dx.Valid()) {
    std::int32_t* out = spacing_.Reserve(n);
    if (e.fOptions & ETO_PDY) {
      for (std::uint32_t i = 0; i < n; ++i) out[i] = t.dx[std::size_t{2} * i];
    } else {
      t.dx.CopyTo(out);
    }
    spacing = out;
  }
  device_.ExtTextOut(e.ptlReference.x, e.ptlReference.y, e.fOptions, e.rcl, wideText, ansiText,
                     Count32(n), spacing);
}

}  // namespace vellora
