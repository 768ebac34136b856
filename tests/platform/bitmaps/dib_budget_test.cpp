// The image budget: how many pixels a bitmap may claim for the data it brings.
#include <gtest/gtest.h>

#include "qvplatform/dib.h"

namespace qvplatform {
namespace {

struct BudgetCase {
  const char* name;
  LONG width;
  LONG height;
  WORD bitCount;
  DWORD compression;
  std::size_t bitsSize;
  DibError expected;
};

TEST(DibBudget, RefusesClaimsBeyondTheDataAndTheCaps) {
  const BudgetCase cases[] = {
      // RLE: 1024 pixels a byte of data, however the codes would spread them.
      {"rle8 at the ratio", 1024, 10, 8, BI_RLE8, 10, DibError::kOk},
      {"rle8 one pixel over", 1025, 10, 8, BI_RLE8, 10, DibError::kTooLarge},
      {"rle4 end of bitmap only", 10000, 10000, 4, BI_RLE4, 2, DibError::kTooLarge},
      {"rle8 without data", 1, 1, 8, BI_RLE8, 0, DibError::kTooLarge},
      // Uncompressed: the pixel cap only (short data draws the rows it holds).
      {"rgb within the cap", 8192, 8192, 24, BI_RGB, 0, DibError::kOk},
      {"rgb over the pixel cap", 8193, 8192, 24, BI_RGB, 0, DibError::kTooLarge},
      {"a long strip", 65501, 1, 24, BI_RGB, 0, DibError::kOk},
      // The format is checked first.
      {"2-bit", 4, 4, 2, BI_RGB, 16, DibError::kUnsupported},
      {"no width", 0, 4, 24, BI_RGB, 16, DibError::kBadFormat},
  };
  for (const BudgetCase& c : cases) {
    DibFormat f;
    f.width = c.width;
    f.height = c.height;
    f.bitCount = c.bitCount;
    f.compression = c.compression;
    EXPECT_EQ(CheckDibBudget(f, c.bitsSize), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace qvplatform
