// TQVPDFEngineContext: one document of one host. The host holds only an opaque pointer (the
// ::TQVPDFEngineContext of the public header), a token that is never handed out twice; every
// entry point turns it back into the context through TQVContextUse, the one place where that
// happens.
//
// A context owns its device. Settings whose device parts are not part of this build yet
// (element images) and the merge texts are kept here as the host set them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QVPDFDevEX/pdf_device_ex.h"
#include "vellora/vellora.h"

namespace vellora {

// What the host set for device parts that are built later.
struct TQVEngineStoredSettings {
  bool convertJpegData = false;  // key 6: JPEG data of elements is converted
  std::string mergeStart;        // key 14: stored only
  std::string mergeText;         // key 15: stored only
};

class TQVPDFEngineContext {
 public:
  TQVPDFEngineContext(::TQVPDFEngineCallback callback, void* userData);
  ~TQVPDFEngineContext();
  TQVPDFEngineContext(const TQVPDFEngineContext&) = delete;
  TQVPDFEngineContext& operator=(const TQVPDFEngineContext&) = delete;

  // The host's callback and user data go to the device before every command.
  void PassCallbackToDevice();
  // The rotation of the page record's flags: 270 for both low bits, 90 for bit 0, else the
  // flags themselves.
  std::int32_t PageRotation() const;

  TQVPDFDeviceEX device;
  ::TQVPDFEngineCallback callback;
  // From the last page record. Until the first one the context works at 72 dpi.
  std::uint32_t rotationFlags = 0;
  std::int32_t pageWidth = 0, pageHeight = 0;
  std::int32_t xResolution = 72, yResolution = 72;
  float xScale = 1.0f, yScale = 1.0f;  // 72 / resolution
  bool drawn = false, filledRect = false;
  std::uint32_t color = QVPDF_COLOR_NONE;
  std::int32_t originX = 0, originY = 0;
  float fontScale = 0.0f;  // y resolution / 72, 0 at 72 dpi
  void* userData;
  std::int32_t elementResolution = 0;  // key 10
  bool hostFlag = false;               // key 28
  TQVEngineStoredSettings stored;
  // The metafile bytes of command 5569, kept for the next metafile.
  std::vector<std::uint8_t> metafileBuffer;
  // The texts of the last element, kept so that painting elements does not allocate anew.
  std::string elementText;
  std::u16string elementWideText;
  // Commands running in this context: above 1 while a callback calls back in.
  std::int32_t commandDepth = 0;
};

// Keeps the context behind a host's pointer alive for the length of one entry point call. A
// pointer that is not a live context (null, freed, never made) gives none. A context that is
// finalized while a call is still inside it (from a callback) is freed when the outermost
// call ends.
class TQVContextUse {
 public:
  explicit TQVContextUse(::TQVPDFEngineContext* handle);
  ~TQVContextUse();
  TQVContextUse(const TQVContextUse&) = delete;
  TQVContextUse& operator=(const TQVContextUse&) = delete;

  explicit operator bool() const { return context_ != nullptr; }
  TQVPDFEngineContext& operator*() const { return *context_; }
  TQVPDFEngineContext* operator->() const { return context_; }

 private:
  TQVPDFEngineContext* context_;
  std::uintptr_t token_;
};

// Makes a context live and gives the host its pointer.
::TQVPDFEngineContext* RegisterContext(std::unique_ptr<TQVPDFEngineContext> context);
// Ends a live context (at once, or when the calls inside it have returned); nothing for any
// other pointer.
void FinalizeContext(::TQVPDFEngineContext* handle);

}  // namespace vellora
