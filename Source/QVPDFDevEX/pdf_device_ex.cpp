#include "QVPDFDevEX/pdf_device_ex.h"

#include <stdexcept>

#include "QVPDFDevEX/pdf_action.h"
#include "QVPDFDevEX/pdf_catalog_ex.h"

namespace vellora {

TQVPDFDeviceEX::TQVPDFDeviceEX() { options.security.RequestVersion14(); }

TQVPDFDeviceEX::~TQVPDFDeviceEX() = default;

std::unique_ptr<TQVPDFCatalog> TQVPDFDeviceEX::CreateCatalog() {
  return std::make_unique<TQVPDFCatalogEx>(this);
}

TQVPDFCatalogEx& TQVPDFDeviceEX::CatalogEx() {
  // Every catalog of this device is made by CreateCatalog above.
  auto* catalog = static_cast<TQVPDFCatalogEx*>(Catalog());
  if (catalog == nullptr) throw std::runtime_error("Device is not open!");
  return *catalog;
}

void TQVPDFDeviceEX::EndDoc() {
  try {
    TQVPDFDevice::EndDoc();
  } catch (...) {
    fieldSettings.Reset();
    throw;
  }
  fieldSettings.Reset();
}

void TQVPDFDeviceEX::WriteExtraObjects() {
  TQVPDFDevice::WriteExtraObjects();
  for (const auto& action : actions_)
    if (!action->IsWritten()) action->WriteObject();
  if (TFolvioAcroForm* form = CatalogEx().ExistingAcroForm(); form && !form->IsWritten())
    form->WriteObject();
}

void TQVPDFDeviceEX::ClearTempObjects() {
  TQVPDFDevice::ClearTempObjects();
  actions_.clear();
}

}  // namespace vellora
