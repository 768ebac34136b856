// The finished document leaves the device: copied into a host's buffer or saved to a file.
// A memory document is read from memory; a file document from the written file, through a
// descriptor opened when the file was created.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <vector>

#include "QVPDFDev/device/pdf_device.h"

namespace vellora {
namespace {

constexpr std::size_t kCopyBlock = 64 * 1024;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }
  // Closes now, so that a failure to write the last bytes is seen.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

void WriteAll(int fd, const std::uint8_t* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t n = ::write(fd, bytes, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw std::runtime_error("Stream write error");
    }
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
}

// Up to count bytes at offset; fewer only at the end of the file.
std::size_t ReadAll(int fd, std::uint8_t* out, std::size_t count, std::uint64_t offset) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, out + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

}  // namespace

int TQVPDFDevice::OutputReader() const {
  if (outputReadFd_ < 0) throw std::runtime_error("Cannot open file " + output_->Sink().FileName());
  return outputReadFd_;
}

void TQVPDFDevice::CloseOutputReader() {
  if (outputReadFd_ >= 0) ::close(outputReadFd_);
  outputReadFd_ = -1;
}

std::int64_t TQVPDFDevice::CopyToBuffer(std::int64_t bufferSize, void* buffer) {
  if (!hasOutput_) return 0;
  TQVPDFOutputSink& sink = output_->Sink();
  const std::uint64_t size = sink.Position();
  if (buffer == nullptr) return static_cast<std::int64_t>(size);
  if (bufferSize <= 0) return 0;
  const std::size_t count =
      static_cast<std::size_t>(std::min<std::uint64_t>(size, std::uint64_t(bufferSize)));
  auto* out = static_cast<std::uint8_t*>(buffer);
  if (sink.IsMemory()) {
    std::copy_n(sink.MemoryBytes().data(), count, out);
    return static_cast<std::int64_t>(count);
  }
  sink.Flush();
  if (outputReadFd_ < 0) return 0;
  return static_cast<std::int64_t>(ReadAll(outputReadFd_, out, count, 0));
}

void TQVPDFDevice::SaveToFile(const std::string& fileName) {
  if (options.file.readMode != 0) return;
  if (!hasOutput_) throw std::runtime_error("No document to save");
  TQVPDFOutputSink& sink = output_->Sink();
  const std::uint64_t size = sink.Position();

  if (sink.IsMemory()) {
    FileDescriptor target(::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (target.Get() < 0) throw std::runtime_error("Cannot create file " + fileName);
    WriteAll(target.Get(), sink.MemoryBytes().data(), static_cast<std::size_t>(size));
    if (!target.Close()) throw std::runtime_error("Stream write error");
    return;
  }

  sink.Flush();
  const int in = OutputReader();
  // Another name for the output file itself ("./out.pdf", a link): the document is there
  // already, and truncating the target would destroy it. Files are compared, not names.
  struct stat target, source;
  if (::stat(fileName.c_str(), &target) == 0 && ::fstat(in, &source) == 0 &&
      target.st_dev == source.st_dev && target.st_ino == source.st_ino)
    return;
  FileDescriptor out(::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (out.Get() < 0) throw std::runtime_error("Cannot create file " + fileName);
  std::vector<std::uint8_t> block(kCopyBlock);
  for (std::uint64_t offset = 0; offset < size;) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(kCopyBlock, size - offset));
    const std::size_t got = ReadAll(in, block.data(), want, offset);
    if (got != want) throw std::runtime_error("Cannot open file " + sink.FileName());
    WriteAll(out.Get(), block.data(), got);
    offset += got;
  }
  if (!out.Close()) throw std::runtime_error("Stream write error");
}

}  // namespace vellora
