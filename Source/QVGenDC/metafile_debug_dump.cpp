// The debug dump of played metafiles: each one is written whole to a numbered file in the
// directory the owner sets.
#include <fcntl.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "QVGenDC/metafile_player.h"
#include "qvplatform/file_descriptor.h"

namespace vellora {

void DumpMetafile(TQVGenericDevice& device, const std::uint8_t* bits, std::size_t size) {
  std::string dir = device.playerOptions.debugDumpDirectory;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  std::error_code ignored;
  std::filesystem::create_directories(dir, ignored);
  ++device.debugDumpCounter;
  const std::string path = dir + "/meta" + std::to_string(device.debugDumpCounter) + ".EMF";
  // A dump is a diagnostic: a file that cannot be written is left as far as it got.
  const qvplatform::UniqueFd fd(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.IsOpen()) qvplatform::WriteAll(fd.Get(), bits, size);
}

}  // namespace vellora
