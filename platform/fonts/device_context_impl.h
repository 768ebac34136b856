// Internal: the object behind an HDC, and the outline writer ExtTextOut uses in a bracket.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "qvplatform/font_types.h"
#include "realized_font.h"

namespace qvplatform::fonts {

struct DeviceContext {
  std::mutex mutex;
  HFONT font = 0;
  std::shared_ptr<const FontObject> fontObject;
  UINT textAlign = 0;
  enum class Path { kNone, kOpen, kClosed } path = Path::kNone;
  std::vector<POINT> points;
  std::vector<BYTE> types;
};

std::shared_ptr<DeviceContext> FindDC(HDC hdc);

// Appends the outlines of a text to a path (see ExtTextOutW); false when a glyph cannot be
// outlined, leaving the path as it was.
bool AppendTextOutline(const RealizedFont& font, int x, int y, UINT align, UINT options,
                       const std::u16string& text, const INT* dx, std::vector<POINT>* points,
                       std::vector<BYTE>* types);

}  // namespace qvplatform::fonts
