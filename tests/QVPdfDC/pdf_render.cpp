#include "pdf_render.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vellora_test {

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs a command line; its output goes to the file given. Returns the exit status.
int Run(const std::string& command, const std::filesystem::path& output) {
  const std::string line = command + " >'" + output.string() + "' 2>&1";
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string OnePagePdf(std::string_view content, int width, int height) {
  std::string pdf = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  const auto object = [&](const std::string& body) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
  };
  object("<< /Type /Catalog /Pages 2 0 R >>");
  object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
  object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + std::to_string(width) + " " +
         std::to_string(height) + "] /Contents 4 0 R /Resources << >> >>");
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

bool RenderToolsPresent() {
  return std::system("command -v qpdf >/dev/null 2>&1 && command -v pdftoppm >/dev/null 2>&1") == 0;
}

int Rendered::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return -1;
  return grey[static_cast<std::size_t>(y) * width + x];
}

Rendered RenderContent(std::string_view content, int width, int height) {
  Rendered r;
  char pattern[] = "/tmp/psdev_render_XXXXXX";
  const char* dir = ::mkdtemp(pattern);
  if (dir == nullptr) return r;
  const std::filesystem::path base(dir);
  {
    std::ofstream out(base / "page.pdf", std::ios::binary);
    out << OnePagePdf(content, width, height);
  }
  const std::string pdf = "'" + (base / "page.pdf").string() + "'";
  const int check = Run("qpdf --check " + pdf, base / "qpdf.txt");
  const int render =
      Run("pdftoppm -gray -r 72 -singlefile " + pdf + " '" + (base / "page").string() + "'",
          base / "pdftoppm.txt");
  const std::string qpdfText = ReadAll(base / "qpdf.txt");
  const std::string popplerText = ReadAll(base / "pdftoppm.txt");
  if (check != 0) r.diagnostics += "qpdf: " + qpdfText;
  if (render != 0 || !popplerText.empty()) r.diagnostics += "pdftoppm: " + popplerText;
  const std::string pgm = ReadAll(base / "page.pgm");
  std::filesystem::remove_all(base);
  // P5, width, height, maximum, one whitespace byte, then the pixels.
  std::istringstream head(pgm);
  std::string magic;
  int maxValue = 0;
  head >> magic >> r.width >> r.height >> maxValue;
  if (magic != "P5" || maxValue != 255 || r.width <= 0 || r.height <= 0) return r;
  const std::size_t start = static_cast<std::size_t>(head.tellg()) + 1;
  const std::size_t size = static_cast<std::size_t>(r.width) * r.height;
  if (pgm.size() < start + size) return r;
  r.grey.assign(pgm.begin() + static_cast<std::ptrdiff_t>(start),
                pgm.begin() + static_cast<std::ptrdiff_t>(start + size));
  r.ok = r.diagnostics.empty();
  return r;
}

}  // namespace vellora_test
