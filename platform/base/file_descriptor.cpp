#include "qvplatform/file_descriptor.h"

#include <unistd.h>

#include <cerrno>

namespace qvplatform {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    Reset(other.fd_);
    other.fd_ = -1;
  }
  return *this;
}

void UniqueFd::Reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

bool UniqueFd::Close() {
  const int fd = fd_;
  fd_ = -1;
  if (fd < 0) {
    errno = EBADF;
    return false;
  }
  return ::close(fd) == 0;
}

bool WriteAll(int fd, const void* data, std::size_t count) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (count > 0) {
    const ssize_t n = ::write(fd, bytes, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      // No progress and no error: give up rather than spin.
      errno = EIO;
      return false;
    }
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

std::size_t ReadAt(int fd, void* out, std::size_t count, std::uint64_t offset) {
  auto* bytes = static_cast<unsigned char*>(out);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, bytes + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

}  // namespace qvplatform
