// Construction of the PDF device, its part as the owner of the document's objects, the page
// check and the output's release.
#include "QVPDFDev/device/pdf_device.h"

#include <stdexcept>

#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/metadata/info_dictionary.h"
#include "QVPDFDev/objects/pdf_simple_objects.h"
#include "QVPDFDev/reader/input_import.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "QVPDFDev/security/encrypt_info.h"

namespace vellora {

TQVPDFDevice::TQVPDFDevice() : output_(std::make_unique<TQVPDFFileWriter>()) {
  options.info.producerName = std::string(kQVProducerName);
  fonts_.SetMessageReceiver(this);
  fonts_.SetSubsetReporter(this);
}

TQVPDFDevice::~TQVPDFDevice() {
  // The objects of an unfinished document refer to the device: they go first.
  FreeDocument();
}

std::unique_ptr<TQVPDFCatalog> TQVPDFDevice::CreateCatalog() {
  return std::make_unique<TQVPDFCatalog>(this);
}

bool TQVPDFDevice::WriteObjectEvent(TQVCustomPDFType& object) {
  return receivers.onWriteObject && receivers.onWriteObject(*this, object);
}

void TQVPDFDevice::MarkContentStateDirty() {
  // A new content stream starts from the default graphics state.
  transformDirty = true;
  textMatrixPending = true;
  outputStateDirty = true;
}

void TQVPDFDevice::CheckPageStarted() {
  if (!documentOpen_) throw std::runtime_error("Device is not open!");
  if (!pageOpen_) throw std::runtime_error("Page has not been started!");
}

void TQVPDFDevice::CloseOutputStream() {
  // A fresh writer: the old one's file is closed and its memory freed.
  auto fresh = std::make_unique<TQVPDFFileWriter>();
  std::swap(output_, fresh);
  hasOutput_ = false;
  fresh.reset();
}

}  // namespace vellora
