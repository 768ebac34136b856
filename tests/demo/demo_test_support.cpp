#include "demo_test_support.h"

#include <QPushButton>
#include <QtTest/QTest>

#include "qt_test_app.h"
#include "qvplatform/launcher.h"

namespace brenlow_test {

void DemoFormTest::SetUp() {
  vellora_test::QtTestApp();
  FakeEngineTest::SetUp();
  qvplatform::SetFileOpener([this](const std::string& file) {
    launched_.push_back(file);
    return true;
  });
}

void DemoFormTest::TearDown() {
  form_.reset();
  qvplatform::SetFileOpener({});
  FakeEngineTest::TearDown();
}

brenlow::TForm1& DemoFormTest::StartForm(const std::vector<std::string>& arguments) {
  QStringList args{"brenlow"};
  for (const std::string& a : arguments) args << QString::fromStdString(a);
  brenlow::TForm1Services services;
  services.showMessage = [this](const QString& text) { messages_.push_back(text.toStdString()); };
  services.chooseFile = [this] { return QString::fromStdString(chosenFile_); };
  services.programFolder = [this] { return ProgramFolder(); };
  form_.reset();
  form_ = std::make_unique<brenlow::TForm1>(args, services);
  form_->show();
  return *form_;
}

QLineEdit& DemoFormTest::Edit1() { return *form_->findChild<QLineEdit*>("Edit1"); }
QCheckBox& DemoFormTest::Box(const char* name) { return *form_->findChild<QCheckBox*>(name); }

void DemoFormTest::Load(const std::string& file) {
  chosenFile_ = file;
  QTest::mouseClick(form_->findChild<QPushButton*>("Button1"), Qt::LeftButton);
}

void DemoFormTest::Export(const std::string& library) {
  Edit1().setText(QString::fromStdString(library));
  QTest::mouseClick(form_->findChild<QPushButton*>("Button2"), Qt::LeftButton);
}

}  // namespace brenlow_test
