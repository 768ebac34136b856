// The shared corpus of metafiles, loaded once, and their conversion into PDF in memory.
#pragma once

#include <qvplatform/qvplatform_c.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vellora::bench {

// Every metafile of the corpus folder, opened; closed again when the corpus goes.
class Corpus {
 public:
  Corpus();
  ~Corpus();
  Corpus(const Corpus&) = delete;
  Corpus& operator=(const Corpus&) = delete;

  const std::vector<QvMetafileHandle>& Metafiles() const { return metafiles_; }
  std::int64_t InputBytes() const { return inputBytes_; }

 private:
  std::vector<QvMetafileHandle> metafiles_;
  std::int64_t inputBytes_ = 0;
};

// The corpus loaded on first use, for all benchmarks of the program.
const Corpus& SharedCorpus();

// One document of one page holding the metafile, written to memory with the given
// compression method (QVPDF_COMPRESS_*). Empty when the engine fails.
std::vector<std::uint8_t> ConvertToPdf(QvMetafileHandle metafile, std::int32_t compression);

}  // namespace vellora::bench
