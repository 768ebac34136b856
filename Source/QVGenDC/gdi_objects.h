// The device's table of GDI objects: the pens, brushes, fonts and palettes that metafile
// records create, and the stock objects that records name by number. Objects are addressed by
// their index in the table; the player maps metafile handles to indexes, and the DC levels
// keep the indexes of the selected objects.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qvplatform/wintypes.h"

namespace vellora {

enum class GdiObjectKind : std::uint8_t {
  kBasic = 0,
  kFont = 1,
  kBrush = 2,
  kPen = 3,
  kPalette = 4
};

// Pen ends and joins as the table stores them (CreatePen maps the platform's style flags).
constexpr std::int32_t kPenCapRound = 0, kPenCapSquare = 1, kPenCapFlat = 2;
constexpr std::int32_t kPenJoinRound = 0, kPenJoinMiter = 1, kPenJoinBevel = 2;

// Brush and pen styles with a meaning of their own in the device.
constexpr std::uint8_t kBrushSolid = 0, kBrushNull = 1, kBrushHatched = 2, kBrushPattern = 3;
constexpr std::uint8_t kBrushDibPattern = 4;  // only as an argument of CreateBrush
constexpr std::uint8_t kPenSolid = 0, kPenNull = 5;

// The platform's colour text: "$" and the eight upper-case hex digits of the value
// (0x00BBGGRR), e.g. "$00FFFFFF" for white.
std::string ColorText(qvplatform::COLORREF color);

class TQVBasicGDIObject {
 public:
  TQVBasicGDIObject() = default;
  virtual ~TQVBasicGDIObject() = default;
  TQVBasicGDIObject(const TQVBasicGDIObject&) = delete;
  TQVBasicGDIObject& operator=(const TQVBasicGDIObject&) = delete;

  // Class name and "[serial]", followed by what identifies the object, for diagnostics.
  virtual std::string DescribeAsText() const;

  GdiObjectKind kind = GdiObjectKind::kBasic;
  std::int32_t level = 0;
  std::int32_t index = 0;   // position in the table, set when it is added
  std::int32_t serial = 0;  // 1, 2, 3, ... in creation order
};

class TQVDvFont : public TQVBasicGDIObject {
 public:
  std::string DescribeAsText() const override;

  qvplatform::LOGFONTW font;  // numeric part and the UTF-16 face (at most 31 units)
  std::string faceName;       // the face as UTF-8 text
};

class TQVDvBrush : public TQVBasicGDIObject {
 public:
  std::string DescribeAsText() const override;

  std::uint8_t style = kBrushSolid;
  qvplatform::COLORREF color = 0;
  std::uint32_t hatch = 0;
};

class TQVDvPen : public TQVBasicGDIObject {
 public:
  std::string DescribeAsText() const override;

  std::int32_t width = 0;
  std::uint8_t style = kPenSolid;
  bool geometric = false;  // PS_GEOMETRIC: the dash pattern is in logical units
  qvplatform::COLORREF color = 0;
  std::int32_t cap = kPenCapRound;
  std::int32_t join = kPenJoinRound;
};

class TQVDvPalette : public TQVBasicGDIObject {
 public:
  std::int32_t Count() const { return static_cast<std::int32_t>(entries.size()); }

  std::vector<std::uint32_t> entries;  // PALETTEENTRY values: red in the low byte
};

class TQVGenericDeviceObjects {
 public:
  // Windows stock-object numbers that have a table entry: 0..17 (14 and 17 map to the
  // placeholder at index 0).
  static constexpr int kStockNumbers = 18;

  // Creates the placeholder and the stock objects (indexes 0..10).
  TQVGenericDeviceObjects();
  TQVGenericDeviceObjects(const TQVGenericDeviceObjects&) = delete;
  TQVGenericDeviceObjects& operator=(const TQVGenericDeviceObjects&) = delete;

  // A new object of the kind's class with the next serial number, stored with AddObject.
  // A kind outside 0..4 raises EQVAssertionFailed("Object was not created").
  TQVBasicGDIObject& CreateObject(GdiObjectKind kind);

  // Stores the object at the last freed index, or appends it; returns its index.
  std::int32_t AddObject(std::unique_ptr<TQVBasicGDIObject> object);

  // Frees the object at index and puts the index on the free list. Stock indexes, indexes
  // beyond the table and empty slots are ignored.
  void DeleteObject(std::int32_t index);

  // The index of stock number n, or 0 (the placeholder) for a number outside 0..17.
  std::int32_t StockObject(std::int32_t n) const;

  // The object at index, or nullptr for a bad index or a freed slot.
  TQVBasicGDIObject* GetObject(std::int32_t index) const;
  TQVDvFont* Font(std::int32_t index) const;
  TQVDvBrush* Brush(std::int32_t index) const;
  TQVDvPen* Pen(std::int32_t index) const;
  TQVDvPalette* Palette(std::int32_t index) const;

  // Frees every object after the stock objects and empties the free list; the stock
  // objects and the serial counter stay.
  void Clear();

  std::int32_t Size() const { return static_cast<std::int32_t>(objects_.size()); }
  std::int32_t StockCount() const { return stockCount_; }
  std::int32_t Level() const { return level_; }
  std::int32_t SerialCounter() const { return serialCounter_; }

 private:
  std::vector<std::unique_ptr<TQVBasicGDIObject>> objects_;
  std::vector<std::int32_t> free_;
  std::int32_t serialCounter_ = 0;
  std::int32_t stockCount_ = 0;
  std::int32_t level_ = 0;
  std::int32_t stock_[kStockNumbers] = {};
};

}  // namespace vellora
