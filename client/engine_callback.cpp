// The engine's callback: messages, the input page count, read-mode content and merge-text
// requests. Nothing may unwind through the engine, so a failure is held, the engine is asked
// to stop where it can, and the failure is raised once the engine call has returned.
#include <stdexcept>

#include "brenlow/custom_pdf_export.h"

namespace brenlow {

void TQVCustomPDFExport::EngineCallback(void* userData, std::int32_t kind, std::int32_t value,
                                        const char* text) {
  if (userData == nullptr) return;
  auto* self = static_cast<TQVCustomPDFExport*>(userData);
  try {
    self->HandleCallback(kind, value, text);
  } catch (...) {
    if (!self->heldException_) self->heldException_ = std::current_exception();
    self->aborted_ = true;
    if (kind == QVPDF_CALLBACK_READ_CONTENT && text != nullptr)
      reinterpret_cast<TQVPDFReadContent*>(const_cast<char*>(text))->Answer = 1;
  }
}

void TQVCustomPDFExport::HandleCallback(std::int32_t kind, std::int32_t value, const char* text) {
  switch (kind) {
    case QVPDF_CALLBACK_MESSAGE:
      if (OnError) OnError(*this, value, text != nullptr ? text : "");
      break;
    case QVPDF_CALLBACK_INPUT_PAGES:
      inputPageCount_ = value;
      break;
    case QVPDF_CALLBACK_READ_CONTENT:
      ReadContentPoll(text);
      break;
    case QVPDF_CALLBACK_MERGE_TEXT:
      if (OnMergeText) {
        std::string merged = text != nullptr ? text : "";
        OnMergeText(*this, merged);
        SetSProp(QVPDF_SPROP_MERGE_TEXT, merged);
      }
      break;
    default:
      break;
  }
}

void TQVCustomPDFExport::ReadContentPoll(const char* text) {
  const auto* record = reinterpret_cast<const TQVPDFReadContent*>(text);
  if (OnReadContent) {
    OnReadContent(*this, record);
    return;
  }
  if (!OnReadProgress) return;
  // Pictures are never imported; text and metafiles only by an engine with its own import.
  const bool refused = pdfReadMode_ == folvioRetrieveBMP ||
                       (engine_.ProcessPDF != nullptr &&
                        (pdfReadMode_ == folvioRetrieveASCII || pdfReadMode_ == folvioRetrieveEMF));
  if (refused) throw std::runtime_error("PDF Import is not supported");
  if (aborted_ && record != nullptr) const_cast<TQVPDFReadContent*>(record)->Answer = 1;
}

}  // namespace brenlow
