// The variable parts of the records that carry arrays, read through EmfRecord: each reader copies
// the fixed part and hands out its arrays only after checking every count and offset against the
// record. `ok` is false when the fixed part or a required array does not fit; arrays that the
// caller may do without (a text's spacing array) carry their own Valid().
#pragma once

#include <cstdint>

#include "qvplatform/emf_reader.h"
#include "qvplatform/emf_record_table.h"

namespace qvplatform {

// 2-6 (POINTL) and 85-89 (POINTS).
template <class Point>
struct EmfPolyPoints {
  RECTL bounds;
  EmfArray<Point> points;
  bool ok = false;
};

// 7, 8 (POINTL) and 90, 91 (POINTS). ok also requires the polygon counts to add up to no more
// than the points the record carries.
template <class Point>
struct EmfPolyPolyPoints {
  RECTL bounds;
  EmfArray<DWORD> counts;
  EmfArray<Point> points;
  bool ok = false;
};

// 56 (POINTL) and 92 (POINTS): the points, then one type byte per point.
template <class Point>
struct EmfPolyDrawPoints {
  RECTL bounds;
  EmfArray<Point> points;
  EmfBytes types;
  bool ok = false;
};

template <class Point>
EmfPolyPoints<Point> ReadPolyPoints(const EmfRecord& record) {
  EmfPolyPoints<Point> out;
  EMRPOLYLINE fixed;
  if (!record.Read(fixed)) return out;
  out.bounds = fixed.rclBounds;
  out.points = record.Array<Point>(sizeof(fixed), fixed.cptl);
  out.ok = out.points.Valid();
  return out;
}

template <class Point>
EmfPolyPolyPoints<Point> ReadPolyPolyPoints(const EmfRecord& record) {
  EmfPolyPolyPoints<Point> out;
  EMRPOLYPOLYLINE fixed;
  if (!record.Read(fixed)) return out;
  out.bounds = fixed.rclBounds;
  out.counts = record.Array<DWORD>(sizeof(fixed), fixed.nPolys);
  if (!out.counts.Valid()) return out;
  const std::uint64_t pointsAt = sizeof(fixed) + std::uint64_t{fixed.nPolys} * sizeof(DWORD);
  out.points = record.Array<Point>(pointsAt, fixed.cptl);
  if (!out.points.Valid()) return out;
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < out.counts.Count(); ++i) total += out.counts[i];
  out.ok = total <= out.points.Count();
  return out;
}

template <class Point>
EmfPolyDrawPoints<Point> ReadPolyDrawPoints(const EmfRecord& record) {
  EmfPolyDrawPoints<Point> out;
  EMRPOLYDRAW fixed;
  if (!record.Read(fixed)) return out;
  out.bounds = fixed.rclBounds;
  out.points = record.Array<Point>(sizeof(fixed), fixed.cptl);
  if (!out.points.Valid()) return out;
  out.types = record.Block(sizeof(fixed) + std::uint64_t{fixed.cptl} * sizeof(Point), fixed.cptl);
  out.ok = out.types.Valid();
  return out;
}

// 83, 84: the string (chars8 for 83, chars16 for 84) and the spacing array (nChars values, twice
// as many with ETO_PDY) must lie after the fixed part; either may be invalid while ok is true.
struct EmfText {
  EMREXTTEXTOUTW fixed;
  EmfBytes chars8;
  EmfArray<WCHAR> chars16;
  EmfArray<INT> dx;
  bool ok = false;
};

inline EmfText ReadExtTextOut(const EmfRecord& record) {
  EmfText out;
  if (!record.Read(out.fixed)) return out;
  const EMRTEXT& t = out.fixed.emrtext;
  if (record.Type() == EMR_EXTTEXTOUTW)
    out.chars16 = record.Array<WCHAR>(t.offString, t.nChars, sizeof(out.fixed));
  else
    out.chars8 = record.Block(t.offString, t.nChars, sizeof(out.fixed));
  const std::uint64_t dxCount = std::uint64_t{t.nChars} * ((t.fOptions & ETO_PDY) ? 2 : 1);
  out.dx = record.Array<INT>(t.offDx, dxCount, sizeof(out.fixed));
  out.ok = true;
  return out;
}

// 70.
struct EmfComment {
  DWORD cbData = 0;
  EmfBytes data;
  bool ok = false;
};

inline EmfComment ReadGdiComment(const EmfRecord& record) {
  EmfComment out;
  EMRGDICOMMENT fixed;
  if (!record.Read(fixed)) return out;
  out.cbData = fixed.cbData;
  out.data = record.Block(sizeof(fixed), fixed.cbData);
  out.ok = out.data.Valid();
  return out;
}

// Region data: an RGNDATAHEADER and nCount rectangles inside cbRgnData bytes at offset.
struct EmfRegion {
  RGNDATAHEADER header;
  EmfArray<RECTL> rects;
  bool ok = false;
};

inline EmfRegion ReadRegionData(const EmfRecord& record, std::uint64_t offset, DWORD cbRgnData) {
  EmfRegion out;
  if (cbRgnData < sizeof(RGNDATAHEADER) || !record.Holds(offset, 1, cbRgnData)) return out;
  record.Read(out.header, offset);
  const std::uint64_t room = cbRgnData - sizeof(RGNDATAHEADER);
  if (out.header.nCount > room / sizeof(RECTL)) return out;
  out.rects = record.Array<RECTL>(offset + sizeof(RGNDATAHEADER), out.header.nCount);
  out.ok = out.rects.Valid();
  return out;
}

