#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "qvplatform/debug_output.h"
#include "qvplatform/registry.h"
#include "temp_files.h"

namespace {

using namespace qvplatform;

TEST(IniRegistryTest, FindsValuesBySectionAndName) {
  const std::string text =
      "top = level\r\n"
      "; comment=no\n"
      "[Software\\Torvane\\Folvio\\3.0]\r\n"
      "  Path =  /opt/lib.so  \r\n"
      "# other=no\n"
      "quoted=\"  kept  \"\n"
      "empty=\n"
      "noequals\n"
      "[Software\\Other]\n"
      "path=other\n"
      "[software\\torvane\\FOLVIO\\3.0]\n"
      "late=found\n"
      "path=second\n"
      "[broken\n"
      "path=broken";
  struct Case {
    const char* section;
    const char* name;
    bool found;
    const char* value;
  };
  const Case cases[] = {
      {"Software\\Torvane\\Folvio\\3.0", "path", true, "/opt/lib.so"},
      {"SOFTWARE\\TORVANE\\FOLVIO\\3.0", "PATH", true, "/opt/lib.so"},
      {"Software\\Torvane\\Folvio\\3.0", "quoted", true, "  kept  "},
      {"Software\\Torvane\\Folvio\\3.0", "empty", true, ""},
      {"Software\\Torvane\\Folvio\\3.0", "late", true, "found"},
      {"Software\\Torvane\\Folvio\\3.0", "other", false, ""},
      {"Software\\Torvane\\Folvio\\3.0", "noequals", false, ""},
      {"Software\\Other", "path", true, "other"},
      {"", "top", true, "level"},
      {"", "path", false, ""},
      {"Software\\Torvane", "path", false, ""},
      {"broken", "path", false, ""},
  };
  for (const Case& c : cases) {
    std::string value = "unchanged";
    EXPECT_EQ(IniFindValue(text, c.section, c.name, &value), c.found) << c.section << " " << c.name;
    if (c.found) {
      EXPECT_EQ(value, c.value) << c.section << " " << c.name;
    }
  }
}

TEST(IniRegistryTest, ReadsTheFileOfEachRootAndRefusesHugeOnes) {
  vellora_test::TempDir dir;
  setenv("BRENLOW_REGISTRY_DIR", dir.Path().c_str(), 1);
  std::ofstream(dir.File("hkcu.ini")) << "[Key]\nname=user\n";
  std::ofstream(dir.File("hklm.ini")) << "[Key]\nname=machine\n";
  std::string value;
  EXPECT_TRUE(RegistryReadString(RegistryRoot::kCurrentUser, "key", "NAME", &value));
  EXPECT_EQ(value, "user");
  EXPECT_TRUE(RegistryReadString(RegistryRoot::kLocalMachine, "Key", "name", &value));
  EXPECT_EQ(value, "machine");
  EXPECT_FALSE(RegistryReadString(RegistryRoot::kCurrentUser, "Key", "missing", &value));
  EXPECT_EQ(value, "");

  std::ofstream(dir.File("hkcu.ini")) << "[Key]\nname=user\n"
                                      << std::string(kMaxRegistryFileBytes, ';');
  ScopedDebugCapture capture;
  EXPECT_FALSE(RegistryReadString(RegistryRoot::kCurrentUser, "Key", "name", &value));
  EXPECT_EQ(capture.Lines().size(), 1u);
  std::filesystem::remove(dir.File("hkcu.ini"));
  EXPECT_FALSE(RegistryReadString(RegistryRoot::kCurrentUser, "Key", "name", &value));
  unsetenv("BRENLOW_REGISTRY_DIR");

  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(RegistryFilePath(RegistryRoot::kCurrentUser), "/cfg/brenlow/hkcu.ini");
  EXPECT_EQ(RegistryFilePath(RegistryRoot::kLocalMachine), "/etc/brenlow/hklm.ini");
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
