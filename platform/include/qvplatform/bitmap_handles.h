// Bitmap handles (HBITMAP): device-dependent bitmaps and DIB sections, GetObjectA, GetDIBits.
// Bitmaps are deleted with DeleteObject (font_service.h). Thread-safe: the pixels of one bitmap
// are read and written under its own lock (the pointer of GetDibSectionBits is the caller's to
// synchronise).
#pragma once

#include <cstddef>

#include "qvplatform/bitmap_headers.h"
#include "qvplatform/dib.h"

namespace qvplatform {

using HBITMAP = HANDLE32;
using HDC = HANDLE32;
using HGDIOBJ = HANDLE32;

// The records of GetObjectA in the layout of the 32-bit system, whose sizes callers test: a
// result below kDibSectionObjectSize means "not a DIB section". bmBits cannot hold an address in
// 4 bytes and stays 0: GetDibSectionBits gives the pixels of a section.
struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;      // always positive
  LONG bmWidthBytes = 0;  // row bytes: even for device-dependent bitmaps, a multiple of 4 for
                          // DIB sections
  WORD bmPlanes = 0;
  WORD bmBitsPixel = 0;
  DWORD bmBits = 0;
};

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;    // biHeight negative for a top-down section
  DWORD dsBitfields[3] = {};  // red, green, blue masks of 16- and 32-bit sections
  HANDLE32 dshSection = 0;
  DWORD dsOffset = 0;
};

constexpr int kBitmapObjectSize = 24;
constexpr int kDibSectionObjectSize = 84;
static_assert(sizeof(BITMAP) == kBitmapObjectSize);
static_assert(sizeof(DIBSECTION) == kDibSectionObjectSize);

enum class BitmapKind : std::uint8_t { kNone, kDeviceDependent, kDibSection };

// A device-dependent bitmap of width x height (both > 0) at 1, 4, 8, 16 (5-6-5), 24 or 32 bits
// with one plane. bits, when not null, holds bitsSize >= height * row bytes (even row length),
// rows top-down; without bits the pixels are 0 (black). 0 for anything else, and above
// kMaxDibPixels. A 1-bit bitmap is monochrome: 0 black, 1 white; 4- and 8-bit pixels index the
// palette selected into the DC that reads them.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits,
                     std::size_t bitsSize);
// A black 32-bit device-dependent bitmap (the screen's depth); the DC is not consulted.
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);

// A DIB section in the format of header (uncompressed or BI_BITFIELDS, then with masks: red,
// green, blue) with colorCount RGBQUADs for 1 to 8 bits (entries past them black). Pixels are
// zero; *bits (when bits is not null) receives their address. 0 for an invalid or RLE format.
HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFOHEADER& header, const DWORD* masks,
                         const RGBQUAD* colors, UINT colorCount, void** bits);
// A DIB section holding a copy of an uncompressed view; 0 for RLE or short pixels.
HBITMAP CreateDIBSectionFromView(const DibView& view);

// What a handle is: kNone for 0, unknown handles and other kinds of object.
BitmapKind GetBitmapKind(HBITMAP bitmap);
// The pixels of a DIB section (null for any other handle); they live as long as the section.
void* GetDibSectionBits(HBITMAP bitmap);

// For a bitmap: with size >= kDibSectionObjectSize and a DIB section, fills a DIBSECTION and
// returns kDibSectionObjectSize; else with size >= kBitmapObjectSize fills a BITMAP and returns
// kBitmapObjectSize. For a palette: its entry count as a WORD (2). With buffer null: the size
// that would be filled. 0 for a smaller buffer and for every other handle.
int GetObjectA(HGDIOBJ object, int size, void* buffer);

// Reads the pixels of a bitmap as a DIB described by *header: biBitCount 24 (B,G,R) or 1 (the
// nearer of colors[0] and colors[1], so colorCount >= 2), BI_RGB, biWidth and |biHeight| those
// of the bitmap, biHeight negative for top-down rows. lines rows from row start (counted from
// the bottom for bottom-up output, from the top for top-down) go to bits, rows padded to 4
// bytes; bitsSize must hold them all, else nothing is written and the result is 0. Returns the
// rows written (lines is cut at the bottom of the picture) and sets biSizeImage for the whole
// picture. With bits null: fills biWidth, biHeight (positive unless given negative), biPlanes,
// biSizeImage and, when biBitCount is 0, the bitmap's own depth and compression; returns 1.
// 0 for an unknown bitmap, usage other than DIB_RGB_COLORS, or a header it cannot fill.
// The DC gives the palette of 4- and 8-bit device-dependent bitmaps (any other handle: the
// default palette).
int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, std::size_t bitsSize,
              BITMAPINFOHEADER* header, const RGBQUAD* colors, UINT colorCount, UINT usage);

}  // namespace qvplatform
