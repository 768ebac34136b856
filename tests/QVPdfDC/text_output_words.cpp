#include "text_output_words.h"

#include <cstdlib>
#include <sstream>

#include "font_test_env.h"
#include "one_page_pdf.h"
#include "pdf_tools.h"
#include "temp_files.h"
#include "text_output_fake_font.h"
#include "tool_run.h"

namespace vellora_test {

namespace {

// Before any test of this binary matches a font: the private configuration, so that the
// screen DC measures with the same faces everywhere.
const bool kPrivateFonts = UsePrivateFontConfig();

// The standard Courier, whose widths the fake font has.
constexpr std::string_view kCourierResources =
    "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding "
    "/WinAnsiEncoding >> >> >>";

double Attribute(const std::string& line, const char* name) {
  const std::string key = std::string(name) + "=\"";
  const std::size_t at = line.find(key);
  return at == std::string::npos ? 0 : std::atof(line.c_str() + at + key.size());
}

}  // namespace

bool TextFontsReady() { return kPrivateFonts; }

bool TextToolsPresent() { return HaveTool("qpdf") && HaveTool("pdftotext"); }

std::string PageText::Joined() const {
  std::string all;
  for (const Word& w : words) all += (all.empty() ? "" : " ") + w.text;
  return all;
}

PageText ReadPageText(std::string_view content, int width, int height) {
  PageText page;
  const std::string pdf = OnePagePdf(content, width, height, kCourierResources);
  const ToolResult check = QpdfCheck(pdf);
  const TempFile file(pdf);
  const ToolResult text =
      RunTool({"pdftotext", "-bbox", file.Path().string(), "-"}, ToolErrors::kSeparate);
  if (!check.Succeeded()) page.diagnostics += "qpdf: " + check.out;
  if (!text.Succeeded() || !text.err.empty()) page.diagnostics += "pdftotext: " + text.err;
  std::istringstream html(text.out);
  for (std::string line; std::getline(html, line);) {
    const std::size_t open = line.find("<word ");
    if (open == std::string::npos) continue;
    const std::size_t start = line.find('>', open) + 1;
    const std::size_t end = line.find("</word>", start);
    Word w{Attribute(line, "xMin"), Attribute(line, "yMin"), Attribute(line, "xMax"),
           Attribute(line, "yMax"), line.substr(start, end - start)};
    page.words.push_back(w);
  }
  page.ok = page.diagnostics.empty();
  return page;
}

}  // namespace vellora_test
