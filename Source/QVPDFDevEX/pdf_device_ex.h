// TQVPDFDeviceEX: the PDF device that an engine context owns. Every file it writes starts
// with "%PDF-1.4", and its documents get the extended catalog (TQVPDFCatalogEx). Form fields,
// JavaScript actions and their embedded commands are added to it by their own files of this unit.
#pragma once

#include <memory>

#include "QVPDFDev/device/pdf_device.h"

namespace vellora {

class TQVPDFDeviceEX : public TQVPDFDevice {
 public:
  TQVPDFDeviceEX();
  ~TQVPDFDeviceEX() override;

 protected:
  std::unique_ptr<TQVPDFCatalog> CreateCatalog() override;
};

}  // namespace vellora
