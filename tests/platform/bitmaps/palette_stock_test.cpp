// The default palette is a stock object: GetStockObject answers it, DeleteObject refuses it,
// and it keeps working afterwards; palettes of one's own are still deleted.
#include <gtest/gtest.h>

#include <memory>

#include "qvplatform/font_service.h"
#include "qvplatform/handle_table.h"
#include "qvplatform/palette.h"

namespace qvplatform {
namespace {

TEST(StockPalette, CannotBeDeletedAndKeepsWorking) {
  const HPALETTE stock = GetDefaultPalette();
  ASSERT_NE(stock, 0u);
  EXPECT_TRUE(HandleTable::Instance().IsStock(stock));
  EXPECT_EQ(GetStockObject(DEFAULT_PALETTE), stock);
  EXPECT_EQ(DeleteObject(stock), 0);
  EXPECT_EQ(DeleteObject(stock), 0);

  EXPECT_EQ(GetPaletteEntryCount(stock), kDefaultPaletteSize);
  EXPECT_EQ(GetNearestPaletteIndex(stock, RGB(250, 5, 5)), 13u);
  const HDC dc = HandleTable::Instance().Add(HandleKind::kDeviceContext, std::make_shared<int>());
  PALETTEENTRY entries[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
  const HPALETTE mine = CreatePalette(entries, 2);
  EXPECT_EQ(SelectPalette(dc, mine, 0), stock);
  EXPECT_EQ(SelectPalette(dc, stock, 0), mine);  // the stock palette can be selected again
  EXPECT_EQ(GetCurrentPalette(dc), stock);

  EXPECT_FALSE(HandleTable::Instance().IsStock(mine));
  EXPECT_EQ(DeleteObject(mine), 1);
  EXPECT_EQ(GetPaletteEntryCount(mine), 0u);
  HandleTable::Instance().Remove(dc, HandleKind::kDeviceContext);
}

}  // namespace
}  // namespace qvplatform
