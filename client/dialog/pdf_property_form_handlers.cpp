// Loading the controls from the component when the dialog shows, and writing them back when
// the user confirms.
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <cmath>
#include <iterator>

#include "brenlow/ansi_text.h"
#include "brenlow/custom_pdf_export.h"
#include "brenlow/pdf_property_form.h"

namespace brenlow {
namespace {

// The compression items, by radio index.
constexpr TQVCompressStreamMethod kCompressionItems[] = {qvCompressNone, qvCompressRunlength,
                                                         qvCompressFlate, qvCompressFastFlate};

int CompressionIndex(TQVCompressStreamMethod method) {
  for (int i = 0; i < static_cast<int>(std::size(kCompressionItems)); ++i)
    if (kCompressionItems[i] == method) return i;
  return -1;
}

// The encryption options with a box of their own, in the order of the boxes.
constexpr TFolvioEncryptionOption kEncryptionBoxes[] = {qvEnablePrinting, qvEnableCopying,
                                                        qvEnableChanging, qvEnableForms};

// File names go to the file system as the bytes given.
QString FromFileName(const std::string& name) { return QString::fromLocal8Bit(name); }
std::string ToFileName(const QString& name) { return name.toLocal8Bit().toStdString(); }

}  // namespace

void TQVPDFPropertyForm::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    FormShow();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      adjustSize();
      move(screen->availableGeometry().center() - rect().center());
    }
  }
  QDialog::showEvent(event);
}

void TQVPDFPropertyForm::FormShow() {
  label6_->setText("Creator:");
  const TQVCustomPDFExport* component = printer_.Get();
  if (component == nullptr) return;
  const TQVCustomPDFExport& p = *component;
  if (QString::fromStdString(p.ClassName()).compare("TQVPDFExport", Qt::CaseInsensitive) == 0) {
    convJPEG_->setVisible(true);
    checkBox2_->setVisible(true);
  }
  convJPEG_->setChecked(p.ConvertJPEGData());
  edit1_->setText(FromFileName(p.Filename()));
  edit3_->setText(FromAnsi(p.Info().Producer()));
  edit4_->setText(FromAnsi(p.Info().Author()));
  edit5_->setText(FromAnsi(p.Info().Title()));
  edit6_->setText(FromAnsi(p.Info().Subject()));
  edit7_->setText(FromAnsi(p.Info().Keywords()));
  compressionGroup_->SetItemIndex(CompressionIndex(p.CompressStreamMethod()));
  encodeGroup_->SetItemIndex(static_cast<int>(p.EncodeStreamMethod()));
  cidFonts_->setChecked(p.CidFontMode() != qvCIDOff);
  pdfaMode_->setChecked(p.PDFAMode() != folvioaOff);
  checkBox1_->setChecked(p.CreateThumbnails());
  checkBox2_->setChecked(p.CreateOutlines());
  pageMode_->setCurrentIndex(static_cast<int>(p.PageMode()));
  fontMode_->setCurrentIndex(static_cast<int>(p.FontMode()));
  LoadSecurity(p);
  inputPDF_->setText(FromFileName(p.InputFile()));
  inputPDFMode_->SetItemIndex(static_cast<int>(p.InputfileMode()));
  CIDFontsClick();
}

void TQVPDFPropertyForm::LoadSecurity(const TQVCustomPDFExport& p) {
  const TFolvioEncryption e = p.Encryption();
  encryptIt_->setChecked(e.Contains(qvEncryptFile));
  QCheckBox* boxes[] = {encryptOpt1_, encryptOpt2_, encryptOpt3_, encryptOpt4_};
  for (std::size_t i = 0; i < std::size(boxes); ++i)
    boxes[i]->setChecked(e.Contains(kEncryptionBoxes[i]));
  ownerPW_->setText(FromAnsi(p.OwnerPassword()));
  userPW_->setText(FromAnsi(p.UserPassword()));
  highSecurity_->setChecked(p.Security() == qvp128bit);
}

void TQVPDFPropertyForm::CIDFontsClick() {
  fontMode_->setEnabled(!cidFonts_->isChecked() && !pdfaMode_->isChecked());
  pageControl_->setTabVisible(pageControl_->indexOf(tabSheet4_), !pdfaMode_->isChecked());
}

void TQVPDFPropertyForm::Button4Click() {
  if (TQVCustomPDFExport* component = printer_.Get()) {
    TQVCustomPDFExport& p = *component;
    p.SetConvertJPEGData(convJPEG_->isChecked());
    p.SetFilename(ToFileName(edit1_->text()));
    p.Info().SetProducer(ToAnsi(edit3_->text()));
    p.Info().SetAuthor(ToAnsi(edit4_->text()));
    p.Info().SetTitle(ToAnsi(edit5_->text()));
    p.Info().SetSubject(ToAnsi(edit6_->text()));
    p.Info().SetKeywords(ToAnsi(edit7_->text()));
    p.Info().SetCreationDate(std::floor(qvplatform::Now()));
    const int compression = compressionGroup_->ItemIndex();
    if (compression >= 0) p.SetCompressStreamMethod(kCompressionItems[compression]);
    // A checked box keeps a CID mode other than off (symbol fonts only stays so).
    if (!cidFonts_->isChecked())
      p.SetCidFontMode(qvCIDOff);
    else if (p.CidFontMode() == qvCIDOff)
      p.SetCidFontMode(qvCIDUnicode);
    p.SetPDFAMode(pdfaMode_->isChecked() ? folvioaLevelA : folvioaOff);
    p.SetSecurity(highSecurity_->isChecked() ? qvp128bit : qvp40bit);
    const int encode = encodeGroup_->ItemIndex();
    if (encode >= 0) p.SetEncodeStreamMethod(static_cast<TQVEncodeStreamMethod>(encode));
    p.SetCreateThumbnails(checkBox1_->isChecked());
    p.SetCreateOutlines(checkBox2_->isChecked());
    if (pageMode_->currentIndex() >= 0)
      p.SetPageMode(static_cast<TQVPDFPageModes>(pageMode_->currentIndex()));
    if (fontMode_->currentIndex() >= 0)
      p.SetFontMode(static_cast<TQVPDFFontMode>(fontMode_->currentIndex()));
    WriteSecurity(p);
    const int inputMode = inputPDFMode_->ItemIndex();
    if (inputMode >= 0) p.SetInputfileMode(static_cast<TQVPDFInputfileMode>(inputMode));
    p.SetInputFile(ToFileName(inputPDF_->text()));
  }
  accept();
}

void TQVPDFPropertyForm::WriteSecurity(TQVCustomPDFExport& p) const {
  if (!encryptIt_->isChecked()) {
    p.SetEncryption({});
    return;
  }
  // Each box sets its own member only: the options without a box stay as they were.
  TFolvioEncryption e = p.Encryption();
  e.Include(qvEncryptFile);
  const QCheckBox* boxes[] = {encryptOpt1_, encryptOpt2_, encryptOpt3_, encryptOpt4_};
  for (std::size_t i = 0; i < std::size(boxes); ++i) {
    if (boxes[i]->isChecked())
      e.Include(kEncryptionBoxes[i]);
    else
      e.Exclude(kEncryptionBoxes[i]);
  }
  p.SetEncryption(e);
  p.SetOwnerPassword(ToAnsi(ownerPW_->text()));
  p.SetUserPassword(ToAnsi(userPW_->text()));
}

}  // namespace brenlow
