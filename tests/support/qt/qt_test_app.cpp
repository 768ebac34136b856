#include "qt_test_app.h"

#include <cstdlib>

namespace vellora_test {

QApplication& QtTestApp() {
  static int argc = 1;
  static char name[] = "vellora-qt-test";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace vellora_test
