// Fonts and independent checkers for the TrueType tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "font_test_env.h"

namespace vellora_test {

// The Debian fonts the tests use (they skip when a file is absent).
std::filesystem::path LiberationSans();
std::filesystem::path LiberationMono();
std::filesystem::path DejaVuSans();

std::vector<uint8_t> FontBytes(const std::filesystem::path& path);

// The folder of the TrueType set of tests/fixtures/make_test_fonts.py (built once per
// process), or empty when no python3 with fontTools is found.
const std::filesystem::path& BuiltFonts();
// Runs a script of this folder with the python of FontToolsPython() (font_test_env.h); true
// when it exits 0. output gets stdout and stderr.
bool RunFontToolsScript(const std::string& script, const std::vector<std::string>& args,
                        std::string& output);

// Loads the font with FreeType from memory: the face opens with the glyph count, and every
// glyph loads unscaled and hinted at 16 pixels. Empty on success, else what failed.
std::string FreeTypeCheck(std::span<const uint8_t> font, int32_t glyphCount);

// check_subset.py on a subset of the font at source: empty on success, else its output.
// position gives each source glyph's number in the subset (-1: not kept).
std::string FontToolsCheck(const std::filesystem::path& source, std::span<const uint8_t> subset,
                           int32_t glyphCount, const std::vector<int32_t>& used,
                           const std::vector<int32_t>& position);

}  // namespace vellora_test
