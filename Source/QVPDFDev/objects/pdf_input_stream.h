// Random access to the bytes of an input PDF, for objects that parse themselves from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vellora {

class TQVPDFInputStream {
 public:
  virtual ~TQVPDFInputStream() = default;
  virtual std::uint64_t Size() const = 0;
  // Copies up to count bytes from offset; returns the number copied (0 past the end).
  virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) = 0;
};

// An input held in memory; the bytes must outlive the stream.
class TQVPDFMemoryInputStream : public TQVPDFInputStream {
 public:
  explicit TQVPDFMemoryInputStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override;

 private:
  std::span<const std::uint8_t> bytes_;
};

}  // namespace vellora
