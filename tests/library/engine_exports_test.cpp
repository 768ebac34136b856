// What libvellora.so shows a host: exactly the nine entry points, and the platform only as
// the shared library (no object of the static platform components linked into the engine).
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "engine_host.h"
#include "tool_run.h"

namespace vellora_test {
namespace {

// nm's standard output (its complaints dropped).
std::string Nm(const std::string& option, const std::string& library) {
  return RunTool({"nm", "-D", option, library}, ToolErrors::kDrop).out;
}

std::set<std::string> Names(const std::string& nmOutput) {
  std::set<std::string> names;
  std::istringstream lines(nmOutput);
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t blank = line.rfind(' ');
    if (blank != std::string::npos) names.insert(line.substr(blank + 1));
  }
  return names;
}

TEST(EngineExports, ExactlyTheNineEntryPoints) {
  const std::string library = EngineLibraryPath().string();
  const std::string out = Nm("--defined-only", library);
  if (out.empty()) GTEST_SKIP() << "nm cannot read " << library;
  EXPECT_EQ(Names(out),
            (std::set<std::string>{"QVPDF_Initialize", "QVPDF_Finalize", "QVPDF_SetSProp",
                                   "QVPDF_SetIProp", "QVPDF_Do", "QVPDF_InitializePage",
                                   "_QVPDF_QVKEXEC", "QVPDF_XPOS", "QVPDF_YPOS"}));
  // The platform comes from libqvplatform.so: what the engine calls of it is not defined here.
  const std::set<std::string> undefined = Names(Nm("--undefined-only", library));
  EXPECT_EQ(undefined.count("_ZN10qvplatform18GetEnhMetaFileBitsEjjPh"), 1u);
  EXPECT_EQ(undefined.count(
                "_ZN10qvplatform17OutputDebugStringESt17basic_string_viewIcSt11char_traitsIcEE"),
            1u);
}

TEST(EngineExports, NoObjectOfTheStaticPlatformPartsIsLinkedIn) {
  std::ifstream map(VELLORA_ENGINE_LINK_MAP);
  if (!map) GTEST_SKIP() << "no link map at " << VELLORA_ENGINE_LINK_MAP;
  // The map's first sections name every archive member the linker took.
  std::string line;
  int members = 0;
  while (std::getline(map, line) && line.rfind("Discarded input sections", 0) != 0) {
    if (line.empty() || line[0] == ' ' || line.find(".a(") == std::string::npos) continue;
    ++members;
    EXPECT_EQ(line.find("libqvp_"), std::string::npos) << line;
  }
  EXPECT_GT(members, 0);
}

}  // namespace
}  // namespace vellora_test
