// Fuzz target for the metafile rasteriser: renders the input into a small bitmap, once at the
// picture's own placement in a 64 x 48 surface and once into an offset destination. Data that
// is no enhanced metafile is refused; nothing else may go wrong.
#include <cairo.h>

#include <cstddef>
#include <cstdint>

#include "QVRasterDC/render_metafile.h"

namespace {

constexpr std::size_t kMaxInput = 2 << 20;

void RenderOnce(const std::uint8_t* data, std::size_t size, const qvplatform::RECT& destination) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 64, 48);
  vellora::RenderMetafile(data, size, surface, destination, 96);
  cairo_surface_destroy(surface);
}

}  // namespace

// cairo's first text asks fontconfig for its defaults once a process and keeps the answer in a
// block LeakSanitizer cannot reach: not a leak of the render.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  static const std::uint8_t kNone = 0;
  if (data == nullptr) data = &kNone;
  RenderOnce(data, size, {0, 0, 64, 48});
  RenderOnce(data, size, {10, -5, 50, 60});
  return 0;
}
