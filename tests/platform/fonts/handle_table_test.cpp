#include "qvplatform/handle_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace qvplatform {
namespace {

TEST(HandleTable, HandlesAreTypedAndNeverReused) {
  HandleTable table;
  auto object = std::make_shared<int>(7);
  const HANDLE32 first = table.Add(HandleKind::kFont, object);
  ASSERT_NE(first, 0u);
  EXPECT_EQ(table.Get<int>(first, HandleKind::kFont), object);
  // The same value looked up as another kind is nothing.
  EXPECT_EQ(table.Find(first, HandleKind::kDeviceContext), nullptr);
  EXPECT_FALSE(table.Remove(first, HandleKind::kDeviceContext));
  HandleKind kind;
  ASSERT_TRUE(table.KindOf(first, &kind));
  EXPECT_EQ(kind, HandleKind::kFont);

  EXPECT_TRUE(table.Remove(first, HandleKind::kFont));
  EXPECT_FALSE(table.Remove(first, HandleKind::kFont));
  EXPECT_EQ(table.Find(first, HandleKind::kFont), nullptr);
  EXPECT_FALSE(table.KindOf(first, &kind));
  // A new object never gets the removed value back.
  const HANDLE32 second = table.Add(HandleKind::kFont, object);
  EXPECT_NE(second, first);
  EXPECT_EQ(table.Add(HandleKind::kFont, nullptr), 0u);
  EXPECT_EQ(table.Find(0, HandleKind::kFont), nullptr);
  EXPECT_EQ(table.Count(), 1u);
}

TEST(HandleTable, ObjectOutlivesItsRemovedHandleWhileInUse) {
  HandleTable table;
  const HANDLE32 h = table.Add(HandleKind::kBitmap, std::make_shared<int>(3));
  auto held = table.Get<int>(h, HandleKind::kBitmap);
  ASSERT_TRUE(table.Remove(h, HandleKind::kBitmap));
  EXPECT_EQ(*held, 3);
}

TEST(HandleTable, StockHandlesCannotBeRemoved) {
  HandleTable table;
  const HANDLE32 stock = table.Add(HandleKind::kPalette, std::make_shared<int>(1));
  EXPECT_FALSE(table.IsStock(stock));
  ASSERT_TRUE(table.MarkStock(stock));
  EXPECT_TRUE(table.IsStock(stock));
  EXPECT_FALSE(table.Remove(stock, HandleKind::kPalette));
  EXPECT_NE(table.Find(stock, HandleKind::kPalette), nullptr);
  EXPECT_FALSE(table.MarkStock(0));
}

TEST(HandleTable, ExhaustedSpaceGivesZeroInsteadOfWrapping) {
  HandleTable table;
  table.SetNextForTesting(0xFFFFFFFEu);
  EXPECT_EQ(table.Add(HandleKind::kPalette, std::make_shared<int>(1)), 0xFFFFFFFEu);
  EXPECT_EQ(table.Add(HandleKind::kPalette, std::make_shared<int>(1)), 0xFFFFFFFFu);
  EXPECT_EQ(table.Add(HandleKind::kPalette, std::make_shared<int>(1)), 0u);
  EXPECT_EQ(table.Count(), 2u);
}

TEST(HandleTable, ConcurrentAddsGiveDistinctHandles) {
  HandleTable table;
  constexpr int kThreads = 8, kPerThread = 2000;
  std::vector<std::vector<HANDLE32>> got(kThreads);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) {
        const HANDLE32 h = table.Add(HandleKind::kPen, std::make_shared<int>(i));
        got[t].push_back(h);
        if (i % 2) table.Remove(h, HandleKind::kPen);  // removal races with other adds
      }
    });
  for (auto& th : threads) th.join();
  std::vector<HANDLE32> all;
  for (const auto& g : got) all.insert(all.end(), g.begin(), g.end());
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
  EXPECT_EQ(all.front() == 0, false);
  EXPECT_EQ(table.Count(), static_cast<std::size_t>(kThreads * kPerThread / 2));
}

TEST(HandleTable, ConcurrentLookupsFindEachThreadsOwnObjects) {
  HandleTable table;
  constexpr int kThreads = 8, kPerThread = 2000;
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      const int base = static_cast<int>(t) * kPerThread;
      std::vector<HANDLE32> mine;
      for (int i = 0; i < kPerThread; ++i)
        mine.push_back(table.Add(HandleKind::kBrush, std::make_shared<int>(base + i)));
      for (int i = 0; i < kPerThread; ++i) {
        const auto value = table.Get<int>(mine[static_cast<std::size_t>(i)], HandleKind::kBrush);
        if (!value || *value != base + i) ++mismatches[t];
        if (table.Find(mine[static_cast<std::size_t>(i)], HandleKind::kPen)) ++mismatches[t];
      }
      for (const HANDLE32 h : mine)
        if (!table.Remove(h, HandleKind::kBrush)) ++mismatches[t];
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(std::count(mismatches.begin(), mismatches.end(), 0), kThreads);
  EXPECT_EQ(table.Count(), 0u);
}

}  // namespace
}  // namespace qvplatform
