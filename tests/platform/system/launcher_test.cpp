#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "qvplatform/debug_output.h"
#include "qvplatform/launcher.h"
#include "temp_files.h"

namespace {

using namespace qvplatform;

// PATH holding only a folder with a stand-in xdg-open that records its arguments, one a line.
class LauncherTest : public testing::Test {
 protected:
  void SetUp() override {
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", dir_.Path().c_str(), 1);
  }
  void TearDown() override { setenv("PATH", oldPath_.c_str(), 1); }
  void InstallXdgOpen() {
    const std::string script = dir_.File("xdg-open").string();
    std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '"
                          << Record() << "'\n";
    ::chmod(script.c_str(), 0755);
  }
  std::string Record() const { return dir_.File("args.txt").string(); }
  // The recorded lines once count of them have arrived (the opener runs on its own).
  std::string Recorded(std::size_t lines) const {
    std::string text;
    for (int i = 0; i < 300; ++i) {
      std::ifstream in(Record());
      std::stringstream s;
      s << in.rdbuf();
      text = s.str();
      if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) >= lines) break;
      usleep(10000);
    }
    return text;
  }

  vellora_test::TempDir dir_;
  std::string oldPath_;
};

TEST_F(LauncherTest, OpensTheFileAsTheOnlyArgument) {
  InstallXdgOpen();
  EXPECT_TRUE(ShellOpenFile("/tmp/a file; rm -rf x.pdf"));
  EXPECT_EQ(Recorded(1), "/tmp/a file; rm -rf x.pdf\n");
  EXPECT_TRUE(ShellOpenFile("-help.pdf"));  // not an option
  EXPECT_EQ(Recorded(2), "/tmp/a file; rm -rf x.pdf\n./-help.pdf\n");
}

TEST_F(LauncherTest, FailuresGoToTheDebugSink) {
  ScopedDebugCapture capture;
  EXPECT_FALSE(ShellOpenFile("x.pdf"));  // no xdg-open on PATH
  EXPECT_FALSE(ShellOpenFile(""));
  EXPECT_EQ(capture.Lines().size(), 2u);
}

TEST_F(LauncherTest, TestsCanReplaceTheOpener) {
  std::string opened;
  SetFileOpener([&](const std::string& f) {
    opened = f;
    return false;
  });
  EXPECT_FALSE(ShellOpenFile("y.pdf"));
  EXPECT_EQ(opened, "y.pdf");
  SetFileOpener({});
  InstallXdgOpen();
  EXPECT_TRUE(ShellOpenFile("z.pdf"));
  EXPECT_EQ(Recorded(1), "z.pdf\n");
}

}  // namespace
