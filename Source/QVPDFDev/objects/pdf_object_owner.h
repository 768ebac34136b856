// What a PDF object needs of the device that owns it. TQVPDFDevice implements it; tests use
// a small owner of their own.
#pragma once

#include <string>

#include "QVPDFDev/file/pdf_file_writer.h"
#include "QVPDFDev/file/pdf_writer_settings.h"

namespace vellora {

class TQVCustomPDFType;
class TQVPDFResource;

class TQVPDFObjectOwner {
 public:
  // The document output: output helpers, cross-reference list, object frame, cipher.
  virtual TQVPDFFileWriter& Output() = 0;
  virtual const TQVPDFWriterSettings& WriterSettings() const = 0;
  // The document's one shared resource dictionary (none outside a document).
  virtual TQVPDFResource* SharedResources() = 0;

  // The object-writer event: return true when the object was written by it.
  virtual bool WriteObjectEvent(TQVCustomPDFType& object) {
    (void)object;
    return false;
  }
  // A page-content stream begins: the written transform and text matrix are no longer known.
  virtual void MarkContentStateDirty() {}
  // The document language for the catalog's /Lang ("_Lang" of the information block).
  virtual std::string DocumentLanguage() const { return {}; }

 protected:
  ~TQVPDFObjectOwner() = default;
};

}  // namespace vellora
