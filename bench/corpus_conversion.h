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
  std::int64_t Records() const { return records_; }  // as their headers declare

 private:
  std::vector<QvMetafileHandle> metafiles_;
  std::int64_t inputBytes_ = 0;
  std::int64_t records_ = 0;
};

// The corpus loaded on first use, for all benchmarks of the program.
const Corpus& SharedCorpus();

// The metafile's bytes, and the record count its header declares (0 when too short).
std::vector<std::uint8_t> MetafileBytes(QvMetafileHandle metafile);
std::uint32_t DeclaredRecords(const std::vector<std::uint8_t>& bytes);

// What a conversion sets on its context; a negative value leaves the engine's default.
struct ConversionSettings {
  std::int32_t compression = -1;  // QVPDF_COMPRESS_*
  std::int32_t fontMode = -1;     // QVPDF_FONT_MODE_*
  std::int32_t jpegQuality = -1;  // QVPDF_JPEG_*
};

// One document of one page holding the metafile, written to memory with the given
// compression method (QVPDF_COMPRESS_*) or settings. Empty when the engine fails.
std::vector<std::uint8_t> ConvertToPdf(QvMetafileHandle metafile, std::int32_t compression);
std::vector<std::uint8_t> ConvertToPdf(QvMetafileHandle metafile,
                                       const ConversionSettings& settings);

// A metafile made from bytes, deleted with the object.
class OwnedMetafile {
 public:
  explicit OwnedMetafile(const std::vector<std::uint8_t>& bytes);
  ~OwnedMetafile();
  OwnedMetafile(const OwnedMetafile&) = delete;
  OwnedMetafile& operator=(const OwnedMetafile&) = delete;
  QvMetafileHandle Handle() const { return handle_; }

 private:
  QvMetafileHandle handle_;
};

}  // namespace vellora::bench
