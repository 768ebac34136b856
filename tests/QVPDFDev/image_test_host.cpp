#include "image_test_host.h"

#include <fstream>
#include <memory>

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

Raster RenderColour(const std::string& pdf) {
  return RenderPage(pdf, {.dpi = 72 * kRenderScale, .colour = true, .antialias = false, .page = 1});
}

std::string ImageDictionary(const std::string& pdf, const std::string& name) {
  const std::size_t at = pdf.find("/Name/" + name + "\n");
  if (at == std::string::npos) return {};
  const std::size_t begin = pdf.rfind(" obj", at);
  const std::size_t end = pdf.find("stream", at);
  if (begin == std::string::npos || end == std::string::npos) return {};
  return pdf.substr(begin, end - begin);
}

}  // namespace vellora_test
