// The document catalog, the root object of every written file. It owns the page tree, the
// outline, the named destinations with their /Names dictionary, the structure tree, the XMP
// metadata and (in PDF/A mode) the output intents, and is written last.
#pragma once

#include <memory>

#include "QVPDFDev/metadata/xmp_string.h"
#include "QVPDFDev/navigation/pdf_named_dest.h"
#include "QVPDFDev/navigation/pdf_outline.h"
#include "QVPDFDev/objects/pdf_object.h"
#include "QVPDFDev/pages/pdf_page.h"
#include "QVPDFDev/pages/pdf_page_tree.h"
#include "QVPDFDev/resources/pdf_color_space.h"
#include "QVPDFDev/tagged/pdf_struct_tree.h"

namespace vellora {

class TQVPDFCatalog : public TQVCustomPDFType {
 public:
  explicit TQVPDFCatalog(TQVPDFObjectOwner* owner);
  ~TQVPDFCatalog() override;
  std::string_view ClassName() const override { return "TQVPDFCatalog"; }

  // Writes the owned objects that have content, then the /Catalog dictionary.
  void WriteObject() override;
  // Entries of a derived catalog, written inside the dictionary after the output intents.
  virtual void WriteEntries() {}
  // The /OpenAction entry; goToAction is the body of the action that the zoom mode asks for
  // (empty: none).
  virtual void WriteOpenAction(const std::string& goToAction);

  std::size_t AddPage(std::unique_ptr<TQVPDFPage> page) { return pages_->AddPage(std::move(page)); }

  TQVPDFPages& Pages() { return *pages_; }
  TQVPDFOutline& Outline() { return *outline_; }
  TQVPDFNames& Names() { return *names_; }
  TQVPDFNamedDest& NamedDestinations() { return *namedDestinations_; }
  TQVPDFStructTreeRoot& StructTreeRoot() { return *structTreeRoot_; }
  TQVXMPString& Metadata() { return *metadata_; }
  TQVPDFOutputIntents* OutputIntents() const { return outputIntents_.get(); }
  void SetOutputIntents(std::unique_ptr<TQVPDFOutputIntents> intents) {
    outputIntents_ = std::move(intents);
  }

 private:
  std::unique_ptr<TQVPDFPages> pages_;
  std::unique_ptr<TQVPDFOutline> outline_;
  std::unique_ptr<TQVPDFNames> names_;
  std::unique_ptr<TQVPDFNamedDest> namedDestinations_;
  std::unique_ptr<TQVPDFStructTreeRoot> structTreeRoot_;
  std::unique_ptr<TQVXMPString> metadata_;
  std::unique_ptr<TQVPDFOutputIntents> outputIntents_;
};

}  // namespace vellora
