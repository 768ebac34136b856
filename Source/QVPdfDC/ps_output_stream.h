// The byte stream a page-content device hands its finished content to (EndOutput, or Reset
// while output is open). The content arrives in one or a few calls; the stream is not owned.
#pragma once

#include <cstddef>
#include <string>

namespace vellora {

class TQVOutputStream {
 public:
  virtual ~TQVOutputStream() = default;
  virtual void Write(const char* data, std::size_t size) = 0;
};

// A stream that keeps everything written to it in memory.
class TQVStringOutputStream : public TQVOutputStream {
 public:
  void Write(const char* data, std::size_t size) override { bytes.append(data, size); }

  std::string bytes;
};

}  // namespace vellora
