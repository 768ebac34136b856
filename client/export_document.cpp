// Beginning and ending a document: the start sequence of properties, the collection of the
// finished PDF into a stream or a file, and the launch of the written file.
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "brenlow/custom_pdf_export.h"
#include "qvplatform/launcher.h"

namespace brenlow {

namespace {

std::string PdfDate(TDateTime value) {
  const qvplatform::DateTimeParts d = qvplatform::DecodeDateTime(value);
  char text[40];
  std::snprintf(text, sizeof text, "D:%d%.2d%.2d%.2d%.2d%.2d", d.year, d.month, d.day, d.hour,
                d.minute, d.second);
  return text;
}

std::string JoinedLines(const TStringList& lines) {
  std::string text;
  for (int i = 0; i < lines.Count(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  return text;
}

}  // namespace

void TQVCustomPDFExport::BeginDoc() {
  // An output stream names the output as well as a file or the memory mode does.
  if (filename_.empty() && !inMemoryMode_ && outputStream_ == nullptr &&
      pdfReadMode_ == folvioStandard)
    throw std::runtime_error("No filename or InMemoryMode was specified!");
  // A second call must not touch the running document (its input page count, its errors).
  if (inDocument_) return;
  inputPageCount_ = 0;
  metafileError_ = false;
  if (!engineHeld_) LoadEngine(EngineLibraryName());
  FinalizeContext();  // left by an earlier document that failed to begin
  engineContext_ = engine_.Initialize(QVPDF_INTERFACE_VERSION, &EngineCallback, this);
  if (engineContext_ == nullptr) throw std::runtime_error("Initialization of PDF Engine failed");
  pageCount_ = 0;
  mergeCache_.Clear();
  mergeForms_ = 0;
  if (OnUpdateGauge) OnUpdateGauge(*this, 0);
  const bool toFile = outputStream_ == nullptr && !inMemoryMode_;
  if (BeforeBeginDoc) BeforeBeginDoc(*this);
  SendProperties();
  std::string outputName = toFile ? filename_ : std::string();
  if (Do(QVPDF_CMD_BEGIN_DOC, 0, toFile ? outputName.data() : nullptr) != 0)
    throw std::runtime_error("Error in BeginDoc!");
  aborted_ = false;
  TQVPDFPageInit first{};
  ResetPageInit(-1, first, xResolution_, yResolution_);
  first.PageColor = pageColor_;
  first.CreateThumbnails = createThumbnails_ ? 1 : 0;
  inDocument_ = true;
  ++openDocuments_;
  UpdateReferenceDC(true);
  if (AfterBeginDoc) AfterBeginDoc(*this);
  if (pageInitReady_) InitializePage(first);
}

void TQVCustomPDFExport::SendProperties() {
  const bool reading = pdfReadMode_ != folvioStandard;
  const std::pair<std::int32_t, std::int32_t> integers[] = {
      {QVPDF_IPROP_ENCODE_STREAM_METHOD, encodeStreamMethod_},
      {QVPDF_IPROP_COMPRESS_STREAM_METHOD, compressStreamMethod_},
      {QVPDF_IPROP_PAGE_MODE, pageMode_},
      {QVPDF_IPROP_ZOOM_MODE, zoomMode_},
      {QVPDF_IPROP_FONT_MODE, fontMode_},
      {QVPDF_IPROP_CONVERT_JPEG_DATA, convertJPEGData_ ? 1 : 0},
      {QVPDF_IPROP_ENCRYPTION, encryption_.Value()},
      {QVPDF_IPROP_CID_FONT_MODE, cidFontMode_},
      {QVPDF_IPROP_PDFA_MODE, pdfaMode_},
      {QVPDF_IPROP_SECURITY, security_},
      {QVPDF_IPROP_JPEG_QUALITY, static_cast<int>(jpegQuality_) & 0x7F},
      {QVPDF_IPROP_CREATE_THUMBNAILS, createThumbnails_ ? 1 : 0},
      {QVPDF_IPROP_MODES, static_cast<std::int32_t>(modes_.Value())},
      {QVPDF_IPROP_OPTIONS, options_.Value()},
      {QVPDF_IPROP_READ_MODE, pdfReadMode_},
      {QVPDF_IPROP_INPUTFILE_MODE, reading ? 2 : static_cast<int>(inputfileMode_)},
      {QVPDF_IPROP_EXTRA_MESSAGES, extraMessages_.Contains(qvOnEmbedFonts) ? 1 : 0},
  };
  for (const auto& [key, value] : integers) SetIProp(key, value);

  const std::pair<std::int32_t, std::string> strings[] = {
      {QVPDF_SPROP_AUTHOR, info_.Author()},
      {QVPDF_SPROP_CREATION_DATE, PdfDate(info_.CreationDate())},
      {QVPDF_SPROP_MOD_DATE, PdfDate(info_.ModDate())},
      {QVPDF_SPROP_CREATOR, info_.Producer()},
      {QVPDF_SPROP_TITLE, info_.Title()},
      {QVPDF_SPROP_SUBJECT, info_.Subject()},
      {QVPDF_SPROP_KEYWORDS, info_.Keywords()},
      {QVPDF_SPROP_EXCLUDED_FONTS, excludedFonts_.CommaText()},
      {QVPDF_SPROP_USER_PASSWORD, userPassword_},
      {QVPDF_SPROP_OWNER_PASSWORD, ownerPassword_},
      {QVPDF_SPROP_INPUT_FILE, inputFile_},
      {QVPDF_SPROP_MERGE_START, mergeStart_},
  };
  for (const auto& [key, text] : strings) SetSProp(key, text);
  if (info_.Strings().Count() > 0) SetSProp(QVPDF_SPROP_INFO_STRINGS, JoinedLines(info_.Strings()));
  SetIProp(QVPDF_IPROP_ELEMENT_RESOLUTION, 300);
}

void TQVCustomPDFExport::ResetPageInit(int, TQVPDFPageInit&, std::int32_t, std::int32_t) {
  pageInitReady_ = false;
}

void TQVCustomPDFExport::UpdateReferenceDC(bool) {
  // A printer reference device needs a printer list, which this platform has not: the page
  // canvas always measures on its own page device.
}

void TQVCustomPDFExport::EndDoc() {
  if (!inDocument_ || engineContext_ == nullptr) return;
  bool completed = false;
  std::exception_ptr failure;
  try {
    if (BeforeEndDoc) BeforeEndDoc(*this);
    if (inPage_) FlushPage();  // the open page's drawing goes into the document too
    const std::int32_t ended = Do(QVPDF_CMD_END_DOC, 0, nullptr);
    if (Do(QVPDF_CMD_METAFILE_ERROR, 0, nullptr) == 1) metafileError_ = true;
    UpdateReferenceDC(false);
    if (ended == -1) throw std::runtime_error("PDF Engine could not finish the document");
    CollectOutput();
    completed = true;
  } catch (...) {
    failure = std::current_exception();
  }
  // The engine side is released whatever happened.
  try {
    Do(QVPDF_CMD_CLOSE_OUTPUT_STREAM, 0, nullptr);
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  inDocument_ = false;
  inPage_ = false;
  --openDocuments_;
  CloseCanvas();
  FreePageMetafile();
  try {
    FinalizeContext();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  xResolution_ = 72;
  yResolution_ = 72;
  if (AfterEndDoc) AfterEndDoc(*this);
  if (failure) std::rethrow_exception(failure);
  if (completed && pdfReadMode_ == folvioStandard) Launch();
}

void TQVCustomPDFExport::CollectOutput() {
  if (pdfReadMode_ != folvioStandard) return;
  if (outputStream_ != nullptr) {
    const std::int32_t size = Do(QVPDF_CMD_COPY_TO_BUFFER, 0, nullptr);
    if (size < 0) throw std::runtime_error("PDF Engine could not give the document's size");
    const auto expected = static_cast<std::size_t>(size);
    std::int32_t copied = 0;
    if (auto* memory = dynamic_cast<qvplatform::TMemoryStream*>(outputStream_)) {
      memory->Clear();
      memory->SetSize(expected);
      copied = Do(QVPDF_CMD_COPY_TO_BUFFER, size, memory->Memory());
    } else {
      std::vector<qvplatform::BYTE> buffer(expected);
      copied = Do(QVPDF_CMD_COPY_TO_BUFFER, size, buffer.data());
      if (copied == size && outputStream_->Write(buffer.data(), expected) != expected)
        throw std::runtime_error("Stream write error");
    }
    if (copied != size) throw std::runtime_error("PDF Engine could not copy the document");
  }
  if (!filename_.empty()) {
    std::string name = filename_;
    if (Do(QVPDF_CMD_SAVE_TO_FILE, 0, name.data()) == -1)
      throw std::runtime_error("PDF Engine could not save the document to \"" + filename_ + "\"");
  }
}

void TQVCustomPDFExport::Launch() {
  bool launch = autoLaunch_;
  if (const TQVFileCreatedEvent onFileCreated = GlobalOnFileCreated())
    onFileCreated(*this, filename_, launch);
  if (launch && !filename_.empty()) qvplatform::ShellOpenFile(filename_);
}

}  // namespace brenlow
