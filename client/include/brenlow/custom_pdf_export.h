// TQVCustomPDFExport: the component through which a host program uses the engine library. It
// finds and loads the library (engine_library.h), forwards its properties, turns documents,
// pages and form objects into the call sequence of the engine's exports, records each page's
// drawing in a page canvas, and reports the engine's messages as events.
//
// Failures raise std::runtime_error with fixed English texts. An exception thrown by an event
// handler inside an engine callback is held until the engine call returns (the engine is told
// to stop where it can) and then raised again. One thread drives one component; components on
// different threads share the one loaded library. The engine holds the component's address, so
// a component can be neither copied nor moved.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "brenlow/component_reference.h"
#include "brenlow/engine_library.h"
#include "brenlow/enh_metafile.h"
#include "brenlow/export_info.h"
#include "brenlow/option_types.h"
#include "qvplatform/metafile.h"
#include "qvplatform/stream.h"
#include "vellora/vellora.h"

namespace brenlow {

using qvplatform::HENHMETAFILE;
using qvplatform::TStream;

class TQVCustomPDFExport;
using TNotifyEvent = std::function<void(TQVCustomPDFExport& sender)>;
using TFolvioErrorEvent =
    std::function<void(TQVCustomPDFExport& sender, int num, const std::string& text)>;
using TFolvioMergeTextEvent = std::function<void(TQVCustomPDFExport& sender, std::string& text)>;
using TQVPDFUpdateGaugeEvent = std::function<void(TQVCustomPDFExport& sender, int position)>;
using TQVPDFMergePageEvent = std::function<void(
    TQVCustomPDFExport& sender, int pageNo, HENHMETAFILE& metafileHandle, std::string& fileName)>;
using TQVPDFReadContentEvent =
    std::function<void(TQVCustomPDFExport& sender, const TQVPDFReadContent* data)>;
// Never called by the component: assigned, it selects the read-mode polls of the callback.
using TQVPDFReadProgressEvent = std::function<void(TQVCustomPDFExport& sender)>;

class TQVCustomPDFExport {
 public:
  TQVCustomPDFExport();
  virtual ~TQVCustomPDFExport();
  TQVCustomPDFExport(const TQVCustomPDFExport&) = delete;
  TQVCustomPDFExport& operator=(const TQVCustomPDFExport&) = delete;

  virtual std::string ClassName() const { return "TQVCustomPDFExport"; }
  // Copies the settings and handlers of another component (not the file name, the memory mode,
  // the JPEG conversion, the gauge and read-mode handlers or the output stream).
  void Assign(const TQVCustomPDFExport& source);

  // ---- Engine binding ----
  bool LoadEngine(const std::string& name);
  void UnloadEngine();
  bool EngineHeld() const { return engineHeld_; }
  // Raises "DLL is in use. Cannot unload it" while this component has a document open.
  void SetDLLName(const std::string& name);
  virtual void Lock();
  virtual void Unlock();

  // ---- Documents and pages ----
  virtual void BeginDoc();
  virtual void EndDoc();
  virtual void StartPage(std::int32_t width, std::int32_t height, std::int32_t xRes,
                         std::int32_t yRes, std::int32_t rotation);
  virtual void EndPage();
  virtual void FlushPage();
  virtual void BeforeEndPage() {}
  virtual void Abort() { aborted_ = true; }
  virtual void ResetPageInit(int pageIndex, TQVPDFPageInit& pageInit, std::int32_t xRes,
                             std::int32_t yRes);
  void StartXForm(const std::string& name, std::int32_t width, std::int32_t height,
                  std::int32_t xRes, std::int32_t yRes);
  void EndXForm();
  void DrawXForm(const std::string& name, std::int32_t x, std::int32_t y, std::int32_t w,
                 std::int32_t h);
  void DrawInputPage(const std::string& name);
  void DrawMetafile(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                    HENHMETAFILE handle, std::int32_t xRes, std::int32_t yRes);
  void DrawMetafileAt(std::int32_t x, std::int32_t y, HENHMETAFILE handle);
  // The drawing surface of the open page (from StartPage to EndPage): a metafile of the
  // page's size and resolutions, handed to the engine by EndPage.
  qvplatform::TMetafileCanvas& Canvas();

  bool InDocument() const { return inDocument_; }
  bool InPage() const { return inPage_; }
  int PageCount() const { return pageCount_; }
  int InputPageCount() const { return inputPageCount_; }
  bool MetafileError() const { return metafileError_; }
  TQVPDFEngineContext* EngineContext() const { return engineContext_; }

