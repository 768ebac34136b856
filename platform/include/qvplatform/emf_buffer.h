// Caller-owned scratch storage for arrays taken out of records: 16-bit points widened to 32 bits,
// and arrays whose bytes are not aligned for their type. Grows geometrically and never shrinks,
// so a player that keeps one per call allocates only while the largest record is still ahead.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "qvplatform/emf_reader.h"
#include "qvplatform/wintypes.h"

namespace qvplatform {

template <class T>
class EmfBuffer {
 public:
  // Room for at least n elements (contents unspecified after growth).
  T* Reserve(std::size_t n) {
    if (n > items_.size()) items_.resize(std::max(n, items_.size() * 2));
    return items_.data();
  }

  // The array's elements as T: in place when they are aligned, else copied into the buffer.
  // nullptr when the array is invalid or empty.
  const T* View(const EmfArray<T>& array) {
    if (!array.Valid() || array.Empty()) return nullptr;
    if (const T* direct = array.Aligned()) return direct;
    T* out = Reserve(array.Count());
    array.CopyTo(out);
    return out;
  }

  std::size_t Capacity() const { return items_.size(); }

 private:
  std::vector<T> items_;
};

// The 16-bit points widened into buffer; nullptr when the array is invalid or empty.
inline const POINTL* WidenPoints(const EmfArray<POINTS>& points, EmfBuffer<POINTL>& buffer) {
  if (!points.Valid() || points.Empty()) return nullptr;
  POINTL* out = buffer.Reserve(points.Count());
  const BYTE* in = points.Bytes();
  for (std::uint32_t i = 0; i < points.Count(); ++i, in += sizeof(POINTS)) {
    std::int16_t xy[2];
    std::memcpy(xy, in, sizeof(xy));
    out[i].x = xy[0];
    out[i].y = xy[1];
  }
  return out;
}

}  // namespace qvplatform
