#include "QVPDFDev/resources/pdf_pattern_stream.h"

#include <algorithm>
#include <cmath>

#include "QVPDFDev/file/pdf_number_text.h"

namespace vellora {
namespace {

constexpr float kMinScale = 0.001f;

std::string ScaleMatrix(const std::string& s) { return "[" + s + " 0.0 0.0 " + s + " 0.0 0.0]"; }

}  // namespace

TQVPDFPatternStream::TQVPDFPatternStream(TQVPDFObjectOwner* owner, float scale, int hatchStyle)
    : TQVPDFStream(owner) {
  if (!(scale >= kMinScale)) scale = kMinScale;  // also NaN
  BeginData();
  switch (hatchStyle) {
    case 0:
      WriteString("1 w 0 50 m 100 50 l S ");
      matrix_ = "[0.3 0.0 0.0 0.3 0.0 0.0]";
      break;
    case 1:
      WriteString("1 w 0 0 m 0 100 l S ");
      matrix_ = ScaleMatrix(PDFNumberToStr(scale));
      break;
    case 2:
      WriteString("1 w 0 0 m 100 100 l S ");
      matrix_ = ScaleMatrix(PDFNumberToStr(scale));
      break;
    case 3:
      WriteString("1 w 100 0 m 0 100 l S ");
      matrix_ = ScaleMatrix(PDFNumberToStr(scale));
      break;
    case 4:
      WriteString("1 w 0 50 m 100 50 l 50 0 m 50 100 l S");
      matrix_ = ScaleMatrix(PDFNumberToStr(scale));
      break;
    default:
      // The line width is set before the path: "w" is not allowed inside one.
      WriteString("1 w 0 0 m 100 100 l 100 0 m 0 100 l S ");
      // A fifth of the scale, never so small that three decimals make it 0 (a singular matrix).
      matrix_ = ScaleMatrix(PDFNumberToStr(std::max(scale / 5, kMinScale)));
      break;
  }
}

void TQVPDFPatternStream::WriteStream() {
  SetExtraEntries("/Type/Pattern/PatternType " + std::to_string(patternType_) +
                  "/Resources << >>/TilingType 1/PaintType 2"
                  "/BBox [0 0 100 100]/XStep 100/YStep 100/Matrix " +
                  matrix_);
  TQVPDFStream::WriteStream();
}

}  // namespace vellora
