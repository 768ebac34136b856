// Outline entries of the PDF device: filed into the catalog's outline with the page they
// lead to, the open page or else the last one.
#include <stdexcept>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/navigation/outline_node.h"

namespace vellora {

std::unique_ptr<TQVPDFOutlineNode> TQVPDFDevice::CreateOutlineNode(std::string_view title,
                                                                   TQVOutlineTarget target) {
  return TQVPDFOutlineNode::Create(this, options.text.outlineCharset, title, std::move(target));
}

std::int32_t TQVPDFDevice::AddOutline(std::unique_ptr<TQVPDFOutlineNode> node, std::int32_t kind,
                                      std::int32_t n) {
  if (!catalog_) throw std::runtime_error("Device is not open!");
  TQVPDFPage* page = currentPage_ ? currentPage_.get() : lastPage_;
  return catalog_->Outline().AddOutline(std::move(node), kind, n, page);
}

}  // namespace vellora
