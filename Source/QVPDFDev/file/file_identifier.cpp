#include "QVPDFDev/file/file_identifier.h"

#include <sys/random.h>

#include <cerrno>
#include <chrono>
#include <mutex>
#include <random>

namespace vellora {
namespace {

std::mutex& OverrideMutex() {
  static std::mutex mutex;
  return mutex;
}

std::optional<TQVFileIdentifier>& Override() {
  static std::optional<TQVFileIdentifier> id;
  return id;
}

bool SystemRandom(TQVFileIdentifier& id) {
  std::size_t done = 0;
  while (done < id.size()) {
    const ssize_t n = ::getrandom(id.data() + done, id.size() - done, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Letters "A".."Z" from the time and a counter: unlikely to repeat, never the same twice in
// one process.
void Letters(TQVFileIdentifier& id) {
  static std::mutex mutex;
  static std::uint64_t counter = 0;
  std::lock_guard<std::mutex> lock(mutex);
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count() ^
                   std::chrono::system_clock::now().time_since_epoch().count();
  std::mt19937_64 random(static_cast<std::uint64_t>(now) + ++counter * 0x9E3779B97F4A7C15ull);
  for (std::uint8_t& byte : id) byte = static_cast<std::uint8_t>('A' + random() % 26);
}

}  // namespace

TQVFileIdentifier NewFileIdentifier() {
  {
    std::lock_guard<std::mutex> lock(OverrideMutex());
    if (Override()) return *Override();
  }
  TQVFileIdentifier id{};
  if (!SystemRandom(id)) Letters(id);
  return id;
}

void SetFileIdentifierOverride(const TQVFileIdentifier& id) {
  std::lock_guard<std::mutex> lock(OverrideMutex());
  Override() = id;
}

void ClearFileIdentifierOverride() {
  std::lock_guard<std::mutex> lock(OverrideMutex());
  Override().reset();
}

ScopedFileIdentifierOverride::ScopedFileIdentifierOverride(const TQVFileIdentifier& id) {
  std::lock_guard<std::mutex> lock(OverrideMutex());
  previous_ = Override();
  Override() = id;
}

ScopedFileIdentifierOverride::~ScopedFileIdentifierOverride() {
  std::lock_guard<std::mutex> lock(OverrideMutex());
  Override() = previous_;
}

}  // namespace vellora
