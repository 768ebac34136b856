#include "qvplatform/bitmap_canvas.h"

#include <algorithm>

#include "bitmap_object.h"
#include "qvplatform/handle_table.h"

namespace qvplatform {
namespace {

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

bool Fillable(const DibFormat& f) {
  return f.compression == BI_RGB && (f.bitCount == 1 || f.bitCount == 24 || f.bitCount == 32);
}

// How many of 16 pixels take table entry 1 for a colour: 0 for entry 0, 16 for entry 1, and in
// between by the colour's position on the line from entry 0 to entry 1.
int MonoLevel(const std::vector<RGBQUAD>& table, COLORREF color) {
  const RGBQUAD a = table.size() > 0 ? table[0] : RGBQUAD{};
  const RGBQUAD b = table.size() > 1 ? table[1] : RGBQUAD{};
  const int dr = b.rgbRed - a.rgbRed, dg = b.rgbGreen - a.rgbGreen, db = b.rgbBlue - a.rgbBlue;
  const int length = dr * dr + dg * dg + db * db;
  if (length == 0) return 0;
  const int cr = int(GetRValue(color)) - a.rgbRed, cg = int(GetGValue(color)) - a.rgbGreen,
            cb = int(GetBValue(color)) - a.rgbBlue;
  const int dot = cr * dr + cg * dg + cb * db;
  if (dot <= 0) return 0;
  if (dot >= length) return 16;
  return std::clamp((dot * 16 + length / 2) / length, 0, 16);
}

}  // namespace

TCanvas::TCanvas(HBITMAP bitmap) : object_(bitmaps::FindBitmap(bitmap)) {}

bool TCanvas::FillRect(const RECT& rect, COLORREF color) {
  if (!object_) return false;
  Dib& dib = object_->dib;
  const DibFormat& f = dib.Format();
  if (!Fillable(f)) return false;
  const std::int64_t w = f.width, h = f.AbsHeight();
  const std::int64_t left = std::clamp<std::int64_t>(std::min(rect.left, rect.right), 0, w);
  const std::int64_t right = std::clamp<std::int64_t>(std::max(rect.left, rect.right), 0, w);
  const std::int64_t top = std::clamp<std::int64_t>(std::min(rect.top, rect.bottom), 0, h);
  const std::int64_t bottom = std::clamp<std::int64_t>(std::max(rect.top, rect.bottom), 0, h);
  std::lock_guard lock(object_->mutex);
  const int level = f.bitCount == 1 ? MonoLevel(dib.Colors(), color) : 0;
  const BYTE bgr[3] = {BYTE(GetBValue(color)), BYTE(GetGValue(color)), BYTE(GetRValue(color))};
  for (std::int64_t y = top; y < bottom; ++y) {
    BYTE* row = dib.RowFromTop(static_cast<std::uint32_t>(y));
    for (std::int64_t x = left; x < right; ++x) {
      if (f.bitCount == 1) {
        const BYTE bit = BYTE(0x80 >> (x & 7));
        if (kBayer4[y & 3][x & 3] < level) {
          row[x >> 3] |= bit;
        } else {
          row[x >> 3] &= BYTE(~bit);
        }
      } else {
        BYTE* p = row + x * (f.bitCount / 8);
        std::copy(bgr, bgr + 3, p);
        if (f.bitCount == 32) p[3] = 0;
      }
    }
  }
  return true;
}

COLORREF TCanvas::Pixel(int x, int y) const {
  if (!object_) return CLR_INVALID;
  const Dib& dib = object_->dib;
  const DibFormat& f = dib.Format();
  if (!Fillable(f) || x < 0 || y < 0 || x >= f.width || std::uint32_t(y) >= f.AbsHeight())
    return CLR_INVALID;
  std::lock_guard lock(object_->mutex);
  const BYTE* row = dib.RowFromTop(static_cast<std::uint32_t>(y));
  if (f.bitCount == 1) {
    const std::size_t index = (row[x >> 3] >> (7 - (x & 7))) & 1;
    const RGBQUAD c = index < dib.Colors().size() ? dib.Colors()[index] : RGBQUAD{};
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
  }
  const BYTE* p = row + std::size_t(x) * (f.bitCount / 8);
  return RGB(p[2], p[1], p[0]);
}

TBitmap::~TBitmap() { SetHandle(0); }

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (handle_ != 0 && handle_ != bitmap)
    HandleTable::Instance().Remove(handle_, HandleKind::kBitmap);
  handle_ = bitmap;
  canvas_ = TCanvas(bitmap);
  if (const auto object = bitmaps::FindBitmap(bitmap))
    monochrome_ = object->dib.Format().bitCount == 1;
}

HBITMAP TBitmap::ReleaseHandle() {
  const HBITMAP h = handle_;
  handle_ = 0;
  canvas_ = TCanvas();
  return h;
}

int TBitmap::Width() const {
  const auto object = bitmaps::FindBitmap(handle_);
  return object ? object->dib.Format().width : 0;
}

int TBitmap::Height() const {
  const auto object = bitmaps::FindBitmap(handle_);
  return object ? static_cast<int>(object->dib.Format().AbsHeight()) : 0;
}

bool TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome == monochrome_) return true;
  monochrome_ = monochrome;
  if (handle_ == 0) return true;
  return SetSize(Width(), Height());
}

bool TBitmap::SetSize(int width, int height) {
  HBITMAP made = 0;
  if (monochrome_) {
    made = CreateBitmap(width, height, 1, 1, nullptr, 0);
  } else {
    BITMAPINFOHEADER header;
    header.biSize = kBitmapInfoHeaderSize;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    made = CreateDIBSection(0, header, nullptr, nullptr, 0, nullptr);
  }
  if (made == 0) return false;
  const bool mono = monochrome_;
  SetHandle(made);
  monochrome_ = mono;
  return true;
}

}  // namespace qvplatform
