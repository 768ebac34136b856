#include "qt_test_app.h"

#include <cstdlib>

#include "temp_files.h"

extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return vellora_test::kQtLeakSuppressions;
}

namespace vellora_test {

// libdbus: the session bus connection Qt's X11 platform opens for its theme and accessibility.
const char kQtLeakSuppressions[] = "leak:libfontconfig.so\nleak:libdbus-1.so\n";

std::string QtLeakSuppressionFile() {
  const std::filesystem::path file = ScratchDir() / "qt-leaks.supp";
  WriteFile(file, kQtLeakSuppressions);
  return file.string();
}

QApplication& QtTestApp() {
  static int argc = 1;
  static char name[] = "vellora-qt-test";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace vellora_test
