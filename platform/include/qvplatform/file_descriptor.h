// POSIX file descriptors as every writer uses them: one owner that closes, and the loops that
// finish a write or a positioned read the system did only partly or broke off for a signal.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qvplatform {

// Owns a descriptor (or none: -1) and closes it when it goes. Movable, not copyable.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool IsOpen() const { return fd_ >= 0; }
  // Closes the old descriptor (a failure goes unseen) and owns fd instead.
  void Reset(int fd = -1);
  // Closes now, so that a failure to finish earlier writes is seen: false (errno set) when
  // close fails or nothing was open.
  bool Close();

 private:
  int fd_ = -1;
};

// Writes all count bytes, retrying partial writes and interrupted calls. False (errno set)
// when the system refuses a write.
bool WriteAll(int fd, const void* data, std::size_t count);

// Reads up to count bytes at offset with pread, retrying interrupted calls; fewer only at the
// end of the file or on an error. The descriptor's own position does not move.
std::size_t ReadAt(int fd, void* out, std::size_t count, std::uint64_t offset);

}  // namespace qvplatform
