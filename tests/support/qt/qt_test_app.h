// The one QApplication of a Qt test program, made on first use. Without a platform chosen in
// the environment it runs offscreen, so widget tests need no display.
#pragma once

#include <QApplication>
#include <string>

namespace vellora_test {

QApplication& QtTestApp();

// The leaks LeakSanitizer is told to ignore: fontconfig's caches and the D-Bus connection of
// Qt's X11 platform, which they never free. Qt test programs use the list themselves; a Qt
// program a test starts gets it as this file.
extern const char kQtLeakSuppressions[];
std::string QtLeakSuppressionFile();

}  // namespace vellora_test
