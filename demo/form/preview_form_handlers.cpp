// The form's handlers: start, the CID box, loading a metafile, exporting it, the dialog.
#include <QPixmap>
#include <stdexcept>

#include "picture_view.h"
#include "preview_form.h"
#include "qvplatform/metafile_canvas.h"

namespace brenlow {

void TForm1::Guarded(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& e) {
    services_.showMessage(QString::fromLocal8Bit(e.what()));
  }
}

void TForm1::FormCreate(const QStringList& arguments) {
  if (arguments.size() > 1) edit1_->setText(arguments[1]);
  CheckBox1Click();
}

void TForm1::CheckBox1Click() {
  TQVPDFPrinter& p = qvpdfPrinter1_;
  const std::string folder = services_.programFolder();
  if (checkBox1_->isChecked()) {
    p.SetCidFontMode(qvCIDUnicode);
    p.SetFilename(folder + "folvio_cid.pdf");
  } else {
    // Off means off: without this the CID fonts of an earlier check would stay.
    p.SetCidFontMode(qvCIDOff);
    p.SetFontMode(qvEmbedTrueTypeFonts);
    p.SetFilename(folder + "folvio_fontembed.pdf");
  }
}

void TForm1::ShowPicture() {
  image1_->setPixmap(QPixmap::fromImage(RasterisePicture(picture_.Bytes())));
  image1_->adjustSize();
}

void TForm1::Button1Click() {
  Guarded([this] {
    const QString file = services_.chooseFile();
    if (file.isEmpty()) return;
    // Loaded aside, so that a file that fails leaves the shown picture as it was.
    qvplatform::TMetafile loaded;
    if (!loaded.LoadFromFile(file.toLocal8Bit().toStdString()))
      throw std::runtime_error("Not an enhanced metafile: " + file.toLocal8Bit().toStdString());
    const QImage image = RasterisePicture(loaded.Bytes());
    picture_.SetBytes(loaded.Bytes());
    image1_->setPixmap(QPixmap::fromImage(image));
    image1_->adjustSize();
  });
}

qvplatform::HENHMETAFILE TForm1::PictureHandle() {
  if (const qvplatform::HENHMETAFILE h = picture_.Handle()) return h;
  if (emptyPicture_.Empty()) qvplatform::TMetafileCanvas(emptyPicture_, 1, 1, 96, 96).Close();
  return emptyPicture_.Handle();
}

void TForm1::Button2Click() {
  Guarded([this] {
    TQVPDFPrinter& p = qvpdfPrinter1_;
    p.SetDLLName(edit1_->text().toLocal8Bit().toStdString());
    TQVDevModes modes = p.Modes();
    if (clipSupport_->isChecked())
      modes.Include(qvClipRectSupport);
    else
      modes.Exclude(qvClipRectSupport);
    p.SetModes(modes);
    p.BeginDoc();
    try {
      p.DrawMetafileAt(0, 0, PictureHandle());
    } catch (...) {
      // The document is ended in every case, or the next export would add its page to it;
      // a document that failed is not opened.
      const bool launch = p.AutoLaunch();
      p.SetAutoLaunch(false);
      try {
        p.EndDoc();
      } catch (...) {
      }
      p.SetAutoLaunch(launch);
      throw;
    }
    p.EndDoc();
  });
}

void TForm1::Button3Click() {
  Guarded([this] { qvpdfProperties1_.Execute(); });
}

}  // namespace brenlow
