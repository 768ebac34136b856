#include "dialog_test_support.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include "qt_test_app.h"

namespace brenlow_test {

std::unique_ptr<brenlow::TQVPDFPropertyForm> ShownForm(brenlow::TQVCustomPDFExport& printer) {
  vellora_test::QtTestApp();
  auto form = std::make_unique<brenlow::TQVPDFPropertyForm>();
  form->SetPDFPrinter(&printer);
  form->show();
  return form;
}

void Toggle(QAbstractButton& box) { QTest::keyClick(&box, Qt::Key_Space); }

bool TabShown(const QWidget& form, const char* sheetName) {
  const auto& tabs = Control<QTabWidget>(form, "PageControl1");
  return tabs.isTabVisible(tabs.indexOf(&Control<QWidget>(form, sheetName)));
}

bool ExecuteAndClose(brenlow::TQVPDFProperties& properties,
                     const std::function<void(QWidget& dialog)>& inspect, const char* button) {
  vellora_test::QtTestApp();
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    seen = true;
    try {
      inspect(*dialog);
      QTest::mouseClick(&Control<QPushButton>(*dialog, button), Qt::LeftButton);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
    // Never leave the test waiting on an open dialog.
    if (dialog->isVisible()) dialog->reject();
  });
  const bool result = properties.Execute();
  EXPECT_TRUE(seen) << "no modal dialog opened";
  return result;
}

}  // namespace brenlow_test
