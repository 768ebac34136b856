#include "QVPDFDev/reader/pdf_file_input_stream.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace vellora {

bool TQVPDFFileInputStream::Open(const std::string& fileName) {
  fd_.Reset(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd_.IsOpen()) return false;
  struct stat info {};
  if (::fstat(fd_.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    fd_.Reset();
    return false;
  }
  size_ = static_cast<std::uint64_t>(info.st_size);
  return true;
}

std::size_t TQVPDFFileInputStream::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) {
  if (!fd_.IsOpen() || offset >= size_) return 0;
  return qvplatform::ReadAt(fd_.Get(), buffer, count, offset);
}

}  // namespace vellora
