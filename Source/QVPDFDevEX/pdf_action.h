// A named JavaScript action of the document: "<< /S /JavaScript /JS (script) >>", the script
// a PDF text string of this object (UTF-16 when it needs more than ASCII, encrypted with the
// object's key). Fields and pages refer to it by number, open actions by name.
#pragma once

#include <string>
#include <string_view>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFAction : public TQVCustomPDFType {
 public:
  // name is kept upper case.
  TQVPDFAction(TQVPDFObjectOwner* owner, std::string_view name, std::u16string script);
  std::string_view ClassName() const override { return "TQVPDFAction"; }
  std::string AsString() override;

  const std::string& Name() const { return name_; }
  const std::u16string& Script() const { return script_; }

 private:
  std::string name_;
  std::u16string script_;
};

}  // namespace vellora
