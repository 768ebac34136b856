// Metrics of the font selected into a device context, computed from the face's own tables
// at the realised size (logical units = pixels on the 96 dpi screen context).
//
// Size of a realised font: a negative lfHeight is the em size in pixels, a positive one the
// cell height (usWinAscent + usWinDescent), 0 the default cell height of 16 pixels (the
// height of the stock system font on a 96 dpi screen). A non-zero lfWidth stretches the font
// horizontally so that its average character width becomes |lfWidth|.
// Scaled values are rounded to the nearest integer, halves away from zero.
#pragma once

#include "qvplatform/font_types.h"

namespace qvplatform {

template <class Char>
struct TEXTMETRICT {
  LONG tmHeight = 0;           // ascent + descent
  LONG tmAscent = 0;           // usWinAscent (hhea ascender when the OS/2 values are 0)
  LONG tmDescent = 0;          // usWinDescent (-hhea descender likewise)
  LONG tmInternalLeading = 0;  // tmHeight - em size
  LONG tmExternalLeading = 0;  // max(0, hhea lineGap - (win height - hhea height))
  LONG tmAveCharWidth = 0;     // OS/2 xAvgCharWidth
  LONG tmMaxCharWidth = 0;     // hhea advanceWidthMax
  LONG tmWeight = 0;           // OS/2 usWeightClass; at least 700 when bold is simulated
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 96;
  LONG tmDigitizedAspectY = 96;
  Char tmFirstChar = 0;  // OS/2 usFirstCharIndex (8-bit form: capped at 255)
  Char tmLastChar = 0;   // OS/2 usLastCharIndex (8-bit form: capped at 255)
  Char tmDefaultChar = 0;
  Char tmBreakChar = 0;
  BYTE tmItalic = 0;  // 255 for an italic face or simulated italic
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;  // TMPF_* bits and FF_* family
  BYTE tmCharSet = 0;         // 2 for a face whose character map is the symbol (3,0) one
};
using TEXTMETRICA = TEXTMETRICT<BYTE>;
using TEXTMETRICW = TEXTMETRICT<WCHAR>;

struct PANOSE {
  BYTE bFamilyType = 0;
  BYTE bSerifStyle = 0;
  BYTE bWeight = 0;
  BYTE bProportion = 0;
  BYTE bContrast = 0;
  BYTE bStrokeVariation = 0;
  BYTE bArmStyle = 0;
  BYTE bLetterform = 0;
  BYTE bMidline = 0;
  BYTE bXHeight = 0;
};

// Outline metrics. The four name fields hold byte offsets from the start of the structure
// to zero-terminated strings that follow it in the same buffer (1252 text for the A form,
// UTF-16 for the W form).
template <class Char>
struct OUTLINETEXTMETRICT {
  UINT otmSize = 0;  // the whole buffer: structure and strings
  TEXTMETRICT<Char> otmTextMetrics;
  BYTE otmFiller = 0;
  PANOSE otmPanoseNumber;
  UINT otmfsSelection = 0;
  UINT otmfsType = 0;
  INT otmsCharSlopeRise = 0;
  INT otmsCharSlopeRun = 0;
  // Italic angle in whole degrees counter-clockwise from vertical (post italicAngle,
  // rounded), the unit the font descriptor wants; GDI's own field is in tenths of a degree.
  INT otmItalicAngle = 0;
  UINT otmEMSquare = 0;      // units per em of the face (not scaled)
  INT otmAscent = 0;         // sTypoAscender
  INT otmDescent = 0;        // sTypoDescender, negative below the baseline
  UINT otmLineGap = 0;       // sTypoLineGap
  UINT otmsCapEmHeight = 0;  // sCapHeight, else the top of "H"
  UINT otmsXHeight = 0;      // sxHeight, else the top of "x"
  RECTL otmrcFontBox;        // head bounding box: top (yMax) above bottom (yMin), y up
  INT otmMacAscent = 0;      // hhea ascender
  INT otmMacDescent = 0;     // hhea descender (negative)
  UINT otmMacLineGap = 0;
  UINT otmusMinimumPPEM = 0;
  POINTL otmptSubscriptSize;
  POINTL otmptSubscriptOffset;
  POINTL otmptSuperscriptSize;
  POINTL otmptSuperscriptOffset;
  UINT otmsStrikeoutSize = 0;
  INT otmsStrikeoutPosition = 0;
  INT otmsUnderscoreSize = 0;
  INT otmsUnderscorePosition = 0;
  UINT otmpFamilyName = 0;  // name ID 1
  UINT otmpFaceName = 0;    // name ID 4 (full name)
  UINT otmpStyleName = 0;   // name ID 2
  UINT otmpFullName = 0;    // name ID 3 (unique name)
};
using OUTLINETEXTMETRICA = OUTLINETEXTMETRICT<BYTE>;
using OUTLINETEXTMETRICW = OUTLINETEXTMETRICT<WCHAR>;

// 1 on success; 0 when the DC is unknown or its font has no usable face.
BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm);
BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm);

// With a null buffer or size 0: the size the metrics need. Otherwise the number of bytes
// written (at most cbData; strings past cbData are left out). 0 where the platform fails:
// unknown DC, no face with sfnt outlines (TrueType or CFF), or a damaged face.
UINT GetOutlineTextMetricsA(HDC hdc, UINT cbData, OUTLINETEXTMETRICA* otm);
UINT GetOutlineTextMetricsW(HDC hdc, UINT cbData, OUTLINETEXTMETRICW* otm);

// The face name of the selected font: the family name (name ID 1, Windows English record
// first) of the face actually matched, so a substituted face reports its own name ("Arial"
// matched by Liberation Sans reports "Liberation Sans"). The A form converts it to 1252.
// With a null buffer: the length including the terminator. Otherwise copies at most
// count - 1 characters and a terminator and returns the characters copied including the
// terminator; 0 on failure.
int GetTextFaceA(HDC hdc, int count, char* faceName);
int GetTextFaceW(HDC hdc, int count, WCHAR* faceName);

// The character set of the selected font (tmCharSet); DEFAULT_CHARSET on failure.
int GetTextCharset(HDC hdc);

}  // namespace qvplatform
