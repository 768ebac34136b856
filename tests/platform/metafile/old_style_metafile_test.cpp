// Old-style metafiles: their own handle kind, the placeable header, and a clear refusal where
// enhanced bits are asked for.
#include <gtest/gtest.h>

#include "metafile_test_util.h"
#include "qvplatform/debug_output.h"
#include "qvplatform/metafile.h"

namespace vellora_test {
namespace {

std::vector<BYTE> BitsOf(HMETAFILE metafile) {
  std::vector<BYTE> bits(GetMetaFileBitsEx(metafile, 0, nullptr));
  EXPECT_EQ(GetMetaFileBitsEx(metafile, static_cast<UINT>(bits.size()), bits.data()), bits.size());
  return bits;
}

TEST(OldStyleMetaFile, LoadsWithAndWithoutThePlaceableHeader) {
  const std::vector<BYTE> plain = SmallWmf(false);
  const std::vector<BYTE> placeable = SmallWmf(true);
  const MetafileLoadResult a = LoadMetafileBytes(plain.data(), plain.size());
  const MetafileLoadResult b = LoadMetafileBytes(placeable.data(), placeable.size());
  ASSERT_EQ(a.status, MetafileStatus::kOk);
  ASSERT_EQ(b.status, MetafileStatus::kOk);
  EXPECT_EQ(a.kind, HandleKind::kMetaFile);
  EXPECT_EQ(b.kind, HandleKind::kMetaFile);
  // The bits start at the old-style header in both cases.
  EXPECT_EQ(BitsOf(a.handle), plain);
  EXPECT_EQ(BitsOf(b.handle), plain);

  EXPECT_FALSE(GetMetaFilePlaceable(a.handle, nullptr));
  WmfPlaceable frame;
  ASSERT_TRUE(GetMetaFilePlaceable(b.handle, &frame));
  EXPECT_EQ(frame.left, -5);
  EXPECT_EQ(frame.top, 7);
  EXPECT_EQ(frame.right, 300);
  EXPECT_EQ(frame.bottom, 200);
  EXPECT_EQ(frame.inch, 1440);

  BYTE head[4];
  EXPECT_EQ(GetMetaFileBitsEx(a.handle, sizeof head, head), sizeof head);
  EXPECT_TRUE(DeleteMetaFile(a.handle));
  EXPECT_FALSE(DeleteMetaFile(a.handle));
  EXPECT_EQ(GetMetaFileBitsEx(a.handle, 0, nullptr), 0u);
  EXPECT_TRUE(DeleteMetaFile(b.handle));
}

TEST(OldStyleMetaFile, EnhancedBitsAreRefusedWithAReason) {
  const std::vector<BYTE> wmf = SmallWmf(true);
  const MetafileLoadResult r = LoadMetafileBytes(wmf.data(), wmf.size());
  ASSERT_EQ(r.status, MetafileStatus::kOk);
  EXPECT_EQ(CheckEnhMetaFile(r.handle), MetafileStatus::kOldStyle);
  EXPECT_NE(std::string(MetafileStatusText(MetafileStatus::kOldStyle)).find("old-style"),
            std::string::npos);
  {
    ScopedDebugCapture capture;
    EXPECT_EQ(GetEnhMetaFileBits(r.handle, 0, nullptr), 0u);
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_NE(capture.Lines()[0].find("old-style"), std::string::npos);
  }
  EXPECT_EQ(GetEnhMetaFileHeader(r.handle, 0, nullptr), 0u);
  EXPECT_FALSE(DeleteEnhMetaFile(r.handle));
  const MetafileLoadResult copy = CopyEnhMetaFileEx(r.handle, nullptr);
  EXPECT_EQ(copy.status, MetafileStatus::kOldStyle);
  EXPECT_EQ(copy.handle, 0u);

  // Enhanced bits made from old-style bytes are refused and leave no handle behind.
  const std::size_t before = HandleTable::Instance().Count();
  EXPECT_EQ(SetEnhMetaFileBits(static_cast<UINT>(wmf.size()), wmf.data()), 0u);
  EXPECT_EQ(HandleTable::Instance().Count(), before);
  EXPECT_TRUE(DeleteMetaFile(r.handle));
}

TEST(OldStyleMetaFile, DamagedHeadersAreRefused) {
  auto withWord = [](std::vector<BYTE> bytes, std::size_t offset, std::uint16_t value) {
    bytes[offset] = static_cast<BYTE>(value);
    bytes[offset + 1] = static_cast<BYTE>(value >> 8);
    return bytes;
  };
  const std::vector<BYTE> plain = SmallWmf(false);
  const std::vector<BYTE> placeable = SmallWmf(true);
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
    MetafileStatus status;
  } cases[] = {
      {"unknown version", SmallWmf(false, 0x0200), MetafileStatus::kBadOldStyle},
      {"size below the header", withWord(plain, 6, 4), MetafileStatus::kBadOldStyle},
      {"cut in the header", std::vector<BYTE>(plain.begin(), plain.begin() + 10),
       MetafileStatus::kBadOldStyle},
      {"placeable key only", std::vector<BYTE>(placeable.begin(), placeable.begin() + 4),
       MetafileStatus::kBadOldStyle},
      {"placeable before nothing", std::vector<BYTE>(placeable.begin(), placeable.begin() + 22),
       MetafileStatus::kBadOldStyle},
      {"placeable before garbage", withWord(placeable, 24, 7), MetafileStatus::kBadOldStyle},
      {"header size not 9 words", withWord(plain, 2, 8), MetafileStatus::kNotAMetafile},
      {"type 3", withWord(plain, 0, 3), MetafileStatus::kNotAMetafile},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MetafileLoadResult r = LoadMetafileBytes(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.handle, 0u);
  }
}

}  // namespace
}  // namespace vellora_test
