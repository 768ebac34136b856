// Helpers of the PDF device tests: a device that records its messages, fixed identifier and
// clock, and the finished document; the independent readers (qpdf, pdftoppm) come with it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/file/file_identifier.h"
#include "page_render.h"
#include "pdf_tools.h"
#include "qvplatform/clock.h"
#include "temp_files.h"

namespace vellora_test {

inline constexpr vellora::TQVFileIdentifier kDeviceFileId = {
    0x0f, 0x1e, 0x2d, 0x3c, 0x4b, 0x5a, 0x69, 0x78, 0x87, 0x96, 0xa5, 0xb4, 0xc3, 0xd2, 0xe1, 0xf0};

// Documents written while it exists are reproducible: 2024-01-31 14:00:00 at UTC+2 and the
// identifier above.
class FixedDocumentEnvironment {
 public:
  FixedDocumentEnvironment();

 private:
  qvplatform::ScopedClockOverride clock_;
  vellora::ScopedFileIdentifierOverride id_;
};

class RecordingDevice : public vellora::TQVPDFDevice {
 public:
  RecordingDevice();
  std::vector<std::pair<std::int32_t, std::string>> messages;  // code and full text
};

// The finished document, read through CopyToBuffer (size first, then the bytes).
std::string DocumentBytes(vellora::TQVPDFDevice& device);

}  // namespace vellora_test
