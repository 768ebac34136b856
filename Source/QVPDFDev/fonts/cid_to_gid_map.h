// The /CIDToGIDMap stream of a CID font: two big-endian bytes per CID, the glyph index. Its
// data is filled by TQVPDFWArray::WriteWidths (or from the font file's new numbers) and kept
// until the stream is written.
#pragma once

#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {

class TQVCIDToGID : public TQVPDFStream {
 public:
  explicit TQVCIDToGID(TQVPDFObjectOwner* owner) : TQVPDFStream(owner) { SetData({}); }
  std::string_view ClassName() const override { return "TQVCIDToGID"; }
  // The filled data stays.
  void BeginData() override {}
};

}  // namespace vellora
