#include "qvplatform/random_bytes.h"

#include <sys/random.h>

#include <cerrno>

namespace qvplatform {

bool FillRandomBytes(void* out, std::size_t count) {
  auto* bytes = static_cast<unsigned char*>(out);
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::getrandom(bytes + done, count - done, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace qvplatform
