// The record table of the player: state records go to the DC-state handlers, object records to
// the object table (through the handle map), drawing records to the device's drawing slots.
#include <algorithm>
#include <cmath>
#include <limits>

#include "QVGenDC/metafile_player.h"
#include "qvplatform/emf_parts.h"

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

void TQVMetafilePlayer::Dispatch(const EmfRecord& r) {
  TQVGenericDevice& d = device_;
  switch (r.Type()) {
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
      return PlayPoly<POINTL>(r);
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
      return PlayPoly<POINTS>(r);
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
      return PlayPolyPoly<POINTL>(r);
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16:
      return PlayPolyPoly<POINTS>(r);
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX: {
      EMRSETWINDOWEXTEX f;
      if (!Fixed(r, f)) return;
      if (r.Type() == EMR_SETWINDOWEXTEX)
        d.SetWindowExt(f.szlExtent.cx, f.szlExtent.cy);
      else
        d.SetViewportExt(f.szlExtent.cx, f.szlExtent.cy);
      return;
    }
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETBRUSHORGEX: {
      EMRSETWINDOWORGEX f;
      if (!Fixed(r, f)) return;
      const POINTL p = f.ptlOrigin;
      if (r.Type() == EMR_SETWINDOWORGEX)
        d.SetWindowOrg(p.x, p.y);
      else if (r.Type() == EMR_SETVIEWPORTORGEX)
        d.SetViewportOrg(p.x, p.y);
      else
        d.SetBrushOrg(p.x, p.y);
      return;
    }
    case EMR_SETPIXELV: {
      EMRSETPIXELV f;
      if (Fixed(r, f)) d.SetPixel(f.ptlPixel.x, f.ptlPixel.y, f.crColor);
      return;
    }
    case EMR_SETMAPMODE:
    case EMR_SETBKMODE:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETROP2:
    case EMR_SETTEXTALIGN:
    case EMR_SETARCDIRECTION:
    case EMR_SETMITERLIMIT:
    case EMR_SELECTCLIPPATH: {
      EMRSETMAPMODE f;
      if (!Fixed(r, f)) return;
      const auto value = static_cast<std::int32_t>(f.iMode);
      switch (r.Type()) {
        case EMR_SETMAPMODE:
          d.SetMapMode(value);
          break;
        case EMR_SETBKMODE:
          d.SetBkMode(value);
          break;
        case EMR_SETPOLYFILLMODE:
          d.SetPolyFillMode(value);
          break;
        case EMR_SETROP2:
          d.SetROP2(value);
          break;
        case EMR_SETTEXTALIGN:
          d.SetTextAlign(f.iMode);
          break;
        case EMR_SETARCDIRECTION:
          d.SetArcDirection(value);
          break;
        case EMR_SETMITERLIMIT:
          d.SetMiterLimit(f.iMode);
          break;
        default:
          d.SelectClipPath(value);
          break;
      }
      return;
    }
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR: {
      EMRSETTEXTCOLOR f;
      if (!Fixed(r, f)) return;
      if (r.Type() == EMR_SETTEXTCOLOR)
        d.SetTextColor(f.crColor);
      else
        d.SetBkColor(f.crColor);
      return;
    }
    case EMR_MOVETOEX:
    case EMR_LINETO: {
      EMRMOVETOEX f;
      if (!Fixed(r, f)) return;
      if (r.Type() == EMR_MOVETOEX)
        d.MoveTo(f.ptl.x, f.ptl.y, nullptr);
      else
        d.LineTo(f.ptl.x, f.ptl.y);
      return;
    }
    case EMR_INTERSECTCLIPRECT:
      return PlayIntersectClip(r);
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
      EMRSCALEVIEWPORTEXTEX f;
      if (!Fixed(r, f)) return;
      if (r.Type() == EMR_SCALEVIEWPORTEXTEX)
        d.ScaleViewportExt(f.xNum, f.xDenom, f.yNum, f.yDenom);
      else
        d.ScaleWindowExt(f.xNum, f.xDenom, f.yNum, f.yDenom);
      return;
    }
    case EMR_SAVEDC:
      d.SaveDC();
      return;
    case EMR_RESTOREDC: {
      EMRRESTOREDC f;
      if (Fixed(r, f)) d.RestoreDC(f.iRelative);
      return;
    }
    case EMR_SETWORLDTRANSFORM: {
      EMRSETWORLDTRANSFORM f;
      if (Fixed(r, f)) d.SetWorldTransform(f.xform);
      return;
    }
    case EMR_MODIFYWORLDTRANSFORM: {
      EMRMODIFYWORLDTRANSFORM f;
      if (Fixed(r, f)) d.ModifyWorldTransform(f.xform, f.iMode);
      return;
    }
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT:
    case EMR_SELECTPALETTE: {
      EMRSELECTOBJECT f;
      if (!Fixed(r, f)) return;
      if (r.Type() == EMR_SELECTOBJECT)
        d.SelectObject(LookupHandle(f.ihObject));
      else if (r.Type() == EMR_SELECTPALETTE)
        d.SelectPalette(LookupHandle(f.ihObject));
      else
        DeleteHandle(f.ihObject);
      return;
    }
    case EMR_CREATEPEN: {
      EMRCREATEPEN f;
      if (Fixed(r, f) && CanStore(f.ihPen))
        StoreHandle(f.ihPen, d.CreatePen(f.lopn.lopnStyle, f.lopn.lopnWidth.x, f.lopn.lopnColor));
      return;
    }
    case EMR_EXTCREATEPEN: {
      EMREXTCREATEPEN f;
      if (Fixed(r, f) && CanStore(f.ihPen))
        StoreHandle(f.ihPen,
                    d.CreatePen(f.elp.elpPenStyle, ToInt32(f.elp.elpWidth), f.elp.elpColor));
      return;
    }
    case EMR_CREATEBRUSHINDIRECT: {
      EMRCREATEBRUSHINDIRECT f;
      if (Fixed(r, f) && CanStore(f.ihBrush))
        StoreHandle(f.ihBrush, d.CreateBrush(f.lb.lbStyle, f.lb.lbColor, f.lb.lbHatch));
      return;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
      EMREXTCREATEFONTINDIRECTW f;
      if (Fixed(r, f) && CanStore(f.ihFont)) StoreHandle(f.ihFont, d.CreateFont(f.elfw));
      return;
    }
    case EMR_CREATEPALETTE: {
      const EmfPalette p = ReadCreatePalette(r);
      if (!p.ok) return Damaged();
      if (CanStore(p.fixed.ihPal))
        StoreHandle(p.fixed.ihPal,
                    d.CreatePalette(p.entries.Count(), {p.entries.Bytes(), p.entries.ByteSize()}));
      return;
    }
    case EMR_CREATEDIBPATTERNBRUSHPT:
      return PlayPatternBrush(r);
    case EMR_ANGLEARC: {
      EMRANGLEARC f;
      if (!Fixed(r, f)) return;
      if (!std::isfinite(f.eStartAngle) || !std::isfinite(f.eSweepAngle)) return Damaged();
      d.AngleArc(f.ptlCenter.x, f.ptlCenter.y, ToInt32(f.nRadius), f.eStartAngle, f.eSweepAngle);
      return;
    }
    case EMR_ELLIPSE:
    case EMR_RECTANGLE: {
      EMRELLIPSE f;
      if (!Fixed(r, f)) return;
      if (r.Type() == EMR_ELLIPSE)
        d.Ellipse(f.rclBox, true);
      else
        d.Rectangle(f.rclBox);
      return;
    }
    case EMR_ROUNDRECT: {
      EMRROUNDRECT f;
      if (Fixed(r, f)) d.RoundRect(f.rclBox, f.szlCorner.cx, f.szlCorner.cy);
      return;
    }
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO: {
      EMRARC f;
      if (!Fixed(r, f)) return;
      switch (r.Type()) {
        case EMR_ARC:
          if (f.ptlStart.x == 0 && f.ptlStart.y == 0 && f.ptlEnd.x == 0 && f.ptlEnd.y == 0)
            d.Ellipse(f.rclBox, false);
          else
            d.Arc(f.rclBox, f.ptlStart, f.ptlEnd, false);
          break;
        case EMR_CHORD:
          d.Chord(f.rclBox, f.ptlStart, f.ptlEnd);
          break;
        case EMR_PIE:
          d.Pie(f.rclBox, f.ptlStart, f.ptlEnd);
          break;
        default:
          d.Arc(f.rclBox, f.ptlStart, f.ptlEnd, true);
          break;
      }
      return;
    }
    case EMR_POLYDRAW:
      return PlayPolyDraw(r);
    case EMR_BEGINPATH:
      d.BeginPath(3);
      return;
    case EMR_ENDPATH:
      d.EndPath();
      return;
    case EMR_CLOSEFIGURE:
      d.CloseFigure();
      return;
    case EMR_FILLPATH:
      d.DrawPath(false, true);
      return;
    case EMR_STROKEANDFILLPATH:
      d.DrawPath(true, true);
      return;
    case EMR_STROKEPATH:
      d.DrawPath(true, false);
      return;
    case EMR_ABORTPATH: {
      // Every open bracket is closed; the bound keeps an override that never reports the
      // bracket closed from looping for ever.
      for (std::int64_t left = std::int64_t{d.pathNesting} + 1; left > 0 && d.EndPath(); --left) {
      }
      return;
    }
    case EMR_GDICOMMENT: {
      const EmfComment c = ReadGdiComment(r);
      if (!c.ok) return Damaged();
      d.GdiComment({c.data.Bytes(), c.data.ByteSize()});
      return;
    }
    case EMR_PAINTRGN: {
      EMRPAINTRGN f;
      if (!ReadPaintRegion(r, f).ok) return Damaged();
      const EmfBytes region = r.Block(sizeof(f), f.cbRgnData);
      d.PaintRegion({region.Bytes(), region.ByteSize()});
      return;
    }
    case EMR_EXTSELECTCLIPRGN:
      return PlayClipRegion(r);
    case EMR_BITBLT:
      return PlayBitBlt(r);
    case EMR_STRETCHBLT:
      return PlayStretchBlt(r);
    case EMR_STRETCHDIBITS:
      return PlayStretchDIBits(r);
    case EMR_ALPHADIBBLEND:
      // In current metafiles 115 is EMR_SETLAYOUT (12 bytes): only a record long enough for
      // the stretch-DIB layout is the old alpha blend.
      if (r.Size() >= sizeof(EMRSTRETCHDIBITS)) PlayStretchDIBits(r);
      return;
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
      return PlayText(r);
    case EMR_ALPHABLEND:
      return PlayAlphaBlend(r);
    case EMR_TRANSPARENTBLT:
      return PlayTransparentBlt(r);
    case EMR_GRADIENTFILL:
      return PlayGradientFill(r);
    case EMR_SETTEXTJUSTIFICATION: {
      EMRSETTEXTJUSTIFICATION f;
      if (Fixed(r, f)) d.SetTextJustification(f.nBreakExtra, f.nBreakCount);
      return;
    }
    default:
      // No effect: offset/exclude clip, realize palette, fill/frame/invert region, the
      // remaining types up to 120 and every type above.
      return;
  }
}

}  // namespace vellora
