// TQVPDFPropertyForm: the modal dialog "PDF Creation Properties" that edits one component's
// settings. Showing it loads the controls from the component (FormShow); "OK" writes them back
// (Button4Click), "Cancel" leaves the component alone. Every control carries its name as
// objectName. The dialog refers to the component without owning it; a component destroyed
// meanwhile is simply no longer there to load or write.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "brenlow/component_reference.h"
#include "brenlow/radio_group.h"

namespace brenlow {

class TQVCustomPDFExport;

class TQVPDFPropertyForm : public QDialog {
 public:
  explicit TQVPDFPropertyForm(QWidget* parent = nullptr);

  TQVCustomPDFExport* PDFPrinter() const { return printer_.Get(); }
  void SetPDFPrinter(TQVCustomPDFExport* printer) { printer_.Reset(printer); }
  // Whether the "PDF Reading" sheet's tab can be reached.
  void SetReadingSheetShown(bool shown);
  // "Start" or "OK" on the confirm button.
  void SetStartButton(bool start);

  void FormShow();
  // Both CIDFonts and PDFAMode: the font modes and the security sheet follow them.
  void CIDFontsClick();
  void Button4Click();
  void Button5Click() { reject(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* BuildGeneralSheet();
  QWidget* BuildInfoSheet();
  QWidget* BuildSecuritySheet();
  QWidget* BuildReadingSheet();
  QLineEdit* AddLabelledEdit(QWidget* sheet, const char* labelName, const QString& caption,
                             const char* editName, QLabel** label = nullptr);
  void LoadSecurity(const TQVCustomPDFExport& p);
  void WriteSecurity(TQVCustomPDFExport& p) const;

  TComponentReference printer_;
  QTabWidget* pageControl_;
  QWidget *tabSheet1_, *tabSheet2_, *tabSheet3_, *tabSheet4_;
  // General
  QLineEdit* edit1_;
  TRadioGroup *compressionGroup_, *encodeGroup_;
  QCheckBox *convJPEG_, *checkBox1_, *checkBox2_, *cidFonts_, *pdfaMode_;
  QComboBox *pageMode_, *fontMode_;
  // File info
  QLabel* label6_;
  QLineEdit *edit3_, *edit4_, *edit5_, *edit6_, *edit7_;
  // Security
  QCheckBox *encryptIt_, *encryptOpt1_, *encryptOpt2_, *encryptOpt3_, *encryptOpt4_;
  QCheckBox* highSecurity_;
  QLineEdit *ownerPW_, *userPW_;
  // Reading
  QLineEdit* inputPDF_;
  TRadioGroup* inputPDFMode_;
  QPushButton *button4_, *button5_;
};

}  // namespace brenlow
