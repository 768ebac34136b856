#include "QVPDFDev/navigation/pdf_link.h"

#include "QVPDFDev/navigation/destination_writer.h"
#include "QVPDFDev/navigation/pdf_named_dest.h"

namespace vellora {

std::string TQVPDFLink::AsString() {
  std::string text = dictionaryText_;
  if (destinationName_.empty()) return text;
  if (const std::string* global = globals_ ? globals_->Find(destinationName_) : nullptr) {
    text += "/Dest " + LiteralString(TQVPDFNamedDest::KeyBytes(*global));
    return text;
  }
  const TFolvioDestName* local =
      host_ ? host_->LocalDestinations().Find(destinationName_) : nullptr;
  if (local != nullptr && local->page != nullptr) {
    text += FormatDestination(*host_, PositionDestination(*local), false);
    return text;
  }
  if (!messageSent_ && host_ != nullptr) {
    messageSent_ = true;
    host_->ReportMessage(1, destinationName_);
  }
  return text;
}

void TQVPDFLink::WriteObject() {
  if (extra_ && !extra_->IsWritten()) extra_->WriteObject();
  TQVCustomPDFType::WriteObject();
}

}  // namespace vellora
