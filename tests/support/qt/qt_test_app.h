// The one QApplication of a Qt test program, made on first use. Without a platform chosen in
// the environment it runs offscreen, so widget tests need no display.
#pragma once

#include <QApplication>

namespace vellora_test {

QApplication& QtTestApp();

}  // namespace vellora_test
