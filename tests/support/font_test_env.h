// Shared set-up of the tests that use the font service: the private fontconfig configuration,
// the fonts built with fontTools, and helpers that ask fontTools about a font file.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "qvplatform/font_types.h"
#include "temp_files.h"

namespace vellora_test {

// Points FONTCONFIG_FILE at a private configuration (only the Debian folders of
// fonts-liberation2 and fonts-dejavu-core, fontconfig's metric-alias rules, a private
// cache) before the font service first starts. False when those fonts are not installed.
bool UsePrivateFontConfig();

// The Debian font files the tests use.
std::string LiberationFont(const char* style);  // "Sans-Regular", "Mono-Bold", ...
std::string DejaVuFont(const char* name);       // "DejaVuSans", "DejaVuSansMono", ...

// A python interpreter with fontTools, or empty.
const std::string& FontToolsPython();

// Builds a set of tests/fixtures/make_test_fonts.py ("service", "truetype") into a fresh
// folder and returns it; empty without fontTools or when the builder fails.
std::filesystem::path BuildTestFonts(const std::string& set);
// The folder holding the font-service set (built once per process), or empty without
// fontTools.
const std::filesystem::path& TestFontsDir();

// Runs a python script (with fontTools) and returns its standard output; sets *ok.
std::string RunPython(const std::string& script, const std::vector<std::string>& args, bool* ok);

// The values of dump_font_values.py for a font file.
std::map<std::string, std::string> FontValues(const std::string& path, int faceIndex = -1);
double Value(const std::map<std::string, std::string>& values, const std::string& key);

// A logical font with a face name.
qvplatform::LOGFONTW MakeLogFont(const char* face, int height, int weight = 400,
                                 bool italic = false, int charset = 1, int pitchAndFamily = 0);

// Rounds halves away from zero, as the font service scales metrics.
long RoundAway(double v);

}  // namespace vellora_test

// Skips the current test unless the private font configuration is in place.
#define REQUIRE_TEST_FONTS()                                                     \
  do {                                                                           \
    if (!::vellora_test::UsePrivateFontConfig())                                 \
      GTEST_SKIP() << "fonts-liberation2 or fonts-dejavu-core is not installed"; \
  } while (0)

#define REQUIRE_FONTTOOLS()                                      \
  do {                                                           \
    if (::vellora_test::FontToolsPython().empty())               \
      GTEST_SKIP() << "python3 with fontTools is not available"; \
  } while (0)
