// Handlers of the metafile records that create and delete GDI objects.
#include <algorithm>

#include "QVGenDC/face_name.h"
#include "QVGenDC/generic_device.h"

namespace vellora {

std::int32_t TQVGenericDevice::CreatePen(std::uint32_t styleFlags, std::int32_t width,
                                         COLORREF color) {
  auto& pen = static_cast<TQVDvPen&>(objects.CreateObject(GdiObjectKind::kPen));
  pen.style = static_cast<std::uint8_t>(styleFlags & 15);
  pen.width = width;
  pen.geometric = (styleFlags & 0x10000) != 0;  // PS_GEOMETRIC
  pen.color = color;
  // PS_ENDCAP_SQUARE 0x100, PS_ENDCAP_FLAT 0x200; PS_JOIN_BEVEL 0x1000, PS_JOIN_MITER 0x2000.
  pen.cap = styleFlags & 0x100 ? kPenCapSquare : styleFlags & 0x200 ? kPenCapFlat : kPenCapRound;
  pen.join = styleFlags & 0x1000   ? kPenJoinBevel
             : styleFlags & 0x2000 ? kPenJoinMiter
                                   : kPenJoinRound;
  return pen.index;
}

std::int32_t TQVGenericDevice::CreateBrush(std::uint32_t style, COLORREF color,
                                           std::uint32_t hatch) {
  if (style == kBrushDibPattern) {
    // A bitmap pattern made by the player is drawn as a hatch.
    style = kBrushHatched;
    hatch = 2;
  }
  // Hatched and pattern brushes only: a solid or null brush may carry any hatch value, and
  // HS_HORIZONTAL is hatch 0.
  if (modes.Has(qvHatchBrushIsSolid) && (style == kBrushHatched || style == kBrushPattern)) {
    style = kBrushSolid;
    hatch = 0;
    color = 0;
  }
  auto& brush = static_cast<TQVDvBrush&>(objects.CreateObject(GdiObjectKind::kBrush));
  brush.style = static_cast<std::uint8_t>(std::min<std::uint32_t>(style, 255));
  brush.color = color;
  brush.hatch = hatch;
  return brush.index;
}

std::int32_t TQVGenericDevice::CreateFont(const LOGFONTW& font) {
  auto& object = static_cast<TQVDvFont&>(objects.CreateObject(GdiObjectKind::kFont));
  object.font = font;
  // At most 31 units, zero after the first 0, so that the buffer and the text agree.
  auto& face = object.font.lfFaceName;
  bool ended = false;
  for (int i = 0; i < qvplatform::LF_FACESIZE; ++i) {
    if (i == kMaxFaceNameLength || face[i] == 0) ended = true;
    if (ended) face[i] = 0;
  }
  std::int32_t escapement = font.lfEscapement % 3600;
  if (escapement < 0) escapement += 3600;
  object.font.lfEscapement = escapement;
  object.faceName = FaceNameText(object.font);
  return object.index;
}

std::int32_t TQVGenericDevice::CreatePalette(std::uint32_t count, Bytes entryBytes) {
  auto& palette = static_cast<TQVDvPalette&>(objects.CreateObject(GdiObjectKind::kPalette));
  const std::size_t n = std::min<std::size_t>(count, entryBytes.size() / 4);
  palette.entries.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* p = entryBytes.data() + 4 * i;
    palette.entries[i] = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                         std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
  }
  return palette.index;
}

void TQVGenericDevice::DeleteObject(std::int32_t index) { objects.DeleteObject(index); }

}  // namespace vellora
