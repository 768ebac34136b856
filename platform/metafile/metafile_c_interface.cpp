// The C interface to metafile handles (qvplatform_c.h) over the C++ one: the same handles, the
// same checks. The C header's structures mirror the platform's records field for field.
#include <cstddef>

#include "qvplatform/metafile.h"
#include "qvplatform/qvplatform_c.h"
#include "qvplatform/wmf_translator.h"

namespace qvplatform {
namespace {

static_assert(sizeof(QvEnhMetaHeader) == sizeof(ENHMETAHEADER));
static_assert(sizeof(QvEnhMetaHeader) == kEmfHeaderExtension2Size);
static_assert(offsetof(QvEnhMetaHeader, rclFrame) == offsetof(ENHMETAHEADER, rclFrame));
static_assert(offsetof(QvEnhMetaHeader, nHandles) == offsetof(ENHMETAHEADER, nHandles));
static_assert(offsetof(QvEnhMetaHeader, szlMillimeters) == offsetof(ENHMETAHEADER, szlMillimeters));
static_assert(offsetof(QvEnhMetaHeader, szlMicrometers) == offsetof(ENHMETAHEADER, szlMicrometers));

static_assert(sizeof(QvMetaFilePict) == sizeof(METAFILEPICT));
static_assert(offsetof(QvMetaFilePict, yExt) == offsetof(METAFILEPICT, yExt));

static_assert(QV_METAFILE_OK == static_cast<int>(MetafileStatus::kOk));
static_assert(QV_METAFILE_OLD_STYLE == static_cast<int>(MetafileStatus::kOldStyle));
static_assert(QV_METAFILE_NO_HANDLES == static_cast<int>(MetafileStatus::kNoHandles));

void Report(int* status, MetafileStatus value) {
  if (status != nullptr) *status = static_cast<int>(value);
}

}  // namespace
}  // namespace qvplatform

using namespace qvplatform;

extern "C" const char* QvMetafileStatusText(int status) {
  if (status < QV_METAFILE_OK || status > QV_METAFILE_NO_HANDLES) return "unknown status";
  return MetafileStatusText(static_cast<MetafileStatus>(status));
}

extern "C" QvMetafileHandle QvGetEnhMetaFile(const char* fileName, int* status) {
  if (fileName == nullptr) {
    Report(status, MetafileStatus::kCannotOpen);
    return 0;
  }
  const MetafileLoadResult loaded = LoadMetafileFile(fileName);
  if (loaded.status == MetafileStatus::kOk && loaded.kind != HandleKind::kEnhMetaFile) {
    DeleteMetaFile(loaded.handle);
    Report(status, MetafileStatus::kOldStyle);
    return 0;
  }
  Report(status, loaded.status);
  return loaded.handle;
}

extern "C" QvMetafileHandle QvSetEnhMetaFileBits(uint32_t size, const uint8_t* data) {
  return SetEnhMetaFileBits(size, data);
}

extern "C" QvMetafileHandle QvSetWinMetaFileBits(uint32_t size, const uint8_t* data,
                                                 const QvMetaFilePict* picture) {
  if (data == nullptr || size == 0) return 0;
  METAFILEPICT mapping;
  if (picture != nullptr) {
    mapping.mm = picture->mm;
    mapping.xExt = picture->xExt;
    mapping.yExt = picture->yExt;
  }
  return SetWinMetaFileBitsEx(size, data, picture != nullptr ? &mapping : nullptr).handle;
}

extern "C" QvMetafileHandle QvCopyEnhMetaFile(QvMetafileHandle metafile, const char* fileName) {
  return CopyEnhMetaFile(metafile, fileName);
}

extern "C" uint32_t QvGetEnhMetaFileHeader(QvMetafileHandle metafile, uint32_t size,
                                           QvEnhMetaHeader* header) {
  return GetEnhMetaFileHeader(metafile, size, reinterpret_cast<ENHMETAHEADER*>(header));
}

extern "C" uint32_t QvGetEnhMetaFileBits(QvMetafileHandle metafile, uint32_t size,
                                         uint8_t* buffer) {
  return GetEnhMetaFileBits(metafile, size, buffer);
}

extern "C" int QvDeleteEnhMetaFile(QvMetafileHandle metafile) {
  return DeleteEnhMetaFile(metafile) ? 1 : 0;
}
