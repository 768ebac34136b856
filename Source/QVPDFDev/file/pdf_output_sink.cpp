#include "QVPDFDev/file/pdf_output_sink.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <stdexcept>

#include "qvplatform/file_descriptor.h"

namespace vellora {
namespace {

constexpr std::size_t kFileBuffer = 64 * 1024;
constexpr std::size_t kCopyBlock = 64 * 1024;

using qvplatform::UniqueFd;

void WriteAll(int fd, const std::uint8_t* bytes, std::size_t count) {
  if (!qvplatform::WriteAll(fd, bytes, count)) throw std::runtime_error("Stream write error");
}

UniqueFd CreateFile(const std::string& fileName, int access) {
  UniqueFd fd(::open(fileName.c_str(), access | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!fd.IsOpen()) throw std::runtime_error("Cannot create file " + fileName);
  return fd;
}

}  // namespace

TQVPDFOutputSink::~TQVPDFOutputSink() {
  try {
    CloseFile();
  } catch (...) {
    // A destructor cannot report the failure; Close() does.
  }
}

void TQVPDFOutputSink::OpenMemory() {
  Close();
  readFd_.Reset();
  memory_.clear();
  memory_.reserve(kFileBuffer);
  fileName_.clear();
  file_ = false;
  position_ = 0;
  open_ = true;
}

void TQVPDFOutputSink::OpenFile(const std::string& fileName) {
  Close();
  readFd_.Reset();
  writeFd_ = CreateFile(fileName, O_RDWR);
  readFd_.Reset(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
  file_ = true;
  fileName_ = fileName;
  memory_.clear();
  memory_.reserve(kFileBuffer);
  position_ = 0;
  open_ = true;
}

void TQVPDFOutputSink::Close() {
  if (!open_) return;
  open_ = false;
  CloseFile();
}

void TQVPDFOutputSink::CloseFile() {
  if (!writeFd_.IsOpen()) return;
  UniqueFd fd = std::move(writeFd_);
  std::vector<std::uint8_t> pending;
  pending.swap(memory_);
  if (!pending.empty()) WriteAll(fd.Get(), pending.data(), pending.size());
  if (!fd.Close()) throw std::runtime_error("Stream write error");
}

void TQVPDFOutputSink::Append(const void* bytes, std::size_t count) {
  if (count == 0) return;
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  if (file_) {
    if (memory_.size() + count > kFileBuffer) {
      Flush();
      if (count >= kFileBuffer) {
        WriteAll(writeFd_.Get(), p, count);
        position_ += count;
        return;
      }
    }
  }
  memory_.insert(memory_.end(), p, p + count);
  position_ += count;
}

void TQVPDFOutputSink::Flush() {
  if (!file_ || !writeFd_.IsOpen() || memory_.empty()) return;
  WriteAll(writeFd_.Get(), memory_.data(), memory_.size());
  memory_.clear();
}

std::size_t TQVPDFOutputSink::CopyTo(void* buffer, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  if (!file_) {
    std::copy_n(memory_.data(), count, out);
    return count;
  }
  Flush();
  if (!readFd_.IsOpen()) return 0;
  return qvplatform::ReadAt(readFd_.Get(), out, count, 0);
}

void TQVPDFOutputSink::SaveTo(const std::string& fileName) {
  if (file_) {
    SaveFileTo(fileName);
    return;
  }
  UniqueFd target = CreateFile(fileName, O_WRONLY);
  WriteAll(target.Get(), memory_.data(), static_cast<std::size_t>(position_));
  if (!target.Close()) throw std::runtime_error("Stream write error");
}

void TQVPDFOutputSink::SaveFileTo(const std::string& fileName) {
  Flush();
  if (!readFd_.IsOpen()) throw std::runtime_error("Cannot open file " + fileName_);
  const int in = readFd_.Get();
  // Another name for the output file itself ("./out.pdf", a link): the document is there
  // already, and truncating the target would destroy it. Files are compared, not names.
  struct stat target, source;
  if (::stat(fileName.c_str(), &target) == 0 && ::fstat(in, &source) == 0 &&
      target.st_dev == source.st_dev && target.st_ino == source.st_ino)
    return;
  UniqueFd out = CreateFile(fileName, O_WRONLY);
  std::vector<std::uint8_t> block(kCopyBlock);
  for (std::uint64_t offset = 0; offset < position_;) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(kCopyBlock, position_ - offset));
    const std::size_t got = qvplatform::ReadAt(in, block.data(), want, offset);
    if (got != want) throw std::runtime_error("Cannot open file " + fileName_);
    WriteAll(out.Get(), block.data(), got);
    offset += got;
  }
  if (!out.Close()) throw std::runtime_error("Stream write error");
}

}  // namespace vellora
