// The finished document leaves the device: copied into a host's buffer or saved to a file. The
// output sink reads it back, from memory or through the descriptor it opened when it created
// the file.
#include <algorithm>
#include <stdexcept>

#include "QVPDFDev/device/pdf_device.h"

namespace vellora {

std::int64_t TQVPDFDevice::CopyToBuffer(std::int64_t bufferSize, void* buffer) {
  if (!hasOutput_) return 0;
  TQVPDFOutputSink& sink = output_->Sink();
  const std::uint64_t size = sink.Position();
  if (buffer == nullptr) return static_cast<std::int64_t>(size);
  if (bufferSize <= 0) return 0;
  const std::size_t count =
      static_cast<std::size_t>(std::min<std::uint64_t>(size, std::uint64_t(bufferSize)));
  return static_cast<std::int64_t>(sink.CopyTo(buffer, count));
}

void TQVPDFDevice::SaveToFile(const std::string& fileName) {
  if (options.file.readMode != 0) return;
  if (!hasOutput_) throw std::runtime_error("No document to save");
  output_->Sink().SaveTo(fileName);
}

}  // namespace vellora
