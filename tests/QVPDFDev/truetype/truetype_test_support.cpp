#include "truetype_test_support.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <fstream>

#include "temp_files.h"
#include "test_support.h"
#include "tool_run.h"

namespace vellora_test {

namespace {

std::filesystem::path ScriptDir() { return SourceDir() / "tests/QVPDFDev/truetype"; }

}  // namespace

std::filesystem::path LiberationSans() {
  return "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
}
std::filesystem::path LiberationMono() {
  return "/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf";
}
std::filesystem::path DejaVuSans() { return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"; }

std::vector<uint8_t> FontBytes(const std::filesystem::path& path) {
  const std::vector<unsigned char> bytes = ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

bool RunFontToolsScript(const std::string& script, const std::vector<std::string>& args,
                        std::string& output) {
  std::vector<std::string> argv = {FontToolsPython(), (ScriptDir() / script).string()};
  argv.insert(argv.end(), args.begin(), args.end());
  const ToolResult result = RunTool(argv);
  output = result.out;
  return result.Succeeded();
}

const std::filesystem::path& BuiltFonts() {
  static const std::filesystem::path dir = BuildTestFonts("truetype");
  return dir;
}

std::string FreeTypeCheck(std::span<const uint8_t> font, int32_t glyphCount) {
  FT_Library library;
  if (FT_Init_FreeType(&library)) return "FreeType does not start";
  std::string fault;
  FT_Face face;
  if (FT_New_Memory_Face(library, font.data(), static_cast<FT_Long>(font.size()), 0, &face)) {
    FT_Done_FreeType(library);
    return "FT_New_Memory_Face fails";
  }
  if (face->num_glyphs != glyphCount) {
    fault = "glyph count " + std::to_string(face->num_glyphs) + ", expected " +
            std::to_string(glyphCount);
  }
  FT_Set_Pixel_Sizes(face, 0, 16);
  for (FT_Long glyph = 0; glyph < face->num_glyphs && fault.empty(); ++glyph) {
    if (FT_Load_Glyph(face, static_cast<FT_UInt>(glyph), FT_LOAD_NO_SCALE))
      fault = "glyph " + std::to_string(glyph) + " does not load unscaled";
    else if (FT_Load_Glyph(face, static_cast<FT_UInt>(glyph), FT_LOAD_DEFAULT))
      fault = "glyph " + std::to_string(glyph) + " does not load hinted";
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return fault;
}

std::string FontToolsCheck(const std::filesystem::path& source, std::span<const uint8_t> subset,
                           int32_t glyphCount, const std::vector<int32_t>& used,
                           const std::vector<int32_t>& position) {
  const std::string stem = (ScratchDir() / "subset").string();
  {
    std::ofstream out(stem + ".ttf", std::ios::binary);
    out.write(reinterpret_cast<const char*>(subset.data()),
              static_cast<std::streamsize>(subset.size()));
    std::ofstream lists(stem + ".txt");
    for (size_t i = 0; i < used.size(); ++i) lists << (i ? "," : "") << used[i];
    lists << "\n";
    bool first = true;
    for (size_t glyph = 0; glyph < position.size(); ++glyph) {
      if (position[glyph] < 0) continue;
      lists << (first ? "" : ",") << glyph << ":" << position[glyph];
      first = false;
    }
    lists << "\n";
  }
  std::string output;
  const bool ok = RunFontToolsScript(
      "check_subset.py",
      {source.string(), stem + ".ttf", std::to_string(glyphCount), stem + ".txt"}, output);
  return ok ? std::string() : output;
}

}  // namespace vellora_test
