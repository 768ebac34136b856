#include "QVK2PDFDLL/draw_metafile.h"

#include <stdexcept>
#include <string>

#include "QVK2PDFDLL/old_style_metafile.h"
#include "qvplatform/clock.h"

namespace vellora {

void DrawMetafile(TQVPDFDevice& device, std::vector<std::uint8_t>& buffer,
                  qvplatform::HANDLE32 metafile, std::int32_t x, std::int32_t y, std::int32_t width,
                  std::int32_t height, std::int32_t xResolution, std::int32_t yResolution) {
  const TQVConvertedMetafile converted(device, metafile, xResolution, yResolution, buffer);
  if (converted.Handle() != 0) metafile = converted.Handle();
  const qvplatform::MetafileStatus status = qvplatform::CheckEnhMetaFile(metafile);
  if (status != qvplatform::MetafileStatus::kOk) {
    throw std::runtime_error("Cannot draw metafile " + std::to_string(metafile) + ": " +
                             qvplatform::MetafileStatusText(status));
  }
  const qvplatform::UINT size = qvplatform::GetEnhMetaFileBits(metafile, 0, nullptr);
  if (size == 0) return;
  if (buffer.size() < size) buffer.resize(size);
  const qvplatform::UINT copied = qvplatform::GetEnhMetaFileBits(metafile, size, buffer.data());

  // The time the player's report of damaged data names.
  device.timestamp = qvplatform::Now();
  // Inside open content the picture must not disturb what was drawn before it; otherwise it
  // starts from a clean device context.
  const bool saved = device.outputOpen;
  if (saved) {
    device.SaveDC();
  } else {
    device.Reset();
  }
  try {
    device.PlayMetafile(buffer.data(), copied, x, y, width, height, false, xResolution,
                        yResolution);
  } catch (...) {
    if (saved) {
      try {
        device.RestoreDC(-1);
      } catch (...) {
        // The player's failure is the one reported.
      }
    }
    throw;
  }
  if (saved) device.RestoreDC(-1);
}

}  // namespace vellora
