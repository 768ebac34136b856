// Named JavaScript actions and the document's open actions.
#include "QVPDFDevEX/pdf_action.h"
#include "QVPDFDevEX/pdf_catalog_ex.h"
#include "QVPDFDevEX/pdf_device_ex.h"

namespace vellora {

std::int32_t TQVPDFDeviceEX::AddJavaScriptAction(std::string_view name, std::u16string script) {
  // PDF/A forbids JavaScript.
  if (!DocumentOpen() || options.writer.pdfaMode != folvioaOff) return -1;
  actions_.push_back(std::make_unique<TQVPDFAction>(this, name, std::move(script)));
  return actions_.back()->GetObjectNumber();
}

bool TQVPDFDeviceEX::AddOpenAction(std::string_view eventName, std::string_view actionName) {
  if (!DocumentOpen()) return false;
  if (eventName != "OPENACTION") return true;
  std::vector<TQVPDFAction*>& open = CatalogEx().OpenActions();
  for (const auto& action : actions_)
    if (action->Name() == actionName) open.push_back(action.get());
  return true;
}

}  // namespace vellora
