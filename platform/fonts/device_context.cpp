// The screen device context: handles, font selection, alignment, path bracket, ExtTextOut.
#include "qvplatform/device_context.h"

#include "device_context_impl.h"
#include "qvplatform/font_service.h"
#include "qvplatform/glyph_path.h"
#include "qvplatform/handle_table.h"

namespace qvplatform {

using fonts::DeviceContext;

namespace fonts {

std::shared_ptr<DeviceContext> FindDC(HDC hdc) {
  return HandleTable::Instance().Get<DeviceContext>(hdc, HandleKind::kDeviceContext);
}

std::shared_ptr<const RealizedFont> SelectedFont(HDC hdc) {
  const auto dc = FindDC(hdc);
  if (!dc) return nullptr;
  std::shared_ptr<const FontObject> font;
  {
    std::lock_guard lock(dc->mutex);
    font = dc->fontObject;
  }
  return font ? font->Realized() : nullptr;
}

}  // namespace fonts

namespace {

HDC NewDC() {
  auto dc = std::make_shared<DeviceContext>();
  dc->font = GetStockObject(SYSTEM_FONT);
  dc->fontObject = fonts::FindFont(dc->font);
  return HandleTable::Instance().Add(HandleKind::kDeviceContext, std::move(dc));
}

}  // namespace

HDC GetDC(HWND) { return NewDC(); }

int ReleaseDC(HWND, HDC hdc) {
  return HandleTable::Instance().Remove(hdc, HandleKind::kDeviceContext) ? 1 : 0;
}

HDC CreateCompatibleDC(HDC) { return NewDC(); }

BOOL DeleteDC(HDC hdc) {
  return HandleTable::Instance().Remove(hdc, HandleKind::kDeviceContext) ? 1 : 0;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  const auto dc = fonts::FindDC(hdc);
  if (!dc) return 0;
  HandleKind kind;
  if (!HandleTable::Instance().KindOf(object, &kind) || kind != HandleKind::kFont) return 0;
  auto font = fonts::FindFont(object);
  if (!font) return 0;
  font->Realized();  // match now, as selection realises a font
  std::lock_guard lock(dc->mutex);
  const HGDIOBJ previous = dc->font;
  dc->font = object;
  dc->fontObject = std::move(font);
  return previous;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  const auto dc = fonts::FindDC(hdc);
  if (!dc || type != OBJ_FONT) return 0;
  std::lock_guard lock(dc->mutex);
  return dc->font;
}

int GetDeviceCaps(HDC hdc, int index) {
  if (!fonts::FindDC(hdc)) return 0;
  switch (index) {
    case TECHNOLOGY:
      return DT_RASDISPLAY;
    case HORZSIZE:
      return 508;  // 1920 pixels at 96 dpi
    case VERTSIZE:
      return 286;
    case HORZRES:
      return 1920;
    case VERTRES:
      return 1080;
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
  }
  return 0;
}

UINT SetTextAlign(HDC hdc, UINT align) {
  const auto dc = fonts::FindDC(hdc);
  if (!dc) return GDI_ERROR;
  std::lock_guard lock(dc->mutex);
  const UINT previous = dc->textAlign;
  dc->textAlign = align;
  return previous;
}

UINT GetTextAlign(HDC hdc) {
  const auto dc = fonts::FindDC(hdc);
  if (!dc) return GDI_ERROR;
  std::lock_guard lock(dc->mutex);
  return dc->textAlign;
}

BOOL BeginPath(HDC hdc) {
  const auto dc = fonts::FindDC(hdc);
  if (!dc) return 0;
  std::lock_guard lock(dc->mutex);
  dc->points.clear();
  dc->types.clear();
  dc->path = DeviceContext::Path::kOpen;
  return 1;
}

BOOL EndPath(HDC hdc) {
  const auto dc = fonts::FindDC(hdc);
  if (!dc) return 0;
  std::lock_guard lock(dc->mutex);
  if (dc->path != DeviceContext::Path::kOpen) return 0;
  dc->path = DeviceContext::Path::kClosed;
  return 1;
}

BOOL AbortPath(HDC hdc) {
  const auto dc = fonts::FindDC(hdc);
  if (!dc) return 0;
  std::lock_guard lock(dc->mutex);
  dc->points.clear();
  dc->types.clear();
  dc->path = DeviceContext::Path::kNone;
  return 1;
}

int GetPath(HDC hdc, POINT* points, BYTE* types, int count) {
  const auto dc = fonts::FindDC(hdc);
  if (!dc) return -1;
  std::lock_guard lock(dc->mutex);
  if (dc->path != DeviceContext::Path::kClosed) return -1;
  const auto n = static_cast<int>(dc->points.size());
  if (count == 0) return n;
  if (count < n || !points || !types) return -1;
  for (int i = 0; i < n; ++i) {
    points[i] = dc->points[static_cast<std::size_t>(i)];
    types[i] = dc->types[static_cast<std::size_t>(i)];
  }
  return n;
}

namespace {

BOOL TextOut(HDC hdc, int x, int y, UINT options, const std::u16string& text, const INT* dx) {
  const auto dc = fonts::FindDC(hdc);
  if (!dc) return 0;
  const auto font = fonts::UsableFont(hdc);
  if (!font || (options & ETO_PDY)) return 0;
  std::lock_guard lock(dc->mutex);
  if (dc->textAlign & TA_UPDATECP) return 0;
  if (dc->path != DeviceContext::Path::kOpen) return 1;  // nothing to draw on
  return fonts::AppendTextOutline(*font, x, y, dc->textAlign, options, text, dx, &dc->points,
                                  &dc->types)
             ? 1
             : 0;
}

}  // namespace

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT*, const WCHAR* text, UINT count,
                 const INT* dx) {
  if (count && !text) return 0;
  return TextOut(hdc, x, y, options, std::u16string(text ? text : u"", count), dx);
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT*, const char* text, UINT count,
                 const INT* dx) {
  if (count && !text) return 0;
  const auto font = fonts::UsableFont(hdc);
  if (!font) return 0;
  std::u16string wide;
  if (options & ETO_GLYPH_INDEX) {
    for (UINT i = 0; i < count; ++i) wide.push_back(static_cast<unsigned char>(text[i]));
  } else {
    wide = font->Widen(std::string_view(text ? text : "", count));
  }
  // A double-byte text may shrink; the spacing array then no longer fits its characters.
  if (dx && wide.size() != count) dx = nullptr;
  return TextOut(hdc, x, y, options, wide, dx);
}

}  // namespace qvplatform
