// Number texts of the PDF object writers, on the engine's one number formatter.
#pragma once

#include <string>

namespace vellora {

// Fixed notation with exactly three decimals ("612.000", "0.500"); never an exponent, NaN and
// infinities as "0.000".
std::string FloatToText3(double value);

// "0" and "1" for exactly 0 and 1, an integral value as its digits ("2"), any other value with
// three decimals ("0.250"); NaN and infinities as "0".
std::string PDFNumberToStr(double value);

}  // namespace vellora
