#include "QVPDFDevEX/pdf_device_ex.h"

#include "QVPDFDevEX/pdf_catalog_ex.h"

namespace vellora {

TQVPDFDeviceEX::TQVPDFDeviceEX() { options.security.RequestVersion14(); }

TQVPDFDeviceEX::~TQVPDFDeviceEX() = default;

std::unique_ptr<TQVPDFCatalog> TQVPDFDeviceEX::CreateCatalog() {
  return std::make_unique<TQVPDFCatalogEx>(this);
}

}  // namespace vellora
