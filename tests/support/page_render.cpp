#include "page_render.h"

#include <sstream>

#include "temp_files.h"
#include "tool_run.h"

namespace vellora_test {

std::uint32_t Raster::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFF;
  return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                static_cast<std::size_t>(x)];
}

int Raster::Grey(int x, int y) const {
  const std::uint32_t c = At(x, y);
  // Rec. 601 weights; a grey pixel gives its own level back.
  return static_cast<int>(((c >> 16 & 0xFF) * 299 + (c >> 8 & 0xFF) * 587 + (c & 0xFF) * 114) /
                          1000);
}

double Raster::DarkShare(int x0, int y0, int x1, int y1, int threshold) const {
  int dark = 0, all = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x, ++all) dark += Grey(x, y) < threshold;
  return all == 0 ? 0 : static_cast<double>(dark) / all;
}

Raster RenderPage(const std::string& pdf, const RenderOptions& options) {
  Raster raster;
  if (!HaveTool("pdftoppm")) {
    raster.diagnostics = "pdftoppm missing";
    return raster;
  }
  const TempFile file(pdf);
  const std::string page = std::to_string(options.page);
  std::vector<std::string> argv = {
      "pdftoppm", "-r", std::to_string(options.dpi), "-f", page, "-l", page, "-singlefile"};
  if (options.scaleToWidth > 0 && options.scaleToHeight > 0)
    argv.insert(argv.end(), {"-scale-to-x", std::to_string(options.scaleToWidth), "-scale-to-y",
                             std::to_string(options.scaleToHeight)});
  if (!options.colour) argv.push_back("-gray");
  if (!options.antialias) argv.insert(argv.end(), {"-aa", "no", "-aaVector", "no"});
  argv.push_back(file.Path().string());
  // Without an output root pdftoppm writes the image to standard output.
  const ToolResult run = RunTool(argv, ToolErrors::kSeparate);
  raster.diagnostics = run.err;
  // Binary PGM or PPM: magic, width, height, maximum, one whitespace byte, then the samples.
  std::istringstream head(run.out);
  std::string magic;
  int maxValue = 0;
  head >> magic >> raster.width >> raster.height >> maxValue;
  const int channels = magic == "P5" ? 1 : magic == "P6" ? 3 : 0;
  if (!run.Succeeded() || channels == 0 || maxValue != 255 || raster.width <= 0 ||
      raster.height <= 0) {
    raster.diagnostics = "pdftoppm failed: " + run.err.substr(0, 200);
    raster.width = raster.height = 0;
    return raster;
  }
  const std::size_t start = static_cast<std::size_t>(head.tellg()) + 1;
  const std::size_t count =
      static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height);
  if (run.out.size() < start + count * static_cast<std::size_t>(channels)) {
    raster.diagnostics = "pdftoppm gave a short image";
    raster.width = raster.height = 0;
    return raster;
  }
  raster.pixels.resize(count);
  const auto* p = reinterpret_cast<const unsigned char*>(run.out.data() + start);
  for (std::size_t i = 0; i < count; ++i, p += channels) {
    raster.pixels[i] = channels == 1 ? std::uint32_t{p[0]} * 0x010101u
                                     : std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
  }
  raster.ok = true;
  return raster;
}

}  // namespace vellora_test
