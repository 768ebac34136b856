// Every metafile of the shared corpus walked through the reader: each array and bitmap handed out
// lies inside its record, and the intact folders read to their EMR_EOF.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qvplatform/emf_buffer.h"
#include "qvplatform/emf_dib.h"
#include "qvplatform/emf_parts.h"
#include "qvplatform/emf_reader.h"
#include "test_support.h"

namespace vellora_test {
namespace {

using namespace qvplatform;

struct WalkResult {
  EmfHeaderStatus header = EmfHeaderStatus::kTooShort;
  bool reachedEof = false;
  EmfRecordError error = EmfRecordError::kNone;
  std::size_t records = 0;
};

class Walker {
 public:
  explicit Walker(const EmfRecord& rec) : rec_(rec) {}

  template <class T>
  void Inside(const EmfArray<T>& a, const char* what) {
    if (!a.Valid() || a.Empty()) return;
    EXPECT_GE(a.Bytes(), rec_.Data()) << what;
    EXPECT_LE(a.Bytes() + a.ByteSize(), rec_.Data() + rec_.Size()) << what;
    if (a.Count() > 0) (void)a[a.Count() - 1];  // the last element is readable
  }

  void Dib(const EmfDibSource& source) {
    EmfDib dib;
    if (ReadDib(rec_, source, dib) != DibStatus::kOk) return;
    EXPECT_GE(dib.Bits(), rec_.Data());
    EXPECT_LE(dib.Bits() + dib.BitsSize(), rec_.Data() + rec_.Size());
    EXPECT_LE(dib.RequiredBitsSize(), dib.BitsSize());
    if (dib.BitsSize() > 0) (void)dib.Bits()[dib.BitsSize() - 1];
  }

  void Visit(EmfBuffer<POINTL>& buffer) {
    switch (rec_.Type()) {
      case EMR_POLYBEZIER:
      case EMR_POLYGON:
      case EMR_POLYLINE:
      case EMR_POLYBEZIERTO:
      case EMR_POLYLINETO:
        Inside(ReadPolyPoints<POINTL>(rec_).points, "points");
        break;
      case EMR_POLYBEZIER16:
      case EMR_POLYGON16:
      case EMR_POLYLINE16:
      case EMR_POLYBEZIERTO16:
      case EMR_POLYLINETO16: {
        const auto p = ReadPolyPoints<POINTS>(rec_);
        Inside(p.points, "points16");
        WidenPoints(p.points, buffer);
        break;
      }
      case EMR_POLYPOLYLINE:
      case EMR_POLYPOLYGON: {
        const auto p = ReadPolyPolyPoints<POINTL>(rec_);
        Inside(p.counts, "counts");
        Inside(p.points, "polypoints");
        break;
      }
      case EMR_POLYPOLYLINE16:
      case EMR_POLYPOLYGON16: {
        const auto p = ReadPolyPolyPoints<POINTS>(rec_);
        Inside(p.counts, "counts16");
        Inside(p.points, "polypoints16");
        break;
      }
      case EMR_POLYDRAW:
        Inside(ReadPolyDrawPoints<POINTL>(rec_).types, "types");
        break;
      case EMR_POLYDRAW16:
        Inside(ReadPolyDrawPoints<POINTS>(rec_).types, "types16");
        break;
      case EMR_EXTTEXTOUTA:
      case EMR_EXTTEXTOUTW: {
        const EmfText t = ReadExtTextOut(rec_);
        Inside(t.chars8, "chars8");
        Inside(t.chars16, "chars16");
        Inside(t.dx, "dx");
        break;
      }
      case EMR_GDICOMMENT:
        Inside(ReadGdiComment(rec_).data, "comment");
        break;
      case EMR_INVERTRGN:
      case EMR_PAINTRGN: {
        EMRPAINTRGN fixed;
        Inside(ReadPaintRegion(rec_, fixed).rects, "paint rects");
        break;
      }
      case EMR_EXTSELECTCLIPRGN: {
        EMREXTSELECTCLIPRGN fixed;
        Inside(ReadClipRegion(rec_, fixed).rects, "clip rects");
        break;
      }
      case EMR_CREATEPALETTE:
        Inside(ReadCreatePalette(rec_).entries, "palette");
        break;
      case EMR_GRADIENTFILL: {
        const EmfGradient g = ReadGradientFill(rec_);
        Inside(g.vertices, "vertices");
        Inside(g.rects, "gradient rects");
        Inside(g.triangles, "triangles");
        break;
      }
      case EMR_EXTCREATEPEN: {
        const EmfExtPen p = ReadExtCreatePen(rec_);
        Inside(p.styleEntries, "style entries");
        if (p.ok) Dib(DibSourceOf(p.fixed));
        break;
      }
      case EMR_BITBLT:
        ReadAndDib<EMRBITBLT>();
        break;
      case EMR_STRETCHBLT:
      case EMR_ALPHABLEND:
      case EMR_TRANSPARENTBLT:
        ReadAndDib<EMRSTRETCHBLT>();
        break;
      case EMR_STRETCHDIBITS:
        ReadAndDib<EMRSTRETCHDIBITS>();
        break;
      case EMR_ALPHADIBBLEND:
        if (rec_.Size() >= sizeof(EMRSTRETCHDIBITS)) ReadAndDib<EMRSTRETCHDIBITS>();
        break;
      case EMR_SETDIBITSTODEVICE:
        ReadAndDib<EMRSETDIBITSTODEVICE>();
        break;
      case EMR_CREATEMONOBRUSH:
      case EMR_CREATEDIBPATTERNBRUSHPT:
        ReadAndDib<EMRCREATEDIBPATTERNBRUSHPT>();
        break;
      default:
        break;
    }
  }

 private:
  template <class T>
  void ReadAndDib() {
    T fixed;
    if (rec_.Read(fixed)) Dib(DibSourceOf(fixed));
  }

  const EmfRecord& rec_;
};

WalkResult Walk(const std::vector<unsigned char>& file) {
  WalkResult result;
  EmfHeader header;
  result.header = ReadEmfHeader(file.data(), file.size(), header);
  if (result.header != EmfHeaderStatus::kOk) return result;
  EmfRecordIterator it = RecordsAfterHeader(file.data(), file.size(), header);
  EmfBuffer<POINTL> buffer;
  EmfRecord rec;
  while (it.Next(rec) == EmfNext::kRecord) {
    ++result.records;
    Walker(rec).Visit(buffer);
    if (rec.Type() == EMR_EOF) {
      result.reachedEof = true;
      break;
    }
  }
  result.error = it.Error();
  return result;
}

TEST(EmfCorpus, EveryFileWalksSafely) {
  const auto corpus = CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  std::size_t files = 0, damaged = 0;
  for (const char* folder : {"emf", "emf-corrupted", "emf-ea"}) {
    const bool intact = std::string(folder) != "emf-corrupted";
    for (const auto& path : FilesBelow(corpus / folder)) {
      ++files;
      const std::vector<unsigned char> bytes = ReadFileBytes(path);
      const WalkResult r = Walk(bytes);
      const bool clean =
          r.header == EmfHeaderStatus::kOk && r.reachedEof && r.error == EmfRecordError::kNone;
      if (!clean) ++damaged;
      if (intact && !bytes.empty()) {
        EXPECT_TRUE(clean) << path << ": header " << int(r.header) << ", "
                           << EmfRecordErrorText(r.error) << " after " << r.records << " records";
      }
    }
  }
  EXPECT_GT(files, 0u);
  RecordProperty("files", int(files));
  RecordProperty("damaged", int(damaged));
}

}  // namespace
}  // namespace vellora_test
