// The tagged-PDF structure tree that the catalog owns, and its elements, which pages list as
// the owners of their marked content. The structure writer fills both in; the catalog asks
// for the number of top-level elements.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFStructElement : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFStructElement"; }
};

class TQVPDFStructTreeRoot : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFStructTreeRoot"; }

  std::size_t TopLevelCount() const { return kids_.size(); }

 protected:
  std::vector<std::unique_ptr<TQVPDFStructElement>> kids_;
};

}  // namespace vellora
