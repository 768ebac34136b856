// The information dictionary (the trailer's /Info) and the header step that writes it with
// the catalog's XMP packet.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "QVPDFDev/metadata/info_block.h"
#include "QVPDFDev/metadata/info_document_time.h"
#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVXMPString;

class TQVPDFInfo : public TQVCustomPDFType {
 public:
  // The block must outlive the object; the time is the document's start time.
  TQVPDFInfo(TQVPDFObjectOwner* owner, TQVDeviceInfoBlock* block, const TQVDocumentTime& time)
      : TQVCustomPDFType(owner), block_(block), time_(time) {}
  std::string_view ClassName() const override { return "TQVPDFInfo"; }

  // Sets the block's date texts (the start time), its producer name and the written copies
  // that the XMP builder reads.
  void Prepare();
  // The dictionary body: the eight standard entries, then the extra entries as further keys.
  // Prepares the block first; empty without an owner or a block.
  std::string AsString() override;

 private:
  TQVDeviceInfoBlock* block_;
  TQVDocumentTime time_;
};

// What the file header writes after the header lines: unless the block asks for no
// information object, prepares the /Info body, builds the XMP packet into metadata and
// writes it when it has properties, then writes the information object and returns it (for
// the trailer's /Info). Returns none when no information object is wanted.
std::unique_ptr<TQVPDFInfo> WriteDocumentInformation(TQVPDFObjectOwner* owner,
                                                     TQVDeviceInfoBlock& block,
                                                     TQVXMPString& metadata,
                                                     const TQVDocumentTime& time,
                                                     std::span<const std::uint8_t> fileId);

}  // namespace vellora
