// The option types that the component and the engine share: enumerations go to the engine as
// their ordinal, sets as the integer in which value n is bit n (the numbers of vellora.h).
#pragma once

#include <cstdint>
#include <initializer_list>

namespace brenlow {

// A set of enumeration values held as bits.
template <class Enum, class Bits = std::uint32_t>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<Enum> values) {
    for (Enum v : values) Include(v);
  }
  static constexpr TSet FromBits(Bits bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr bool Contains(Enum v) const { return (bits_ & Bit(v)) != 0; }
  constexpr TSet& Include(Enum v) {
    bits_ = static_cast<Bits>(bits_ | Bit(v));
    return *this;
  }
  constexpr TSet& Exclude(Enum v) {
    bits_ = static_cast<Bits>(bits_ & ~Bit(v));
    return *this;
  }
  constexpr Bits Value() const { return bits_; }
  constexpr bool Empty() const { return bits_ == 0; }
  friend constexpr bool operator==(TSet a, TSet b) { return a.bits_ == b.bits_; }

 private:
  static constexpr Bits Bit(Enum v) { return static_cast<Bits>(Bits{1} << static_cast<int>(v)); }
  Bits bits_ = 0;
};

enum TQVDevMode {
  qvNoBitBltFillRect = 0,
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
  qvMetaIsDotNetEmf = 14,
  qvInputIsWmfData = 15,
  qvHatchBrushIsSolid = 16,
  qvTestIfWeHaveCID = 17,
  qvColorsAsCMYK = 22,
  qvToUnicodeForSimpleFonts = 23,
  qvNoAutoStructureTags = 26,
  qvGlobalDestinations = 31
};
using TQVDevModes = TSet<TQVDevMode>;

enum TFolvioOption { qvCreateAutoLinks, qvHideToolbar, qvHideMenuBar, qvHideWindowUI };
using TFolvioOptions = TSet<TFolvioOption, std::uint8_t>;

enum TQVPDFFontMode {
  qvUseTrueTypeFonts,
  qvEmbedTrueTypeFonts,
  qvEmbedSymbolTrueTypeFonts,
  qvUseBase14Type1Fonts,
  qvEmbedSubsetTrueType_Charsets,
  qvEmbedSubsetTrueType_UsedChar
};

enum TQVCompressStreamMethod {
  qvCompressNone,
  qvCompressFlate,
  qvCompressRunlength,
  qvCompressFastFlate
};

enum TQVEncodeStreamMethod { qvEncodeNone, qvASCII85Encode, qvASCIIHexEncode };

enum TQVPDFPageModes { pwUseNone, qvUseOutlines, qvUseThumbs, qvFullScreen };

enum TQVPDFZoomModes { pwZoomDefault, pwZoomFitPage, pwZoomFitVertical, pwZoomFitHorizontal };

enum TQVPDFInputfileMode {
  pwIgnoreInput,
  pwAppendToInput,
  qvConvertInputToWatermark,
  qvUseInputAsWatermark
};

enum TQVPDFReadMode { folvioStandard, folvioRetrieveASCII, folvioRetrieveEMF, folvioRetrieveBMP };

enum TFolvioEncryptionOption {
  qvEncryptFile,
  qvEnablePrinting,
  qvEnableChanging,
  qvEnableCopying,
  qvEnableForms,
  qvLowQualityPrintOnly,
  qvEnableDocAssembly,
  qvEnableFormFieldFillIn,
  qvEnableAccessibilityOp
};
using TFolvioEncryption = TSet<TFolvioEncryptionOption, std::uint16_t>;

enum TFolvioSecurity { qvp40bit, qvp128bit };

enum TQVPDFCidFontMode { qvCIDOff, qvCIDUnicode, qvCIDSymbolOnly };

enum TQVPDFAMode { folvioaOff, folvioaLevelA };

enum TQVJPEGQuality { qvNoJPEG, qvJPEG_10, qvJPEG_25, qvJPEG_50, qvJPEG_75, qvJPEG_100 };

enum TQVExtraMessage { qvOnEmbedFonts };
using TQVExtraMessages = TSet<TQVExtraMessage, std::uint8_t>;

// The reference device of the page canvas.
enum TQVPDFCanvasReference { qvrefScreen, qvrefPrinter };

}  // namespace brenlow
