// An input PDF read from a file with positioned reads, opened read-only.
#pragma once

#include <cstdint>
#include <string>

#include "QVPDFDev/objects/pdf_input_stream.h"
#include "qvplatform/file_descriptor.h"

namespace vellora {

class TQVPDFFileInputStream : public TQVPDFInputStream {
 public:
  // False when the file cannot be opened or is no regular file.
  bool Open(const std::string& fileName);
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override;

 private:
  qvplatform::UniqueFd fd_;
  std::uint64_t size_ = 0;
};

}  // namespace vellora
