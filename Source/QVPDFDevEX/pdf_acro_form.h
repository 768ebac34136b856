// The document's interactive form: the /AcroForm dictionary with its fields (the widget
// annotations, which the device's annotation list owns and writes) and the resource
// dictionary of the form's own fonts, which appearances and /DR refer to.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

// The four fonts every field appearance may name: "Helv", "Cour", "Times" and "ZaDb".
bool IsFormFontName(std::string_view name);

// A dictionary written as it stands, as a raw object.
class TQVPDFDictionaryText : public TQVCustomPDFType {
 public:
  TQVPDFDictionaryText(TQVPDFObjectOwner* owner, std::string text)
      : TQVCustomPDFType(owner), text_(std::move(text)) {
    SetRaw(true);
  }
  std::string_view ClassName() const override { return "TQVPDFDictionaryText"; }
  std::string AsString() override { return text_; }

 private:
  std::string text_;
};

class TFolvioAcroForm : public TQVCustomPDFType {
 public:
  explicit TFolvioAcroForm(TQVPDFObjectOwner* owner);
  std::string_view ClassName() const override { return "TFolvioAcroForm"; }
  // The font resources first, then "/Fields [...] /DR ... /DA (/Helv 0 Tf 0 g)".
  void WriteObject() override;

  // Listed, not owned.
  void AddField(TQVCustomPDFType* widget) { fields_.push_back(widget); }
  const std::vector<TQVCustomPDFType*>& Fields() const { return fields_; }
  TQVPDFDictionaryText& FontResources() { return *fontResources_; }

 private:
  std::vector<TQVCustomPDFType*> fields_;
  std::unique_ptr<TQVPDFDictionaryText> fontResources_;
};

}  // namespace vellora
