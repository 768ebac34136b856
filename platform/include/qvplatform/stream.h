// Byte streams of the host class library, as far as the client needs them: something the
// finished PDF or a metafile is written to. A memory stream can be filled in place.
#pragma once

#include <cstddef>
#include <vector>

#include "qvplatform/wintypes.h"

namespace qvplatform {

class TStream {
 public:
  virtual ~TStream() = default;
  // Appends at the position; the count written (less only when the stream refuses).
  virtual std::size_t Write(const void* data, std::size_t size) = 0;
};

class TMemoryStream : public TStream {
 public:
  std::size_t Write(const void* data, std::size_t size) override;
  void Clear();
  // Resizes the memory (new bytes are zero); the position stays within it.
  void SetSize(std::size_t size);
  std::size_t Size() const { return bytes_.size(); }
  BYTE* Memory() { return bytes_.data(); }
  const std::vector<BYTE>& Bytes() const { return bytes_; }
  std::size_t Position() const { return position_; }

 private:
  std::vector<BYTE> bytes_;
  std::size_t position_ = 0;
};

}  // namespace qvplatform
