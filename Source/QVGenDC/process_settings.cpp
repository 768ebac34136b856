#include "QVGenDC/process_settings.h"

#include <atomic>

namespace vellora {

namespace {

std::atomic<int> gDefaultDivisor{1};
std::atomic<bool> gNoHighResolution{false};
std::atomic<bool> gGradientFill{true};

}  // namespace

int DefaultCoordinateDivisor() {
  const int value = gDefaultDivisor.load(std::memory_order_relaxed);
  return value == 0 ? 1 : value;
}

void SetDefaultCoordinateDivisor(int value) {
  if (value >= 0) gDefaultDivisor.store(value, std::memory_order_relaxed);
}

bool NoHighResolution() { return gNoHighResolution.load(std::memory_order_relaxed); }
void SetNoHighResolution(bool value) { gNoHighResolution.store(value, std::memory_order_relaxed); }

bool GradientFillEnabled() { return gGradientFill.load(std::memory_order_relaxed); }
void SetGradientFillEnabled(bool value) { gGradientFill.store(value, std::memory_order_relaxed); }

}  // namespace vellora
