#include "QVPDFDev/file/pdf_output_sink.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "qvplatform/file_descriptor.h"

namespace vellora {
namespace {

constexpr std::size_t kFileBuffer = 64 * 1024;

void WriteAll(int fd, const std::uint8_t* bytes, std::size_t count) {
  if (!qvplatform::WriteAll(fd, bytes, count)) throw std::runtime_error("Stream write error");
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
  memory_.clear();
  memory_.reserve(kFileBuffer);
  fileName_.clear();
  file_ = false;
  position_ = 0;
  open_ = true;
}

void TQVPDFOutputSink::OpenFile(const std::string& fileName) {
  Close();
  const int fd = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("Cannot create file " + fileName);
  fd_ = fd;
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
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  std::vector<std::uint8_t> pending;
  pending.swap(memory_);
  try {
    if (!pending.empty()) WriteAll(fd, pending.data(), pending.size());
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0) throw std::runtime_error("Stream write error");
}

void TQVPDFOutputSink::Append(const void* bytes, std::size_t count) {
  if (count == 0) return;
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  if (file_) {
    if (memory_.size() + count > kFileBuffer) {
      Flush();
      if (count >= kFileBuffer) {
        WriteAll(fd_, p, count);
        position_ += count;
        return;
      }
    }
  }
  memory_.insert(memory_.end(), p, p + count);
  position_ += count;
}

void TQVPDFOutputSink::Flush() {
  if (!file_ || fd_ < 0 || memory_.empty()) return;
  WriteAll(fd_, memory_.data(), memory_.size());
  memory_.clear();
}

std::size_t TQVPDFOutputSink::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (offset >= position_) return 0;
  count = static_cast<std::size_t>(std::min<std::uint64_t>(count, position_ - offset));
  if (!file_) {
    std::memcpy(buffer, memory_.data() + offset, count);
    return count;
  }
  Flush();
  // A closed file is read back from its name.
  const int fd = fd_ >= 0 ? fd_ : ::open(fileName_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  const std::size_t done = qvplatform::ReadAt(fd, buffer, count, offset);
  if (fd != fd_) ::close(fd);
  return done;
}

}  // namespace vellora