// 73, 74 (EMRINVERTRGN layout).
inline EmfRegion ReadPaintRegion(const EmfRecord& record, EMRPAINTRGN& fixed) {
  if (!record.Read(fixed)) return EmfRegion{};
  return ReadRegionData(record, sizeof(fixed), fixed.cbRgnData);
}

// 75. A record with cbRgnData 0 has no region (the clip is reset): the result is then not ok,
// and the caller looks at fixed.cbRgnData first.
inline EmfRegion ReadClipRegion(const EmfRecord& record, EMREXTSELECTCLIPRGN& fixed) {
  if (!record.Read(fixed)) return EmfRegion{};
  return ReadRegionData(record, sizeof(fixed), fixed.cbRgnData);
}

// 49.
struct EmfPalette {
  EMRCREATEPALETTE fixed;
  EmfArray<PALETTEENTRY> entries;
  bool ok = false;
};

inline EmfPalette ReadCreatePalette(const EmfRecord& record) {
  EmfPalette out;
  if (!record.Read(out.fixed)) return out;
  out.entries = record.Array<PALETTEENTRY>(sizeof(out.fixed), out.fixed.palNumEntries);
  out.ok = out.entries.Valid();
  return out;
}

// 118: nVer vertices and nTri rectangles (modes 0, 1) or triangles (mode 2); another mode is
// not ok. Vertex indexes inside the rectangles and triangles are not checked here.
struct EmfGradient {
  EMRGRADIENTFILL fixed;
  EmfArray<TRIVERTEX> vertices;
  EmfArray<GRADIENT_RECT> rects;
  EmfArray<GRADIENT_TRIANGLE> triangles;
  bool ok = false;
};

inline EmfGradient ReadGradientFill(const EmfRecord& record) {
  EmfGradient out;
  if (!record.Read(out.fixed)) return out;
  out.vertices = record.Array<TRIVERTEX>(sizeof(out.fixed), out.fixed.nVer);
  if (!out.vertices.Valid()) return out;
  const std::uint64_t meshAt = sizeof(out.fixed) + out.vertices.ByteSize();
  switch (out.fixed.ulMode) {
    case GRADIENT_FILL_RECT_H:
    case GRADIENT_FILL_RECT_V:
      out.rects = record.Array<GRADIENT_RECT>(meshAt, out.fixed.nTri);
      out.ok = out.rects.Valid();
      break;
    case GRADIENT_FILL_TRIANGLE:
      out.triangles = record.Array<GRADIENT_TRIANGLE>(meshAt, out.fixed.nTri);
      out.ok = out.triangles.Valid();
      break;
    default:
      break;
  }
  return out;
}

// 95: the style entries after the fixed part, valid or not on their own (its bitmap: see
// emf_dib.h).
struct EmfExtPen {
  EMREXTCREATEPEN fixed;
  EmfArray<DWORD> styleEntries;
  bool ok = false;
};

inline EmfExtPen ReadExtCreatePen(const EmfRecord& record) {
  EmfExtPen out;
  if (!record.Read(out.fixed)) return out;
  out.styleEntries = record.Array<DWORD>(sizeof(out.fixed), out.fixed.elp.elpNumEntries);
  out.ok = true;
  return out;
}

// Type 115 is EMR_SETLAYOUT (12 bytes) in current metafiles: only a record long enough for the
// stretch-DIB layout is the older alpha blend, read as EmfLayout::kStretchDIBits.
inline bool EmfIsOldAlphaDibBlend(const EmfRecord& record) {
  return record.Type() == EMR_ALPHADIBBLEND && record.Size() >= sizeof(EMRSTRETCHDIBITS);
}

// Whether a layout carries arrays that ReadEmfParts reads.
template <EmfLayout L>
constexpr bool EmfHasParts = L >= EmfLayout::kPolyPoints&& L <= EmfLayout::kExtCreatePen;

// The variable parts of a record of layout L, through the reader above that belongs to it.
template <EmfLayout L>
requires EmfHasParts<L>
auto ReadEmfParts(const EmfRecord& record) {
  using L_ = EmfLayout;
  if constexpr (L == L_::kPolyPoints) {
    return ReadPolyPoints<POINTL>(record);
  } else if constexpr (L == L_::kPolyPoints16) {
    return ReadPolyPoints<POINTS>(record);
  } else if constexpr (L == L_::kPolyPolyPoints) {
    return ReadPolyPolyPoints<POINTL>(record);
  } else if constexpr (L == L_::kPolyPolyPoints16) {
    return ReadPolyPolyPoints<POINTS>(record);
  } else if constexpr (L == L_::kPolyDraw) {
    return ReadPolyDrawPoints<POINTL>(record);
  } else if constexpr (L == L_::kPolyDraw16) {
    return ReadPolyDrawPoints<POINTS>(record);
  } else if constexpr (L == L_::kExtTextOut) {
    return ReadExtTextOut(record);
  } else if constexpr (L == L_::kGdiComment) {
    return ReadGdiComment(record);
  } else if constexpr (L == L_::kPaintRegion) {
    EMRPAINTRGN fixed;
    return ReadPaintRegion(record, fixed);
  } else if constexpr (L == L_::kClipRegion) {
    EMREXTSELECTCLIPRGN fixed;
    return ReadClipRegion(record, fixed);
  } else if constexpr (L == L_::kCreatePalette) {
    return ReadCreatePalette(record);
  } else if constexpr (L == L_::kGradientFill) {
    return ReadGradientFill(record);
  } else {
    static_assert(L == L_::kExtCreatePen);
    return ReadExtCreatePen(record);
  }
}

}  // namespace qvplatform
