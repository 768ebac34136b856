#include <fcntl.h>

#include <stdexcept>

#include "qvplatform/file_descriptor.h"
#include "qvplatform/metafile_class.h"

namespace qvplatform {

TMetafile::~TMetafile() { SetBytes({}); }

HENHMETAFILE TMetafile::Handle() {
  if (handle_ == 0 && !bytes_.empty() && bytes_.size() <= kMaxMetafileBytes)
    handle_ = SetEnhMetaFileBits(static_cast<UINT>(bytes_.size()), bytes_.data());
  return handle_;
}

void TMetafile::SetBytes(std::vector<BYTE> bytes) {
  if (handle_ != 0) DeleteEnhMetaFile(handle_);
  handle_ = 0;
  bytes_ = std::move(bytes);
}

bool TMetafile::LoadFromFile(const std::string& fileName) {
  const MetafileLoadResult loaded = LoadMetafileFile(fileName.c_str());
  if (loaded.status != MetafileStatus::kOk) return false;
  if (loaded.kind != HandleKind::kEnhMetaFile) {
    DeleteMetaFile(loaded.handle);
    return false;
  }
  std::vector<BYTE> bytes(GetEnhMetaFileBits(loaded.handle, 0, nullptr));
  GetEnhMetaFileBits(loaded.handle, static_cast<UINT>(bytes.size()), bytes.data());
  SetBytes(std::move(bytes));
  handle_ = loaded.handle;
  return true;
}

void TMetafile::SaveToFile(const std::string& fileName) {
  UniqueFd fd(open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!fd.IsOpen() || !WriteAll(fd.Get(), bytes_.data(), bytes_.size()) || !fd.Close())
    throw std::runtime_error("Cannot create file \"" + fileName + "\"");
}

void TMetafile::SaveToStream(TStream& stream) {
  if (stream.Write(bytes_.data(), bytes_.size()) != bytes_.size())
    throw std::runtime_error("Stream write error");
}

}  // namespace qvplatform
