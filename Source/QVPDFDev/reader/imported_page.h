// A page of an input PDF kept in the output's page tree (appending): it keeps its object number
// and generation, and is written again with its own entries, the entries it inherited from
// the input's nodes and its new /Parent.
#pragma once

#include <cstdint>
#include <string>

#include "QVPDFDev/pages/pdf_page.h"

namespace vellora {

class TQVPDFImportedPage : public TQVPDFPage {
 public:
  // entries: the dictionary's entries without "<<", ">>" and /Parent.
  TQVPDFImportedPage(TQVPDFObjectOwner* owner, std::int32_t number, std::uint16_t generation,
                     std::string entries);
  std::string_view ClassName() const override { return "TQVPDFImportedPage"; }
  std::string GetReference() override;
  // Raises "Page has no parent!" outside the page tree.
  void WriteObject() override;

 private:
  std::uint16_t generation_;
  std::string entries_;
};

}  // namespace vellora
