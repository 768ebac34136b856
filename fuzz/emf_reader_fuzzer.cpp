// Fuzz target for the metafile reader: checks the header, walks every record, reads each
// record's fixed part as its type and every variable part (points, counts, strings, spacing,
// regions, palettes, gradients, pen styles, bitmaps) through the bounds-checked readers. Which
// reading a type gets comes from the platform's table of record layouts, as the player's does.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "qvplatform/emf_buffer.h"
#include "qvplatform/emf_dib.h"
#include "qvplatform/emf_parts.h"
#include "qvplatform/emf_reader.h"
#include "qvplatform/emf_record_table.h"

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

void Dib(const EmfRecord& rec, const EmfDibSource& source) {
  EmfDib dib;
  if (ReadDib(rec, source, dib) != DibStatus::kOk) return;
  g_sink = g_sink + dib.Info()[dib.InfoSize() - 1] + dib.Color(dib.ColorCount() - 1).rgbRed +
           dib.Mask(2);
  if (dib.BitsSize() != 0) g_sink = g_sink + dib.Bits()[0] + dib.Bits()[dib.BitsSize() - 1];
  if (dib.RequiredBitsSize() > dib.BitsSize()) __builtin_trap();
}

// The buffers that points and spacing are copied into, as the player's are.
struct Buffers {
  EmfBuffer<POINTL> points;
  EmfBuffer<INT> ints;
};

void TouchPoints(const EmfArray<POINTL>& p, Buffers& b) {
  Touch(p);
  if (const POINTL* v = b.points.View(p)) g_sink = g_sink + Fold(v[p.Count() - 1]);
}

void TouchPoints(const EmfArray<POINTS>& p, Buffers& b) {
  if (const POINTL* v = WidenPoints(p, b.points)) g_sink = g_sink + Fold(v[p.Count() - 1]);
}

// The variable parts, one overload for each reader of emf_parts.h.
template <class Point>
void TouchParts(const EmfPolyPoints<Point>& p, Buffers& b) {
  TouchPoints(p.points, b);
}

template <class Point>
void TouchParts(const EmfPolyPolyPoints<Point>& p, Buffers& b) {
  Touch(p.counts);
  TouchPoints(p.points, b);
}

template <class Point>
void TouchParts(const EmfPolyDrawPoints<Point>& p, Buffers&) {
  Touch(p.points);
  Touch(p.types);
}

void TouchParts(const EmfText& t, Buffers& b) {
  Touch(t.chars8);
  Touch(t.chars16);
  if (const INT* dx = b.ints.View(t.dx)) g_sink = g_sink + Fold(dx[t.dx.Count() - 1]);
}

void TouchParts(const EmfComment& c, Buffers&) { Touch(c.data); }
void TouchParts(const EmfRegion& r, Buffers&) { Touch(r.rects); }
void TouchParts(const EmfPalette& p, Buffers&) { Touch(p.entries); }

void TouchParts(const EmfGradient& g, Buffers&) {
  Touch(g.vertices);
  Touch(g.rects);
  Touch(g.triangles);
}

void TouchParts(const EmfExtPen& p, Buffers&) { Touch(p.styleEntries); }

// A record as its layout reads it: the fixed part, the arrays, the bitmap.
template <EmfLayout L>
void Visit(const EmfRecord& rec, Buffers& b) {
  typename EmfLayoutTraits<L>::Fixed fixed;
  const bool fixedOk = rec.Read(fixed);
  g_sink = g_sink + fixedOk;
  if constexpr (EmfHasParts<L>) TouchParts(ReadEmfParts<L>(rec), b);
  if constexpr (requires { DibSourceOf(fixed); }) {
    if (fixedOk) Dib(rec, DibSourceOf(fixed));
  }
  if constexpr (L == EmfLayout::kSetLayout) {
    if (EmfIsOldAlphaDibBlend(rec)) Visit<EmfLayout::kStretchDIBits>(rec, b);
  }
}

constexpr auto kVisits = EmfTableByLayout([]<EmfLayout L>() { return &Visit<L>; });

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EmfHeader header;
  if (ReadEmfHeader(data, size, header) != EmfHeaderStatus::kOk) return 0;
  Touch(EmfHeaderDescription(data, header));
  Buffers buffers;
  EmfRecordIterator it = RecordsAfterHeader(data, size, header);
  EmfRecord rec;
  while (it.Next(rec) == EmfNext::kRecord) {
    if (rec.Size() < 8 || rec.Size() % 4 != 0) __builtin_trap();
    kVisits[EmfTableIndex(rec.Type())](rec, buffers);
  }
  g_sink = g_sink + static_cast<std::uint64_t>(it.Error());
  return 0;
}
