// brenlow: shows an enhanced metafile and exports it to PDF through the client component.
// Usage: brenlow [engine library path or {hkcu}/{hklm} registry reference]
#include <QApplication>

#include "preview_form.h"
#include "screen_grab.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  brenlow::TForm1 form(QApplication::arguments());
  form.show();
  brenlow::ScheduleScreenGrab(form);
  return QApplication::exec();
}
