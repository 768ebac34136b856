// The record table of the player: one small handler for each record type that has an effect.
// State records go to the DC-state handlers, object records to the object table (through the
// handle map), drawing records to the device's drawing slots.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "QVGenDC/metafile_player.h"
#include "qvplatform/emf_parts.h"
#include "qvplatform/emf_record_table.h"

namespace vellora {

namespace {

using namespace qvplatform;  // NOLINT: the record names read best unqualified here

std::int32_t ToInt32(DWORD v) {
  return static_cast<std::int32_t>(std::min<DWORD>(v, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::int32_t TQVMetafilePlayer::LookupHandle(DWORD handle) const {
  if (handle & ENHMETA_STOCK_OBJECT)
    return device_.objects.StockObject(static_cast<std::int32_t>(handle & ~ENHMETA_STOCK_OBJECT));
  return handle < handles_.size() ? handles_[handle] : 0;
}

bool TQVMetafilePlayer::CanStore(DWORD handle) {
  if (handle < handles_.size()) return true;
  Damaged();  // the map must not be written past its end: the object is not created
  return false;
}

void TQVMetafilePlayer::DeleteHandle(DWORD handle) {
  device_.DeleteObject(LookupHandle(handle));
  // The table frees deleted objects at once and reuses their indexes: the handle must not
  // reach the next object stored there.
  if (!(handle & ENHMETA_STOCK_OBJECT) && handle < handles_.size()) handles_[handle] = 0;
}

// The handlers of the record table. A handler of a record with a fixed part alone takes that
// part as the platform's layout table reads it for the type, read (or the record marked
// damaged) before the handler runs; the others read their records themselves.
struct TQVMetafilePlayer::RecordHandlers {
  using P = TQVMetafilePlayer;
  using Handler = void (*)(P&, const EmfRecord&);

  // State records.
  static void SetWindowExt(P& p, const EMRSETWINDOWEXTEX& f) {
    p.device_.SetWindowExt(f.szlExtent.cx, f.szlExtent.cy);
  }
  static void SetViewportExt(P& p, const EMRSETVIEWPORTEXTEX& f) {
    p.device_.SetViewportExt(f.szlExtent.cx, f.szlExtent.cy);
  }
  static void SetWindowOrg(P& p, const EMRSETWINDOWORGEX& f) {
    p.device_.SetWindowOrg(f.ptlOrigin.x, f.ptlOrigin.y);
  }
  static void SetViewportOrg(P& p, const EMRSETVIEWPORTORGEX& f) {
    p.device_.SetViewportOrg(f.ptlOrigin.x, f.ptlOrigin.y);
  }
  static void SetBrushOrg(P& p, const EMRSETBRUSHORGEX& f) {
    p.device_.SetBrushOrg(f.ptlOrigin.x, f.ptlOrigin.y);
  }
  static void ScaleViewportExt(P& p, const EMRSCALEVIEWPORTEXTEX& f) {
    p.device_.ScaleViewportExt(f.xNum, f.xDenom, f.yNum, f.yDenom);
  }
  static void ScaleWindowExt(P& p, const EMRSCALEWINDOWEXTEX& f) {
    p.device_.ScaleWindowExt(f.xNum, f.xDenom, f.yNum, f.yDenom);
  }
  static std::int32_t Mode(const EMRSETMAPMODE& f) { return static_cast<std::int32_t>(f.iMode); }
  static void SetMapMode(P& p, const EMRSETMAPMODE& f) { p.device_.SetMapMode(Mode(f)); }
  static void SetBkMode(P& p, const EMRSETBKMODE& f) { p.device_.SetBkMode(Mode(f)); }
  static void SetPolyFillMode(P& p, const EMRSETPOLYFILLMODE& f) {
    p.device_.SetPolyFillMode(Mode(f));
  }
  static void SetROP2(P& p, const EMRSETROP2& f) { p.device_.SetROP2(Mode(f)); }
  static void SetTextAlign(P& p, const EMRSETTEXTALIGN& f) { p.device_.SetTextAlign(f.iMode); }
  static void SelectClipPath(P& p, const EMRSELECTCLIPPATH& f) {
    p.device_.SelectClipPath(Mode(f));
  }
  static void SetArcDirection(P& p, const EMRSETARCDIRECTION& f) {
    p.device_.SetArcDirection(static_cast<std::int32_t>(f.iArcDirection));
  }
  static void SetMiterLimit(P& p, const EMRSETMITERLIMIT& f) {
    p.device_.SetMiterLimit(f.eMiterLimit);
  }
  static void SetTextColor(P& p, const EMRSETTEXTCOLOR& f) { p.device_.SetTextColor(f.crColor); }
  static void SetBkColor(P& p, const EMRSETBKCOLOR& f) { p.device_.SetBkColor(f.crColor); }
  static void SetTextJustification(P& p, const EMRSETTEXTJUSTIFICATION& f) {
    p.device_.SetTextJustification(f.nBreakExtra, f.nBreakCount);
  }
  static void SaveDC(P& p, const EmfRecord&) { p.device_.SaveDC(); }
  static void RestoreDC(P& p, const EMRRESTOREDC& f) { p.device_.RestoreDC(f.iRelative); }
  static void SetWorldTransform(P& p, const EMRSETWORLDTRANSFORM& f) {
    p.device_.SetWorldTransform(f.xform);
  }
  static void ModifyWorldTransform(P& p, const EMRMODIFYWORLDTRANSFORM& f) {
    p.device_.ModifyWorldTransform(f.xform, f.iMode);
  }

  // Object records: metafile handles are mapped to object-table indexes.
  static void SelectObject(P& p, const EMRSELECTOBJECT& f) {
    p.device_.SelectObject(p.LookupHandle(f.ihObject));
  }
  static void SelectPalette(P& p, const EMRSELECTPALETTE& f) {
    p.device_.SelectPalette(p.LookupHandle(f.ihPal));
  }
  static void DeleteObject(P& p, const EMRDELETEOBJECT& f) { p.DeleteHandle(f.ihObject); }
  static void CreatePen(P& p, const EMRCREATEPEN& f) {
    if (p.CanStore(f.ihPen))
      p.StoreHandle(f.ihPen,
                    p.device_.CreatePen(f.lopn.lopnStyle, f.lopn.lopnWidth.x, f.lopn.lopnColor));
  }
  static void ExtCreatePen(P& p, const EMREXTCREATEPEN& f) {
    if (p.CanStore(f.ihPen))
      p.StoreHandle(
          f.ihPen, p.device_.CreatePen(f.elp.elpPenStyle, ToInt32(f.elp.elpWidth), f.elp.elpColor));
  }
  static void CreateBrush(P& p, const EMRCREATEBRUSHINDIRECT& f) {
    if (p.CanStore(f.ihBrush))
      p.StoreHandle(f.ihBrush, p.device_.CreateBrush(f.lb.lbStyle, f.lb.lbColor, f.lb.lbHatch));
  }
  static void CreateFont(P& p, const EMREXTCREATEFONTINDIRECTW& f) {
    if (p.CanStore(f.ihFont)) p.StoreHandle(f.ihFont, p.device_.CreateFont(f.elfw));
  }
  static void CreatePalette(P& p, const EmfRecord& r) {
    const EmfPalette palette = ReadCreatePalette(r);
    if (!palette.ok) return p.Damaged();
    if (p.CanStore(palette.fixed.ihPal))
      p.StoreHandle(palette.fixed.ihPal,
                    p.device_.CreatePalette(palette.entries.Count(),
                                            {palette.entries.Bytes(), palette.entries.ByteSize()}));
  }

  // Drawing records.
  static void SetPixel(P& p, const EMRSETPIXELV& f) {
    p.device_.SetPixel(f.ptlPixel.x, f.ptlPixel.y, f.crColor);
  }
  static void MoveTo(P& p, const EMRMOVETOEX& f) { p.device_.MoveTo(f.ptl.x, f.ptl.y, nullptr); }
  static void LineTo(P& p, const EMRLINETO& f) { p.device_.LineTo(f.ptl.x, f.ptl.y); }
  static void AngleArc(P& p, const EMRANGLEARC& f) {
    if (!std::isfinite(f.eStartAngle) || !std::isfinite(f.eSweepAngle)) return p.Damaged();
    p.device_.AngleArc(f.ptlCenter.x, f.ptlCenter.y, ToInt32(f.nRadius), f.eStartAngle,
                       f.eSweepAngle);
  }
  static void Ellipse(P& p, const EMRELLIPSE& f) { p.device_.Ellipse(f.rclBox, true); }
  static void Rectangle(P& p, const EMRRECTANGLE& f) { p.device_.Rectangle(f.rclBox); }
  static void RoundRect(P& p, const EMRROUNDRECT& f) {
    p.device_.RoundRect(f.rclBox, f.szlCorner.cx, f.szlCorner.cy);
  }
  static void Arc(P& p, const EMRARC& f) {
    if (f.ptlStart.x == 0 && f.ptlStart.y == 0 && f.ptlEnd.x == 0 && f.ptlEnd.y == 0)
      p.device_.Ellipse(f.rclBox, false);
    else
      p.device_.Arc(f.rclBox, f.ptlStart, f.ptlEnd, false);
  }
  static void Chord(P& p, const EMRCHORD& f) { p.device_.Chord(f.rclBox, f.ptlStart, f.ptlEnd); }
  static void Pie(P& p, const EMRPIE& f) { p.device_.Pie(f.rclBox, f.ptlStart, f.ptlEnd); }
  static void ArcTo(P& p, const EMRARCTO& f) {
    p.device_.Arc(f.rclBox, f.ptlStart, f.ptlEnd, true);
  }
  static void BeginPath(P& p, const EmfRecord&) { p.device_.BeginPath(3); }
  static void EndPath(P& p, const EmfRecord&) { p.device_.EndPath(); }
  static void CloseFigure(P& p, const EmfRecord&) { p.device_.CloseFigure(); }
  static void FillPath(P& p, const EmfRecord&) { p.device_.DrawPath(false, true); }
  static void StrokeAndFillPath(P& p, const EmfRecord&) { p.device_.DrawPath(true, true); }
  static void StrokePath(P& p, const EmfRecord&) { p.device_.DrawPath(true, false); }
  static void AbortPath(P& p, const EmfRecord&) {
    // Every open bracket is closed; the bound keeps an override that never reports the
    // bracket closed from looping for ever.
    TQVGenericDevice& d = p.device_;
    for (std::int64_t left = std::int64_t{d.pathNesting} + 1; left > 0 && d.EndPath(); --left) {
    }
  }
  static void GdiComment(P& p, const EmfRecord& r) {
    const EmfComment c = ReadGdiComment(r);
    if (!c.ok) return p.Damaged();
    p.device_.GdiComment({c.data.Bytes(), c.data.ByteSize()});
  }
  static void PaintRegion(P& p, const EmfRecord& r) {
    EMRPAINTRGN f;
    if (!ReadPaintRegion(r, f).ok) return p.Damaged();
    const EmfBytes region = r.Block(sizeof(f), f.cbRgnData);
    p.device_.PaintRegion({region.Bytes(), region.ByteSize()});
  }
  static void OldAlphaDibBlend(P& p, const EmfRecord& r) {
    if (EmfIsOldAlphaDibBlend(r)) p.PlayStretchDIBits(r);
  }

  // The fixed part of Type as its layout reads it, handed to Handle.
  template <DWORD Type, void (*Handle)(P&, const EmfFixedOf<Type>&)>
  static void ReadFixed(P& p, const EmfRecord& r) {
    EmfFixedOf<Type> f;
    if (p.Fixed(r, f)) Handle(p, f);
  }
  template <void (P::*Play)(const EmfRecord&)>
  static void PassRecord(P& p, const EmfRecord& r) {
    (p.*Play)(r);
  }

  struct Entry {
    DWORD type;
    Handler handler;
  };
  template <DWORD Type, void (*Handle)(P&, const EmfFixedOf<Type>&)>
  static constexpr Entry OnFixed() {
    return {Type, &ReadFixed<Type, Handle>};
  }
  template <DWORD Type, void (P::*Play)(const EmfRecord&)>
  static constexpr Entry OnRecord() {
    return {Type, &PassRecord<Play>};
  }
  template <DWORD Type, void (*Handle)(P&, const EmfRecord&)>
  static constexpr Entry OnRecord() {
    return {Type, Handle};
  }

  using Table = std::array<Handler, EMR_MAX + 1>;
  // Types without an entry have no effect: offset/exclude clip, realize palette, fill/frame/
  // invert region, the 16-bit poly-draw, the monochrome brush, the remaining types up to
  // EMR_MAX and every type above.
  static constexpr Table MakeTable() {
    const Entry entries[] = {
        OnRecord<EMR_POLYBEZIER, &P::PlayPoly<POINTL>>(),
        OnRecord<EMR_POLYGON, &P::PlayPoly<POINTL>>(),
        OnRecord<EMR_POLYLINE, &P::PlayPoly<POINTL>>(),
        OnRecord<EMR_POLYBEZIERTO, &P::PlayPoly<POINTL>>(),
        OnRecord<EMR_POLYLINETO, &P::PlayPoly<POINTL>>(),
        OnRecord<EMR_POLYBEZIER16, &P::PlayPoly<POINTS>>(),
        OnRecord<EMR_POLYGON16, &P::PlayPoly<POINTS>>(),
        OnRecord<EMR_POLYLINE16, &P::PlayPoly<POINTS>>(),
        OnRecord<EMR_POLYBEZIERTO16, &P::PlayPoly<POINTS>>(),
        OnRecord<EMR_POLYLINETO16, &P::PlayPoly<POINTS>>(),
        OnRecord<EMR_POLYPOLYLINE, &P::PlayPolyPoly<POINTL>>(),
        OnRecord<EMR_POLYPOLYGON, &P::PlayPolyPoly<POINTL>>(),
        OnRecord<EMR_POLYPOLYLINE16, &P::PlayPolyPoly<POINTS>>(),
        OnRecord<EMR_POLYPOLYGON16, &P::PlayPolyPoly<POINTS>>(),
        OnRecord<EMR_POLYDRAW, &P::PlayPolyDraw>(),
        OnFixed<EMR_SETWINDOWEXTEX, SetWindowExt>(),
        OnFixed<EMR_SETVIEWPORTEXTEX, SetViewportExt>(),
        OnFixed<EMR_SETWINDOWORGEX, SetWindowOrg>(),
        OnFixed<EMR_SETVIEWPORTORGEX, SetViewportOrg>(),
        OnFixed<EMR_SETBRUSHORGEX, SetBrushOrg>(),
        OnFixed<EMR_SETPIXELV, SetPixel>(),
        OnFixed<EMR_SETMAPMODE, SetMapMode>(),
        OnFixed<EMR_SETBKMODE, SetBkMode>(),
        OnFixed<EMR_SETPOLYFILLMODE, SetPolyFillMode>(),
        OnFixed<EMR_SETROP2, SetROP2>(),
        OnFixed<EMR_SETTEXTALIGN, SetTextAlign>(),
        OnFixed<EMR_SETARCDIRECTION, SetArcDirection>(),
        OnFixed<EMR_SETMITERLIMIT, SetMiterLimit>(),
        OnFixed<EMR_SELECTCLIPPATH, SelectClipPath>(),
        OnFixed<EMR_SETTEXTCOLOR, SetTextColor>(),
        OnFixed<EMR_SETBKCOLOR, SetBkColor>(),
        OnFixed<EMR_MOVETOEX, MoveTo>(),
        OnFixed<EMR_LINETO, LineTo>(),
        OnRecord<EMR_INTERSECTCLIPRECT, &P::PlayIntersectClip>(),
        OnFixed<EMR_SCALEVIEWPORTEXTEX, ScaleViewportExt>(),
        OnFixed<EMR_SCALEWINDOWEXTEX, ScaleWindowExt>(),
        OnRecord<EMR_SAVEDC, SaveDC>(),
        OnFixed<EMR_RESTOREDC, RestoreDC>(),
        OnFixed<EMR_SETWORLDTRANSFORM, SetWorldTransform>(),
        OnFixed<EMR_MODIFYWORLDTRANSFORM, ModifyWorldTransform>(),
        OnFixed<EMR_SELECTOBJECT, SelectObject>(),
        OnFixed<EMR_DELETEOBJECT, DeleteObject>(),
        OnFixed<EMR_SELECTPALETTE, SelectPalette>(),
        OnFixed<EMR_CREATEPEN, CreatePen>(),
        OnFixed<EMR_EXTCREATEPEN, ExtCreatePen>(),
        OnFixed<EMR_CREATEBRUSHINDIRECT, CreateBrush>(),
        OnFixed<EMR_EXTCREATEFONTINDIRECTW, CreateFont>(),
        OnRecord<EMR_CREATEPALETTE, CreatePalette>(),
        OnRecord<EMR_CREATEDIBPATTERNBRUSHPT, &P::PlayPatternBrush>(),
        OnFixed<EMR_ANGLEARC, AngleArc>(),
        OnFixed<EMR_ELLIPSE, Ellipse>(),
        OnFixed<EMR_RECTANGLE, Rectangle>(),
        OnFixed<EMR_ROUNDRECT, RoundRect>(),
        OnFixed<EMR_ARC, Arc>(),
        OnFixed<EMR_CHORD, Chord>(),
        OnFixed<EMR_PIE, Pie>(),
        OnFixed<EMR_ARCTO, ArcTo>(),
        OnRecord<EMR_BEGINPATH, BeginPath>(),
        OnRecord<EMR_ENDPATH, EndPath>(),
        OnRecord<EMR_CLOSEFIGURE, CloseFigure>(),
        OnRecord<EMR_FILLPATH, FillPath>(),
        OnRecord<EMR_STROKEANDFILLPATH, StrokeAndFillPath>(),
        OnRecord<EMR_STROKEPATH, StrokePath>(),
        OnRecord<EMR_ABORTPATH, AbortPath>(),
        OnRecord<EMR_GDICOMMENT, GdiComment>(),
        OnRecord<EMR_PAINTRGN, PaintRegion>(),
        OnRecord<EMR_EXTSELECTCLIPRGN, &P::PlayClipRegion>(),
        OnRecord<EMR_BITBLT, &P::PlayBitBlt>(),
        OnRecord<EMR_STRETCHBLT, &P::PlayStretchBlt>(),
        OnRecord<EMR_STRETCHDIBITS, &P::PlayStretchDIBits>(),
        OnRecord<EMR_ALPHADIBBLEND, OldAlphaDibBlend>(),
        OnRecord<EMR_EXTTEXTOUTA, &P::PlayText>(),
        OnRecord<EMR_EXTTEXTOUTW, &P::PlayText>(),
        OnRecord<EMR_ALPHABLEND, &P::PlayAlphaBlend>(),
        OnRecord<EMR_TRANSPARENTBLT, &P::PlayTransparentBlt>(),
        OnRecord<EMR_GRADIENTFILL, &P::PlayGradientFill>(),
        OnFixed<EMR_SETTEXTJUSTIFICATION, SetTextJustification>(),
    };
    Table table{};
    for (const Entry& e : entries) table[e.type] = e.handler;
    return table;
  }
  static const Table kTable;
};

constexpr TQVMetafilePlayer::RecordHandlers::Table TQVMetafilePlayer::RecordHandlers::kTable =
    MakeTable();

void TQVMetafilePlayer::Dispatch(const EmfRecord& r) {
  if (const RecordHandlers::Handler handle = RecordHandlers::kTable[EmfTableIndex(r.Type())])
    handle(*this, r);
}

}  // namespace vellora