  // ---- Properties ----
  TQVPDFCidFontMode CidFontMode() const { return cidFontMode_; }
  void SetCidFontMode(TQVPDFCidFontMode v) { cidFontMode_ = v; }
  TQVPDFAMode PDFAMode() const { return pdfaMode_; }
  void SetPDFAMode(TQVPDFAMode v) { pdfaMode_ = v; }
  TQVPDFReadMode PDFReadMode() const { return pdfReadMode_; }
  void SetPDFReadMode(TQVPDFReadMode v) { pdfReadMode_ = v; }
  TQVPDFCanvasReference CanvasReference() const { return canvasReference_; }
  void SetCanvasReference(TQVPDFCanvasReference v) { canvasReference_ = v; }
  const std::string& Filename() const { return filename_; }
  void SetFilename(std::string v) { filename_ = std::move(v); }
  bool AutoLaunch() const { return autoLaunch_; }
  void SetAutoLaunch(bool v) { autoLaunch_ = v; }
  TQVEncodeStreamMethod EncodeStreamMethod() const { return encodeStreamMethod_; }
  void SetEncodeStreamMethod(TQVEncodeStreamMethod v) { encodeStreamMethod_ = v; }
  TQVCompressStreamMethod CompressStreamMethod() const { return compressStreamMethod_; }
  void SetCompressStreamMethod(TQVCompressStreamMethod v) { compressStreamMethod_ = v; }
  TQVPDFExportInfo& Info() { return info_; }
  const TQVPDFExportInfo& Info() const { return info_; }
  void SetInfo(const TQVPDFExportInfo& v) { info_.Assign(v); }
  bool CreateThumbnails() const { return createThumbnails_; }
  void SetCreateThumbnails(bool v) { createThumbnails_ = v; }
  bool CreateOutlines() const { return createOutlines_; }
  void SetCreateOutlines(bool v) { createOutlines_ = v; }
  TQVDevModes Modes() const { return modes_; }
  void SetModes(TQVDevModes v);
  TFolvioOptions Options() const { return options_; }
  void SetOptions(TFolvioOptions v);
  TStringList& ExcludedFonts() { return excludedFonts_; }
  const TStringList& ExcludedFonts() const { return excludedFonts_; }
  void SetExcludedFonts(const TStringList& v) { excludedFonts_ = v; }
  TQVPDFPageModes PageMode() const { return pageMode_; }
  void SetPageMode(TQVPDFPageModes v) { pageMode_ = v; }
  TQVPDFZoomModes ZoomMode() const { return zoomMode_; }
  void SetZoomMode(TQVPDFZoomModes v) { zoomMode_ = v; }
  TQVPDFFontMode FontMode() const { return fontMode_; }
  void SetFontMode(TQVPDFFontMode v) { fontMode_ = v; }
  TFolvioEncryption Encryption() const { return encryption_; }
  void SetEncryption(TFolvioEncryption v) { encryption_ = v; }
  TFolvioSecurity Security() const { return security_; }
  void SetSecurity(TFolvioSecurity v) { security_ = v; }
  const std::string& UserPassword() const { return userPassword_; }
  void SetUserPassword(std::string v) { userPassword_ = std::move(v); }
  const std::string& OwnerPassword() const { return ownerPassword_; }
  void SetOwnerPassword(std::string v) { ownerPassword_ = std::move(v); }
  const std::string& MergeStart() const { return mergeStart_; }
  void SetMergeStart(std::string v);
  bool InMemoryMode() const { return inMemoryMode_; }
  void SetInMemoryMode(bool v) { inMemoryMode_ = v; }
  TQVJPEGQuality JPEGQuality() const { return jpegQuality_; }
  void SetJPEGQuality(TQVJPEGQuality v);
  TQVExtraMessages ExtraMessages() const { return extraMessages_; }
  void SetExtraMessages(TQVExtraMessages v) { extraMessages_ = v; }
  TQVPDFInputfileMode InputfileMode() const { return inputfileMode_; }
  void SetInputfileMode(TQVPDFInputfileMode v) { inputfileMode_ = v; }
  const std::string& InputFile() const { return inputFile_; }
  void SetInputFile(std::string v) { inputFile_ = std::move(v); }

  // Not stored with a form.
  TStream* OutputStream() const { return outputStream_; }
  void SetOutputStream(TStream* v) { outputStream_ = v; }
  std::int32_t XResolution() const { return xResolution_; }
  void SetXResolution(std::int32_t v) { xResolution_ = v; }
  std::int32_t YResolution() const { return yResolution_; }
  void SetYResolution(std::int32_t v) { yResolution_ = v; }
  std::uint32_t PageColor() const { return pageColor_; }
  void SetPageColor(std::uint32_t v) { pageColor_ = v; }

  // Events.
  TNotifyEvent BeforeBeginDoc, AfterBeginDoc, BeforeEndDoc, AfterEndDoc;
  TFolvioErrorEvent OnError;
  TFolvioMergeTextEvent OnMergeText;
  TQVPDFUpdateGaugeEvent OnUpdateGauge;
  TQVPDFMergePageEvent OnMergePage;
  TQVPDFReadContentEvent OnReadContent;
  TQVPDFReadProgressEvent OnReadProgress;

