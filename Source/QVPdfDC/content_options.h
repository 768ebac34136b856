// What the owner of a page-content device decides for the content it writes: CID fonts,
// the charset of CJK ideographs, PDF/A rules and the option bits. Set before drawing; the
// device only reads them.
#pragma once

#include <cstdint>

namespace vellora {

struct TQVContentOptions {
  std::uint8_t cidFontMode = 0;  // set by the PDF device: its TQVPDFCidFontMode (0: no CID fonts)
  std::int32_t cjkIdeographCharset = 136;  // the charset text output gives CJK ideographs
  bool pdfAConformance = false;            // set by the PDF device for PDF/A documents
  std::uint8_t optionBits = 0;             // TQVGenericPSDevice::kOption* bits

  void SetCidFontMode(std::uint8_t mode) { cidFontMode = mode; }
  void SetCjkIdeographCharset(std::int32_t charset) { cjkIdeographCharset = charset; }
};

}  // namespace vellora
