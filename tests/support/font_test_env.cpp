#include "font_test_env.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "test_support.h"
#include "tool_run.h"

namespace vellora_test {

namespace fs = std::filesystem;

namespace {

const char* const kLiberationDir = "/usr/share/fonts/truetype/liberation2";
const char* const kDejaVuDir = "/usr/share/fonts/truetype/dejavu";
// The files of fonts-dejavu-core; fonts-dejavu-extra shares the folder and is kept out.
const char* const kDejaVuCore[] = {"DejaVuSans.ttf",     "DejaVuSans-Bold.ttf",
                                   "DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf",
                                   "DejaVuSerif.ttf",    "DejaVuSerif-Bold.ttf"};

std::string MetricAliases() {
  for (const char* p : {"/usr/share/fontconfig/conf.avail/30-metric-aliases.conf",
                        "/etc/fonts/conf.d/30-metric-aliases.conf"})
    if (fs::exists(p)) return p;
  return {};
}

}  // namespace

bool UsePrivateFontConfig() {
  static const bool ready = [] {
    if (!fs::exists(LiberationFont("Sans-Regular")) || !fs::exists(DejaVuFont("DejaVuSans")))
      return false;
    const fs::path dir = ScratchDir();
    std::ofstream conf(dir / "fonts.conf");
    conf << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
         << "<fontconfig>\n  <dir>" << kLiberationDir << "</dir>\n  <dir>" << kDejaVuDir
         << "</dir>\n  <cachedir>" << (dir / "cache").string() << "</cachedir>\n";
    const std::string aliases = MetricAliases();
    if (!aliases.empty()) conf << "  <include>" << aliases << "</include>\n";
    conf << "  <selectfont>\n    <rejectfont><glob>" << kDejaVuDir << "/*</glob></rejectfont>\n"
         << "    <acceptfont>\n";
    for (const char* f : kDejaVuCore)
      conf << "      <glob>" << kDejaVuDir << "/" << f << "</glob>\n";
    conf << "    </acceptfont>\n  </selectfont>\n</fontconfig>\n";
    conf.close();
    setenv("FONTCONFIG_FILE", (dir / "fonts.conf").c_str(), 1);
    return !aliases.empty();
  }();
  return ready;
}

std::string LiberationFont(const char* style) {
  return std::string(kLiberationDir) + "/Liberation" + style + ".ttf";
}

std::string DejaVuFont(const char* name) { return std::string(kDejaVuDir) + "/" + name + ".ttf"; }

const std::string& FontToolsPython() {
  // The python3 first on the path may lack the Debian package's module: try both.
  static const std::string python = [] {
    for (const char* candidate : {"/usr/bin/python3", "python3"}) {
      if (RunTool({candidate, "-c", "import fontTools"}).Succeeded()) return std::string(candidate);
    }
    return std::string();
  }();
  return python;
}

std::string RunPython(const std::string& script, const std::vector<std::string>& args, bool* ok) {
  *ok = false;
  if (FontToolsPython().empty()) return {};
  std::vector<std::string> argv = {FontToolsPython(), script};
  argv.insert(argv.end(), args.begin(), args.end());
  const ToolResult result = RunTool(argv, ToolErrors::kDrop);
  *ok = result.Succeeded();
  return result.out;
}

fs::path BuildTestFonts(const std::string& set) {
  if (FontToolsPython().empty()) return {};
  const fs::path out = ScratchDir();
  const ToolResult result =
      RunTool({FontToolsPython(), (SourceDir() / "tests/fixtures/make_test_fonts.py").string(), set,
               out.string()});
  if (!result.Succeeded()) {
    std::fprintf(stderr, "make_test_fonts.py %s failed:\n%s\n", set.c_str(), result.out.c_str());
    return {};
  }
  return out;
}

const fs::path& TestFontsDir() {
  static const fs::path dir = BuildTestFonts("service");
  return dir;
}

std::map<std::string, std::string> FontValues(const std::string& path, int faceIndex) {
  bool ok = false;
  const std::string out =
      RunPython((SourceDir() / "tests/platform/fonts/dump_font_values.py").string(),
                {path, std::to_string(faceIndex)}, &ok);
  std::map<std::string, std::string> values;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    const auto space = line.find(' ');
    if (space != std::string::npos) values[line.substr(0, space)] = line.substr(space + 1);
  }
  return values;
}

double Value(const std::map<std::string, std::string>& values, const std::string& key) {
  const auto it = values.find(key);
  EXPECT_NE(it, values.end()) << key;
  return it == values.end() ? 0 : std::stod(it->second);
}

qvplatform::LOGFONTW MakeLogFont(const char* face, int height, int weight, bool italic, int charset,
                                 int pitchAndFamily) {
  qvplatform::LOGFONTW lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfItalic = italic ? 1 : 0;
  lf.lfCharSet = static_cast<qvplatform::BYTE>(charset);
  lf.lfPitchAndFamily = static_cast<qvplatform::BYTE>(pitchAndFamily);
  for (int i = 0; face[i] && i < qvplatform::LF_FACESIZE - 1; ++i)
    lf.lfFaceName[i] = static_cast<unsigned char>(face[i]);
  return lf;
}

long RoundAway(double v) { return std::lround(v); }

}  // namespace vellora_test
