#include "pdf_device_test_util.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "pdf_test_owner.h"

namespace vellora_test {

FixedDocumentEnvironment::FixedDocumentEnvironment()
    : clock_(qvplatform::EncodeDateTime(2024, 1, 31, 14, 0, 0), 120), id_(kDeviceFileId) {}

RecordingDevice::RecordingDevice() {
  onMessage = [this](vellora::TQVPDFDevice&, std::int32_t, const std::string& text,
                     std::int32_t code) { messages.emplace_back(code, text); };
}

std::string DocumentBytes(vellora::TQVPDFDevice& device) {
  std::string bytes(static_cast<std::size_t>(device.CopyToBuffer(0, nullptr)), '\0');
  const std::int64_t n = device.CopyToBuffer(static_cast<std::int64_t>(bytes.size()), bytes.data());
  bytes.resize(static_cast<std::size_t>(n));
  return bytes;
}

std::string QpdfProblems(const std::string& pdf) {
  if (!HaveCommand("qpdf")) return "qpdf missing";
  const CommandResult check = QpdfCheck(pdf);
  if (check.status == 0 && check.out.find("WARNING") == std::string::npos &&
      check.out.find("No syntax or stream encoding errors found") != std::string::npos)
    return {};
  return check.out.empty() ? "qpdf failed" : check.out;
}

int GreyPage::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 255;
  return pixels[static_cast<std::size_t>(y) * width + x];
}

double GreyPage::DarkShare(int x0, int y0, int x1, int y1, int threshold) const {
  int dark = 0, all = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x, ++all) dark += At(x, y) < threshold;
  return all == 0 ? 0 : double(dark) / all;
}

GreyPage RenderPage(const std::string& pdf, int page) {
  GreyPage r;
  if (!HaveCommand("pdftoppm")) {
    r.diagnostics = "pdftoppm missing";
    return r;
  }
  TempFile file(pdf);
  const std::string p = std::to_string(page);
  const CommandResult result = RunCommand(
      "pdftoppm -gray -r 72 -f " + p + " -l " + p + " '" + file.Path().string() + "'", true);
  // Binary PGM: "P5" width height 255, one byte per pixel.
  std::istringstream in(result.out);
  std::string magic;
  int maxValue = 0;
  in >> magic >> r.width >> r.height >> maxValue;
  in.get();
  if (result.status != 0 || magic != "P5" || maxValue != 255 || r.width <= 0 || r.height <= 0) {
    r.diagnostics = "pdftoppm failed: " + result.out.substr(0, 200);
    return r;
  }
  r.pixels.resize(static_cast<std::size_t>(r.width) * r.height);
  in.read(reinterpret_cast<char*>(r.pixels.data()), static_cast<std::streamsize>(r.pixels.size()));
  r.ok = in.gcount() == static_cast<std::streamsize>(r.pixels.size());
  return r;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace vellora_test
