// Construction, copying, the property setters that reach a running engine, the engine binding
// and the guarded engine calls.
#include "brenlow/custom_pdf_export.h"

#include <algorithm>
#include <stdexcept>

namespace brenlow {

TQVCustomPDFExport::TQVCustomPDFExport() {
  info_.SetCreationDate(qvplatform::Now());
  info_.SetModDate(info_.CreationDate());
}

TQVCustomPDFExport::~TQVCustomPDFExport() {
  for (TComponentReference* r : references_) r->component_ = nullptr;
  references_.clear();
  // The engine may still call back while it finalises, so the context goes first.
  try {
    FinalizeContext();
    CloseCanvas();
  } catch (...) {
  }
  FreePageMetafile();
  UnloadEngine();
}

void TComponentReference::Reset(TQVCustomPDFExport* component) {
  if (component == component_) return;
  if (component_ != nullptr) std::erase(component_->references_, this);
  component_ = component;
  if (component_ != nullptr) component_->references_.push_back(this);
}

void TQVCustomPDFExport::Assign(const TQVCustomPDFExport& s) {
  if (&s == this) return;
  info_.Assign(s.info_);
  excludedFonts_ = s.excludedFonts_;
  canvasReference_ = s.canvasReference_;
  encodeStreamMethod_ = s.encodeStreamMethod_;
  compressStreamMethod_ = s.compressStreamMethod_;
  inputfileMode_ = s.inputfileMode_;
  OnMergePage = s.OnMergePage;
  inputFile_ = s.inputFile_;
  xResolution_ = s.xResolution_;
  yResolution_ = s.yResolution_;
  encryption_ = s.encryption_;
  cidFontMode_ = s.cidFontMode_;
  pdfaMode_ = s.pdfaMode_;
  security_ = s.security_;
  modes_ = s.modes_;
  options_ = s.options_;
  userPassword_ = s.userPassword_;
  ownerPassword_ = s.ownerPassword_;
  pageMode_ = s.pageMode_;
  zoomMode_ = s.zoomMode_;
  fontMode_ = s.fontMode_;
  createThumbnails_ = s.createThumbnails_;
  createOutlines_ = s.createOutlines_;
  autoLaunch_ = s.autoLaunch_;
  debugMode_ = s.debugMode_;
  debugMetafilePath_ = s.debugMetafilePath_;
  pdfReadMode_ = s.pdfReadMode_;
  jpegQuality_ = s.jpegQuality_;
  pageColor_ = s.pageColor_;
  BeforeBeginDoc = s.BeforeBeginDoc;
  AfterBeginDoc = s.AfterBeginDoc;
  BeforeEndDoc = s.BeforeEndDoc;
  AfterEndDoc = s.AfterEndDoc;
  OnError = s.OnError;
  extraMessages_ = s.extraMessages_;
  mergeStart_ = s.mergeStart_;
  OnMergeText = s.OnMergeText;
}

void TQVCustomPDFExport::SetModes(TQVDevModes v) {
  // Of the two exclusive resolution modes the one being switched on wins; when both arrive
  // together, or both were on, the high-resolution mode stays.
  const bool neverArrives = v.Contains(qvNeverHighResPDF) && !modes_.Contains(qvNeverHighResPDF);
  const bool alwaysArrives = v.Contains(qvAlwaysHighResPDF) && !modes_.Contains(qvAlwaysHighResPDF);
  if (neverArrives && !alwaysArrives) v.Exclude(qvAlwaysHighResPDF);
  if (v.Contains(qvAlwaysHighResPDF)) v.Exclude(qvNeverHighResPDF);
  modes_ = v;
  if (engineContext_ != nullptr) SetIProp(QVPDF_IPROP_MODES, static_cast<std::int32_t>(v.Value()));
}

void TQVCustomPDFExport::SetOptions(TFolvioOptions v) {
  options_ = v;
  if (engineContext_ != nullptr) SetIProp(QVPDF_IPROP_OPTIONS, v.Value());
}

void TQVCustomPDFExport::SetJPEGQuality(TQVJPEGQuality v) {
  jpegQuality_ = v;
  if (engineContext_ != nullptr) SetIProp(QVPDF_IPROP_JPEG_QUALITY, static_cast<int>(v) & 0x7F);
}

void TQVCustomPDFExport::SetMergeStart(std::string v) {
  mergeStart_ = std::move(v);
  if (engineContext_ != nullptr) SetSProp(QVPDF_SPROP_MERGE_START, mergeStart_);
}

// ---- Binding ----

bool TQVCustomPDFExport::LoadEngine(const std::string& name) {
  if (engineHeld_) return true;
  engine_ = AcquireEngineLibrary(name);
  engineHeld_ = true;
  openDocuments_ = 0;
  return true;
}

void TQVCustomPDFExport::UnloadEngine() {
  if (!engineHeld_) return;
  // A context left by a failed BeginDoc belongs to this library: finalise it while it is here.
  try {
    FinalizeContext();
  } catch (...) {
  }
  engine_ = {};
  engineHeld_ = false;
  ReleaseEngineLibrary();
}

void TQVCustomPDFExport::SetDLLName(const std::string& name) {
  if (name == EngineLibraryName()) return;
  if (openDocuments_ > 0) throw std::runtime_error("DLL is in use. Cannot unload it");
  UnloadEngine();
  detail::SetEngineLibraryName(name);
}

void TQVCustomPDFExport::Lock() { LockCanvasLock(); }
void TQVCustomPDFExport::Unlock() { UnlockCanvasLock(); }

void TQVCustomPDFExport::FinalizeContext() {
  TQVPDFEngineContext* context = engineContext_;
  engineContext_ = nullptr;  // forgotten even when finalising fails
  if (context != nullptr && engine_.Finalize != nullptr) {
    engine_.Finalize(context);
    RaiseHeldException();
  }
}

// ---- Engine calls ----

void TQVCustomPDFExport::RaiseHeldException() {
  if (!heldException_) return;
  std::exception_ptr held = heldException_;
  heldException_ = nullptr;
  std::rethrow_exception(held);
}

std::int32_t TQVCustomPDFExport::Do(std::int32_t command, std::int32_t value, void* record) {
  const std::int32_t result = engine_.Do(engineContext_, command, value, record);
  RaiseHeldException();
  return result;
}

void TQVCustomPDFExport::SetIProp(std::int32_t key, std::int32_t value) {
  engine_.SetIProp(engineContext_, key, value);
  RaiseHeldException();
}

void TQVCustomPDFExport::SetSProp(std::int32_t key, const std::string& text) {
  engine_.SetSProp(engineContext_, key, text.c_str());
  RaiseHeldException();
}

void TQVCustomPDFExport::InitializePage(const TQVPDFPageInit& page) {
  engine_.InitializePage(engineContext_, 0, &page);
  RaiseHeldException();
}

}  // namespace brenlow
