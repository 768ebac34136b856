// Metafile files: reading one into a handle and writing a copy of an enhanced metafile.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "metafile_object.h"
#include "qvplatform/file_descriptor.h"

namespace qvplatform {
namespace {

MetafileLoadResult FileFailure(MetafileStatus status, int error) {
  MetafileLoadResult result;
  result.status = status;
  result.systemError = error;
  return result;
}

// Reads the whole of a regular file; kTooLarge as soon as it passes kMaxMetafileBytes.
MetafileStatus ReadWholeFile(const char* fileName, std::vector<BYTE>& bytes, int& error) {
  UniqueFd fd(::open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.Get() < 0) {
    error = errno;
    return MetafileStatus::kCannotOpen;
  }
  struct stat info;
  if (::fstat(fd.Get(), &info) != 0) {
    error = errno;
    return MetafileStatus::kCannotOpen;
  }
  // Devices and pipes could block or never end.
  if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return MetafileStatus::kCannotOpen;
  }
  if (static_cast<std::uint64_t>(info.st_size) > kMaxMetafileBytes)
    return MetafileStatus::kTooLarge;
  // The file may grow or shrink while it is read: read until the end, whatever fstat said.
  bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      if (used > kMaxMetafileBytes) return MetafileStatus::kTooLarge;
      bytes.resize(bytes.size() * 2);
    }
    const ssize_t got = ::read(fd.Get(), bytes.data() + used, bytes.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return MetafileStatus::kCannotOpen;
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  if (used > kMaxMetafileBytes) return MetafileStatus::kTooLarge;
  bytes.resize(used);
  return MetafileStatus::kOk;
}

MetafileStatus WriteWholeFile(const char* fileName, const std::vector<BYTE>& bytes, int& error) {
  UniqueFd fd(::open(fileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (fd.Get() < 0 || !WriteAll(fd.Get(), bytes.data(), bytes.size())) {
    error = errno;
    return MetafileStatus::kCannotWrite;
  }
  if (!fd.Close()) {
    error = errno;
    return MetafileStatus::kCannotWrite;
  }
  return MetafileStatus::kOk;
}

}  // namespace

MetafileLoadResult LoadMetafileFile(const char* fileName) {
  if (fileName == nullptr) return FileFailure(MetafileStatus::kCannotOpen, EINVAL);
  std::vector<BYTE> bytes;
  int error = 0;
  const MetafileStatus status = ReadWholeFile(fileName, bytes, error);
  if (status != MetafileStatus::kOk) return FileFailure(status, error);
  return LoadMetafileBytes(bytes.data(), bytes.size());
}

MetafileLoadResult CopyEnhMetaFileEx(HENHMETAFILE metafile, const char* fileName) {
  const auto object = metafile::FindEnhMetaFile(metafile);
  if (!object) return FileFailure(CheckEnhMetaFile(metafile), 0);
  if (fileName != nullptr) {
    int error = 0;
    const MetafileStatus status = WriteWholeFile(fileName, object->bits, error);
    if (status != MetafileStatus::kOk) return FileFailure(status, error);
  }
  // The bytes never change, so the copy shares them.
  MetafileLoadResult result;
  result.handle = HandleTable::Instance().Add(
      HandleKind::kEnhMetaFile, std::const_pointer_cast<metafile::EnhMetaFileObject>(object));
  if (result.handle == 0) result.status = MetafileStatus::kNoHandles;
  return result;
}

HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE metafile, const char* fileName) {
  return CopyEnhMetaFileEx(metafile, fileName).handle;
}

}  // namespace qvplatform
