#include "image_test_host.h"

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "qvplatform/device_context.h"

namespace vellora_test {

ImageTestHost::ImageTestHost() {
  owner.resources = &resources;
  WriteTestHeader(owner);
}

ImageTestHost::~ImageTestHost() = default;

std::string ImageTestHost::Finish(float pageWidth, float pageHeight) {
  auto page = std::make_unique<vellora::TQVPDFPage>(&owner);
  vellora::TQVPDFStream* stream =
      page->AddContents(std::make_unique<vellora::TQVPDFStream>(&owner, 'T'));
  stream->BeginData();
  stream->WriteString(content.Text());
  stream->WriteStream();
  page->SetSize(pageWidth, pageHeight);
  page->WritePageObjects();
  catalog.AddPage(std::move(page));
  resources.WriteObject();
  catalog.Pages().WriteObject();
  catalog.WriteObject();
  return FinishTestFile(owner, catalog);
}

qvplatform::HDC ScreenDC() { return qvplatform::GetDC(0); }
void ReleaseScreenDC(qvplatform::HDC dc) { qvplatform::ReleaseDC(0, dc); }

Raster RenderPage(const std::string& pdf) {
  TempFile file(pdf);
  const std::string out = file.Path().string() + "-page";
  Raster raster;
  const CommandResult run =
      RunCommand("pdftoppm -r " + std::to_string(72 * kRenderScale) +
                 " -aa no -aaVector no -singlefile '" + file.Path().string() + "' '" + out + "'");
  std::ifstream in(out + ".ppm", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove((out + ".ppm").c_str());
  if (run.status != 0) return raster;
  // P6, width, height, 255, one whitespace byte, then R,G,B triplets.
  std::istringstream head(bytes);
  std::string magic;
  int maxValue = 0;
  head >> magic >> raster.width >> raster.height >> maxValue;
  const std::streamoff start = static_cast<std::streamoff>(head.tellg()) + 1;
  const std::size_t count = static_cast<std::size_t>(raster.width) * raster.height;
  if (magic != "P6" || maxValue != 255 || bytes.size() < start + 3 * count) return Raster{};
  raster.pixels.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + start + 3 * i);
    raster.pixels[i] = std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
  }
  return raster;
}

std::string ImageDictionary(const std::string& pdf, const std::string& name) {
  const std::size_t at = pdf.find("/Name/" + name + "\n");
  if (at == std::string::npos) return {};
  const std::size_t begin = pdf.rfind(" obj", at);
  const std::size_t end = pdf.find("stream", at);
  if (begin == std::string::npos || end == std::string::npos) return {};
  return pdf.substr(begin, end - begin);
}

std::vector<std::vector<std::string>> ListImages(const std::string& pdf) {
  TempFile file(pdf);
  const CommandResult run = RunCommand("pdfimages -list '" + file.Path().string() + "'", true);
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(run.out);
  std::string line;
  for (int i = 0; std::getline(lines, line); ++i) {
    if (i < 2) continue;
    std::istringstream words(line);
    rows.emplace_back(std::istream_iterator<std::string>(words),
                      std::istream_iterator<std::string>());
  }
  return rows;
}

}  // namespace vellora_test
