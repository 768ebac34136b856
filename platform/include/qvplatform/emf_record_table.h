// The layout each record type is read with: one table from type to layout, and for each layout
// the struct of its fixed part. The shortest record of a type, the player's handlers and the
// fuzz reader all take their reading of a type from here; the readers of the variable parts of
// each layout are in emf_parts.h (ReadEmfParts).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "qvplatform/emf_records.h"

namespace qvplatform {

enum class EmfLayout : std::uint8_t {
  kHead,  // nothing after type and size; also every type without a definition
  kHeader,
  // Arrays after the fixed part (ReadEmfParts).
  kPolyPoints,        // 2-6
  kPolyPoints16,      // 85-89
  kPolyPolyPoints,    // 7, 8
  kPolyPolyPoints16,  // 90, 91
  kPolyDraw,          // 56
  kPolyDraw16,        // 92
  kExtTextOut,        // 83, 84
  kGdiComment,        // 70
  kPaintRegion,       // 73, 74
  kClipRegion,        // 75
  kCreatePalette,     // 49
  kGradientFill,      // 118
  kExtCreatePen,      // 95: style entries, and a bitmap for a pattern pen
  // A bitmap after the fixed part (emf_dib.h).
  kBitBlt,             // 76
  kStretchBlt,         // 77, 114, 116
  kSetDIBitsToDevice,  // 80
  kStretchDIBits,      // 81 (and the older 115, see EmfIsOldAlphaDibBlend)
  kPatternBrush,       // 93, 94
  // A fixed part alone.
  kWindowExt,
  kWindowOrg,
  kEof,
  kPixelV,
  kMode,       // one DWORD: mapping, background, fill, ROP2, stretch and ICM modes, text alignment
  kSetLayout,  // 115 as current metafiles write it
  kArcDirection,
  kColor,
  kOffsetClip,
  kMoveTo,
  kClipRect,
  kScaleExt,
  kRestoreDC,
  kSetWorldTransform,
  kModifyWorldTransform,
  kSelectObject,
  kSelectPalette,
  kCreatePen,
  kCreateBrush,
  kAngleArc,
  kBox,
  kRoundRect,
  kArc,
  kMiterLimit,
  kFillPath,
  kFillRgn,
  kFrameRgn,
  kCreateFont,
  kTextJustification,
};

// The struct of a layout's fixed part (Fixed) and the shortest record that holds it (kMinSize).
template <EmfLayout L>
struct EmfLayoutTraits {
  using Fixed = EMR;
  static constexpr DWORD kMinSize = sizeof(Fixed);
};

#define QV_EMF_LAYOUT(layout, fixed)                 \
  template <>                                        \
  struct EmfLayoutTraits<EmfLayout::layout> {        \
    using Fixed = fixed;                             \
    static constexpr DWORD kMinSize = sizeof(Fixed); \
  }

QV_EMF_LAYOUT(kPolyPoints, EMRPOLYLINE);
QV_EMF_LAYOUT(kPolyPoints16, EMRPOLYLINE16);
QV_EMF_LAYOUT(kPolyPolyPoints, EMRPOLYPOLYLINE);
QV_EMF_LAYOUT(kPolyPolyPoints16, EMRPOLYPOLYLINE);
QV_EMF_LAYOUT(kPolyDraw, EMRPOLYDRAW);
QV_EMF_LAYOUT(kPolyDraw16, EMRPOLYDRAW);
QV_EMF_LAYOUT(kExtTextOut, EMREXTTEXTOUTW);
QV_EMF_LAYOUT(kGdiComment, EMRGDICOMMENT);
QV_EMF_LAYOUT(kPaintRegion, EMRINVERTRGN);
QV_EMF_LAYOUT(kClipRegion, EMREXTSELECTCLIPRGN);
QV_EMF_LAYOUT(kCreatePalette, EMRCREATEPALETTE);
QV_EMF_LAYOUT(kGradientFill, EMRGRADIENTFILL);
QV_EMF_LAYOUT(kExtCreatePen, EMREXTCREATEPEN);
QV_EMF_LAYOUT(kBitBlt, EMRBITBLT);
QV_EMF_LAYOUT(kStretchBlt, EMRSTRETCHBLT);
QV_EMF_LAYOUT(kSetDIBitsToDevice, EMRSETDIBITSTODEVICE);
QV_EMF_LAYOUT(kStretchDIBits, EMRSTRETCHDIBITS);
QV_EMF_LAYOUT(kPatternBrush, EMRCREATEDIBPATTERNBRUSHPT);
QV_EMF_LAYOUT(kWindowExt, EMRSETWINDOWEXTEX);
QV_EMF_LAYOUT(kWindowOrg, EMRSETWINDOWORGEX);
QV_EMF_LAYOUT(kEof, EMREOF);
QV_EMF_LAYOUT(kPixelV, EMRSETPIXELV);
QV_EMF_LAYOUT(kMode, EMRSETMAPMODE);
QV_EMF_LAYOUT(kSetLayout, EMRSETLAYOUT);
QV_EMF_LAYOUT(kArcDirection, EMRSETARCDIRECTION);
QV_EMF_LAYOUT(kColor, EMRSETTEXTCOLOR);
QV_EMF_LAYOUT(kOffsetClip, EMROFFSETCLIPRGN);
QV_EMF_LAYOUT(kMoveTo, EMRMOVETOEX);
QV_EMF_LAYOUT(kClipRect, EMREXCLUDECLIPRECT);
QV_EMF_LAYOUT(kScaleExt, EMRSCALEVIEWPORTEXTEX);
QV_EMF_LAYOUT(kRestoreDC, EMRRESTOREDC);
QV_EMF_LAYOUT(kSetWorldTransform, EMRSETWORLDTRANSFORM);
QV_EMF_LAYOUT(kModifyWorldTransform, EMRMODIFYWORLDTRANSFORM);
QV_EMF_LAYOUT(kSelectObject, EMRSELECTOBJECT);
QV_EMF_LAYOUT(kSelectPalette, EMRSELECTPALETTE);
QV_EMF_LAYOUT(kCreatePen, EMRCREATEPEN);
QV_EMF_LAYOUT(kCreateBrush, EMRCREATEBRUSHINDIRECT);
QV_EMF_LAYOUT(kAngleArc, EMRANGLEARC);
QV_EMF_LAYOUT(kBox, EMRELLIPSE);
QV_EMF_LAYOUT(kRoundRect, EMRROUNDRECT);
QV_EMF_LAYOUT(kArc, EMRARC);
QV_EMF_LAYOUT(kMiterLimit, EMRSETMITERLIMIT);
QV_EMF_LAYOUT(kFillPath, EMRFILLPATH);
QV_EMF_LAYOUT(kFillRgn, EMRFILLRGN);
QV_EMF_LAYOUT(kFrameRgn, EMRFRAMERGN);
QV_EMF_LAYOUT(kCreateFont, EMREXTCREATEFONTINDIRECTW);
QV_EMF_LAYOUT(kTextJustification, EMRSETTEXTJUSTIFICATION);

#undef QV_EMF_LAYOUT

// The header record read as a record: its fields before the optional extensions.
template <>
struct EmfLayoutTraits<EmfLayout::kHeader> {
  using Fixed = ENHMETAHEADER;
  static constexpr DWORD kMinSize = kEmfHeaderBaseSize;
};

namespace detail {

using EmfLayoutByType = std::array<EmfLayout, EMR_MAX + 1>;

constexpr EmfLayoutByType MakeEmfLayoutByType() {
  EmfLayoutByType t{};  // kHead
  const auto set = [&t](EmfLayout layout, std::initializer_list<DWORD> types) {
    for (DWORD type : types) t[type] = layout;
  };
  using L = EmfLayout;
  set(L::kHeader, {EMR_HEADER});
  set(L::kPolyPoints,
      {EMR_POLYBEZIER, EMR_POLYGON, EMR_POLYLINE, EMR_POLYBEZIERTO, EMR_POLYLINETO});
  set(L::kPolyPoints16,
      {EMR_POLYBEZIER16, EMR_POLYGON16, EMR_POLYLINE16, EMR_POLYBEZIERTO16, EMR_POLYLINETO16});
  set(L::kPolyPolyPoints, {EMR_POLYPOLYLINE, EMR_POLYPOLYGON});
  set(L::kPolyPolyPoints16, {EMR_POLYPOLYLINE16, EMR_POLYPOLYGON16});
  set(L::kPolyDraw, {EMR_POLYDRAW});
  set(L::kPolyDraw16, {EMR_POLYDRAW16});
  set(L::kExtTextOut, {EMR_EXTTEXTOUTA, EMR_EXTTEXTOUTW});
  set(L::kGdiComment, {EMR_GDICOMMENT});
  set(L::kPaintRegion, {EMR_INVERTRGN, EMR_PAINTRGN});
  set(L::kClipRegion, {EMR_EXTSELECTCLIPRGN});
  set(L::kCreatePalette, {EMR_CREATEPALETTE});
  set(L::kGradientFill, {EMR_GRADIENTFILL});
  set(L::kExtCreatePen, {EMR_EXTCREATEPEN});
  set(L::kBitBlt, {EMR_BITBLT});
  set(L::kStretchBlt, {EMR_STRETCHBLT, EMR_ALPHABLEND, EMR_TRANSPARENTBLT});
  set(L::kSetDIBitsToDevice, {EMR_SETDIBITSTODEVICE});
  set(L::kStretchDIBits, {EMR_STRETCHDIBITS});
  set(L::kPatternBrush, {EMR_CREATEMONOBRUSH, EMR_CREATEDIBPATTERNBRUSHPT});
  set(L::kWindowExt, {EMR_SETWINDOWEXTEX, EMR_SETVIEWPORTEXTEX});
  set(L::kWindowOrg, {EMR_SETWINDOWORGEX, EMR_SETVIEWPORTORGEX, EMR_SETBRUSHORGEX});
  set(L::kEof, {EMR_EOF});
  set(L::kPixelV, {EMR_SETPIXELV});
  set(L::kMode,
      {EMR_SETMAPPERFLAGS, EMR_SETMAPMODE, EMR_SETBKMODE, EMR_SETPOLYFILLMODE, EMR_SETROP2,
       EMR_SETSTRETCHBLTMODE, EMR_SETTEXTALIGN, EMR_SELECTCLIPPATH, EMR_SETICMMODE});
  set(L::kSetLayout, {EMR_SETLAYOUT});
  set(L::kArcDirection, {EMR_SETARCDIRECTION});
  set(L::kColor, {EMR_SETTEXTCOLOR, EMR_SETBKCOLOR});
  set(L::kOffsetClip, {EMR_OFFSETCLIPRGN});
  set(L::kMoveTo, {EMR_MOVETOEX, EMR_LINETO});
  set(L::kClipRect, {EMR_EXCLUDECLIPRECT, EMR_INTERSECTCLIPRECT});
  set(L::kScaleExt, {EMR_SCALEVIEWPORTEXTEX, EMR_SCALEWINDOWEXTEX});
  set(L::kRestoreDC, {EMR_RESTOREDC});
  set(L::kSetWorldTransform, {EMR_SETWORLDTRANSFORM});
  set(L::kModifyWorldTransform, {EMR_MODIFYWORLDTRANSFORM});
  set(L::kSelectObject, {EMR_SELECTOBJECT, EMR_DELETEOBJECT});
  set(L::kSelectPalette, {EMR_SELECTPALETTE});
  set(L::kCreatePen, {EMR_CREATEPEN});
  set(L::kCreateBrush, {EMR_CREATEBRUSHINDIRECT});
  set(L::kAngleArc, {EMR_ANGLEARC});
  set(L::kBox, {EMR_ELLIPSE, EMR_RECTANGLE});
  set(L::kRoundRect, {EMR_ROUNDRECT});
  set(L::kArc, {EMR_ARC, EMR_CHORD, EMR_PIE, EMR_ARCTO});
  set(L::kMiterLimit, {EMR_SETMITERLIMIT});
  set(L::kFillPath, {EMR_FILLPATH, EMR_STROKEANDFILLPATH, EMR_STROKEPATH});
  set(L::kFillRgn, {EMR_FILLRGN});
  set(L::kFrameRgn, {EMR_FRAMERGN});
  set(L::kCreateFont, {EMR_EXTCREATEFONTINDIRECTW});
  set(L::kTextJustification, {EMR_SETTEXTJUSTIFICATION});
  return t;
}

inline constexpr EmfLayoutByType kEmfLayoutByType = MakeEmfLayoutByType();

// Every layout in enum order, for tables built over all of them.
inline constexpr std::size_t kEmfLayoutCount =
    static_cast<std::size_t>(EmfLayout::kTextJustification) + 1;

template <std::size_t... I>
constexpr std::array<DWORD, kEmfLayoutCount> MakeEmfLayoutMinSizes(std::index_sequence<I...>) {
  return {EmfLayoutTraits<static_cast<EmfLayout>(I)>::kMinSize...};
}

inline constexpr std::array<DWORD, kEmfLayoutCount> kEmfLayoutMinSizes =
    MakeEmfLayoutMinSizes(std::make_index_sequence<kEmfLayoutCount>{});

}  // namespace detail

// The layout of a type; kHead for types above EMR_MAX.
constexpr EmfLayout EmfLayoutOf(DWORD type) {
  return type <= EMR_MAX ? detail::kEmfLayoutByType[type] : EmfLayout::kHead;
}

// The struct of a type's fixed part.
template <DWORD Type>
using EmfFixedOf = typename EmfLayoutTraits<EmfLayoutOf(Type)>::Fixed;

// The length of a type's fixed part (8 for types without fields or without a definition in
// emf_records.h). A record shorter than this cannot be read as its type; type 115 is listed in
// its 12-byte form.
constexpr DWORD EmfMinRecordSize(DWORD type) {
  return detail::kEmfLayoutMinSizes[static_cast<std::size_t>(EmfLayoutOf(type))];
}

static_assert(EmfMinRecordSize(EMR_EXTTEXTOUTW) == 76 && EmfMinRecordSize(EMR_SAVEDC) == 8);
static_assert(EmfMinRecordSize(EMR_STRETCHDIBITS) == 80 && EmfMinRecordSize(1000) == 8);
static_assert(EmfMinRecordSize(EMR_HEADER) == kEmfHeaderBaseSize);

// The index of a type in tables built over types: the type itself, and 0 (no record has that
// type; its layout is kHead) for every type above EMR_MAX.
constexpr std::size_t EmfTableIndex(DWORD type) { return type <= EMR_MAX ? type : 0; }

// An array indexed by record type (0 to EMR_MAX) whose entry for each type is
// make.template operator()<layout of the type>(): per-layout handlers chosen at compile time,
// looked up at the cost of one index.
template <class Make>
constexpr auto EmfTableByLayout(Make make) {
  return [&make]<std::size_t... I>(std::index_sequence<I...>) {
    return std::array{make.template operator()<EmfLayoutOf(static_cast<DWORD>(I))>()...};
  }
  (std::make_index_sequence<EMR_MAX + 1>{});
}

namespace detail {
inline constexpr auto kEmfLayoutTableCheck = EmfTableByLayout([]<EmfLayout L>() { return L; });
static_assert(kEmfLayoutTableCheck.size() == EMR_MAX + 1);
static_assert(kEmfLayoutTableCheck[EMR_POLYLINE16] == EmfLayout::kPolyPoints16);
static_assert(kEmfLayoutTableCheck[EMR_MAX] == EmfLayoutOf(EMR_MAX));
static_assert(kEmfLayoutTableCheck[EmfTableIndex(EMR_MAX + 1)] == EmfLayout::kHead);
}  // namespace detail

}  // namespace qvplatform
