#include "QVPDFDevEX/pdf_action.h"

#include "QVPDFDevEX/ascii_upper.h"

namespace vellora {

TQVPDFAction::TQVPDFAction(TQVPDFObjectOwner* owner, std::string_view name, std::u16string script)
    : TQVCustomPDFType(owner), name_(AsciiUpper(name)), script_(std::move(script)) {}

std::string TQVPDFAction::AsString() { return "/S /JavaScript\n/JS(" + EncodeText(script_) + ")"; }

}  // namespace vellora
