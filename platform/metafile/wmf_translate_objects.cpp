// Objects: pens, brushes, fonts, palettes and regions, their selection and deletion, and the
// region fills.
#include <algorithm>
#include <cstring>

#include "wmf_translator_impl.h"

namespace qvplatform {
namespace metafile {
namespace {

constexpr RECTL kNoBounds{0, 0, -1, -1};
constexpr WORD kPaletteVersion = 0x300;
constexpr std::size_t kLogFont16Words = 9;  // the fields before the face name
constexpr std::size_t kRegionHeadWords = 11;

struct EMRSETPALETTEENTRIES {
  EMR emr;
  DWORD ihPal = 0;
  DWORD iStart = 0;
  DWORD cEntries = 0;
};
struct EMRRESIZEPALETTE {
  EMR emr;
  DWORD ihPal = 0;
  DWORD cEntries = 0;
};

}  // namespace

bool WmfTranslator::NewSlot(WmfObjectKind kind, std::size_t& slot) {
  if (objects_.Take(kind, slot)) return true;
  Damage("an object past the object table");
  return false;
}

bool WmfTranslator::SlotOf(const WmfParams& p, std::size_t i, WmfObjectKind kind,
                           std::size_t& slot) {
  slot = p.Word(i);
  if (objects_.KindOf(slot) == kind) return true;
  Damage("an object slot that holds no such object");
  return false;
}

void WmfTranslator::CreatePen(const WmfParams& p) {
  if (!p.Has(5)) return Damage("a pen record too short");
  std::size_t slot;
  if (!NewSlot(WmfObjectKind::kPen, slot)) return;
  const LOGPEN pen{p.Word(0), POINTL{p.Short(1), 0}, p.Dword(3)};
  Emit(EMR_CREATEPEN, EMRCREATEPEN{{}, Handle(slot), pen});
}

void WmfTranslator::CreateBrush(const WmfParams& p) {
  if (!p.Has(4)) return Damage("a brush record too short");
  std::size_t slot;
  if (!NewSlot(WmfObjectKind::kBrush, slot)) return;
  const LOGBRUSH brush{p.Word(0), p.Dword(1), p.Word(3)};
  Emit(EMR_CREATEBRUSHINDIRECT, EMRCREATEBRUSHINDIRECT{{}, Handle(slot), brush});
}

// The 16-bit logical font: five 16-bit values, eight bytes, then the face name (its bytes
// taken as Latin-1, as face names are ASCII in practice).
void WmfTranslator::CreateFont(const WmfParams& p) {
  if (!p.Has(kLogFont16Words)) return Damage("a font record too short");
  std::size_t slot;
  if (!NewSlot(WmfObjectKind::kFont, slot)) return;
  LOGFONTW f;
  f.lfHeight = p.Short(0);
  f.lfWidth = p.Short(1);
  f.lfEscapement = p.Short(2);
  f.lfOrientation = p.Short(3);
  f.lfWeight = p.Short(4);
  const std::span<const BYTE> b = p.Bytes(5, 8);
  f.lfItalic = b[0];
  f.lfUnderline = b[1];
  f.lfStrikeOut = b[2];
  f.lfCharSet = b[3];
  f.lfOutPrecision = b[4];
  f.lfClipPrecision = b[5];
  f.lfQuality = b[6];
  f.lfPitchAndFamily = b[7];
  const std::span<const BYTE> face = p.Rest(kLogFont16Words);
  for (std::size_t i = 0; i < face.size() && i + 1 < std::size(f.lfFaceName) && face[i] != 0; ++i)
    f.lfFaceName[i] = face[i];
  Emit(EMR_EXTCREATEFONTINDIRECTW, EMREXTCREATEFONTINDIRECTW{{}, Handle(slot), f});
}

void WmfTranslator::CreatePalette(const WmfParams& p) {
  const std::size_t count = p.Word(1);
  const std::span<const BYTE> entries = p.Bytes(2, std::uint64_t{count} * 4);
  if (!p.Has(2) || entries.size() != count * 4) return Damage("a palette count past the record");
  std::size_t slot;
  if (!NewSlot(WmfObjectKind::kPalette, slot)) return;
  Emit(EMR_CREATEPALETTE,
       EMRCREATEPALETTE{{}, Handle(slot), kPaletteVersion, static_cast<WORD>(count)},
       entries.data(), entries.size());
}

// A region keeps its record; it is checked where it is used.
void WmfTranslator::CreateRegion(const WmfParams& p) {
  if (!p.Has(kRegionHeadWords)) return Damage("a region record too short");
  std::size_t slot;
  if (!NewSlot(WmfObjectKind::kRegion, slot)) return;
  objects_.SetRegion(slot, p);
}

void WmfTranslator::SelectObject(const WmfParams& p) {
  const std::size_t slot = p.Word(0);
  switch (objects_.KindOf(slot)) {
    case WmfObjectKind::kFree:
      return Damage("a selected slot that holds no object");
    case WmfObjectKind::kRegion:
      return SelectClipRegion(p);
    case WmfObjectKind::kPalette:
      return SelectPalette(p);
    default:
      Emit(EMR_SELECTOBJECT, EMRSELECTOBJECT{{}, Handle(slot)});
  }
}

void WmfTranslator::SelectPalette(const WmfParams& p) {
  std::size_t slot;
  if (!SlotOf(p, 0, WmfObjectKind::kPalette, slot)) return;
  selectedPalette_ = slot;
  Emit(EMR_SELECTPALETTE, EMRSELECTPALETTE{{}, Handle(slot)});
}

void WmfTranslator::DeleteObject(const WmfParams& p) {
  const std::size_t slot = p.Word(0);
  const WmfObjectKind kind = objects_.KindOf(slot);
  if (kind == WmfObjectKind::kFree) return Damage("a deleted slot that holds no object");
  if (kind != WmfObjectKind::kRegion) Emit(EMR_DELETEOBJECT, EMRDELETEOBJECT{{}, Handle(slot)});
  if (slot == selectedPalette_) selectedPalette_ = SIZE_MAX;
  objects_.Free(slot);
}

void WmfTranslator::RealizePalette(const WmfParams&) { Emit(EMR_REALIZEPALETTE, EMRABORTPATH{}); }

// Start, count and entries, for the selected palette.
void WmfTranslator::SetPalEntries(const WmfParams& p) {
  const std::size_t count = p.Word(1);
  const std::span<const BYTE> entries = p.Bytes(2, std::uint64_t{count} * 4);
  if (!p.Has(2) || entries.size() != count * 4) return Damage("a palette count past the record");
  if (selectedPalette_ == SIZE_MAX) return;
  Emit(EMR_SETPALETTEENTRIES,
       EMRSETPALETTEENTRIES{{}, Handle(selectedPalette_), p.Word(0), static_cast<DWORD>(count)},
       entries.data(), entries.size());
}

void WmfTranslator::ResizePalette(const WmfParams& p) {
  if (selectedPalette_ == SIZE_MAX) return;
  Emit(EMR_RESIZEPALETTE, EMRRESIZEPALETTE{{}, Handle(selectedPalette_), p.Word(0)});
}

// ---- Regions ----

// The scans of a region record: each its count of x values, top, bottom, the x values in
// left-right pairs and the count again. A region without scans is its bounding box.
bool WmfTranslator::RegionRects(const WmfParams& region) {
  rects_.clear();
  const std::size_t scans = region.Word(5);
  std::size_t at = kRegionHeadWords;
  if (scans == 0) {
    const RECTL box{region.Short(7), region.Short(8), region.Short(9), region.Short(10)};
    if (box.right > box.left && box.bottom > box.top) rects_.push_back(box);
    return true;
  }
  for (std::size_t s = 0; s < scans; ++s) {
    const std::size_t xs = region.Word(at);
    if (xs % 2 != 0 || !region.Has(at + 3 + xs + 1)) return false;
    const LONG top = region.Short(at + 1), bottom = region.Short(at + 2);
    for (std::size_t i = 0; i < xs; i += 2)
      rects_.push_back(RECTL{region.Short(at + 3 + i), top, region.Short(at + 4 + i), bottom});
    at += 3 + xs + 1;
  }
  return true;
}

// A filled path of rectangle outlines: both players fill paths with the current brush in
// logical units, which is what the old region records mean.
void WmfTranslator::FillRects(std::size_t count) {
  if (count == 0) return;
  tail_.resize(count * 4 + count * 4 * sizeof(POINTS));
  BYTE* counts = tail_.data();
  BYTE* points = tail_.data() + count * 4;
  for (std::size_t i = 0; i < count; ++i) {
    const DWORD four = 4;
    std::memcpy(counts + i * 4, &four, 4);
    const RECTL& r = rects_[i];
    const POINTS corners[4] = {
        {static_cast<std::int16_t>(r.left), static_cast<std::int16_t>(r.top)},
        {static_cast<std::int16_t>(r.right), static_cast<std::int16_t>(r.top)},
        {static_cast<std::int16_t>(r.right), static_cast<std::int16_t>(r.bottom)},
        {static_cast<std::int16_t>(r.left), static_cast<std::int16_t>(r.bottom)}};
    std::memcpy(points + i * sizeof corners, corners, sizeof corners);
  }
  Emit(EMR_BEGINPATH, EMRBEGINPATH{});
  Emit(EMR_POLYPOLYGON16,
       EMRPOLYPOLYLINE16{{}, kNoBounds, static_cast<DWORD>(count), static_cast<DWORD>(count * 4)},
       tail_.data(), tail_.size());
  Emit(EMR_ENDPATH, EMRENDPATH{});
  Emit(EMR_FILLPATH, EMRFILLPATH{{}, kNoBounds});
}

void WmfTranslator::PaintRegion(const WmfParams& p) {
  std::size_t region;
  if (!SlotOf(p, 0, WmfObjectKind::kRegion, region)) return;
  if (!RegionRects(objects_.Region(region))) return Damage("a damaged region");
  FillRects(rects_.size());
}

// Region, then brush: the brush is selected only for the fill.
void WmfTranslator::FillRegion(const WmfParams& p) {
  std::size_t region, brush;
  if (!SlotOf(p, 0, WmfObjectKind::kRegion, region) || !SlotOf(p, 1, WmfObjectKind::kBrush, brush))
    return;
  if (!RegionRects(objects_.Region(region))) return Damage("a damaged region");
  if (rects_.empty()) return;
  Emit(EMR_SAVEDC, EMRSAVEDC{});
  Emit(EMR_SELECTOBJECT, EMRSELECTOBJECT{{}, Handle(brush)});
  FillRects(rects_.size());
  Emit(EMR_RESTOREDC, EMRRESTOREDC{{}, -1});
}

// Region, brush, stroke height and width: each rectangle's border, drawn inside it.
void WmfTranslator::FrameRegion(const WmfParams& p) {
  std::size_t region, brush;
  if (!SlotOf(p, 0, WmfObjectKind::kRegion, region) || !SlotOf(p, 1, WmfObjectKind::kBrush, brush))
    return;
  if (!RegionRects(objects_.Region(region))) return Damage("a damaged region");
  const LONG h = std::max<LONG>(1, p.Short(2)), w = std::max<LONG>(1, p.Short(3));
  const std::size_t count = rects_.size();
  if (count == 0) return;
  // Four strips for each rectangle, written after the rectangles and moved down.
  for (std::size_t i = 0; i < count; ++i) {
    const RECTL r = rects_[i];
    const LONG right = std::max(r.left, r.right - w), bottom = std::max(r.top, r.bottom - h);
    rects_.push_back({r.left, r.top, r.right, std::min(r.bottom, r.top + h)});
    rects_.push_back({r.left, bottom, r.right, r.bottom});
    rects_.push_back({r.left, r.top, std::min(r.right, r.left + w), r.bottom});
    rects_.push_back({right, r.top, r.right, r.bottom});
  }
  rects_.erase(rects_.begin(), rects_.begin() + static_cast<std::ptrdiff_t>(count));
  Emit(EMR_SAVEDC, EMRSAVEDC{});
  Emit(EMR_SELECTOBJECT, EMRSELECTOBJECT{{}, Handle(brush)});
  FillRects(rects_.size());
  Emit(EMR_RESTOREDC, EMRRESTOREDC{{}, -1});
}

// The rectangles of rects_ as region data in the reference device's pixels, into tail_.
void WmfTranslator::DeviceRegionData() {
  const std::size_t count = rects_.size();
  RGNDATAHEADER head;
  head.dwSize = sizeof head;
  head.iType = RDH_RECTANGLES;
  head.nCount = static_cast<DWORD>(count);
  head.nRgnSize = static_cast<DWORD>(count * sizeof(RECTL));
  tail_.resize(sizeof head + count * sizeof(RECTL));
  for (std::size_t i = 0; i < count; ++i) {
    const POINTL a = ToDevice(rects_[i].left, rects_[i].top);
    const POINTL b = ToDevice(rects_[i].right, rects_[i].bottom);
    const RECTL r{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    head.rcBound =
        i == 0
            ? r
            : RECTL{std::min(head.rcBound.left, r.left), std::min(head.rcBound.top, r.top),
                    std::max(head.rcBound.right, r.right), std::max(head.rcBound.bottom, r.bottom)};
    std::memcpy(tail_.data() + sizeof head + i * sizeof(RECTL), &r, sizeof r);
  }
  std::memcpy(tail_.data(), &head, sizeof head);
}

void WmfTranslator::InvertRegion(const WmfParams& p) {
  std::size_t region;
  if (!SlotOf(p, 0, WmfObjectKind::kRegion, region)) return;
  if (!RegionRects(objects_.Region(region))) return Damage("a damaged region");
  DeviceRegionData();
  Emit(EMR_INVERTRGN, EMRINVERTRGN{{}, kNoBounds, static_cast<DWORD>(tail_.size())}, tail_.data(),
       tail_.size());
}

}  // namespace metafile
}  // namespace qvplatform
