// Internal: the object behind an HPALETTE, and the palette a device context has selected.
#pragma once

#include <memory>
#include <vector>

#include "qvplatform/palette.h"

namespace qvplatform::bitmaps {

struct PaletteObject {
  std::vector<PALETTEENTRY> entries;  // never empty, never changed after creation
};

std::shared_ptr<const PaletteObject> FindPalette(HPALETTE palette);
// The palette selected into hdc, the default palette when none is (or hdc is no DC).
std::shared_ptr<const PaletteObject> SelectedPalette(HDC hdc);

}  // namespace qvplatform::bitmaps
