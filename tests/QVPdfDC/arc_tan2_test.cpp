#include "QVPdfDC/arc_tan2.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

namespace vellora {
namespace {

TEST(ArcTan2, TakesTheQuadrantFromBothSigns) {
  constexpr long double pi = std::numbers::pi_v<long double>;
  constexpr long double nan = std::numeric_limits<long double>::quiet_NaN();
  struct Case {
    long double a, b, out;
  };
  const Case cases[] = {{0, 1, 0},        {1, 0, pi / 2},        {0, -1, pi},
                        {-1, 0, -pi / 2}, {-1, -1, -3 * pi / 4}, {1, 1, pi / 4},
                        {0, 0, 0},        {nan, 1, 0},           {1, nan, 0}};
  for (const auto& c : cases) {
    EXPECT_NEAR(static_cast<double>(ArcTan2(c.a, c.b)), static_cast<double>(c.out), 1e-15);
  }
}

}  // namespace
}  // namespace vellora
