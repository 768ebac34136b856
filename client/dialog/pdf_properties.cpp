#include "brenlow/pdf_properties.h"

#include <stdexcept>

#include "brenlow/pdf_property_form.h"

namespace brenlow {

bool TQVPDFProperties::Execute() {
  if (printer_.Get() == nullptr) throw std::runtime_error("PDFPrinter was not assigned");
  TQVPDFPropertyForm form;
  form.SetPDFPrinter(printer_.Get());
  form.SetReadingSheetShown(showInputModes_);
  form.SetStartButton(showStartButton_);
  return form.exec() == QDialog::Accepted;
}

}  // namespace brenlow
