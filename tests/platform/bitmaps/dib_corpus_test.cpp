// Every bitmap carried by the corpus metafiles goes through validation and the converter, whole
// and with its pixels cut short; under the sanitizers nothing may read outside the record.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "qvplatform/dib_convert.h"
#include "qvplatform/emf_reader.h"
#include "test_support.h"

namespace qvplatform {
namespace {

template <class T>
bool SourceOf(const EmfRecord& record, EmfDibSource* source) {
  T fixed;
  if (!record.Read(fixed)) return false;
  *source = DibSourceOf(fixed);
  return true;
}

bool DibSourceOfRecord(const EmfRecord& record, EmfDibSource* source) {
  switch (record.Type()) {
    case EMR_BITBLT:
      return SourceOf<EMRBITBLT>(record, source);
    case EMR_STRETCHBLT:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT:
      return SourceOf<EMRSTRETCHBLT>(record, source);
    case EMR_STRETCHDIBITS:
    case EMR_ALPHADIBBLEND:
      return SourceOf<EMRSTRETCHDIBITS>(record, source);
    case EMR_SETDIBITSTODEVICE:
      return SourceOf<EMRSETDIBITSTODEVICE>(record, source);
    case EMR_CREATEDIBPATTERNBRUSHPT:
    case EMR_CREATEMONOBRUSH:
      return SourceOf<EMRCREATEDIBPATTERNBRUSHPT>(record, source);
    default:
      return false;
  }
}

// Converts a view, then the same view with its pixels cut to a few shorter lengths (exact heap
// copies, so an overread is caught).
void ConvertWholeAndCut(const DibView& view, std::map<std::string, int>* outcomes) {
  std::vector<BYTE> out;
  const DibConvertResult whole = ConvertDib(view, DibTarget{}, &out);
  ++(*outcomes)[std::to_string(view.format.bitCount) + "/" +
                std::to_string(view.format.compression) +
                (whole.error == DibError::kOk ? (whole.damaged ? " damaged" : " ok") : " refused")];
  for (const std::size_t cut : {std::size_t{0}, view.bitsSize / 2, view.bitsSize - 1}) {
    if (cut >= view.bitsSize) continue;
    const std::vector<BYTE> shorter(view.bits, view.bits + cut);
    DibView v = view;
    v.bits = shorter.data();
    v.bitsSize = shorter.size();
    const DibConvertResult r = ConvertDib(v, DibTarget{}, &out);
    if (!v.format.Rle()) {
      EXPECT_EQ(r.error, DibError::kShortBits);
    }
  }
}

TEST(DibCorpus, EveryRecordBitmapConvertsOrIsRefused) {
  const auto corpus = vellora_test::CorpusDir();
  if (corpus.empty()) GTEST_SKIP() << "no corpus";
  std::map<std::string, int> outcomes;
  int bitmaps = 0;
  for (const char* folder : {"emf", "emf-corrupted", "emf-ea"}) {
    for (const auto& path : vellora_test::FilesBelow(corpus / folder)) {
      const std::vector<unsigned char> bytes = vellora_test::ReadFileBytes(path);
      EmfHeader header;
      if (ReadEmfHeader(bytes.data(), bytes.size(), header) != EmfHeaderStatus::kOk) continue;
      EmfRecordIterator it = RecordsAfterHeader(bytes.data(), bytes.size(), header);
      EmfRecord record;
      while (it.Next(record) == EmfNext::kRecord) {
        EmfDibSource source;
        if (!DibSourceOfRecord(record, &source)) continue;
        EmfDib dib;
        if (ReadDib(record, source, dib) != DibStatus::kOk) continue;
        static const PALETTEENTRY palette[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        DibColorTable table;
        DibView view;
        if (DibViewOf(dib, palette, 2, &table, &view) != DibError::kOk) continue;
        ++bitmaps;
        ConvertWholeAndCut(view, &outcomes);
      }
    }
  }
  std::string summary;
  for (const auto& [what, count] : outcomes) summary += what + ": " + std::to_string(count) + "; ";
  RecordProperty("outcomes", summary);
  std::printf("corpus bitmaps %d (depth/compression: %s)\n", bitmaps, summary.c_str());
  EXPECT_GT(bitmaps, 0);
}

}  // namespace
}  // namespace qvplatform
