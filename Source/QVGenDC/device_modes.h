// The drawing modes of a device: a 32-bit set in which value n is bit n. The engine writes the
// whole set at once from its integer property; the named values are the set's own.
#pragma once

#include <cstdint>

namespace vellora {

enum TQVDevMode : int {
  qvNoBITBLTFillRect = 0,
  qvNeverFill = 1,
  qvWhiteBrushIsTransparent = 2,
  qvExactTextPositioning = 3,
  qvNoTextRectClipping = 4,
  qvClipRectSupport = 5,
  qvDontStackWorldModifications = 6,
  qvDontAdjustTextSpacing = 7,
  qvDontCropBitmaps = 8,
  qvAllowTransparentBit = 9,
  qvAlwaysHighResPDF = 10,
  qvNeverHighResPDF = 11,
  qvUseFontWidthArgument = 12,
  qvNoTextScaling = 13,
  qvMetaIsDOTNETEMF = 14,
  qvInputIsWMFData = 15,
  qvHatchBrushIsSolid = 16,
  qvTestIfWeHaveCID = 17,
};

// Mode values without a name, known by number only.
constexpr int kModeColorsAsCMYK = 22;
constexpr int kModeToUnicodeForSimpleFonts = 23;
constexpr int kModeNoAutoStructureTags = 26;
constexpr int kModeGenericDefault = 27;
constexpr int kModeGlobalDestinations = 31;

class TQVDevModes {
 public:
  constexpr TQVDevModes() = default;
  constexpr explicit TQVDevModes(std::uint32_t bits) : bits_(bits) {}

  constexpr bool Has(int value) const { return value >= 0 && value < 32 && (bits_ >> value) & 1u; }
  constexpr void Include(int value) {
    if (value >= 0 && value < 32) bits_ |= 1u << value;
  }
  constexpr void Exclude(int value) {
    if (value >= 0 && value < 32) bits_ &= ~(1u << value);
  }
  constexpr std::uint32_t Bits() const { return bits_; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr bool operator==(const TQVDevModes&) const = default;

 private:
  std::uint32_t bits_ = 0;
};

}  // namespace vellora
