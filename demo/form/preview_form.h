// TForm1: the demonstration program's main form. It shows an enhanced metafile (the stored
// sample until the user loads another), lets the user choose the engine library and a few
// settings, and exports the shown metafile to a PDF file through a TQVPDFPrinter, which then
// opens the file.
//
// Every handler shows a failure's text in a message box and leaves the form usable. What the
// form asks of its surroundings can be replaced (tests do): the message display, the file
// chooser and the program's folder. The component opens the written file through the
// platform's launcher (qvplatform::SetFileOpener replaces it).
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>

#include "brenlow/pdf_printer.h"
#include "brenlow/pdf_properties.h"
#include "qvplatform/metafile_class.h"

namespace brenlow {

struct TForm1Services {
  // Shows a failure's text (default: a message box over the form).
  std::function<void(const QString& text)> showMessage;
  // The metafile file to load, empty when the user cancels (default: an open dialog).
  std::function<QString()> chooseFile;
  // The folder of the program file, with its trailing separator.
  std::function<std::string()> programFolder;
};

class TForm1 : public QWidget {
 public:
  // arguments as the program received them (the program's name first); the first argument
  // after it names the engine library.
  explicit TForm1(const QStringList& arguments, TForm1Services services = {},
                  QWidget* parent = nullptr);

  void FormCreate(const QStringList& arguments);
  void CheckBox1Click();
  void Button1Click();
  void Button2Click();
  void Button3Click();

  TQVPDFPrinter& QVPDFPrinter1() { return qvpdfPrinter1_; }
  TQVPDFProperties& QVPDFProperties1() { return qvpdfProperties1_; }
  // Image1's metafile; ShowPicture draws it anew after a change.
  qvplatform::TMetafile& Picture() { return picture_; }
  void ShowPicture();

 private:
  void BuildControls();
  void SetStoredSettings();
  // Runs a handler's work; a failure is shown and swallowed.
  void Guarded(const std::function<void()>& work);
  // The handle of the shown metafile, or of an empty one when the picture holds none.
  qvplatform::HENHMETAFILE PictureHandle();

  TForm1Services services_;
  QWidget* panel1_;
  QPushButton *button1_, *button2_, *button3_;
  QCheckBox *checkBox1_, *clipSupport_;
  QGroupBox* groupBox1_;
  QLineEdit* edit1_;
  QScrollArea* scrollBox1_;
  QLabel* image1_;
  qvplatform::TMetafile picture_;
  qvplatform::TMetafile emptyPicture_;
  TQVPDFPrinter qvpdfPrinter1_;
  TQVPDFProperties qvpdfProperties1_;
};

}  // namespace brenlow
