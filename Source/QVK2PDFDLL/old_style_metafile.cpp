#include "QVK2PDFDLL/old_style_metafile.h"

#include <cmath>
#include <string>

#include "qvplatform/debug_output.h"
#include "qvplatform/wmf_translator.h"

namespace vellora {
namespace {

// Points to hundredths of a millimetre.
qvplatform::LONG Hundredths(float points) {
  return static_cast<qvplatform::LONG>(std::lround(double(points) / 72.0 * 2540.0));
}

}  // namespace

TQVConvertedMetafile::TQVConvertedMetafile(TQVPDFDevice& device, qvplatform::HANDLE32 metafile,
                                           std::int32_t xResolution, std::int32_t yResolution,
                                           std::vector<std::uint8_t>& scratch) {
  if (qvplatform::CheckEnhMetaFile(metafile) != qvplatform::MetafileStatus::kOldStyle) return;
  const qvplatform::UINT size = qvplatform::GetMetaFileBitsEx(metafile, 0, nullptr);
  if (size == 0) return;
  if (scratch.size() < size) scratch.resize(size);
  const qvplatform::UINT copied = qvplatform::GetMetaFileBitsEx(metafile, size, scratch.data());

  qvplatform::WmfPlaceable placeable;
  const bool placed = qvplatform::GetMetaFilePlaceable(metafile, &placeable);
  qvplatform::METAFILEPICT picture;
  picture.mm = qvplatform::MM_ANISOTROPIC;
  picture.xExt = Hundredths(device.pageWidth);
  picture.yExt = Hundredths(device.pageHeight);
  // With no page open the picture makes its own page: a placeable header knows its size.
  const bool ownFrame = placed && !device.PageOpen() && device.xformStream == nullptr;
  const auto reference = [](std::int32_t resolution) {
    return resolution > 0 ? resolution : qvplatform::kWmfReferenceDpi;
  };
  const qvplatform::WinMetaFileResult result = qvplatform::SetWinMetaFileBitsEx(
      copied, scratch.data(), ownFrame ? nullptr : &picture, placed ? &placeable : nullptr,
      {reference(xResolution), reference(yResolution)});
  handle_ = result.handle;
  if (result.damaged) {
    device.metafileError = true;
    qvplatform::OutputDebugString("Damaged old-style metafile " + std::to_string(metafile) + ": " +
                                  result.problem);
  }
}

TQVConvertedMetafile::~TQVConvertedMetafile() {
  if (handle_ != 0) qvplatform::DeleteEnhMetaFile(handle_);
}

}  // namespace vellora
