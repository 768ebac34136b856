#include <algorithm>
#include <cstring>
#include <string>

#include "metafile_object.h"
#include "qvplatform/debug_output.h"

namespace qvplatform {
namespace metafile {

std::shared_ptr<const EnhMetaFileObject> FindEnhMetaFile(HANDLE32 handle) {
  return HandleTable::Instance().Get<const EnhMetaFileObject>(handle, HandleKind::kEnhMetaFile);
}

std::shared_ptr<const MetaFileObject> FindMetaFile(HANDLE32 handle) {
  return HandleTable::Instance().Get<const MetaFileObject>(handle, HandleKind::kMetaFile);
}

}  // namespace metafile

namespace {

using metafile::EnhMetaFileObject;
using metafile::MetaFileObject;

template <class T>
MetafileLoadResult AddObject(HandleKind kind, std::shared_ptr<const T> object) {
  MetafileLoadResult result;
  result.kind = kind;
  result.handle = HandleTable::Instance().Add(kind, std::const_pointer_cast<T>(std::move(object)));
  if (result.handle == 0) result.status = MetafileStatus::kNoHandles;
  return result;
}

MetafileLoadResult Failed(MetafileStatus status) {
  MetafileLoadResult result;
  result.status = status;
  return result;
}

// Copies min(size, bytes) to buffer; the whole size when buffer is null.
UINT CopyOut(const std::vector<BYTE>& bytes, UINT size, void* buffer) {
  if (buffer == nullptr) return static_cast<UINT>(bytes.size());
  const std::size_t count = std::min<std::size_t>(size, bytes.size());
  if (count != 0) std::memcpy(buffer, bytes.data(), count);
  return static_cast<UINT>(count);
}

}  // namespace

const char* MetafileStatusText(MetafileStatus status) {
  switch (status) {
    case MetafileStatus::kOk:
      return "";
    case MetafileStatus::kCannotOpen:
      return "the file cannot be read";
    case MetafileStatus::kEmpty:
      return "the file is empty";
    case MetafileStatus::kTooLarge:
      return "the metafile is larger than 2 GiB";
    case MetafileStatus::kNotAMetafile:
      return "not a metafile (neither enhanced nor old-style)";
    case MetafileStatus::kBadHeader:
      return "damaged enhanced-metafile header";
    case MetafileStatus::kBadOldStyle:
      return "damaged old-style metafile header";
    case MetafileStatus::kOldStyle:
      return "an old-style (WMF) metafile, not an enhanced one";
    case MetafileStatus::kInvalidHandle:
      return "not a metafile handle";
    case MetafileStatus::kCannotWrite:
      return "the file cannot be written";
    case MetafileStatus::kNoHandles:
      return "no metafile handles left";
  }
  return "unknown metafile error";
}

MetafileLoadResult LoadMetafileBytes(const void* data, std::size_t size) {
  if (size == 0 || data == nullptr) return Failed(MetafileStatus::kEmpty);
  if (size > kMaxMetafileBytes) return Failed(MetafileStatus::kTooLarge);
  const auto* bytes = static_cast<const BYTE*>(data);

  // An enhanced metafile starts with the 32-bit record type 1; an old-style one never does.
  DWORD first = 0;
  std::memcpy(&first, bytes, std::min<std::size_t>(size, sizeof first));
  if (size >= sizeof first && first == EMR_HEADER) {
    EmfHeader header;
    switch (ReadEmfHeader(bytes, size, header)) {
      case EmfHeaderStatus::kOk:
        break;
      case EmfHeaderStatus::kNotEnhanced:
        return Failed(MetafileStatus::kNotAMetafile);
      case EmfHeaderStatus::kTooShort:
      case EmfHeaderStatus::kBadSize:
      case EmfHeaderStatus::kSizeBeyondData:
        return Failed(MetafileStatus::kBadHeader);
    }
    auto object = std::make_shared<EnhMetaFileObject>();
    object->bits.assign(bytes, bytes + size);
    object->header = header;
    return AddObject<EnhMetaFileObject>(HandleKind::kEnhMetaFile, std::move(object));
  }

  auto object = std::make_shared<MetaFileObject>();
  const MetafileStatus status = metafile::ReadOldStyleMetafile(bytes, size, *object);
  if (status != MetafileStatus::kOk) return Failed(status);
  return AddObject<MetaFileObject>(HandleKind::kMetaFile, std::move(object));
}

MetafileStatus CheckEnhMetaFile(HANDLE32 handle) {
  HandleKind kind;
  if (!HandleTable::Instance().KindOf(handle, &kind)) return MetafileStatus::kInvalidHandle;
  if (kind == HandleKind::kEnhMetaFile) return MetafileStatus::kOk;
  if (kind == HandleKind::kMetaFile) return MetafileStatus::kOldStyle;
  return MetafileStatus::kInvalidHandle;
}

HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data) {
  const MetafileLoadResult result = LoadMetafileBytes(data, size);
  if (result.handle != 0 && result.kind != HandleKind::kEnhMetaFile) {
    HandleTable::Instance().Remove(result.handle, result.kind);
    return 0;
  }
  return result.handle;
}

UINT GetEnhMetaFileBits(HENHMETAFILE metafile, UINT size, BYTE* buffer) {
  const auto object = metafile::FindEnhMetaFile(metafile);
  if (!object) {
    if (CheckEnhMetaFile(metafile) == MetafileStatus::kOldStyle) {
      OutputDebugString("GetEnhMetaFileBits: handle " + std::to_string(metafile) + ": " +
                        MetafileStatusText(MetafileStatus::kOldStyle));
    }
    return 0;
  }
  return CopyOut(object->bits, size, buffer);
}

UINT GetEnhMetaFileHeader(HENHMETAFILE metafile, UINT size, ENHMETAHEADER* header) {
  const auto object = metafile::FindEnhMetaFile(metafile);
  if (!object) return 0;
  if (header == nullptr) return object->header.fields.nSize;
  const std::size_t count = std::min<std::size_t>(size, sizeof(ENHMETAHEADER));
  std::memcpy(header, &object->header.fields, count);
  return static_cast<UINT>(count);
}

bool DeleteEnhMetaFile(HENHMETAFILE metafile) {
  return HandleTable::Instance().Remove(metafile, HandleKind::kEnhMetaFile);
}

UINT GetMetaFileBitsEx(HMETAFILE metafile, UINT size, void* buffer) {
  const auto object = metafile::FindMetaFile(metafile);
  return object ? CopyOut(object->bits, size, buffer) : 0;
}

bool GetMetaFilePlaceable(HMETAFILE metafile, WmfPlaceable* placeable) {
  const auto object = metafile::FindMetaFile(metafile);
  if (!object || !object->hasPlaceable) return false;
  if (placeable != nullptr) *placeable = object->placeable;
  return true;
}

bool DeleteMetaFile(HMETAFILE metafile) {
  return HandleTable::Instance().Remove(metafile, HandleKind::kMetaFile);
}

}  // namespace qvplatform
