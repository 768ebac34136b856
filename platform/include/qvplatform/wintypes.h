// Value types of the Windows drawing interface, as the metafile format and the device
// context lay them out: 32-bit integers, little-endian, no padding beyond natural alignment.
#pragma once

#include <cstdint>

namespace qvplatform {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using INT = std::int32_t;
using WCHAR = char16_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR
using HANDLE32 = std::uint32_t;  // handles are 32-bit values from the platform's table

constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned GetRValue(COLORREF c) { return c & 0xFF; }
constexpr unsigned GetGValue(COLORREF c) { return (c >> 8) & 0xFF; }
constexpr unsigned GetBValue(COLORREF c) { return (c >> 16) & 0xFF; }

struct POINTL {
  LONG x = 0;
  LONG y = 0;
};
using POINT = POINTL;

struct POINTS {
  std::int16_t x = 0;
  std::int16_t y = 0;
};

struct SIZEL {
  LONG cx = 0;
  LONG cy = 0;
};
using SIZE = SIZEL;

struct RECTL {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};
using RECT = RECTL;

// An affine transform in row-vector form: (x', y') = (x, y, 1) * [m11 m12; m21 m22; dx dy].
struct XFORM {
  float eM11 = 1.0f;
  float eM12 = 0.0f;
  float eM21 = 0.0f;
  float eM22 = 1.0f;
  float eDx = 0.0f;
  float eDy = 0.0f;
};

struct LOGPEN {
  UINT lopnStyle = 0;
  POINTL lopnWidth;
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  std::uint32_t lbHatch = 0;
};

constexpr int LF_FACESIZE = 32;

struct LOGFONTW {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  WCHAR lfFaceName[LF_FACESIZE] = {};
};

struct PALETTEENTRY {
  BYTE peRed = 0;
  BYTE peGreen = 0;
  BYTE peBlue = 0;
  BYTE peFlags = 0;
};

static_assert(sizeof(POINTL) == 8 && sizeof(POINTS) == 4 && sizeof(RECTL) == 16);
static_assert(sizeof(XFORM) == 24 && sizeof(LOGPEN) == 16 && sizeof(LOGBRUSH) == 12);
static_assert(sizeof(LOGFONTW) == 92);

}  // namespace qvplatform
