// The uncoloured tiling patterns that paint hatch brushes: a 100 by 100 cell with the hatch
// lines, scaled by the pattern matrix.
#pragma once

#include <cstdint>
#include <string>

#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {

class TQVPDFPatternStream : public TQVPDFStream {
 public:
  // Hatch styles: 0 horizontal, 1 vertical, 2 forward diagonal, 3 backward diagonal, 4 cross,
  // 5 (and any other) diagonal cross. A scale below 0.001 (or not a number) becomes 0.001.
  TQVPDFPatternStream(TQVPDFObjectOwner* owner, float scale, int hatchStyle);
  std::string_view ClassName() const override { return "TQVPDFPatternStream"; }
  void WriteStream() override;

  std::int32_t PatternType() const { return patternType_; }
  const std::string& Matrix() const { return matrix_; }

 private:
  std::int32_t patternType_ = 1;
  std::string matrix_;
};

}  // namespace vellora
