// The option types that the component and the engine share: enumerations go to the engine as
// their ordinal, sets as the integer in which value n is bit n; the ordinals are those of
// vellora.h.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "vellora/vellora.h"

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

// The names of the engine's drawing modes, at the header's bit numbers.
enum TQVDevMode {
  qvNoBITBLTFillRect = QVPDF_MODE_NO_BITBLT_FILL_RECT,
  qvNeverFill = QVPDF_MODE_NEVER_FILL,
  qvWhiteBrushIsTransparent = QVPDF_MODE_WHITE_BRUSH_IS_TRANSPARENT,
  qvExactTextPositioning = QVPDF_MODE_EXACT_TEXT_POSITIONING,
  qvNoTextRectClipping = QVPDF_MODE_NO_TEXT_RECT_CLIPPING,
  qvClipRectSupport = QVPDF_MODE_CLIP_RECT_SUPPORT,
  qvDontStackWorldModifications = QVPDF_MODE_DONT_STACK_WORLD_MODIFICATIONS,
  qvDontAdjustTextSpacing = QVPDF_MODE_DONT_ADJUST_TEXT_SPACING,
  qvDontCropBitmaps = QVPDF_MODE_DONT_CROP_BITMAPS,
  qvAllowTransparentBit = QVPDF_MODE_ALLOW_TRANSPARENT_BIT,
  qvAlwaysHighResPDF = QVPDF_MODE_ALWAYS_HIGH_RES,
  qvNeverHighResPDF = QVPDF_MODE_NEVER_HIGH_RES,
  qvUseFontWidthArgument = QVPDF_MODE_USE_FONT_WIDTH_ARGUMENT,
  qvNoTextScaling = QVPDF_MODE_NO_TEXT_SCALING,
  qvMetaIsDOTNETEMF = QVPDF_MODE_META_IS_DOTNET_EMF,
  qvInputIsWMFData = QVPDF_MODE_INPUT_IS_WMF_DATA,
  qvHatchBrushIsSolid = QVPDF_MODE_HATCH_BRUSH_IS_SOLID,
  qvTestIfWeHaveCID = QVPDF_MODE_TEST_IF_WE_HAVE_CID,
  qvColorsAsCMYK = QVPDF_MODE_COLORS_AS_CMYK,
  qvToUnicodeForSimpleFonts = QVPDF_MODE_TOUNICODE_FOR_SIMPLE_FONTS,
  qvNoAutoStructureTags = QVPDF_MODE_NO_AUTO_STRUCTURE_TAGS,
  qvGlobalDestinations = QVPDF_MODE_GLOBAL_DESTINATIONS
};
using TQVDevModes = TSet<TQVDevMode>;

enum TFolvioOption {
  qvCreateAutoLinks = QVPDF_OPTION_AUTO_LINKS,
  qvHideToolbar = QVPDF_OPTION_HIDE_TOOLBAR,
  qvHideMenuBar = QVPDF_OPTION_HIDE_MENU_BAR,
  qvHideWindowUI = QVPDF_OPTION_HIDE_WINDOW_UI
};
using TFolvioOptions = TSet<TFolvioOption, std::uint8_t>;

enum TQVPDFFontMode {
  qvUseTrueTypeFonts = QVPDF_FONT_MODE_USE_TRUETYPE,
  qvEmbedTrueTypeFonts = QVPDF_FONT_MODE_EMBED_TRUETYPE,
  qvEmbedSymbolTrueTypeFonts = QVPDF_FONT_MODE_EMBED_SYMBOL_TRUETYPE,
  qvUseBase14Type1Fonts = QVPDF_FONT_MODE_USE_BASE14,
  qvEmbedSubsetTrueType_Charsets = QVPDF_FONT_MODE_SUBSET_CHARSETS,
  qvEmbedSubsetTrueType_UsedChar = QVPDF_FONT_MODE_SUBSET_USED_CHARS
};

