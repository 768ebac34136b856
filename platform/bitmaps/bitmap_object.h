// Internal: the object behind an HBITMAP.
#pragma once

#include <memory>
#include <mutex>

#include "qvplatform/bitmap_handles.h"
#include "qvplatform/dib.h"

namespace qvplatform::bitmaps {

struct BitmapObject {
  BitmapKind kind = BitmapKind::kNone;
  // Device-dependent bitmaps are held top-down with rows padded to 4 bytes; their reported row
  // length is even-padded (bmWidthBytes).
  Dib dib;
  mutable std::mutex mutex;  // guards the pixels
};

std::shared_ptr<BitmapObject> FindBitmap(HBITMAP bitmap);
// Row bytes of a device-dependent bitmap as reported and as CreateBitmap reads them.
inline std::uint64_t DeviceRowBytes(std::uint64_t width, unsigned bitCount) {
  return (width * bitCount + 15) / 16 * 2;
}

}  // namespace qvplatform::bitmaps
