// Helpers of the PDF device tests: a device that records its messages, fixed identifier and
// clock, the finished document, and independent readers (qpdf, pdfinfo, pdftoppm).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/file/file_identifier.h"
#include "qvplatform/clock.h"

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

// What is wrong with the file by qpdf --check: empty when it checks clean, without warnings.
// "qpdf missing" when qpdf is not installed.
std::string QpdfProblems(const std::string& pdf);

// A page rendered by pdftoppm in grey at 72 dpi: one pixel per point.
struct GreyPage {
  bool ok = false;
  std::string diagnostics;
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;  // top row first
  int At(int x, int y) const;
  bool Dark(int x, int y) const { return At(x, y) < 128; }
  // The share of pixels darker than threshold in [x0, x1) x [y0, y1).
  double DarkShare(int x0, int y0, int x1, int y1, int threshold = 128) const;
};
GreyPage RenderPage(const std::string& pdf, int page = 1);

// A file of the given bytes; its contents.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

}  // namespace vellora_test
