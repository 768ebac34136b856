// TQVPDFCatalogEx: the catalog of the extended device. It will add the document's form
// (/Acroform) and its open actions to the catalog entries; until form fields and actions are
// built it writes what the base catalog writes.
#pragma once

#include "QVPDFDev/document/pdf_catalog.h"

namespace vellora {

class TQVPDFCatalogEx : public TQVPDFCatalog {
 public:
  explicit TQVPDFCatalogEx(TQVPDFObjectOwner* owner) : TQVPDFCatalog(owner) {}
  std::string_view ClassName() const override { return "TQVPDFCatalogEx"; }
};

}  // namespace vellora
