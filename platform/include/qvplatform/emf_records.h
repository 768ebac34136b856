// The enhanced-metafile header and the fixed part of every record that is played, in the stored
// little-endian layout: each struct is exactly the bytes from the record's start up to its first
// variable part, with no padding (the static_asserts below hold every size and offset). Variable
// parts (point arrays, strings, bitmaps, region data) are located by the count and offset fields
// and read through the bounds-checked reader in emf_reader.h, which copies these structs out of
// the record bytes with memcpy.
#pragma once

#include <cstddef>

#include "qvplatform/bitmap_headers.h"
#include "qvplatform/emf_record_types.h"
#include "qvplatform/wintypes.h"

namespace qvplatform {

// The 8 bytes every record starts with.
struct EMR {
  DWORD iType = 0;
  DWORD nSize = 0;  // whole record in bytes, a multiple of 4
};

// The header record. The first 88 bytes are always present; the pixel-format fields (to 100) and
// szlMicrometers (to 108) exist only in longer headers (see EmfHeaderExtensions).
struct ENHMETAHEADER {
  DWORD iType = 0;
  DWORD nSize = 0;
  RECTL rclBounds;  // device units, inclusive
  RECTL rclFrame;   // 0.01 mm, inclusive
  DWORD dSignature = 0;
  DWORD nVersion = 0;
  DWORD nBytes = 0;
  DWORD nRecords = 0;  // including this header
  WORD nHandles = 0;   // object handles used, plus one (handle 0 is reserved)
  WORD sReserved = 0;
  DWORD nDescription = 0;  // UTF-16 code units
  DWORD offDescription = 0;
  DWORD nPalEntries = 0;
  SIZEL szlDevice;       // reference device in pixels
  SIZEL szlMillimeters;  // reference device in millimetres
  // Extension 1.
  DWORD cbPixelFormat = 0;
  DWORD offPixelFormat = 0;
  DWORD bOpenGL = 0;
  // Extension 2.
  SIZEL szlMicrometers;
};
constexpr DWORD kEmfHeaderBaseSize = 88;
constexpr DWORD kEmfHeaderExtension1Size = 100;
constexpr DWORD kEmfHeaderExtension2Size = 108;

struct RGNDATAHEADER {
  DWORD dwSize = 0;  // 32
  DWORD iType = 0;   // RDH_RECTANGLES
  DWORD nCount = 0;  // rectangles that follow the header
  DWORD nRgnSize = 0;
  RECTL rcBound;
};

// 2-6: EMR_POLYBEZIER, EMR_POLYGON, EMR_POLYLINE, EMR_POLYBEZIERTO, EMR_POLYLINETO.
// The cptl points follow the fixed part.
struct EMRPOLYLINE {
  EMR emr;
  RECTL rclBounds;
  DWORD cptl = 0;
};
// 85-89: the same with 16-bit points (POINTS).
struct EMRPOLYLINE16 {
  EMR emr;
  RECTL rclBounds;
  DWORD cpts = 0;
};
// 7, 8 (and 90, 91 with 16-bit points): nPolys counts, then the points of all polygons.
struct EMRPOLYPOLYLINE {
  EMR emr;
  RECTL rclBounds;
  DWORD nPolys = 0;
  DWORD cptl = 0;
};
using EMRPOLYPOLYLINE16 = EMRPOLYPOLYLINE;
// 56 (and 92 with 16-bit points): cptl points, then cptl type bytes.
struct EMRPOLYDRAW {
  EMR emr;
  RECTL rclBounds;
  DWORD cptl = 0;
};
using EMRPOLYDRAW16 = EMRPOLYDRAW;

// 9, 11: window and viewport extent.
struct EMRSETWINDOWEXTEX {
  EMR emr;
  SIZEL szlExtent;
};
using EMRSETVIEWPORTEXTEX = EMRSETWINDOWEXTEX;
// 10, 12, 13: window, viewport and brush origin.
struct EMRSETWINDOWORGEX {
  EMR emr;
  POINTL ptlOrigin;
};
using EMRSETVIEWPORTORGEX = EMRSETWINDOWORGEX;
using EMRSETBRUSHORGEX = EMRSETWINDOWORGEX;

// 14. A palette of nPalEntries may follow; the record's last 32-bit value repeats its size.
struct EMREOF {
  EMR emr;
  DWORD nPalEntries = 0;
  DWORD offPalEntries = 0;
};

// 15.
struct EMRSETPIXELV {
  EMR emr;
  POINTL ptlPixel;
  COLORREF crColor = 0;
};

// Records with one 32-bit value: 16-22, 57, 67, 98, 115 (the 12-byte form).
struct EMRSETMAPMODE {
  EMR emr;
  DWORD iMode = 0;
};
using EMRSETMAPPERFLAGS = EMRSETMAPMODE;
using EMRSETBKMODE = EMRSETMAPMODE;
using EMRSETPOLYFILLMODE = EMRSETMAPMODE;
using EMRSETROP2 = EMRSETMAPMODE;
using EMRSETSTRETCHBLTMODE = EMRSETMAPMODE;
using EMRSETTEXTALIGN = EMRSETMAPMODE;
using EMRSETICMMODE = EMRSETMAPMODE;
using EMRSETLAYOUT = EMRSETMAPMODE;
using EMRSELECTCLIPPATH = EMRSETMAPMODE;
struct EMRSETARCDIRECTION {
  EMR emr;
  DWORD iArcDirection = 0;
};

// 24, 25.
struct EMRSETTEXTCOLOR {
  EMR emr;
  COLORREF crColor = 0;
};
using EMRSETBKCOLOR = EMRSETTEXTCOLOR;

// 26.
struct EMROFFSETCLIPRGN {
  EMR emr;
  POINTL ptlOffset;
};

// 27, 54.
struct EMRMOVETOEX {
  EMR emr;
  POINTL ptl;
};
using EMRLINETO = EMRMOVETOEX;

// 29, 30.
struct EMREXCLUDECLIPRECT {
  EMR emr;
  RECTL rclClip;
};
using EMRINTERSECTCLIPRECT = EMREXCLUDECLIPRECT;

// 31, 32.
struct EMRSCALEVIEWPORTEXTEX {
  EMR emr;
  LONG xNum = 0;
  LONG xDenom = 0;
  LONG yNum = 0;
  LONG yDenom = 0;
};
using EMRSCALEWINDOWEXTEX = EMRSCALEVIEWPORTEXTEX;

// Records with no fields: 28, 33, 52, 59-61, 65, 66, 68.
struct EMRABORTPATH {
  EMR emr;
};
using EMRSAVEDC = EMRABORTPATH;
using EMRREALIZEPALETTE = EMRABORTPATH;
using EMRBEGINPATH = EMRABORTPATH;
using EMRENDPATH = EMRABORTPATH;
using EMRCLOSEFIGURE = EMRABORTPATH;
using EMRFLATTENPATH = EMRABORTPATH;
using EMRWIDENPATH = EMRABORTPATH;
using EMRSETMETARGN = EMRABORTPATH;

// 34.
struct EMRRESTOREDC {
  EMR emr;
  LONG iRelative = 0;
};

// 35.
struct EMRSETWORLDTRANSFORM {
  EMR emr;
  XFORM xform;
};
// 36.
struct EMRMODIFYWORLDTRANSFORM {
  EMR emr;
  XFORM xform;
  DWORD iMode = 0;  // MWT_
};

// 37, 40.
struct EMRSELECTOBJECT {
  EMR emr;
  DWORD ihObject = 0;  // ENHMETA_STOCK_OBJECT set: a stock object
};
using EMRDELETEOBJECT = EMRSELECTOBJECT;
// 48.
struct EMRSELECTPALETTE {
  EMR emr;
  DWORD ihPal = 0;
};

// 38.
struct EMRCREATEPEN {
  EMR emr;
  DWORD ihPen = 0;
  LOGPEN lopn;
};
// 39. lbHatch is a 32-bit field in the record.
struct EMRCREATEBRUSHINDIRECT {
  EMR emr;
  DWORD ihBrush = 0;
  LOGBRUSH lb;
};

// 41.
struct EMRANGLEARC {
  EMR emr;
  POINTL ptlCenter;
  DWORD nRadius = 0;
  float eStartAngle = 0.0f;
  float eSweepAngle = 0.0f;
};
// 42, 43.
struct EMRELLIPSE {
  EMR emr;
  RECTL rclBox;
};
using EMRRECTANGLE = EMRELLIPSE;
// 44.
struct EMRROUNDRECT {
  EMR emr;
  RECTL rclBox;
  SIZEL szlCorner;
};
// 45-47, 55.
struct EMRARC {
  EMR emr;
  RECTL rclBox;
  POINTL ptlStart;
  POINTL ptlEnd;
};
using EMRARCTO = EMRARC;
using EMRCHORD = EMRARC;
using EMRPIE = EMRARC;

// 49: the palette header; palNumEntries PALETTEENTRYs follow.
struct EMRCREATEPALETTE {
  EMR emr;
  DWORD ihPal = 0;
  WORD palVersion = 0;  // 0x300
  WORD palNumEntries = 0;
};

// 58. Stored as an unsigned integer.
struct EMRSETMITERLIMIT {
  EMR emr;
  DWORD eMiterLimit = 0;
};

// 62-64.
struct EMRFILLPATH {
  EMR emr;
  RECTL rclBounds;
};
using EMRSTROKEANDFILLPATH = EMRFILLPATH;
using EMRSTROKEPATH = EMRFILLPATH;

// 70: cbData bytes follow.
struct EMRGDICOMMENT {
  EMR emr;
  DWORD cbData = 0;
};

// 71: cbRgnData bytes of region data (RGNDATAHEADER and rectangles) follow.
struct EMRFILLRGN {
  EMR emr;
  RECTL rclBounds;
  DWORD cbRgnData = 0;
  DWORD ihBrush = 0;
};
// 72.
struct EMRFRAMERGN {
  EMR emr;
  RECTL rclBounds;
  DWORD cbRgnData = 0;
  DWORD ihBrush = 0;
  SIZEL szlStroke;
};
// 73, 74.
struct EMRINVERTRGN {
  EMR emr;
  RECTL rclBounds;
  DWORD cbRgnData = 0;
};
using EMRPAINTRGN = EMRINVERTRGN;
// 75.
struct EMREXTSELECTCLIPRGN {
  EMR emr;
  DWORD cbRgnData = 0;
  DWORD iMode = 0;  // RGN_
};

// 76. The source bitmap, when there is one, lies at offBmiSrc/offBitsSrc from the record's start;
// a blit without a source has cbBmiSrc = 0 and ends after cbBitsSrc.
struct EMRBITBLT {
  EMR emr;
  RECTL rclBounds;
  LONG xDest = 0;
  LONG yDest = 0;
  LONG cxDest = 0;
  LONG cyDest = 0;
  DWORD dwRop = 0;
  LONG xSrc = 0;
  LONG ySrc = 0;
  XFORM xformSrc;
  COLORREF crBkColorSrc = 0;
  DWORD iUsageSrc = 0;  // DIB_
  DWORD offBmiSrc = 0;
  DWORD cbBmiSrc = 0;
  DWORD offBitsSrc = 0;
  DWORD cbBitsSrc = 0;
};
// 77, and the layout of 114 (dwRop holds the BLENDFUNCTION) and 116 (dwRop holds the
// transparent colour).
struct EMRSTRETCHBLT {
  EMR emr;
  RECTL rclBounds;
  LONG xDest = 0;
  LONG yDest = 0;
  LONG cxDest = 0;
  LONG cyDest = 0;
  DWORD dwRop = 0;
  LONG xSrc = 0;
  LONG ySrc = 0;
  XFORM xformSrc;
  COLORREF crBkColorSrc = 0;
  DWORD iUsageSrc = 0;
  DWORD offBmiSrc = 0;
  DWORD cbBmiSrc = 0;
  DWORD offBitsSrc = 0;
  DWORD cbBitsSrc = 0;
  LONG cxSrc = 0;
  LONG cySrc = 0;
};
using EMRALPHABLEND = EMRSTRETCHBLT;
using EMRTRANSPARENTBLT = EMRSTRETCHBLT;

// The BLENDFUNCTION of EMR_ALPHABLEND, in the dwRop field.
struct BLENDFUNCTION {
  BYTE BlendOp = 0;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 0;
  BYTE AlphaFormat = 0;
};

// 80.
struct EMRSETDIBITSTODEVICE {
  EMR emr;
  RECTL rclBounds;
  LONG xDest = 0;
  LONG yDest = 0;
  LONG xSrc = 0;
  LONG ySrc = 0;
  LONG cxSrc = 0;
  LONG cySrc = 0;
  DWORD offBmiSrc = 0;
  DWORD cbBmiSrc = 0;
  DWORD offBitsSrc = 0;
  DWORD cbBitsSrc = 0;
  DWORD iUsageSrc = 0;
  DWORD iStartScan = 0;
  DWORD cScans = 0;
};

// 81, and the older meaning of 115 (EMR_ALPHADIBBLEND).
struct EMRSTRETCHDIBITS {
  EMR emr;
  RECTL rclBounds;
  LONG xDest = 0;
  LONG yDest = 0;
  LONG xSrc = 0;
  LONG ySrc = 0;
  LONG cxSrc = 0;
  LONG cySrc = 0;
  DWORD offBmiSrc = 0;
  DWORD cbBmiSrc = 0;
  DWORD offBitsSrc = 0;
  DWORD cbBitsSrc = 0;
  DWORD iUsageSrc = 0;
  DWORD dwRop = 0;
  LONG cxDest = 0;
  LONG cyDest = 0;
};

// 82. The logical font may be followed by the longer font description forms (full name, style,
// script, design vector); only the LOGFONTW at its start is defined here.
struct EMREXTCREATEFONTINDIRECTW {
  EMR emr;
  DWORD ihFont = 0;
  LOGFONTW elfw;
};

// The text part of EMR_EXTTEXTOUTA/W. offString and offDx count from the start of the record;
// the string has nChars 8-bit or 16-bit characters, the spacing array nChars 32-bit advances
// (two per character with ETO_PDY).
struct EMRTEXT {
  POINTL ptlReference;
  DWORD nChars = 0;
  DWORD offString = 0;
  DWORD fOptions = 0;  // ETO_
  RECTL rcl;
  DWORD offDx = 0;
};
// 83, 84.
struct EMREXTTEXTOUTW {
  EMR emr;
  RECTL rclBounds;
  DWORD iGraphicsMode = 0;
  float exScale = 0.0f;
  float eyScale = 0.0f;
  EMRTEXT emrtext;
};
using EMREXTTEXTOUTA = EMREXTTEXTOUTW;

// 93, 94: the pattern bitmap lies at offBmi/offBits from the record's start.
struct EMRCREATEDIBPATTERNBRUSHPT {
  EMR emr;
  DWORD ihBrush = 0;
  DWORD iUsage = 0;  // DIB_
  DWORD offBmi = 0;
  DWORD cbBmi = 0;
  DWORD offBits = 0;
  DWORD cbBits = 0;
};
using EMRCREATEMONOBRUSH = EMRCREATEDIBPATTERNBRUSHPT;

// The extended pen of EMR_EXTCREATEPEN with 32-bit fields throughout; elpNumEntries style
// entries (32-bit dash lengths) follow it.
struct EXTLOGPEN32 {
  DWORD elpPenStyle = 0;  // PS_ style, end cap, join and type bits
  DWORD elpWidth = 0;
  DWORD elpBrushStyle = 0;
  COLORREF elpColor = 0;
  DWORD elpHatch = 0;
  DWORD elpNumEntries = 0;
};
// 95. A pattern brush's bitmap lies at offBmi/offBits.
struct EMREXTCREATEPEN {
  EMR emr;
  DWORD ihPen = 0;
  DWORD offBmi = 0;
  DWORD cbBmi = 0;
  DWORD offBits = 0;
  DWORD cbBits = 0;
  EXTLOGPEN32 elp;
};

// 118: nVer vertices follow, then nTri GRADIENT_RECTs (rectangle modes) or GRADIENT_TRIANGLEs.
struct TRIVERTEX {
  LONG x = 0;
  LONG y = 0;
  WORD Red = 0;  // 16-bit colour components; the high byte is the 8-bit value
  WORD Green = 0;
  WORD Blue = 0;
  WORD Alpha = 0;
};
struct GRADIENT_RECT {
  DWORD UpperLeft = 0;  // vertex indexes
  DWORD LowerRight = 0;
};
struct GRADIENT_TRIANGLE {
  DWORD Vertex1 = 0;
  DWORD Vertex2 = 0;
  DWORD Vertex3 = 0;
};
struct EMRGRADIENTFILL {
  EMR emr;
  RECTL rclBounds;
  DWORD nVer = 0;
  DWORD nTri = 0;
  DWORD ulMode = 0;  // GRADIENT_FILL_
};

// 120.
struct EMRSETTEXTJUSTIFICATION {
  EMR emr;
  LONG nBreakExtra = 0;
  LONG nBreakCount = 0;
};

}  // namespace qvplatform

#include "qvplatform/emf_records_layout.h"
