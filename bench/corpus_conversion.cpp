#include "corpus_conversion.h"

#include <vellora/vellora.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#ifndef VELLORA_CORPUS_EMF_DIR
#error "VELLORA_CORPUS_EMF_DIR names the corpus of metafiles"
#endif

namespace fs = std::filesystem;

namespace vellora::bench {

Corpus::Corpus() {
  std::error_code error;
  std::vector<fs::path> names;
  for (const auto& entry : fs::directory_iterator(VELLORA_CORPUS_EMF_DIR, error))
    if (entry.path().extension() == ".emf") names.push_back(entry.path());
  std::sort(names.begin(), names.end());
  for (const fs::path& name : names) {
    int status = 0;
    const QvMetafileHandle handle = QvGetEnhMetaFile(name.c_str(), &status);
    if (handle == 0) continue;
    metafiles_.push_back(handle);
    inputBytes_ += static_cast<std::int64_t>(fs::file_size(name, error));
    records_ += DeclaredRecords(MetafileBytes(handle));
  }
}

Corpus::~Corpus() {
  for (QvMetafileHandle handle : metafiles_) QvDeleteEnhMetaFile(handle);
}

const Corpus& SharedCorpus() {
  static const Corpus corpus;
  return corpus;
}

std::vector<std::uint8_t> MetafileBytes(QvMetafileHandle metafile) {
  std::vector<std::uint8_t> bytes(QvGetEnhMetaFileBits(metafile, 0, nullptr));
  QvGetEnhMetaFileBits(metafile, static_cast<std::uint32_t>(bytes.size()), bytes.data());
  return bytes;
}

std::uint32_t DeclaredRecords(const std::vector<std::uint8_t>& bytes) {
  constexpr std::size_t kRecordCountOffset = 52;  // nRecords in the header record
  std::uint32_t records = 0;
  if (bytes.size() >= kRecordCountOffset + sizeof records)
    std::memcpy(&records, bytes.data() + kRecordCountOffset, sizeof records);
  return records;
}

OwnedMetafile::OwnedMetafile(const std::vector<std::uint8_t>& bytes)
    : handle_(QvSetEnhMetaFileBits(static_cast<std::uint32_t>(bytes.size()), bytes.data())) {}

OwnedMetafile::~OwnedMetafile() {
  if (handle_ != 0) QvDeleteEnhMetaFile(handle_);
}

std::vector<std::uint8_t> ConvertToPdf(QvMetafileHandle metafile, std::int32_t compression) {
  ConversionSettings settings;
  settings.compression = compression;
  return ConvertToPdf(metafile, settings);
}

std::vector<std::uint8_t> ConvertToPdf(QvMetafileHandle metafile,
                                       const ConversionSettings& settings) {
  std::vector<std::uint8_t> pdf;
  TQVPDFEngineContext* c = QVPDF_Initialize(QVPDF_INTERFACE_VERSION, nullptr, nullptr);
  if (c == nullptr) return pdf;
  if (settings.compression >= 0)
    QVPDF_SetIProp(c, QVPDF_IPROP_COMPRESS_STREAM_METHOD, settings.compression);
  if (settings.fontMode >= 0) QVPDF_SetIProp(c, QVPDF_IPROP_FONT_MODE, settings.fontMode);
  if (settings.jpegQuality >= 0) QVPDF_SetIProp(c, QVPDF_IPROP_JPEG_QUALITY, settings.jpegQuality);
  char inMemory[] = "";
  if (QVPDF_Do(c, QVPDF_CMD_BEGIN_DOC, 0, inMemory) == 0) {
    // A page of the picture's own size is begun for it.
    QVPDF_Do(c, QVPDF_CMD_DRAW_METAFILE, static_cast<std::int32_t>(metafile), nullptr);
    QVPDF_Do(c, QVPDF_CMD_END_DOC, 0, nullptr);
    const std::int32_t size = QVPDF_Do(c, QVPDF_CMD_COPY_TO_BUFFER, 0, nullptr);
    if (size > 0) {
      pdf.resize(static_cast<std::size_t>(size));
      QVPDF_Do(c, QVPDF_CMD_COPY_TO_BUFFER, size, pdf.data());
    }
  }
  QVPDF_Finalize(c);
  return pdf;
}

}  // namespace vellora::bench
