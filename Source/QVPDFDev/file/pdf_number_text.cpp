#include "QVPDFDev/file/pdf_number_text.h"

#include <cmath>

#include "QVPdfDC/number_format.h"

namespace vellora {

std::string FloatToText3(double value) {
  char buffer[kMaxNumberChars];
  return std::string(buffer, FormatFixedPadded(buffer, value, 3));
}

std::string PDFNumberToStr(double value) {
  char buffer[kMaxNumberChars];
  if (!std::isfinite(value)) return "0";
  if (value == std::trunc(value)) return std::string(buffer, FormatFixed(buffer, value, 0));
  return std::string(buffer, FormatFixedPadded(buffer, value, 3));
}

}  // namespace vellora
