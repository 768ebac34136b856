// TQVPDFPrinter: the component as host programs hold it, with the JPEG conversion and the
// debug dump of page metafiles published as well.
#pragma once

#include "brenlow/custom_pdf_export.h"

namespace brenlow {

class TQVPDFPrinter : public TQVCustomPDFExport {
 public:
  std::string ClassName() const override { return "TQVPDFPrinter"; }
  using TQVCustomPDFExport::ConvertJPEGData;
  using TQVCustomPDFExport::DebugMetafilePath;
  using TQVCustomPDFExport::DebugMode;
  using TQVCustomPDFExport::SetConvertJPEGData;
  using TQVCustomPDFExport::SetDebugMetafilePath;
  using TQVCustomPDFExport::SetDebugMode;
};

}  // namespace brenlow
