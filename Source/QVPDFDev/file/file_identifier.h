// The 16-byte identifier of a written document: the trailer's /ID (twice) and the XMP
// DocumentID and InstanceID. Random bytes from the system; 16 capital letters when the system
// gives none. Tests fix the identifier so that output is reproducible.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace vellora {

using TQVFileIdentifier = std::array<std::uint8_t, 16>;

// A new identifier, or the override while one is set. Thread-safe.
TQVFileIdentifier NewFileIdentifier();

// Process-wide override for tests: NewFileIdentifier returns id until it is cleared.
void SetFileIdentifierOverride(const TQVFileIdentifier& id);
void ClearFileIdentifierOverride();

// Sets an override for its lifetime and restores the previous state afterwards.
class ScopedFileIdentifierOverride {
 public:
  explicit ScopedFileIdentifierOverride(const TQVFileIdentifier& id);
  ~ScopedFileIdentifierOverride();
  ScopedFileIdentifierOverride(const ScopedFileIdentifierOverride&) = delete;
  ScopedFileIdentifierOverride& operator=(const ScopedFileIdentifierOverride&) = delete;

 private:
  std::optional<TQVFileIdentifier> previous_;
};

}  // namespace vellora
