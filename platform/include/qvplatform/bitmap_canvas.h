// TBitmap, a bitmap handle with an owner, and TCanvas, which fills rectangles on it: what the
// page thumbnail raster is drawn on.
#pragma once

#include <memory>

#include "qvplatform/bitmap_handles.h"

namespace qvplatform {

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

namespace bitmaps {
struct BitmapObject;
}

// Fills on a 1-, 24- or 32-bit (BI_RGB) bitmap, device-dependent or DIB section. Coordinates
// are pixels from the top-left corner. The canvas keeps the bitmap's object alive.
class TCanvas {
 public:
  TCanvas() = default;
  explicit TCanvas(HBITMAP bitmap);

  bool Valid() const { return object_ != nullptr; }

  // Fills the pixels x in [left, right), y in [top, bottom) inside the bitmap; a rectangle given
  // right-to-left or bottom-to-top is the same rectangle. On a 1-bit bitmap a colour between
  // the two table colours (black and white for a device-dependent one) is dithered with a 4x4
  // ordered pattern in proportion to where it lies between them; the two colours themselves
  // are filled solid. False for no bitmap or another depth.
  bool FillRect(const RECT& rect, COLORREF color);
  // The colour of a pixel (through the colour table for 1 bit); CLR_INVALID outside the bitmap
  // or for another depth.
  COLORREF Pixel(int x, int y) const;

 private:
  std::shared_ptr<bitmaps::BitmapObject> object_;
};

// Owns one bitmap handle (deleted with the TBitmap unless released).
class TBitmap {
 public:
  TBitmap() = default;
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  HBITMAP Handle() const { return handle_; }
  // Takes ownership of a handle (deleting the one held); 0 empties the TBitmap.
  void SetHandle(HBITMAP bitmap);
  // Gives up the handle without deleting it.
  HBITMAP ReleaseHandle();

  int Width() const;
  int Height() const;
  bool Monochrome() const { return monochrome_; }
  // Chooses 1-bit (device-dependent, black and white) or 24-bit (DIB section) pixels; a held
  // bitmap of the other kind is made anew at its size (its pixels are not kept).
  bool SetMonochrome(bool monochrome);
  // A new bitmap of the current kind, black; false (the old one kept) for sizes it refuses.
  bool SetSize(int width, int height);

  TCanvas& Canvas() { return canvas_; }

 private:
  HBITMAP handle_ = 0;
  bool monochrome_ = false;
  TCanvas canvas_;
};

}  // namespace qvplatform
