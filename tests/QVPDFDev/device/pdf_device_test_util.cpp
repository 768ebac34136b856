#include "pdf_device_test_util.h"

namespace vellora_test {

FixedDocumentEnvironment::FixedDocumentEnvironment()
    : clock_(qvplatform::EncodeDateTime(2024, 1, 31, 14, 0, 0), 120), id_(kDeviceFileId) {}

RecordingDevice::RecordingDevice() {
  receivers.onMessage = [this](vellora::TQVPDFDevice&, std::int32_t, const std::string& text,
                               std::int32_t code) { messages.emplace_back(code, text); };
}

std::string DocumentBytes(vellora::TQVPDFDevice& device) {
  std::string bytes(static_cast<std::size_t>(device.CopyToBuffer(0, nullptr)), '\0');
  const std::int64_t n = device.CopyToBuffer(static_cast<std::int64_t>(bytes.size()), bytes.data());
  bytes.resize(static_cast<std::size_t>(n));
  return bytes;
}

}  // namespace vellora_test
