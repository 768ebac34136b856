// The dialog's controls and their layout; the handlers are in pdf_property_form_handlers.cpp.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "brenlow/pdf_property_form.h"

namespace brenlow {
namespace {

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  return box;
}

QComboBox* DropDownList(QWidget* parent, const char* name, const QStringList& items) {
  auto* list = new QComboBox(parent);
  list->setObjectName(name);
  list->setEditable(false);
  list->addItems(items);
  return list;
}

QLabel* Label(QWidget* parent, const char* name, const QString& caption) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  return label;
}

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text = {}) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(name);
  return edit;
}

QWidget* Sheet(const char* name) {
  auto* sheet = new QWidget;
  sheet->setObjectName(name);
  return sheet;
}

}  // namespace

TQVPDFPropertyForm::TQVPDFPropertyForm(QWidget* parent) : QDialog(parent) {
  setObjectName("QVPDFPropertyForm");
  setWindowTitle("PDF Creation Properties");
  // A fixed dialog border: no resizing, no minimise or maximise.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  pageControl_ = new QTabWidget(this);
  pageControl_->setObjectName("PageControl1");
  pageControl_->addTab(tabSheet1_ = BuildGeneralSheet(), "General");
  pageControl_->addTab(tabSheet3_ = BuildInfoSheet(), "PDF File Info");
  pageControl_->addTab(tabSheet4_ = BuildSecuritySheet(), "PDF Security");
  pageControl_->addTab(tabSheet2_ = BuildReadingSheet(), "PDF Reading");
  SetReadingSheetShown(false);

  button4_ = new QPushButton("OK", this);
  button4_->setObjectName("Button4");
  button4_->setDefault(true);
  button5_ = new QPushButton("Cancel", this);
  button5_->setObjectName("Button5");
  connect(button4_, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(button5_, &QPushButton::clicked, this, [this] { Button5Click(); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(button4_);
  buttons->addWidget(button5_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pageControl_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // Connected to the state, not the click, so that loading a box runs its handler too.
  connect(cidFonts_, &QCheckBox::toggled, this, [this] { CIDFontsClick(); });
  connect(pdfaMode_, &QCheckBox::toggled, this, [this] { CIDFontsClick(); });
}

QWidget* TQVPDFPropertyForm::BuildGeneralSheet() {
  QWidget* sheet = Sheet("TabSheet1");
  edit1_ = Edit(sheet, "Edit1", "c:\\test.PDF");
  compressionGroup_ =
      new TRadioGroup("CompressionGroup", " Compression ",
                      {"none", "run length", "deflate text", "fast deflate text"}, 4, sheet);
  encodeGroup_ = new TRadioGroup("EncodeGroup", " encode binary ",
                                 {"no encoding", "ASCII85", "HEX"}, 3, sheet);
  convJPEG_ = CheckBox(sheet, "ConvJPEG", "Convert JPEG image to regular bitmap");
  convJPEG_->setVisible(false);
  pageMode_ =
      DropDownList(sheet, "PageMode", {"Use None", "Use Outlines", "Use Thumbs", "Full Screen"});
  fontMode_ = DropDownList(sheet, "FontMode",
                           {"Use TrueType Fonts", "Embed TrueType Fonts",
                            "Embed only Symbol TrueType Fonts", "Use 14 Base Type1 Fonts",
                            "TTF Subsets: only used codepages", "TTF Subsets: only used chars"});
  checkBox1_ = CheckBox(sheet, "CheckBox1", "Create Thumbnails");
  checkBox2_ = CheckBox(sheet, "CheckBox2", "Create Outlines");
  checkBox2_->setVisible(false);
  cidFonts_ = CheckBox(sheet, "CIDFonts", "Embed Fonts using character IDs (CID)");
  pdfaMode_ = CheckBox(sheet, "PDFAMode", "PDF/A Mode");

  auto* grid = new QGridLayout(sheet);
  grid->addWidget(Label(sheet, "Label4", "Outputfile:"), 0, 0);
  grid->addWidget(edit1_, 0, 1);
  grid->addWidget(compressionGroup_, 1, 0, 1, 2);
  grid->addWidget(encodeGroup_, 2, 0, 1, 2);
  grid->addWidget(Label(sheet, "Label1", "Show Mode:"), 3, 0);
  grid->addWidget(pageMode_, 3, 1);
  grid->addWidget(Label(sheet, "Label11", "Fonts Mode"), 4, 0);
  grid->addWidget(fontMode_, 4, 1);
  grid->addWidget(convJPEG_, 5, 0, 1, 2);
  grid->addWidget(checkBox1_, 6, 0, 1, 2);
  grid->addWidget(checkBox2_, 7, 0, 1, 2);
  grid->addWidget(cidFonts_, 8, 0, 1, 2);
  grid->addWidget(pdfaMode_, 9, 0, 1, 2);
  grid->setRowStretch(10, 1);
  return sheet;
}

QLineEdit* TQVPDFPropertyForm::AddLabelledEdit(QWidget* sheet, const char* labelName,
                                               const QString& caption, const char* editName,
                                               QLabel** label) {
  auto* grid = static_cast<QGridLayout*>(sheet->layout());
  const int row = grid->rowCount();
  QLabel* l = Label(sheet, labelName, caption);
  QLineEdit* edit = Edit(sheet, editName);
  grid->addWidget(l, row, 0);
  grid->addWidget(edit, row, 1);
  if (label != nullptr) *label = l;
  return edit;
}

QWidget* TQVPDFPropertyForm::BuildInfoSheet() {
  QWidget* sheet = Sheet("TabSheet3");
  new QGridLayout(sheet);
  edit3_ = AddLabelledEdit(sheet, "Label6", "Creator:", "Edit3", &label6_);
  edit4_ = AddLabelledEdit(sheet, "Label9", "Author:", "Edit4");
  edit5_ = AddLabelledEdit(sheet, "Label10", "Title:", "Edit5");
  edit6_ = AddLabelledEdit(sheet, "Label7", "Subject:", "Edit6");
  edit7_ = AddLabelledEdit(sheet, "Label8", "Keywords:", "Edit7");
  static_cast<QGridLayout*>(sheet->layout())->setRowStretch(5, 1);
  return sheet;
}

QWidget* TQVPDFPropertyForm::BuildSecuritySheet() {
  QWidget* sheet = Sheet("TabSheet4");
  encryptIt_ = CheckBox(sheet, "EncryptIt", "Encrypt PDF File");
  auto* frame = new QGroupBox(sheet);
  frame->setObjectName("GroupBox1");
  new QGridLayout(frame);
  ownerPW_ = AddLabelledEdit(frame, "Label13", "Owner password", "OwnerPW");
  userPW_ = AddLabelledEdit(frame, "Label14", "User Password", "UserPW");
  encryptOpt1_ = CheckBox(frame, "EncryptOpt1", "Enable Printing");
  encryptOpt2_ = CheckBox(frame, "EncryptOpt2", "Enable Copying");
  encryptOpt3_ = CheckBox(frame, "EncryptOpt3", "Enable Change");
  encryptOpt4_ = CheckBox(frame, "EncryptOpt4", "Enable Forms");
  highSecurity_ = CheckBox(frame, "HighSecurity", "128 bit security");
  auto* grid = static_cast<QGridLayout*>(frame->layout());
  int row = grid->rowCount();
  for (QCheckBox* box : {encryptOpt1_, encryptOpt2_, encryptOpt3_, encryptOpt4_, highSecurity_})
    grid->addWidget(box, row++, 0, 1, 2);

  auto* layout = new QVBoxLayout(sheet);
  layout->addWidget(encryptIt_);
  layout->addWidget(frame);
  layout->addStretch();
  return sheet;
}

QWidget* TQVPDFPropertyForm::BuildReadingSheet() {
  QWidget* sheet = Sheet("TabSheet2");
  new QGridLayout(sheet);
  inputPDF_ = AddLabelledEdit(sheet, "Label2", "Input PDF File", "InputPDF");
  inputPDF_->setText("c:\\input.PDF");
  inputPDFMode_ =
      new TRadioGroup("InputPDFMode", " Input PDF Mode ",
                      {"Ignore input PDF file", "Copy existing file and append new pages to it",
                       "Convert pages in existing file into watermarks",
                       "Automatically use the pages in the PDF file as watermarks"},
                      1, sheet);
  auto* grid = static_cast<QGridLayout*>(sheet->layout());
  grid->addWidget(inputPDFMode_, grid->rowCount(), 0, 1, 2);
  grid->setRowStretch(grid->rowCount(), 1);
  return sheet;
}

void TQVPDFPropertyForm::SetReadingSheetShown(bool shown) {
  pageControl_->setTabVisible(pageControl_->indexOf(tabSheet2_), shown);
}

void TQVPDFPropertyForm::SetStartButton(bool start) { button4_->setText(start ? "Start" : "OK"); }

}  // namespace brenlow
