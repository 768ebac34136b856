#include "QVPDFDev/reader/imported_page.h"

#include <stdexcept>

#include "QVPDFDev/pages/pdf_page_tree.h"

namespace vellora {

TQVPDFImportedPage::TQVPDFImportedPage(TQVPDFObjectOwner* owner, std::int32_t number,
                                       std::uint16_t generation, std::string entries)
    : TQVPDFPage(owner), generation_(generation), entries_(std::move(entries)) {
  AdoptNumber(number, false);
}

std::string TQVPDFImportedPage::GetReference() {
  return std::to_string(ObjectNumber()) + " " + std::to_string(generation_) + " R";
}

void TQVPDFImportedPage::WriteObject() {
  if (Parent() == nullptr) throw std::runtime_error("Page has no parent!");
  if (IsWritten()) return;
  TQVPDFFileWriter& out = Out();
  out.XRef().Set(ObjectNumber(), TQVPDFXRefList::InUseEntry(out.Position(), generation_));
  AdoptNumber(ObjectNumber(), true);
  std::string text = std::to_string(ObjectNumber()) + " " + std::to_string(generation_) +
                     " obj\r<<\n" + entries_ + "/Parent " + Parent()->GetReference() + "\n";
  out.Write(text);
  out.WriteObjectEnd(false);
}

}  // namespace vellora
