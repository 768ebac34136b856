// Fuzz target for the metafile reader: checks the header, walks every record, reads each
// record's fixed part as its type and every variable part (points, counts, strings, spacing,
// regions, palettes, gradients, pen styles, bitmaps) through the bounds-checked readers.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "qvplatform/emf_buffer.h"
#include "qvplatform/emf_dib.h"
#include "qvplatform/emf_parts.h"
#include "qvplatform/emf_reader.h"

namespace {

using namespace qvplatform;

// Everything read is folded into this value so that no read can be left out.
volatile std::uint64_t g_sink;

template <class T>
std::uint64_t Fold(const T& value) {
  unsigned char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  return bytes[0] + bytes[sizeof(T) - 1];
}

template <class T>
void Touch(const EmfArray<T>& a) {
  if (!a.Valid() || a.Empty()) return;
  std::uint64_t sum = Fold(a[a.Count() - 1]);
  for (std::size_t i = 0; i < a.Count(); i += 1 + a.Count() / 64) sum += Fold(a[i]);
  g_sink = g_sink + sum;
}

template <class T>
void Fixed(const EmfRecord& rec) {
  T fixed;
  g_sink = g_sink + rec.Read(fixed);
}

void Dib(const EmfRecord& rec, const EmfDibSource& source) {
  EmfDib dib;
  if (ReadDib(rec, source, dib) != DibStatus::kOk) return;
  g_sink = g_sink + dib.Info()[dib.InfoSize() - 1] + dib.Color(dib.ColorCount() - 1).rgbRed +
           dib.Mask(2);
  if (dib.BitsSize() != 0) g_sink = g_sink + dib.Bits()[0] + dib.Bits()[dib.BitsSize() - 1];
  if (dib.RequiredBitsSize() > dib.BitsSize()) __builtin_trap();
}

template <class T>
void FixedAndDib(const EmfRecord& rec) {
  T fixed;
  if (rec.Read(fixed)) Dib(rec, DibSourceOf(fixed));
}

void Visit(const EmfRecord& rec, EmfBuffer<POINTL>& points, EmfBuffer<INT>& ints) {
  switch (rec.Type()) {
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO: {
      const auto p = ReadPolyPoints<POINTL>(rec);
      Touch(p.points);
      if (const POINTL* v = points.View(p.points)) g_sink = g_sink + v[p.points.Count() - 1].x;
      break;
    }
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16: {
      const auto p = ReadPolyPoints<POINTS>(rec);
      if (const POINTL* v = WidenPoints(p.points, points))
        g_sink = g_sink + v[p.points.Count() - 1].y;
      break;
    }
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON: {
      const auto p = ReadPolyPolyPoints<POINTL>(rec);
      Touch(p.counts);
      Touch(p.points);
      break;
    }
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: {
      const auto p = ReadPolyPolyPoints<POINTS>(rec);
      Touch(p.counts);
      WidenPoints(p.points, points);
      break;
    }
    case EMR_POLYDRAW:
      Touch(ReadPolyDrawPoints<POINTL>(rec).types);
      break;
    case EMR_POLYDRAW16:
      Touch(ReadPolyDrawPoints<POINTS>(rec).types);
      break;
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW: {
      const EmfText t = ReadExtTextOut(rec);
      Touch(t.chars8);
      Touch(t.chars16);
      if (const INT* dx = ints.View(t.dx)) g_sink = g_sink + dx[t.dx.Count() - 1];
      break;
    }
    case EMR_GDICOMMENT:
      Touch(ReadGdiComment(rec).data);
      break;
    case EMR_INVERTRGN:
    case EMR_PAINTRGN: {
      EMRPAINTRGN fixed;
      Touch(ReadPaintRegion(rec, fixed).rects);
      break;
    }
    case EMR_EXTSELECTCLIPRGN: {
      EMREXTSELECTCLIPRGN fixed;
      Touch(ReadClipRegion(rec, fixed).rects);
      break;
    }
    case EMR_FILLRGN:
      Fixed<EMRFILLRGN>(rec);
      break;
    case EMR_FRAMERGN:
      Fixed<EMRFRAMERGN>(rec);
      break;
    case EMR_CREATEPALETTE:
      Touch(ReadCreatePalette(rec).entries);
      break;
    case EMR_GRADIENTFILL: {
      const EmfGradient g = ReadGradientFill(rec);
      Touch(g.vertices);
      Touch(g.rects);
      Touch(g.triangles);
      break;
    }
    case EMR_EXTCREATEPEN: {
      const EmfExtPen p = ReadExtCreatePen(rec);
      Touch(p.styleEntries);
      if (p.ok) Dib(rec, DibSourceOf(p.fixed));
      break;
    }
    case EMR_BITBLT:
      FixedAndDib<EMRBITBLT>(rec);
      break;
    case EMR_STRETCHBLT:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT:
      FixedAndDib<EMRSTRETCHBLT>(rec);
      break;
    case EMR_STRETCHDIBITS:
      FixedAndDib<EMRSTRETCHDIBITS>(rec);
      break;
    case EMR_ALPHADIBBLEND:
      Fixed<EMRSETLAYOUT>(rec);
      if (rec.Size() >= sizeof(EMRSTRETCHDIBITS)) FixedAndDib<EMRSTRETCHDIBITS>(rec);
      break;
    case EMR_SETDIBITSTODEVICE:
      FixedAndDib<EMRSETDIBITSTODEVICE>(rec);
      break;
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT:
      FixedAndDib<EMRCREATEDIBPATTERNBRUSHPT>(rec);
      break;
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX:
      Fixed<EMRSETWINDOWEXTEX>(rec);
      break;
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETBRUSHORGEX:
      Fixed<EMRSETWINDOWORGEX>(rec);
      break;
    case EMR_EOF:
      Fixed<EMREOF>(rec);
      break;
    case EMR_SETPIXELV:
      Fixed<EMRSETPIXELV>(rec);
      break;
    case EMR_SETMAPPERFLAGS:
    case EMR_SETMAPMODE:
    case EMR_SETBKMODE:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETROP2:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SELECTCLIPPATH:
    case EMR_SETICMMODE:
      Fixed<EMRSETMAPMODE>(rec);
      break;
    case EMR_SETARCDIRECTION:
      Fixed<EMRSETARCDIRECTION>(rec);
      break;
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
      Fixed<EMRSETTEXTCOLOR>(rec);
      break;
    case EMR_OFFSETCLIPRGN:
      Fixed<EMROFFSETCLIPRGN>(rec);
      break;
    case EMR_MOVETOEX:
    case EMR_LINETO:
      Fixed<EMRMOVETOEX>(rec);
      break;
    case EMR_EXCLUDECLIPRECT:
    case EMR_INTERSECTCLIPRECT:
      Fixed<EMREXCLUDECLIPRECT>(rec);
      break;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX:
      Fixed<EMRSCALEVIEWPORTEXTEX>(rec);
      break;
    case EMR_RESTOREDC:
      Fixed<EMRRESTOREDC>(rec);
      break;
    case EMR_SETWORLDTRANSFORM:
      Fixed<EMRSETWORLDTRANSFORM>(rec);
      break;
    case EMR_MODIFYWORLDTRANSFORM:
      Fixed<EMRMODIFYWORLDTRANSFORM>(rec);
      break;
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT:
      Fixed<EMRSELECTOBJECT>(rec);
      break;
    case EMR_SELECTPALETTE:
      Fixed<EMRSELECTPALETTE>(rec);
      break;
    case EMR_CREATEPEN:
      Fixed<EMRCREATEPEN>(rec);
      break;
    case EMR_CREATEBRUSHINDIRECT:
      Fixed<EMRCREATEBRUSHINDIRECT>(rec);
      break;
    case EMR_ANGLEARC:
      Fixed<EMRANGLEARC>(rec);
      break;
    case EMR_ELLIPSE:
    case EMR_RECTANGLE:
      Fixed<EMRELLIPSE>(rec);
      break;
    case EMR_ROUNDRECT:
      Fixed<EMRROUNDRECT>(rec);
      break;
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO:
      Fixed<EMRARC>(rec);
      break;
    case EMR_SETMITERLIMIT:
      Fixed<EMRSETMITERLIMIT>(rec);
      break;
    case EMR_FILLPATH:
    case EMR_STROKEANDFILLPATH:
    case EMR_STROKEPATH:
      Fixed<EMRFILLPATH>(rec);
      break;
    case EMR_EXTCREATEFONTINDIRECTW:
      Fixed<EMREXTCREATEFONTINDIRECTW>(rec);
      break;
    case EMR_SETTEXTJUSTIFICATION:
      Fixed<EMRSETTEXTJUSTIFICATION>(rec);
      break;
    default:
      Fixed<EMR>(rec);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EmfHeader header;
  if (ReadEmfHeader(data, size, header) != EmfHeaderStatus::kOk) return 0;
  Touch(EmfHeaderDescription(data, header));
  EmfBuffer<POINTL> points;
  EmfBuffer<INT> ints;
  EmfRecordIterator it = RecordsAfterHeader(data, size, header);
  EmfRecord rec;
  while (it.Next(rec) == EmfNext::kRecord) {
    if (rec.Size() < 8 || rec.Size() % 4 != 0) __builtin_trap();
    Visit(rec, points, ints);
  }
  g_sink = g_sink + static_cast<std::uint64_t>(it.Error());
  return 0;
}
