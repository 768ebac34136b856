#include "QVPDFDevEX/pdf_catalog_ex.h"

#include "QVPDFDev/file/pdf_file_writer.h"
#include "QVPDFDevEX/pdf_action.h"

namespace vellora {

TFolvioAcroForm& TQVPDFCatalogEx::AcroForm() {
  if (!acroForm_) acroForm_ = std::make_unique<TFolvioAcroForm>(Owner());
  return *acroForm_;
}

void TQVPDFCatalogEx::WriteEntries() {
  if (acroForm_) Out().WriteLn("/AcroForm " + acroForm_->GetReference());
}

void TQVPDFCatalogEx::WriteOpenAction(const std::string& goToAction) {
  std::vector<TQVPDFAction*> actions;
  actions.swap(openActions_);
  if (actions.empty()) {
    TQVPDFCatalog::WriteOpenAction(goToAction);
    return;
  }
  if (actions.size() == 1 && goToAction.empty()) {
    Out().WriteLn("/OpenAction " + actions.front()->GetReference());
    return;
  }
  std::string entry = "/OpenAction <<";
  entry += goToAction.empty() ? "/S/JavaScript/JS" + LiteralString("") : goToAction;
  entry += "/Next [";
  for (std::size_t i = 0; i < actions.size(); ++i) {
    if (i > 0) entry += ' ';
    entry += actions[i]->GetReference();
  }
  entry += "]>>";
  Out().WriteLn(entry);
}

}  // namespace vellora
