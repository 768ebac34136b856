#include "ink_agreement.h"

#include <cstddef>

namespace vellora_test {

std::vector<bool> InkMask(int width, int height, const std::vector<std::uint32_t>& pixels) {
  std::vector<bool> mask(std::size_t(width) * std::size_t(height));
  for (std::size_t i = 0; i < mask.size(); ++i) {
    const std::uint32_t p = pixels[i];
    const int grey = static_cast<int>(
        (((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114) / 1000);
    mask[i] = grey < 240;
  }
  return mask;
}

namespace {

std::vector<bool> Widened(int width, int height, const std::vector<bool>& m) {
  std::vector<bool> out(m);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (!m[std::size_t(y) * std::size_t(width) + std::size_t(x)]) continue;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx >= 0 && ny >= 0 && nx < width && ny < height)
            out[std::size_t(ny) * std::size_t(width) + std::size_t(nx)] = true;
        }
    }
  return out;
}

}  // namespace

double InkAgreement(int width, int height, const std::vector<bool>& a, const std::vector<bool>& b) {
  const std::vector<bool> wa = Widened(width, height, a), wb = Widened(width, height, b);
  std::size_t both = 0, either = 0;
  for (std::size_t i = 0; i < wa.size(); ++i) {
    both += wa[i] && wb[i];
    either += wa[i] || wb[i];
  }
  return either == 0 ? 1.0 : double(both) / double(either);
}

}  // namespace vellora_test