 protected:
  // The property dialog edits what TQVPDFPrinter publishes on any component.
  friend class TQVPDFPropertyForm;

  // Published by TQVPDFPrinter.
  bool ConvertJPEGData() const { return convertJPEGData_; }
  void SetConvertJPEGData(bool v) { convertJPEGData_ = v; }
  bool DebugMode() const { return debugMode_; }
  void SetDebugMode(bool v) { debugMode_ = v; }
  const std::string& DebugMetafilePath() const { return debugMetafilePath_; }
  void SetDebugMetafilePath(std::string v) { debugMetafilePath_ = std::move(v); }

 private:
  friend class TComponentReference;
  static void EngineCallback(void* userData, std::int32_t kind, std::int32_t value,
                             const char* text);
  void HandleCallback(std::int32_t kind, std::int32_t value, const char* text);
  void ReadContentPoll(const char* text);
  // The engine calls; each raises what a callback held back.
  std::int32_t Do(std::int32_t command, std::int32_t value, void* record);
  void SetIProp(std::int32_t key, std::int32_t value);
  void SetSProp(std::int32_t key, const std::string& text);
  void InitializePage(const TQVPDFPageInit& page);
  void RaiseHeldException();

  void FinalizeContext();
  void SendProperties();
  void StartPageEx(bool isPage, const std::string& name, std::int32_t width, std::int32_t height,
                   std::int32_t xRes, std::int32_t yRes, std::int32_t rotation);
  std::string GetMergePage(std::int32_t width, std::int32_t height, std::int32_t xRes,
                           std::int32_t yRes);
  void CloseCanvas();
  void FreePageMetafile() { pageMetafile_.reset(); }
  void UpdateReferenceDC(bool create);
  void DumpMetafile(HENHMETAFILE handle);
  void CollectOutput();
  void Launch();

  // Those that refer to this component, told when it is destroyed.
  std::vector<TComponentReference*> references_;

  // Binding.
  TQVPDFEntryPoints engine_;
  bool engineHeld_ = false;
  int openDocuments_ = 0;
  TQVPDFEngineContext* engineContext_ = nullptr;
  std::exception_ptr heldException_;

  // Document state.
  bool aborted_ = false;
  bool inDocument_ = false;
  bool inPage_ = false;
  int inputPageCount_ = 0;
  int pageCount_ = 0;
  std::int32_t pageWidth_ = 0, pageHeight_ = 0;
  // The page or form object being drawn: the size and resolutions of its canvas.
  std::int32_t canvasWidth_ = 0, canvasHeight_ = 0;
  std::int32_t canvasXRes_ = 72, canvasYRes_ = 72;
  TQVPDFPageInit pageInit_{};
  bool pageInitReady_ = false;
  std::unique_ptr<TFolvioEnhMetafile> pageMetafile_;
  TStringList mergeCache_;  // key -> form number, or -1 for a merge file that failed
  int mergeForms_ = 0;
  bool metafileError_ = false;

  // Properties.
  TQVPDFCidFontMode cidFontMode_ = qvCIDOff;
  TQVPDFAMode pdfaMode_ = folvioaOff;
  TQVPDFReadMode pdfReadMode_ = folvioStandard;
  TQVPDFCanvasReference canvasReference_ = qvrefScreen;
  std::string filename_;
  bool autoLaunch_ = false;
  TQVEncodeStreamMethod encodeStreamMethod_ = qvEncodeNone;
  TQVCompressStreamMethod compressStreamMethod_ = qvCompressNone;
  TQVPDFExportInfo info_;
  bool createThumbnails_ = false;
  bool createOutlines_ = false;
  TQVDevModes modes_{qvClipRectSupport};
  TFolvioOptions options_;
  TStringList excludedFonts_;
  TQVPDFPageModes pageMode_ = pwUseNone;
  TQVPDFZoomModes zoomMode_ = pwZoomDefault;
  TQVPDFFontMode fontMode_ = qvUseTrueTypeFonts;
  TFolvioEncryption encryption_;
  TFolvioSecurity security_ = qvp40bit;
  std::string userPassword_, ownerPassword_, mergeStart_;
  bool inMemoryMode_ = false;
  TQVJPEGQuality jpegQuality_ = qvNoJPEG;
  TQVExtraMessages extraMessages_;
  TQVPDFInputfileMode inputfileMode_ = pwIgnoreInput;
  std::string inputFile_;
  bool convertJPEGData_ = false;
  bool debugMode_ = false;
  std::string debugMetafilePath_;
  TStream* outputStream_ = nullptr;
  std::int32_t xResolution_ = 72, yResolution_ = 72;
  std::uint32_t pageColor_ = QVPDF_COLOR_HOST_DEFAULT;
};

}  // namespace brenlow
