// The XMP metadata stream of the catalog. The metadata writer fills the packet; the catalog
// lists it under /Metadata once a property has been added.
#pragma once

#include "pdf_stream.h"

namespace vellora {

class TQVXMPString : public TQVPDFStream {
 public:
  explicit TQVXMPString(TQVPDFObjectOwner* owner) : TQVPDFStream(owner) {}
  std::string_view ClassName() const override { return "TQVXMPString"; }

  bool HasProperties() const { return propertyCount_ > 0; }

 protected:
  int propertyCount_ = 0;
};

}  // namespace vellora
