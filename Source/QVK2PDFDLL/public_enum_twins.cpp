// The public header's enumerations are the hosts' names for the engine's own values: each
// value is tied here to its internal twin, so that neither side can drift from the other.
#include "QVGenDC/device_modes.h"
#include "QVPDFDev/device/pdf_device_options.h"
#include "QVPDFDev/file/pdf_writer_settings.h"
#include "QVPDFDev/fonts/font_settings.h"
#include "vellora/vellora.h"

namespace vellora {
namespace {

// Compared as numbers: each side is an enumeration of its own.
template <typename Public, typename Internal>
constexpr bool Same(Public publicValue, Internal internalValue) {
  return static_cast<long long>(publicValue) == static_cast<long long>(internalValue);
}

// Stream filters (integer keys 1 and 2).
static_assert(Same(QVPDF_ENCODE_NONE, qvEncodeNone));
static_assert(Same(QVPDF_ENCODE_ASCII85, qvASCII85Encode));
static_assert(Same(QVPDF_ENCODE_ASCIIHEX, qvASCIIHexEncode));
static_assert(Same(QVPDF_COMPRESS_NONE, qvCompressNone));
static_assert(Same(QVPDF_COMPRESS_FLATE, qvCompressFlate));
static_assert(Same(QVPDF_COMPRESS_RUNLENGTH, qvCompressRunlength));
static_assert(Same(QVPDF_COMPRESS_FAST_FLATE, qvCompressFastFlate));

// Viewer settings (integer keys 3, 14 and 27).
static_assert(Same(QVPDF_PAGE_MODE_NONE, pwUseNone));
static_assert(Same(QVPDF_PAGE_MODE_OUTLINES, qvUseOutlines));
static_assert(Same(QVPDF_PAGE_MODE_THUMBS, qvUseThumbs));
static_assert(Same(QVPDF_PAGE_MODE_FULL_SCREEN, qvFullScreen));
static_assert(Same(QVPDF_ZOOM_DEFAULT, pwZoomDefault));
static_assert(Same(QVPDF_ZOOM_FIT_PAGE, pwZoomFitPage));
static_assert(Same(QVPDF_ZOOM_FIT_VERTICAL, pwZoomFitVertical));
static_assert(Same(QVPDF_ZOOM_FIT_HORIZONTAL, pwZoomFitHorizontal));
static_assert(Same(QVPDF_OPTION_AUTO_LINKS, qvAutoLinks));
static_assert(Same(QVPDF_OPTION_HIDE_TOOLBAR, qvHideToolbar));
static_assert(Same(QVPDF_OPTION_HIDE_MENU_BAR, qvHideMenuBar));
static_assert(Same(QVPDF_OPTION_HIDE_WINDOW_UI, qvHideWindowUI));

// Fonts (integer keys 4 and 51).
static_assert(Same(QVPDF_FONT_MODE_USE_TRUETYPE, qvUseTrueTypeFonts));
static_assert(Same(QVPDF_FONT_MODE_EMBED_TRUETYPE, qvEmbedTrueTypeFonts));
static_assert(Same(QVPDF_FONT_MODE_EMBED_SYMBOL_TRUETYPE, qvEmbedSymbolTrueTypeFonts));
static_assert(Same(QVPDF_FONT_MODE_USE_BASE14, qvUseBase14Type1Fonts));
static_assert(Same(QVPDF_FONT_MODE_SUBSET_CHARSETS, qvEmbedSubsetTrueType_Charsets));
static_assert(Same(QVPDF_FONT_MODE_SUBSET_USED_CHARS, qvEmbedSubsetTrueType_UsedChar));
static_assert(Same(QVPDF_CID_OFF, qvCIDOff));
static_assert(Same(QVPDF_CID_UNICODE, qvCIDUnicode));
static_assert(Same(QVPDF_CID_SYMBOL_ONLY, qvCIDSymbolOnly));

// Encryption and security (integer keys 7 and 15): the public value is the bit number.
static_assert(Same(1u << QVPDF_ENCRYPT_FILE, kEncryptFile));
static_assert(Same(QVPDF_SECURITY_40BIT, kSecurity40Bit));
static_assert(Same(QVPDF_SECURITY_128BIT, kSecurity128Bit));

// JPEG settings (integer key 12): each name says the quality its value selects.
static_assert(Same(QVPDF_JPEG_OFF, 0));
static_assert(Same(kJpegSettingQualities[QVPDF_JPEG_10 - 1], 10));
static_assert(Same(kJpegSettingQualities[QVPDF_JPEG_25 - 1], 25));
static_assert(Same(kJpegSettingQualities[QVPDF_JPEG_50 - 1], 50));
static_assert(Same(kJpegSettingQualities[QVPDF_JPEG_75 - 1], 75));
static_assert(Same(kJpegSettingQualities[QVPDF_JPEG_100 - 1], 100));

// PDF/A (integer key 50).
static_assert(Same(QVPDF_PDFA_OFF, folvioaOff));
static_assert(Same(QVPDF_PDFA_LEVEL_A, folvioaLevelA));
static_assert(Same(QVPDF_PDFA_LEVEL_B, folvioaLevelB));

// Drawing modes (integer key 26): the public value is the bit number of the mode set.
static_assert(Same(QVPDF_MODE_NO_BITBLT_FILL_RECT, qvNoBITBLTFillRect));
static_assert(Same(QVPDF_MODE_NEVER_FILL, qvNeverFill));
static_assert(Same(QVPDF_MODE_WHITE_BRUSH_IS_TRANSPARENT, qvWhiteBrushIsTransparent));
static_assert(Same(QVPDF_MODE_EXACT_TEXT_POSITIONING, qvExactTextPositioning));
static_assert(Same(QVPDF_MODE_NO_TEXT_RECT_CLIPPING, qvNoTextRectClipping));
static_assert(Same(QVPDF_MODE_CLIP_RECT_SUPPORT, qvClipRectSupport));
static_assert(Same(QVPDF_MODE_DONT_STACK_WORLD_MODIFICATIONS, qvDontStackWorldModifications));
static_assert(Same(QVPDF_MODE_DONT_ADJUST_TEXT_SPACING, qvDontAdjustTextSpacing));
static_assert(Same(QVPDF_MODE_DONT_CROP_BITMAPS, qvDontCropBitmaps));
static_assert(Same(QVPDF_MODE_ALLOW_TRANSPARENT_BIT, qvAllowTransparentBit));
static_assert(Same(QVPDF_MODE_ALWAYS_HIGH_RES, qvAlwaysHighResPDF));
static_assert(Same(QVPDF_MODE_NEVER_HIGH_RES, qvNeverHighResPDF));
static_assert(Same(QVPDF_MODE_USE_FONT_WIDTH_ARGUMENT, qvUseFontWidthArgument));
static_assert(Same(QVPDF_MODE_NO_TEXT_SCALING, qvNoTextScaling));
static_assert(Same(QVPDF_MODE_META_IS_DOTNET_EMF, qvMetaIsDOTNETEMF));
static_assert(Same(QVPDF_MODE_INPUT_IS_WMF_DATA, qvInputIsWMFData));
static_assert(Same(QVPDF_MODE_HATCH_BRUSH_IS_SOLID, qvHatchBrushIsSolid));
static_assert(Same(QVPDF_MODE_TEST_IF_WE_HAVE_CID, qvTestIfWeHaveCID));
static_assert(Same(QVPDF_MODE_COLORS_AS_CMYK, kModeColorsAsCMYK));
static_assert(Same(QVPDF_MODE_TOUNICODE_FOR_SIMPLE_FONTS, kModeToUnicodeForSimpleFonts));
static_assert(Same(QVPDF_MODE_NO_AUTO_STRUCTURE_TAGS, kModeNoAutoStructureTags));
static_assert(Same(QVPDF_MODE_GLOBAL_DESTINATIONS, kModeGlobalDestinations));

}  // namespace
}  // namespace vellora
