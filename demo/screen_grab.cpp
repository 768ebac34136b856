#include "screen_grab.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "preview_form.h"

namespace brenlow {
namespace {

// Time for the window system to map and paint a window before it is taken from the screen.
constexpr int kPaintDelayMs = 1500;

void Grab(const QWidget& window, const QString& file) {
  QScreen* screen = window.screen();
  const QRect frame = window.frameGeometry();
  const QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
  if (!shot.save(file)) std::fprintf(stderr, "brenlow: cannot write %s\n", qPrintable(file));
}

}  // namespace

bool ScheduleScreenGrab(TForm1& form) {
  const QString folder = qEnvironmentVariable("BRENLOW_GRAB_DIR");
  if (folder.isEmpty()) return false;
  QDir().mkpath(folder);
  QTimer::singleShot(kPaintDelayMs, &form, [&form, folder] {
    Grab(form, folder + "/brenlow-window.png");
    // The dialog runs its own event loop; it is taken and closed from inside it.
    QTimer::singleShot(kPaintDelayMs, &form, [folder] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        Grab(*dialog, folder + "/brenlow-dialog.png");
        dialog->close();
      }
    });
    form.Button3Click();
    form.close();
  });
  return true;
}

}  // namespace brenlow