enum TQVCompressStreamMethod {
  qvCompressNone = QVPDF_COMPRESS_NONE,
  qvCompressFlate = QVPDF_COMPRESS_FLATE,
  qvCompressRunlength = QVPDF_COMPRESS_RUNLENGTH,
  qvCompressFastFlate = QVPDF_COMPRESS_FAST_FLATE
};

enum TQVEncodeStreamMethod {
  qvEncodeNone = QVPDF_ENCODE_NONE,
  qvASCII85Encode = QVPDF_ENCODE_ASCII85,
  qvASCIIHexEncode = QVPDF_ENCODE_ASCIIHEX
};

enum TQVPDFPageModes {
  pwUseNone = QVPDF_PAGE_MODE_NONE,
  qvUseOutlines = QVPDF_PAGE_MODE_OUTLINES,
  qvUseThumbs = QVPDF_PAGE_MODE_THUMBS,
  qvFullScreen = QVPDF_PAGE_MODE_FULL_SCREEN
};

enum TQVPDFZoomModes {
  pwZoomDefault = QVPDF_ZOOM_DEFAULT,
  pwZoomFitPage = QVPDF_ZOOM_FIT_PAGE,
  pwZoomFitVertical = QVPDF_ZOOM_FIT_VERTICAL,
  pwZoomFitHorizontal = QVPDF_ZOOM_FIT_HORIZONTAL
};

enum TQVPDFInputfileMode {
  pwIgnoreInput = QVPDF_INPUT_IGNORE,
  pwAppendToInput = QVPDF_INPUT_APPEND,
  qvConvertInputToWatermark = QVPDF_INPUT_CONVERT_TO_WATERMARK,
  qvUseInputAsWatermark = QVPDF_INPUT_USE_AS_WATERMARK
};

enum TQVPDFReadMode {
  folvioStandard = QVPDF_READ_STANDARD,
  folvioRetrieveASCII,
  folvioRetrieveEMF,
  folvioRetrieveBMP
};

enum TFolvioEncryptionOption {
  qvEncryptFile = QVPDF_ENCRYPT_FILE,
  qvEnablePrinting = QVPDF_ENABLE_PRINTING,
  qvEnableChanging = QVPDF_ENABLE_CHANGING,
  qvEnableCopying = QVPDF_ENABLE_COPYING,
  qvEnableForms = QVPDF_ENABLE_FORMS,
  qvLowQualityPrintOnly = QVPDF_LOW_QUALITY_PRINT_ONLY,
  qvEnableDocAssembly = QVPDF_ENABLE_DOC_ASSEMBLY,
  qvEnableFormFieldFillIn = QVPDF_ENABLE_FORM_FIELD_FILL_IN,
  qvEnableAccessibilityOp = QVPDF_ENABLE_ACCESSIBILITY
};
using TFolvioEncryption = TSet<TFolvioEncryptionOption, std::uint16_t>;

enum TFolvioSecurity { qvp40bit = QVPDF_SECURITY_40BIT, qvp128bit = QVPDF_SECURITY_128BIT };

enum TQVPDFCidFontMode {
  qvCIDOff = QVPDF_CID_OFF,
  qvCIDUnicode = QVPDF_CID_UNICODE,
  qvCIDSymbolOnly = QVPDF_CID_SYMBOL_ONLY
};

enum TQVPDFAMode { folvioaOff = QVPDF_PDFA_OFF, folvioaLevelA = QVPDF_PDFA_LEVEL_A };

enum TQVJPEGQuality {
  qvNoJPEG = QVPDF_JPEG_OFF,
  qvJPEG_10 = QVPDF_JPEG_10,
  qvJPEG_25 = QVPDF_JPEG_25,
  qvJPEG_50 = QVPDF_JPEG_50,
  qvJPEG_75 = QVPDF_JPEG_75,
  qvJPEG_100 = QVPDF_JPEG_100
};

enum TQVExtraMessage { qvOnEmbedFonts };
using TQVExtraMessages = TSet<TQVExtraMessage, std::uint8_t>;

// The reference device of the page canvas.
enum TQVPDFCanvasReference { qvrefScreen, qvrefPrinter };

}  // namespace brenlow
