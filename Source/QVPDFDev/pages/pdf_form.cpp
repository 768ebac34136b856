#include "QVPDFDev/pages/pdf_form.h"

#include <algorithm>

#include "QVPdfDC/number_format.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

void AppendNumber(std::string& out, long double value) {
  char digits[kMaxNumberChars];
  out.append(digits, FormatFixed(digits, value, 3));
}

}  // namespace

std::string FormDictionaryText(std::int32_t width, std::int32_t height, std::int32_t xResolution,
                               std::int32_t yResolution, std::string_view resources,
                               std::string_view boundingBox) {
  std::string text = "\n/Type/XObject/Subtype/Form/FormType 1\n/Matrix [";
  AppendNumber(text, xResolution / 72.0L);
  text += " 0 0 ";
  AppendNumber(text, yResolution / 72.0L);
  text += " 0 0]\n/BBox ";
  if (boundingBox.empty()) {
    // The drawing is in points: below 72 dpi the box in pixels would clip it.
    width = std::max(width, qvplatform::MulDiv(width, 72, xResolution));
    height = std::max(height, qvplatform::MulDiv(height, 72, yResolution));
    text += "[ 0 0 " + std::to_string(width) + " " + std::to_string(height) + "]";
  } else {
    text += boundingBox;
  }
  text += "\n/Resources ";
  text += resources;
  text += "\n";
  return text;
}

}  // namespace vellora
