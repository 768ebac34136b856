// An old-style (WMF) metafile handle drawn by the engine is first translated into an enhanced
// metafile, so that every later step plays one kind of metafile.
#pragma once

#include <cstdint>
#include <vector>

#include "QVPDFDev/device/pdf_device.h"
#include "qvplatform/metafile.h"

namespace vellora {

// The enhanced metafile translated from an old-style handle, deleted with this object; holds
// no handle (0) for any other handle. The picture takes the current page's size; with no page
// open, a placeable header's frame gives its own size. Damage met by the translation sets the
// device's metafile error flag and is reported to the debug sink. The player's resolutions
// (0 or less: the picture's own) become the translation's reference device, so that the
// picture fills its frame however it is placed. scratch holds the old-style bits during the
// translation.
class TQVConvertedMetafile {
 public:
  TQVConvertedMetafile(TQVPDFDevice& device, qvplatform::HANDLE32 metafile,
                       std::int32_t xResolution, std::int32_t yResolution,
                       std::vector<std::uint8_t>& scratch);
  ~TQVConvertedMetafile();
  TQVConvertedMetafile(const TQVConvertedMetafile&) = delete;
  TQVConvertedMetafile& operator=(const TQVConvertedMetafile&) = delete;

  qvplatform::HENHMETAFILE Handle() const { return handle_; }

 private:
  qvplatform::HENHMETAFILE handle_ = 0;
};

}  // namespace vellora
