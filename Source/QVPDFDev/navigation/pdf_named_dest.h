// The document's global named destinations and the /Names dictionary that lists them. The
// link writer fills in the destinations and the writing; the catalog asks for their count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFPage;

// A position on a page: x and y in device units of the page, y measured from the top.
struct TFolvioDestName {
  TQVPDFPage* page = nullptr;
  std::int32_t x = 0;
  std::int32_t y = 0;
};

class TQVPDFNamedDest : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFNamedDest"; }

  std::size_t Count() const { return destinations_.size(); }

 protected:
  std::vector<std::pair<std::string, std::unique_ptr<TFolvioDestName>>> destinations_;
};

class TQVPDFNames : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFNames"; }
};

}  // namespace vellora
