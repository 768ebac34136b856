// The XMP packet of a document, built from its information block: the XMP basic, Dublin
// Core, pdfx (the extra entries), media management and PDF schemas, and in PDF/A mode the
// PDF/A identification and the extension schema that declares every property PDF/A does not
// predefine.
#pragma once

#include <cstdint>
#include <span>

#include "QVPDFDev/metadata/info_block.h"
#include "QVPDFDev/metadata/info_document_time.h"
#include "QVPDFDev/metadata/xmp_string.h"

namespace vellora {

// Fills xmp from the block as TQVPDFInfo::Prepare left it (its written copies and creation
// date text), the start time and the 16-byte file identifier, and converts the packet to
// UTF-8. The PDF/A mode comes from the owner's settings.
void BuildXMP(TQVXMPString& xmp, const TQVDeviceInfoBlock& block, const TQVDocumentTime& time,
              std::span<const std::uint8_t> fileId);

}  // namespace vellora
