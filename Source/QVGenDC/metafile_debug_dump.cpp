// The debug dump of played metafiles: each one is written whole to a numbered file in the
// directory the owner sets.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <system_error>

#include "QVGenDC/metafile_player.h"

namespace vellora {

void DumpMetafile(TQVGenericDevice& device, const std::uint8_t* bits, std::size_t size) {
  std::string dir = device.playerOptions.debugDumpDirectory;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  std::error_code ignored;
  std::filesystem::create_directories(dir, ignored);
  ++device.debugDumpCounter;
  const std::string path = dir + "/meta" + std::to_string(device.debugDumpCounter) + ".EMF";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, bits + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

}  // namespace vellora
