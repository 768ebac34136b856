// Device-context state: save and restore, attributes, the window, the clip.
#include <algorithm>
#include <cstring>

#include "wmf_translator_impl.h"

namespace qvplatform {
namespace metafile {

void WmfTranslator::Ignore(const WmfParams&) {}

void WmfTranslator::SaveDC(const WmfParams&) {
  saved_.push_back(state_);
  Emit(EMR_SAVEDC, EMRSAVEDC{});
}

void WmfTranslator::RestoreDC(const WmfParams& p) {
  const std::int64_t level = p.Short(0);
  const std::int64_t depth = static_cast<std::int64_t>(saved_.size());
  // Negative: that many levels back; positive: the level of that SaveDC.
  const std::int64_t keep = level < 0 ? depth + level : level - 1;
  if (level == 0 || keep < 0 || keep >= depth) return Damage("a restore of a level never saved");
  state_ = saved_[static_cast<std::size_t>(keep)];
  saved_.resize(static_cast<std::size_t>(keep));
  Emit(EMR_RESTOREDC, EMRRESTOREDC{{}, static_cast<LONG>(level)});
}

void WmfTranslator::SetMapMode(const WmfParams& p) {
  // Fixed map modes would take the picture off its frame.
  const LONG mode = p.Short(0);
  if (mode == MM_ANISOTROPIC || mode == MM_ISOTROPIC) EmitValue(EMR_SETMAPMODE, DWORD(mode));
}

void WmfTranslator::SetBkMode(const WmfParams& p) { EmitValue(EMR_SETBKMODE, p.Word(0)); }
void WmfTranslator::SetROP2(const WmfParams& p) { EmitValue(EMR_SETROP2, p.Word(0)); }
void WmfTranslator::SetPolyFillMode(const WmfParams& p) {
  EmitValue(EMR_SETPOLYFILLMODE, p.Word(0));
}
void WmfTranslator::SetStretchBltMode(const WmfParams& p) {
  EmitValue(EMR_SETSTRETCHBLTMODE, p.Word(0));
}
void WmfTranslator::SetTextAlign(const WmfParams& p) { EmitValue(EMR_SETTEXTALIGN, p.Word(0)); }
void WmfTranslator::SetMapperFlags(const WmfParams& p) {
  EmitValue(EMR_SETMAPPERFLAGS, p.Dword(0));
}
void WmfTranslator::SetLayout(const WmfParams& p) { EmitValue(EMR_SETLAYOUT, p.Dword(0)); }
void WmfTranslator::SetBkColor(const WmfParams& p) {
  Emit(EMR_SETBKCOLOR, EMRSETBKCOLOR{{}, p.Dword(0)});
}
void WmfTranslator::SetTextColor(const WmfParams& p) {
  Emit(EMR_SETTEXTCOLOR, EMRSETTEXTCOLOR{{}, p.Dword(0)});
}

// The enhanced metafile has no record for it: the text records add it to their advances.
void WmfTranslator::SetTextCharExtra(const WmfParams& p) { state_.charExtra = p.Short(0); }

void WmfTranslator::SetTextJustification(const WmfParams& p) {
  Emit(EMR_SETTEXTJUSTIFICATION, EMRSETTEXTJUSTIFICATION{{}, p.Short(1), p.Short(0)});
}

void WmfTranslator::SetWindowOrg(const WmfParams& p) {
  state_.windowOrg = {p.Short(1), p.Short(0)};
  EmitPoint(EMR_SETWINDOWORGEX, state_.windowOrg.x, state_.windowOrg.y);
}

void WmfTranslator::SetWindowExt(const WmfParams& p) {
  const SIZEL ext{p.Short(1), p.Short(0)};
  if (ext.cx == 0 || ext.cy == 0) return;  // no mapping has a zero extent
  state_.windowExt = ext;
  EmitSize(EMR_SETWINDOWEXTEX, ext.cx, ext.cy);
}

void WmfTranslator::OffsetWindowOrg(const WmfParams& p) {
  state_.windowOrg.x += p.Short(1);
  state_.windowOrg.y += p.Short(0);
  EmitPoint(EMR_SETWINDOWORGEX, state_.windowOrg.x, state_.windowOrg.y);
}

void WmfTranslator::ScaleWindowExt(const WmfParams& p) {
  const LONG yDenom = p.Short(0), yNum = p.Short(1), xDenom = p.Short(2), xNum = p.Short(3);
  if (xDenom == 0 || yDenom == 0) return;
  const LONG cx = static_cast<LONG>(std::int64_t{state_.windowExt.cx} * xNum / xDenom);
  const LONG cy = static_cast<LONG>(std::int64_t{state_.windowExt.cy} * yNum / yDenom);
  if (cx == 0 || cy == 0) return;
  state_.windowExt = {cx, cy};
  Emit(EMR_SCALEWINDOWEXTEX, EMRSCALEWINDOWEXTEX{{}, xNum, xDenom, yNum, yDenom});
}

POINTL WmfTranslator::ToDevice(LONG x, LONG y) const {
  const auto axis = [](LONG v, LONG org, LONG viewport, LONG window) {
    const double d = double(std::int64_t{v} - org) * viewport / window;
    return static_cast<LONG>(std::clamp(d, -1e9, 1e9));
  };
  return {axis(x, state_.windowOrg.x, frame_.viewport.cx, state_.windowExt.cx),
          axis(y, state_.windowOrg.y, frame_.viewport.cy, state_.windowExt.cy)};
}

// ---- Clipping ----

void WmfTranslator::ExcludeClipRect(const WmfParams& p) {
  EmitRect(EMR_EXCLUDECLIPRECT, ReversedRect(p, 0));
}
void WmfTranslator::IntersectClipRect(const WmfParams& p) {
  EmitRect(EMR_INTERSECTCLIPRECT, ReversedRect(p, 0));
}
void WmfTranslator::OffsetClipRgn(const WmfParams& p) {
  Emit(EMR_OFFSETCLIPRGN, EMROFFSETCLIPRGN{{}, POINTL{p.Short(1), p.Short(0)}});
}

// The clip becomes the region, in the reference device's pixels as the record wants them; a
// slot without a region clears the clip.
void WmfTranslator::SelectClipRegion(const WmfParams& p) {
  const std::size_t slot = p.Word(0);
  if (objects_.KindOf(slot) != WmfObjectKind::kRegion) {
    Emit(EMR_EXTSELECTCLIPRGN, EMREXTSELECTCLIPRGN{{}, 0, RGN_COPY});
    return;
  }
  if (!RegionRects(objects_.Region(slot))) return Damage("a damaged region");
  DeviceRegionData();
  Emit(EMR_EXTSELECTCLIPRGN, EMREXTSELECTCLIPRGN{{}, static_cast<DWORD>(tail_.size()), RGN_COPY},
       tail_.data(), tail_.size());
}

}  // namespace metafile
}  // namespace qvplatform
