#include "text_output_words.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "font_test_env.h"
#include "text_output_fake_font.h"

namespace vellora_test {

namespace {

// Before any test of this binary matches a font: the private configuration, so that the
// screen DC measures with the same faces everywhere.
const bool kPrivateFonts = UsePrivateFontConfig();

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int Run(const std::string& command, const std::filesystem::path& output) {
  const std::string line = command + " >'" + output.string() + "' 2>&1";
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string CourierPage(std::string_view content, int width, int height) {
  std::string pdf = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  const auto object = [&](const std::string& body) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
  };
  object("<< /Type /Catalog /Pages 2 0 R >>");
  object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + std::to_string(width) + " " +
         std::to_string(height) +
         "] /Contents 4 0 R /Resources << /Font << /F1 << /Type /Font /Subtype /Type1 "
         "/BaseFont /Courier /Encoding /WinAnsiEncoding >> >> >> >>");
  object("<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + std::string(content) +
         "\nendstream");
  const std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
  for (const std::size_t o : offsets) {
    char line[32];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", o);
    pdf += line;
  }
  pdf += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

double Attribute(const std::string& line, const char* name) {
  const std::string key = std::string(name) + "=\"";
  const std::size_t at = line.find(key);
  return at == std::string::npos ? 0 : std::atof(line.c_str() + at + key.size());
}

}  // namespace

bool TextFontsReady() { return kPrivateFonts; }

bool TextToolsPresent() {
  return std::system("command -v qpdf >/dev/null 2>&1 && command -v pdftotext >/dev/null 2>&1") ==
         0;
}

std::string PageText::Joined() const {
  std::string all;
  for (const Word& w : words) all += (all.empty() ? "" : " ") + w.text;
  return all;
}

PageText ReadPageText(std::string_view content, int width, int height) {
  PageText page;
  char pattern[] = "/tmp/text_output_XXXXXX";
  const char* dir = ::mkdtemp(pattern);
  if (dir == nullptr) return page;
  const std::filesystem::path base(dir);
  {
    std::ofstream out(base / "page.pdf", std::ios::binary);
    out << CourierPage(content, width, height);
  }
  const std::string pdf = "'" + (base / "page.pdf").string() + "'";
  const int check = Run("qpdf --check " + pdf, base / "qpdf.txt");
  const int text = Run("pdftotext -bbox " + pdf + " '" + (base / "page.html").string() + "'",
                       base / "pdftotext.txt");
  if (check != 0) page.diagnostics += "qpdf: " + ReadAll(base / "qpdf.txt");
  const std::string errors = ReadAll(base / "pdftotext.txt");
  if (text != 0 || !errors.empty()) page.diagnostics += "pdftotext: " + errors;
  std::istringstream html(ReadAll(base / "page.html"));
  std::filesystem::remove_all(base);
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
