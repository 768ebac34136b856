#include "pdf_render.h"

#include "pdf_tools.h"
#include "tool_run.h"

namespace vellora_test {

bool RenderToolsPresent() { return HaveTool("qpdf") && HaveTool("pdftoppm"); }

Raster RenderContent(std::string_view content, int width, int height) {
  const std::string pdf = OnePagePdf(content, width, height);
  const ToolResult check = QpdfCheck(pdf);
  Raster r = RenderPage(pdf);
  std::string diagnostics;
  if (!check.Succeeded()) diagnostics += "qpdf: " + check.out;
  if (!r.ok || !r.diagnostics.empty()) diagnostics += "pdftoppm: " + r.diagnostics;
  r.ok = r.ok && diagnostics.empty();
  r.diagnostics = diagnostics;
  return r;
}

}  // namespace vellora_test
