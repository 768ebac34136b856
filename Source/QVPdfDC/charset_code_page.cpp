#include "QVPdfDC/charset_code_page.h"

#include "qvplatform/codepage.h"

namespace vellora {

// The table lives in the platform, shared with the font service.
std::uint32_t CharsetToCodePage(int charset) {
  if (charset < 0 || charset > 255) return 1252;
  return qvplatform::CodePageFromCharset(static_cast<qvplatform::BYTE>(charset));
}

}  // namespace vellora
