#include "QVPDFDev/file/file_identifier.h"

#include <chrono>
#include <mutex>
#include <random>

#include "qvplatform/random_bytes.h"

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
  if (!qvplatform::FillRandomBytes(id.data(), id.size())) Letters(id);
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
