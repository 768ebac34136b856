#include "QVGenDC/gdi_objects.h"

#include <cstdio>
#include <utility>

#include "QVGenDC/assertion_failed.h"
#include "QVGenDC/face_name.h"

namespace vellora {

using qvplatform::COLORREF;

std::string ColorText(COLORREF color) {
  char text[12];
  std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
  return text;
}

std::string TQVBasicGDIObject::DescribeAsText() const {
  return "TQVBasicGDIObject[" + std::to_string(serial) + "]";
}

std::string TQVDvFont::DescribeAsText() const {
  return "TQVDvFont[" + std::to_string(serial) + "] " + faceName +
         " height:" + std::to_string(font.lfHeight);
}

std::string TQVDvBrush::DescribeAsText() const {
  return "TQVDvBrush[" + std::to_string(serial) + "] style:" + std::to_string(style) +
         " color:" + ColorText(color);
}

std::string TQVDvPen::DescribeAsText() const {
  return "TQVDvPen[" + std::to_string(serial) + "] style:" + std::to_string(style) +
         " color:" + ColorText(color) + " width:" + std::to_string(width);
}

TQVGenericDeviceObjects::TQVGenericDeviceObjects() {
  CreateObject(GdiObjectKind::kBasic);  // index 0: the placeholder

  const auto brush = [this](int stock, std::uint8_t style, COLORREF color) {
    auto& b = static_cast<TQVDvBrush&>(CreateObject(GdiObjectKind::kBrush));
    b.style = style;
    b.color = color;
    stock_[stock] = b.index;
  };
  brush(0, kBrushSolid, 0xFFFFFF);
  brush(1, kBrushSolid, 0xC0C0C0);
  brush(2, kBrushSolid, 0x808080);
  brush(3, kBrushSolid, 0x404040);
  brush(4, kBrushSolid, 0x000000);
  brush(5, kBrushNull, 0xFFFFFF);

  const auto pen = [this](int stock, std::uint8_t style, COLORREF color) {
    auto& p = static_cast<TQVDvPen&>(CreateObject(GdiObjectKind::kPen));
    p.style = style;
    p.color = color;
    stock_[stock] = p.index;
  };
  pen(6, kPenSolid, 0xFFFFFF);
  pen(7, kPenSolid, 0x000000);
  pen(8, kPenNull, 0xFFFFFF);

  auto& font = static_cast<TQVDvFont&>(CreateObject(GdiObjectKind::kFont));
  font.font.lfHeight = -10;
  AssignFaceName(font.font, font.faceName, "Arial");
  for (int stock : {9, 10, 11, 12, 13, 15, 16}) stock_[stock] = font.index;

  stockCount_ = Size();
  level_ = 1;
}

TQVBasicGDIObject& TQVGenericDeviceObjects::CreateObject(GdiObjectKind kind) {
  std::unique_ptr<TQVBasicGDIObject> object;
  switch (kind) {
    case GdiObjectKind::kBasic:
      object = std::make_unique<TQVBasicGDIObject>();
      break;
    case GdiObjectKind::kFont:
      object = std::make_unique<TQVDvFont>();
      break;
    case GdiObjectKind::kBrush:
      object = std::make_unique<TQVDvBrush>();
      break;
    case GdiObjectKind::kPen:
      object = std::make_unique<TQVDvPen>();
      break;
    case GdiObjectKind::kPalette:
      object = std::make_unique<TQVDvPalette>();
      break;
  }
  if (!object) throw EQVAssertionFailed("Object was not created");
  object->serial = ++serialCounter_;
  object->kind = kind;
  TQVBasicGDIObject& result = *object;
  AddObject(std::move(object));
  return result;
}

std::int32_t TQVGenericDeviceObjects::AddObject(std::unique_ptr<TQVBasicGDIObject> object) {
  std::int32_t index;
  if (free_.empty()) {
    index = Size();
    object->index = index;
    objects_.push_back(std::move(object));
  } else {
    index = free_.back();
    free_.pop_back();
    object->index = index;
    objects_[static_cast<std::size_t>(index)] = std::move(object);
  }
  return index;
}

void TQVGenericDeviceObjects::DeleteObject(std::int32_t index) {
  if (index < stockCount_ || index >= Size()) return;
  // An empty slot is already on the free list; listing it twice would hand one index to two
  // later objects.
  if (!objects_[static_cast<std::size_t>(index)]) return;
  // Freed at once: the DC levels keep copies of the selected attributes, never pointers.
  objects_[static_cast<std::size_t>(index)].reset();
  free_.push_back(index);
}

std::int32_t TQVGenericDeviceObjects::StockObject(std::int32_t n) const {
  return n >= 0 && n < kStockNumbers ? stock_[n] : 0;
}

TQVBasicGDIObject* TQVGenericDeviceObjects::GetObject(std::int32_t index) const {
  return index >= 0 && index < Size() ? objects_[static_cast<std::size_t>(index)].get() : nullptr;
}

namespace {

template <class T>
T* OfKind(TQVBasicGDIObject* object, GdiObjectKind kind) {
  return object && object->kind == kind ? static_cast<T*>(object) : nullptr;
}

}  // namespace

TQVDvFont* TQVGenericDeviceObjects::Font(std::int32_t index) const {
  return OfKind<TQVDvFont>(GetObject(index), GdiObjectKind::kFont);
}
TQVDvBrush* TQVGenericDeviceObjects::Brush(std::int32_t index) const {
  return OfKind<TQVDvBrush>(GetObject(index), GdiObjectKind::kBrush);
}
TQVDvPen* TQVGenericDeviceObjects::Pen(std::int32_t index) const {
  return OfKind<TQVDvPen>(GetObject(index), GdiObjectKind::kPen);
}
TQVDvPalette* TQVGenericDeviceObjects::Palette(std::int32_t index) const {
  return OfKind<TQVDvPalette>(GetObject(index), GdiObjectKind::kPalette);
}

void TQVGenericDeviceObjects::Clear() {
  objects_.resize(static_cast<std::size_t>(stockCount_));
  free_.clear();
}

}  // namespace vellora
