// The document outline that the catalog owns and lists under /Outlines. The outline writer
// fills in the entries and the writing; the catalog only asks whether there is a first entry.
#pragma once

#include "pdf_object.h"

namespace vellora {

class TQVPDFOutlineNode;

class TQVPDFOutline : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFOutline"; }

  bool HasFirstNode() const { return First != nullptr; }

  TQVPDFOutlineNode* Current = nullptr;  // the entry most recently inserted
  TQVPDFOutlineNode* First = nullptr;    // first top-level entry
};

}  // namespace vellora
