// Comparing two renderings of the same page by where they put ink.
#pragma once

#include <cstdint>
#include <vector>

namespace vellora_test {

// Pixels (0xRRGGBB, row by row) darker than the paper.
std::vector<bool> InkMask(int width, int height, const std::vector<std::uint32_t>& pixels);
// Intersection over union of two masks after each is widened by one pixel; 1 when both are
// empty.
double InkAgreement(int width, int height, const std::vector<bool>& a, const std::vector<bool>& b);

}  // namespace vellora_test
