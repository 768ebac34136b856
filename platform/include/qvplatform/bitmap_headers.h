// Device-independent bitmap headers as they are stored in bitmap files and in metafile records:
// little-endian, every field at its byte offset in the stored form. Stored headers are copied out
// of their bytes with memcpy (see emf_dib.h), never used through a cast pointer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qvplatform/wintypes.h"

namespace qvplatform {

// biCompression values.
constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;
constexpr DWORD BI_JPEG = 4;
constexpr DWORD BI_PNG = 5;

// Colour usage of a bitmap's colour table (iUsage fields of the records).
constexpr DWORD DIB_RGB_COLORS = 0;   // RGBQUAD entries
constexpr DWORD DIB_PAL_COLORS = 1;   // 16-bit indexes into the selected palette
constexpr DWORD DIB_PAL_INDICES = 2;  // no table; pixels index the palette directly

// "BM" as the 16-bit file signature.
constexpr WORD kBitmapFileType = 0x4D42;

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

// Colour-table entry of the old 12-byte header.
struct RGBTRIPLE {
  BYTE rgbtBlue = 0;
  BYTE rgbtGreen = 0;
  BYTE rgbtRed = 0;
};

// The 12-byte header of the oldest bitmap format: unsigned 16-bit sizes, always bottom-up,
// no compression, a colour table of RGBTRIPLEs.
struct BITMAPCOREHEADER {
  DWORD bcSize = 0;
  WORD bcWidth = 0;
  WORD bcHeight = 0;
  WORD bcPlanes = 0;
  WORD bcBitCount = 0;
};

// The 40-byte header; later versions (52, 56, 108, 124 bytes) begin with the same fields, and
// those of 52 bytes and more carry the three BI_BITFIELDS masks at offset 40.
struct BITMAPINFOHEADER {
  DWORD biSize = 0;
  LONG biWidth = 0;
  LONG biHeight = 0;  // negative: rows are stored top-down
  WORD biPlanes = 0;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

// A header followed by its colour table (the table's real length is given by the header).
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

constexpr std::size_t kBitmapCoreHeaderSize = 12;
constexpr std::size_t kBitmapInfoHeaderSize = 40;
constexpr std::size_t kBitfieldsMasksSize = 12;  // red, green and blue masks

// The bitmap file header is 14 bytes with a 32-bit field at offset 2, so it is the one
// declaration here that needs a packed layout.
#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  WORD bfType = 0;
  DWORD bfSize = 0;
  WORD bfReserved1 = 0;
  WORD bfReserved2 = 0;
  DWORD bfOffBits = 0;
};
#pragma pack(pop)

static_assert(sizeof(RGBQUAD) == 4 && sizeof(RGBTRIPLE) == 3);
static_assert(sizeof(BITMAPCOREHEADER) == kBitmapCoreHeaderSize);
static_assert(offsetof(BITMAPCOREHEADER, bcWidth) == 4 &&
              offsetof(BITMAPCOREHEADER, bcHeight) == 6);
static_assert(offsetof(BITMAPCOREHEADER, bcPlanes) == 8 &&
              offsetof(BITMAPCOREHEADER, bcBitCount) == 10);
static_assert(sizeof(BITMAPINFOHEADER) == kBitmapInfoHeaderSize);
static_assert(offsetof(BITMAPINFOHEADER, biWidth) == 4 &&
              offsetof(BITMAPINFOHEADER, biHeight) == 8);
static_assert(offsetof(BITMAPINFOHEADER, biPlanes) == 12 &&
              offsetof(BITMAPINFOHEADER, biBitCount) == 14);
static_assert(offsetof(BITMAPINFOHEADER, biCompression) == 16 &&
              offsetof(BITMAPINFOHEADER, biSizeImage) == 20);
static_assert(offsetof(BITMAPINFOHEADER, biXPelsPerMeter) == 24 &&
              offsetof(BITMAPINFOHEADER, biYPelsPerMeter) == 28);
static_assert(offsetof(BITMAPINFOHEADER, biClrUsed) == 32 &&
              offsetof(BITMAPINFOHEADER, biClrImportant) == 36);
static_assert(sizeof(BITMAPINFO) == 44 && offsetof(BITMAPINFO, bmiColors) == 40);
static_assert(sizeof(BITMAPFILEHEADER) == 14);
static_assert(offsetof(BITMAPFILEHEADER, bfSize) == 2 &&
              offsetof(BITMAPFILEHEADER, bfReserved1) == 6);
static_assert(offsetof(BITMAPFILEHEADER, bfReserved2) == 8 &&
              offsetof(BITMAPFILEHEADER, bfOffBits) == 10);

}  // namespace qvplatform
