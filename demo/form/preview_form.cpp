// The form's controls, the component's stored settings and the replaceable services.
#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

#include "preview_form.h"

extern const std::uint8_t kStoredPicture[];
extern const std::size_t kStoredPictureSize;

namespace brenlow {

TForm1::TForm1(const QStringList& arguments, TForm1Services services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)) {
  setObjectName("Form1");
  setWindowTitle("brenlow");
  if (!services_.showMessage)
    services_.showMessage = [this](const QString& text) {
      QMessageBox::critical(this, windowTitle(), text);
    };
  if (!services_.chooseFile)
    services_.chooseFile = [this] {
      return QFileDialog::getOpenFileName(this, "Load EMF File", {}, "Metafiles (*.emf)");
    };
  if (!services_.programFolder)
    services_.programFolder = [] {
      return (QCoreApplication::applicationDirPath() + "/").toLocal8Bit().toStdString();
    };
  BuildControls();
  SetStoredSettings();
  picture_.SetBytes({kStoredPicture, kStoredPicture + kStoredPictureSize});
  ShowPicture();
  FormCreate(arguments);
}

void TForm1::BuildControls() {
  panel1_ = new QWidget(this);
  panel1_->setObjectName("Panel1");
  const auto button = [this](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, panel1_);
    b->setObjectName(name);
    return b;
  };
  button1_ = button("Button1", "Load EMF File");
  button2_ = button("Button2", "Export to PDF");
  button3_ = button("Button3", "...");
  checkBox1_ = new QCheckBox("CID Font Mode", panel1_);
  checkBox1_->setObjectName("CheckBox1");
  clipSupport_ = new QCheckBox("Use Clipping", panel1_);
  clipSupport_->setObjectName("ClipSupport");
  clipSupport_->setChecked(true);
  groupBox1_ = new QGroupBox(" Path/Registry to DLL ", panel1_);
  groupBox1_->setObjectName("GroupBox1");
  edit1_ = new QLineEdit("{hkcu}Software\\Torvane\\Folvio\\3.0\\path", groupBox1_);
  edit1_->setObjectName("Edit1");
  edit1_->setMinimumWidth(320);
  (new QVBoxLayout(groupBox1_))->addWidget(edit1_);

  auto* row = new QHBoxLayout(panel1_);
  for (QWidget* w : std::initializer_list<QWidget*>{button1_, button2_, checkBox1_, clipSupport_,
                                                    button3_, groupBox1_})
    row->addWidget(w);
  row->addStretch();

  scrollBox1_ = new QScrollArea(this);
  scrollBox1_->setObjectName("ScrollBox1");
  image1_ = new QLabel;
  image1_->setObjectName("Image1");
  image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  scrollBox1_->setWidget(image1_);
  scrollBox1_->setWidgetResizable(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(panel1_);
  layout->addWidget(scrollBox1_, 1);
  resize(800, 600);

  connect(button1_, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(button2_, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(button3_, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(checkBox1_, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
}

void TForm1::SetStoredSettings() {
  TQVPDFPrinter& p = qvpdfPrinter1_;
  p.SetCidFontMode(qvCIDOff);
  p.SetPDFAMode(folvioaOff);
  p.SetPDFReadMode(folvioStandard);
  p.SetCanvasReference(qvrefScreen);
  p.SetAutoLaunch(true);
  p.SetEncodeStreamMethod(qvEncodeNone);
  p.SetCompressStreamMethod(qvCompressFastFlate);
  p.Info().SetProducer("Marlisk");
  p.SetCreateThumbnails(true);
  p.SetCreateOutlines(false);
  p.SetModes({qvExactTextPositioning});
  p.SetOptions({});
  p.SetPageMode(pwUseNone);
  p.SetZoomMode(pwZoomDefault);
  p.SetFontMode(qvUseTrueTypeFonts);
  p.SetEncryption({qvEnablePrinting, qvEnableChanging, qvEnableCopying, qvEnableForms});
  p.SetSecurity(qvp128bit);
  p.SetInMemoryMode(false);
  p.SetJPEGQuality(qvNoJPEG);
  p.SetExtraMessages({});
  p.SetInputfileMode(pwIgnoreInput);
  p.SetConvertJPEGData(false);
  p.SetDebugMode(false);
  qvpdfProperties1_.SetPDFPrinter(&qvpdfPrinter1_);
  qvpdfProperties1_.SetShowStartButton(false);
  qvpdfProperties1_.SetShowInputModes(false);
}

}  // namespace brenlow
