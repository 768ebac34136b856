#include "QVPDFDevEX/pdf_action.h"

#include "QVPDFDevEX/ascii_upper.h"

namespace vellora {

TQVPDFAction::TQVPDFAction(TQVPDFObjectOwner* owner, std::string_view name, std::u16string script)
    : TQVCustomPDFType(owner), name_(name), script_(std::move(script)) {
  std::transform(name_.begin(), name_.end(), name_.begin(), [](char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  });
}

std::string TQVPDFAction::AsString() { return "/S /JavaScript\n/JS(" + EncodeText(script_) + ")"; }

}  // namespace vellora
