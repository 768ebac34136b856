#include "QVPDFDevEX/pdf_acro_form.h"

#include "QVPDFDev/file/pdf_file_writer.h"

namespace vellora {
namespace {

constexpr const char* kFontResources =
    "<< /ProcSet [ /PDF/Text ]\r/Font << "
    "/Helv <</Type/Font/Name/Helv/Subtype/Type1/BaseFont/Helvetica/Encoding/WinAnsiEncoding>>\r"
    "/Cour <</Type/Font/Name/Cour/Subtype/Type1/BaseFont/Courier/Encoding/WinAnsiEncoding>> \r"
    "/Times <</Type/Font/Name/Times/Subtype/Type1/BaseFont/Times-Roman/Encoding/"
    "WinAnsiEncoding>> \r"
    "/ZaDb <</Type/Font/Name/ZaDb/Subtype/Type1/BaseFont/ZapfDingbats>> >> >>";

}  // namespace

bool IsFormFontName(std::string_view name) {
  return name == "Helv" || name == "Times" || name == "Cour" || name == "ZaDb";
}

TFolvioAcroForm::TFolvioAcroForm(TQVPDFObjectOwner* owner)
    : TQVCustomPDFType(owner),
      fontResources_(std::make_unique<TQVPDFDictionaryText>(owner, kFontResources)) {}

void TFolvioAcroForm::WriteObject() {
  if (!fontResources_->IsWritten()) fontResources_->WriteObject();
  if (Owner()->WriteObjectEvent(*this)) return;
  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  if (fields_.empty())
    out.WriteLn("/Fields [ ]");
  else
    WriteObjectArray("Fields", fields_);
  out.WriteLn("/DR " + fontResources_->GetReference());
  out.WriteLn("/DA " + LiteralString("/Helv 0 Tf 0 g"));
  out.WriteObjectEnd(false);
}

}  // namespace vellora
