// Fuzz target for the metafile player: plays the input into a device whose drawing operations
// do nothing but read every array they are handed in full, once at the picture's own size and
// once into a target with clip records played. The only exception allowed out of the player is
// the refusal of data that is not an enhanced metafile.
#include <cstddef>
#include <cstdint>

#include "QVGenDC/device_modes.h"
#include "QVGenDC/generic_device.h"
#include "QVGenDC/metafile_player.h"
#include "stub_device.h"

namespace {

using vellora::TQVGenericDevice;
using POINTL = qvplatform::POINTL;
using RECTL = qvplatform::RECTL;

constexpr std::size_t kMaxInput = 2 << 20;

volatile std::uint64_t g_sink;

template <class T>
void Touch(const T* items, std::int32_t count) {
  if (count <= 0) return;
  if (items == nullptr) __builtin_trap();  // a count without its array
  std::uint64_t sum = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&items[i]);
    sum += b[0] + b[sizeof(T) - 1];
  }
  g_sink = g_sink + sum;
}

void Touch(TQVGenericDevice::Bytes bytes) {
  std::uint64_t sum = 0;
  for (std::uint8_t b : bytes) sum += b;
  g_sink = g_sink + sum;
}

// The tests' stub device, with every slot that is handed an array reading it.
class FuzzDevice : public vellora_test::StubDevice {
 public:
  std::int32_t DrawDIBits(bool, std::int32_t, std::int32_t, std::int32_t, std::int32_t, float,
                          float, float, float, bool, Bytes bits, Bytes header,
                          Bytes colors) override {
    Touch(bits);
    Touch(header);
    Touch(colors);
    return static_cast<std::int32_t>(bits.size() % 3);  // sometimes an image, sometimes none
  }
  void PolyBezier(const POINTL* p, std::int32_t n, bool) override { Touch(p, n); }
  void Polygon(const POINTL* p, std::int32_t n) override { Touch(p, n); }
  void Polyline(const POINTL* p, std::int32_t n, bool, bool, bool) override { Touch(p, n); }
  void PolyDraw(const POINTL* p, const std::uint8_t* types, std::int32_t n) override {
    Touch(p, n);
    Touch(types, n);
  }
  void SelectClipRegion(std::int32_t, const RECTL&, std::int32_t n, const RECTL* r) override {
    Touch(r, n);
  }
  void GdiComment(Bytes data) override { Touch(data); }
  void PaintRegion(Bytes data) override { Touch(data); }
  std::int32_t StretchDIBits(std::int32_t, std::int32_t, std::uint32_t, std::uint32_t, Bytes info,
                             Bytes bits, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                             std::int32_t, std::int32_t) override {
    Touch(info);
    Touch(bits);
    return 0;
  }
  void ExtTextOut(std::int32_t, std::int32_t, std::uint32_t, const RECTL&, const char16_t* wide,
                  const char* ansi, std::int32_t n, const std::int32_t* spacing) override {
    if (wide == nullptr && ansi == nullptr) __builtin_trap();
    if (wide) Touch(wide, n);
    if (ansi) Touch(ansi, n);
    if (spacing) Touch(spacing, n);
  }
};

void PlayOnce(const std::uint8_t* data, std::size_t size, bool clipped) {
  FuzzDevice device;
  if (clipped) device.modes.Include(vellora::qvClipRectSupport);
  try {
    device.PlayMetafile(data, size, clipped ? 30 : 0, clipped ? 40 : 0, clipped ? 500 : 0,
                        clipped ? 700 : 0, false, 0, 0);
  } catch (const vellora::EQVMetafileError&) {
    // Not an enhanced metafile: refused before anything is drawn.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  static const std::uint8_t kNone = 0;
  if (data == nullptr) data = &kNone;  // an empty input is data of length 0, not nil bits
  PlayOnce(data, size, false);
  PlayOnce(data, size, true);
  return 0;
}
