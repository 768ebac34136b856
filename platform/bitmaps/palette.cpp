#include "qvplatform/palette.h"

#include <algorithm>
#include <iterator>
#include <mutex>
#include <unordered_map>

#include "palette_object.h"
#include "qvplatform/handle_table.h"

namespace qvplatform {

const PALETTEENTRY kDefaultPaletteEntries[kDefaultPaletteSize] = {
    {0x00, 0x00, 0x00, 0}, {0x80, 0x00, 0x00, 0}, {0x00, 0x80, 0x00, 0}, {0x80, 0x80, 0x00, 0},
    {0x00, 0x00, 0x80, 0}, {0x80, 0x00, 0x80, 0}, {0x00, 0x80, 0x80, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0xC0, 0xDC, 0xC0, 0}, {0xA6, 0xCA, 0xF0, 0}, {0xFF, 0xFB, 0xF0, 0}, {0xA0, 0xA0, 0xA4, 0},
    {0x80, 0x80, 0x80, 0}, {0xFF, 0x00, 0x00, 0}, {0x00, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0x00, 0},
    {0x00, 0x00, 0xFF, 0}, {0xFF, 0x00, 0xFF, 0}, {0x00, 0xFF, 0xFF, 0}, {0xFF, 0xFF, 0xFF, 0},
};

namespace {

struct Stock {
  std::shared_ptr<const bitmaps::PaletteObject> object;
  HPALETTE handle = 0;
};

const Stock& StockPalette() {
  static const Stock stock = [] {
    Stock s;
    auto object = std::make_shared<bitmaps::PaletteObject>();
    object->entries.assign(std::begin(kDefaultPaletteEntries), std::end(kDefaultPaletteEntries));
    s.object = object;
    s.handle = HandleTable::Instance().Add(HandleKind::kPalette, object);
    HandleTable::Instance().MarkStock(s.handle);  // DeleteObject must refuse it
    return s;
  }();
  return stock;
}

// The palettes selected into device contexts. A context without an entry has the default
// palette; the entry keeps the palette alive while it is selected.
struct Selection {
  HPALETTE handle;
  std::shared_ptr<const bitmaps::PaletteObject> object;
};
struct SelectionTable {
  std::mutex mutex;
  std::unordered_map<HDC, Selection> byDc;
};

SelectionTable& Selections() {
  static SelectionTable* table = new SelectionTable();  // outlives static destructors
  return *table;
}

bool IsDeviceContext(HDC hdc) {
  HandleKind kind;
  return HandleTable::Instance().KindOf(hdc, &kind) && kind == HandleKind::kDeviceContext;
}

// Entries of contexts that no longer exist; called when the table has grown.
void DropDeadContexts(SelectionTable& t) {
  for (auto it = t.byDc.begin(); it != t.byDc.end();)
    it = IsDeviceContext(it->first) ? std::next(it) : t.byDc.erase(it);
}

}  // namespace

namespace bitmaps {

std::shared_ptr<const PaletteObject> FindPalette(HPALETTE palette) {
  return HandleTable::Instance().Get<const PaletteObject>(palette, HandleKind::kPalette);
}

std::shared_ptr<const PaletteObject> SelectedPalette(HDC hdc) {
  SelectionTable& t = Selections();
  {
    std::lock_guard lock(t.mutex);
    const auto it = t.byDc.find(hdc);
    if (it != t.byDc.end()) return it->second.object;
  }
  return StockPalette().object;
}

}  // namespace bitmaps

HPALETTE CreatePalette(const PALETTEENTRY* entries, UINT count) {
  if (entries == nullptr || count == 0 || count > kMaxPaletteEntries) return 0;
  auto object = std::make_shared<bitmaps::PaletteObject>();
  object->entries.assign(entries, entries + count);
  return HandleTable::Instance().Add(HandleKind::kPalette, std::move(object));
}

HPALETTE GetDefaultPalette() { return StockPalette().handle; }

bool IsStockPalette(HPALETTE palette) { return palette != 0 && palette == StockPalette().handle; }

UINT GetPaletteEntryCount(HPALETTE palette) {
  const auto p = bitmaps::FindPalette(palette);
  return p ? static_cast<UINT>(p->entries.size()) : 0;
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* out) {
  const auto p = bitmaps::FindPalette(palette);
  if (!p) return 0;
  const std::size_t size = p->entries.size();
  if (out == nullptr) return static_cast<UINT>(size);
  if (start >= size) return 0;
  const std::size_t n = std::min<std::size_t>(count, size - start);
  std::copy_n(p->entries.begin() + start, n, out);
  return static_cast<UINT>(n);
}

UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
  const auto p = bitmaps::FindPalette(palette);
  if (!p) return kNoPaletteIndex;
  const int r = static_cast<int>(GetRValue(color)), g = static_cast<int>(GetGValue(color)),
            b = static_cast<int>(GetBValue(color));
  UINT best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0; i < p->entries.size(); ++i) {
    const PALETTEENTRY& e = p->entries[i];
    const int dr = e.peRed - r, dg = e.peGreen - g, db = e.peBlue - b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<UINT>(i);
    }
  }
  return best;
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL /*forceBackground*/) {
  auto object = bitmaps::FindPalette(palette);
  if (!object || !IsDeviceContext(hdc)) return 0;
  const Stock& stock = StockPalette();
  SelectionTable& t = Selections();
  std::lock_guard lock(t.mutex);
  HPALETTE previous = stock.handle;
  const auto it = t.byDc.find(hdc);
  if (it != t.byDc.end()) {
    previous = it->second.handle;
    t.byDc.erase(it);
  }
  if (palette != stock.handle) {
    if (t.byDc.size() >= 64 && (t.byDc.size() & (t.byDc.size() - 1)) == 0) DropDeadContexts(t);
    t.byDc.emplace(hdc, Selection{palette, std::move(object)});
  }
  return previous;
}

HPALETTE GetCurrentPalette(HDC hdc) {
  SelectionTable& t = Selections();
  {
    std::lock_guard lock(t.mutex);
    const auto it = t.byDc.find(hdc);
    if (it != t.byDc.end()) return it->second.handle;
  }
  return StockPalette().handle;
}

UINT RealizePalette(HDC hdc) {
  if (!IsDeviceContext(hdc)) return 0;
  return static_cast<UINT>(bitmaps::SelectedPalette(hdc)->entries.size());
}

}  // namespace qvplatform
