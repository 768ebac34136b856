// A small whole document for the information, XMP and outline tests, written in the order
// the PDF device writes one: header, information object and XMP packet, pages, resources,
// page tree, catalog (with the outline), cross-reference table and a trailer with /Info and
// /ID. The owner is also the destination host that outline entries write through.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "QVPDFDev/document/pdf_catalog.h"
#include "QVPDFDev/metadata/info_dictionary.h"
#include "QVPDFDev/navigation/destination_writer.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "pdf_test_owner.h"

namespace vellora_test {

class DocumentOwner : public TestOwner, public vellora::TQVDestinationHost {
 public:
  std::int32_t DestinationXResolution() const override { return xResolution; }
  std::int32_t DestinationYResolution() const override { return yResolution; }
  double CurrentPageHeight() const override { return pageHeight; }
  const vellora::TQVLocalDestinations& LocalDestinations() const override { return locals; }
  void ReportMessage(std::int32_t code, std::string_view text) override {
    messages.emplace_back(code, std::string(text));
  }

  std::int32_t xResolution = 72;
  std::int32_t yResolution = 72;
  double pageHeight = 792;
  vellora::TQVLocalDestinations locals;
  std::vector<std::pair<std::int32_t, std::string>> messages;
};

inline constexpr std::array<std::uint8_t, 16> kFileId = {
    0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};

struct TestDocument {
  // Writes the header; pages are 612 x 792 points.
  explicit TestDocument(std::size_t pageCount = 1, vellora::TQVPDFAMode pdfa = vellora::folvioaOff);
  // The header's information step (the device's WriteHeader).
  void WriteInformation(const vellora::TQVDocumentTime& time);
  // Pages, resources, page tree, catalog, cross-reference table and trailer; the whole file.
  std::string Finish();

  DocumentOwner owner;
  vellora::TQVPDFResource resources{&owner};
  vellora::TQVPDFCatalog catalog{&owner};
  std::vector<std::unique_ptr<vellora::TQVPDFPage>> pendingPages;
  std::vector<vellora::TQVPDFPage*> pages;
  vellora::TQVDeviceInfoBlock info;
  std::unique_ptr<vellora::TQVPDFInfo> infoObject;
};

// A fixed start time: 2024-01-31 14:00:00 local at UTC+2.
vellora::TQVDocumentTime FixedTime();

// pdfinfo's fields ("Title", "CreationDate", custom keys, ...) with their values trimmed; the
// options are added to "-enc UTF-8". Empty when pdfinfo is missing or fails.
std::map<std::string, std::string> Pdfinfo(const std::string& pdf, const std::string& options);

// The XMP packet: the bytes between the first "<?xpacket begin" and "<?xpacket end="w"?>".
std::string XMPPacket(const std::string& pdf);

}  // namespace vellora_test
