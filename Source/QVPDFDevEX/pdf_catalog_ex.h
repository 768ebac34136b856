// TQVPDFCatalogEx: the catalog of the extended device. It adds the document's form
// (/AcroForm) and its open actions: one action is referred to as it is; several, or any with
// the zoom mode's GoTo action, are run in turn from the /Next array of one action (the GoTo
// action, or an empty script), so that the action objects stay as they are: fields and other
// open actions may refer to them, and an action bound twice runs twice rather than loop.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDevEX/pdf_acro_form.h"

namespace vellora {

class TQVPDFAction;

class TQVPDFCatalogEx : public TQVPDFCatalog {
 public:
  explicit TQVPDFCatalogEx(TQVPDFObjectOwner* owner) : TQVPDFCatalog(owner) {}
  std::string_view ClassName() const override { return "TQVPDFCatalogEx"; }

  // "/AcroForm" + the form's reference when there is a form.
  void WriteEntries() override;
  // The open actions (the list is emptied) with the zoom mode's action.
  void WriteOpenAction(const std::string& goToAction) override;

  // Made on first use.
  TFolvioAcroForm& AcroForm();
  TFolvioAcroForm* ExistingAcroForm() const { return acroForm_.get(); }
  // Listed, not owned.
  std::vector<TQVPDFAction*>& OpenActions() { return openActions_; }

 private:
  std::unique_ptr<TFolvioAcroForm> acroForm_;
  std::vector<TQVPDFAction*> openActions_;
};

}  // namespace vellora
