// The real metafiles of the corpus that carry bitmaps, played through the PDF device: each file
// checks clean, shows images (no more placements than bitmap records), and stores a bitmap
// drawn again once.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "pdf_device_images_records.h"
#include "pdf_device_test_util.h"
#include "qvplatform/emf_dib.h"
#include "qvplatform/emf_reader.h"
#include "test_support.h"

namespace vellora {
namespace {

using namespace qvplatform;  // NOLINT: the record names read best unqualified here

struct BitmapCensus {
  std::size_t records = 0;  // bitmap records whose bitmap the reader accepts
  std::size_t placed = 0;   // of them, the ones that draw their bitmap (not pattern brushes)
  // Distinct (bitmap, source rectangle, raster operation): at most this many images.
  std::set<std::string> distinct;
};

// Blits, stretched DIBs and pattern brushes of a metafile.
BitmapCensus Census(const std::vector<unsigned char>& bytes) {
  BitmapCensus census;
  EmfHeader header;
  if (ReadEmfHeader(bytes.data(), bytes.size(), header) != EmfHeaderStatus::kOk) return census;
  EmfRecordIterator it = RecordsAfterHeader(bytes.data(), bytes.size(), header);
  EmfRecord r;
  while (it.Next(r) == EmfNext::kRecord) {
    if (r.Size() < EmfMinRecordSize(r.Type())) continue;
    EmfDibSource source;
    std::string drawing;  // what besides the bitmap shapes the image
    const auto Key = [&drawing](auto... values) {
      for (const auto v : {static_cast<std::int64_t>(values)...})
        drawing += std::to_string(v) + ",";
    };
    switch (r.Type()) {
      case EMR_BITBLT: {
        EMRBITBLT f;
        r.Read(f);
        source = DibSourceOf(f);
        Key(f.dwRop);
        break;
      }
      case EMR_STRETCHBLT:
      case EMR_ALPHABLEND:
      case EMR_TRANSPARENTBLT: {
        EMRSTRETCHBLT f;
        r.Read(f);
        source = DibSourceOf(f);
        Key(r.Type(), f.dwRop);
        break;
      }
      case EMR_STRETCHDIBITS: {
        EMRSTRETCHDIBITS f;
        r.Read(f);
        source = DibSourceOf(f);
        Key(f.dwRop, f.xSrc, f.ySrc, f.cxSrc, f.cySrc, f.iUsageSrc);
        break;
      }
      case EMR_CREATEDIBPATTERNBRUSHPT: {
        EMRCREATEDIBPATTERNBRUSHPT f;
        r.Read(f);
        source = DibSourceOf(f);
        Key(r.Type());
        break;
      }
      default:
        continue;
    }
    EmfDib dib;
    if (ReadDib(r, source, dib) != DibStatus::kOk) continue;
    ++census.records;
    if (r.Type() != EMR_CREATEDIBPATTERNBRUSHPT) ++census.placed;
    census.distinct.insert(drawing +
                           std::string(reinterpret_cast<const char*>(dib.Info()), dib.InfoSize()) +
                           std::string(reinterpret_cast<const char*>(dib.Bits()), dib.BitsSize()));
  }
  return census;
}

TEST(PDFDeviceImagesCorpus, MetafilesWithBitmapsShowThem) {
  const auto dir = vellora_test::CorpusDir();
  if (dir.empty()) GTEST_SKIP() << "corpus absent";
  if (!vellora_test::HaveTool("pdfimages")) GTEST_SKIP() << "pdfimages missing";
  int files = 0;
  for (const auto& path : vellora_test::FilesBelow(dir / "emf")) {
    const std::vector<unsigned char> bytes = vellora_test::ReadFileBytes(path);
    const BitmapCensus census = Census(bytes);
    if (census.records == 0) continue;
    SCOPED_TRACE(path.filename().string());
    ++files;
    vellora_test::RecordingDevice device;
    const std::string pdf = vellora_test::PlayAlone(device, bytes);
    EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
    const auto images = vellora_test::ListImages(pdf);
    // A pattern brush registers its bitmap but never shows it where it is created.
    if (census.placed > 0)
      EXPECT_GE(images.size(), 1u);
    else
      EXPECT_EQ(images.size(), 0u);
    EXPECT_LE(images.size(), census.records);
    // A bitmap drawn again the same way is the same XObject.
    std::set<std::string> objects;
    for (const auto& row : images) {
      ASSERT_GE(row.size(), 11u);
      objects.insert(row[10]);
    }
    EXPECT_LE(objects.size(), census.distinct.size());
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace vellora
