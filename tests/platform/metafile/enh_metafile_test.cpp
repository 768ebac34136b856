// Enhanced-metafile handles: loading with the header check, bits, header, copies and deletion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <thread>

#include "metafile_test_util.h"
#include "qvplatform/metafile.h"
#include "test_support.h"

namespace vellora_test {
namespace {

HENHMETAFILE Load(const std::vector<BYTE>& bytes) {
  return SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
}

std::vector<BYTE> BitsOf(HENHMETAFILE metafile) {
  std::vector<BYTE> bits(GetEnhMetaFileBits(metafile, 0, nullptr));
  EXPECT_EQ(GetEnhMetaFileBits(metafile, static_cast<UINT>(bits.size()), bits.data()), bits.size());
  return bits;
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

TEST(EnhMetaFile, BitsComeBackWholeOrCutToTheBuffer) {
  const std::vector<BYTE> emf = SmallEmf();
  const HENHMETAFILE h = Load(emf);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(CheckEnhMetaFile(h), MetafileStatus::kOk);
  EXPECT_EQ(GetEnhMetaFileBits(h, 0, nullptr), emf.size());
  EXPECT_EQ(BitsOf(h), emf);

  std::vector<BYTE> shortBuffer(20, 0xEE);
  EXPECT_EQ(GetEnhMetaFileBits(h, 16, shortBuffer.data()), 16u);
  EXPECT_TRUE(std::equal(emf.begin(), emf.begin() + 16, shortBuffer.begin()));
  EXPECT_EQ(shortBuffer[16], 0xEE);  // nothing past the given size
  EXPECT_TRUE(DeleteEnhMetaFile(h));
}

TEST(EnhMetaFile, HeaderAsTheCheckReadIt) {
  EmfBuilder b;
  b.SetHeaderSize(kEmfHeaderBaseSize).SetBounds({1, 2, 30, 40});
  b.Eof();
  const std::vector<BYTE> emf = b.Bytes();
  const HENHMETAFILE h = Load(emf);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(GetEnhMetaFileHeader(h, 0, nullptr), kEmfHeaderBaseSize);

  ENHMETAHEADER header;
  header.szlMicrometers = {77, 77};
  ASSERT_EQ(GetEnhMetaFileHeader(h, sizeof header, &header), sizeof header);
  EXPECT_EQ(header.rclBounds.right, 30);
  EXPECT_EQ(header.nBytes, emf.size());
  // An 88-byte header has no extensions: those fields read as zero, not as what follows.
  EXPECT_EQ(header.szlMicrometers.cx, 0);
  EXPECT_EQ(header.cbPixelFormat, 0u);

  ENHMETAHEADER part;
  EXPECT_EQ(GetEnhMetaFileHeader(h, 8, &part), 8u);
  EXPECT_EQ(part.nSize, kEmfHeaderBaseSize);
  EXPECT_EQ(part.rclBounds.right, 0);  // not written
  DeleteEnhMetaFile(h);
}

TEST(EnhMetaFile, DamagedHeadersAreRefusedWithTheirReason) {
  const std::vector<BYTE> good = SmallEmf();
  auto withDword = [&good](std::size_t offset, DWORD value) {
    std::vector<BYTE> bytes = good;
    std::memcpy(bytes.data() + offset, &value, sizeof value);
    return bytes;
  };
  struct Case {
    const char* name;
    std::vector<BYTE> bytes;
    MetafileStatus status;
  } cases[] = {
      {"empty", {}, MetafileStatus::kEmpty},
      {"record head only", Le32({1}), MetafileStatus::kBadHeader},
      {"text",
       {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'},
       MetafileStatus::kNotAMetafile},
      {"no signature", withDword(40, 0x12345678), MetafileStatus::kNotAMetafile},
      {"header beyond data", withDword(4, 0x10000), MetafileStatus::kBadHeader},
      {"header below 88", withDword(4, 84), MetafileStatus::kBadHeader},
      {"header unaligned", withDword(4, 90), MetafileStatus::kBadHeader},
      {"cut in the header", std::vector<BYTE>(good.begin(), good.begin() + 60),
       MetafileStatus::kBadHeader},
  };
  const std::size_t before = HandleTable::Instance().Count();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const MetafileLoadResult r = LoadMetafileBytes(c.bytes.data(), c.bytes.size());
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.handle, 0u);
    EXPECT_EQ(Load(c.bytes), 0u);
    EXPECT_STRNE(MetafileStatusText(c.status), "");
  }
  EXPECT_EQ(HandleTable::Instance().Count(), before);
}

TEST(EnhMetaFile, HandlesAreNeverReusedAndTyped) {
  const std::vector<BYTE> emf = SmallEmf();
  const HENHMETAFILE first = Load(emf);
  ASSERT_NE(first, 0u);
  ASSERT_TRUE(DeleteEnhMetaFile(first));
  EXPECT_FALSE(DeleteEnhMetaFile(first));
  EXPECT_EQ(GetEnhMetaFileBits(first, 0, nullptr), 0u);
  EXPECT_EQ(GetEnhMetaFileHeader(first, 0, nullptr), 0u);
  EXPECT_EQ(CheckEnhMetaFile(first), MetafileStatus::kInvalidHandle);
  EXPECT_EQ(CopyEnhMetaFile(first, nullptr), 0u);

  const HENHMETAFILE second = Load(emf);
  EXPECT_NE(second, first);
  // An enhanced handle is not an old-style one, nor any other object.
  EXPECT_EQ(GetMetaFileBitsEx(second, 0, nullptr), 0u);
  EXPECT_FALSE(DeleteMetaFile(second));
  EXPECT_FALSE(HandleTable::Instance().Remove(second, HandleKind::kBitmap));
  EXPECT_EQ(GetEnhMetaFileBits(0, 0, nullptr), 0u);
  EXPECT_TRUE(DeleteEnhMetaFile(second));
}

TEST(EnhMetaFile, MemoryCopyOutlivesTheOriginal) {
  const std::vector<BYTE> emf = SmallEmf();
  const HENHMETAFILE original = Load(emf);
  const HENHMETAFILE copy = CopyEnhMetaFile(original, nullptr);
  ASSERT_NE(copy, 0u);
  EXPECT_NE(copy, original);
  ASSERT_TRUE(DeleteEnhMetaFile(original));
  EXPECT_EQ(BitsOf(copy), emf);
  EXPECT_TRUE(DeleteEnhMetaFile(copy));
}

TEST(EnhMetaFile, FileCopyWritesTheBytesAndLoadsBack) {
  TempFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  const std::vector<BYTE> emf = SmallEmf();
  const HENHMETAFILE h = Load(emf);
  const std::string path = folder.File("copy.emf");
  WriteFile(path, std::vector<BYTE>(5000, 0xAB));  // replaced, not overwritten in part
  const HENHMETAFILE copy = CopyEnhMetaFile(h, path.c_str());
  ASSERT_NE(copy, 0u);
  EXPECT_EQ(ReadFileBytes(path), emf);
  EXPECT_EQ(BitsOf(copy), emf);

  const MetafileLoadResult loaded = LoadMetafileFile(path.c_str());
  ASSERT_EQ(loaded.status, MetafileStatus::kOk);
  EXPECT_EQ(loaded.kind, HandleKind::kEnhMetaFile);
  EXPECT_EQ(BitsOf(loaded.handle), emf);

  const std::string missing = folder.File("no/such/folder/copy.emf");
  const MetafileLoadResult failed = CopyEnhMetaFileEx(h, missing.c_str());
  EXPECT_EQ(failed.status, MetafileStatus::kCannotWrite);
  EXPECT_EQ(failed.systemError, ENOENT);
  EXPECT_EQ(failed.handle, 0u);
  EXPECT_EQ(CopyEnhMetaFile(h, missing.c_str()), 0u);
  for (HENHMETAFILE x : {h, copy, loaded.handle}) DeleteEnhMetaFile(x);
}

TEST(EnhMetaFile, FilesThatCannotBeMetafiles) {
  TempFolder folder;
  ASSERT_FALSE(folder.Path().empty());
  WriteFile(folder.File("empty.emf"), {});
  WriteFile(folder.File("text.emf"), {'n', 'o', 't', ' ', 'a', 'n', ' ', 'E', 'M', 'F'});
  struct Case {
    std::string path;
    MetafileStatus status;
    int error;
  } cases[] = {
      {folder.File("missing.emf"), MetafileStatus::kCannotOpen, ENOENT},
      {folder.Path().string(), MetafileStatus::kCannotOpen, EISDIR},
      {"/dev/null", MetafileStatus::kCannotOpen, EINVAL},  // not a regular file
      {folder.File("empty.emf"), MetafileStatus::kEmpty, 0},
      {folder.File("text.emf"), MetafileStatus::kNotAMetafile, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const MetafileLoadResult r = LoadMetafileFile(c.path.c_str());
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.systemError, c.error);
    EXPECT_EQ(r.handle, 0u);
  }
  EXPECT_EQ(LoadMetafileFile(nullptr).status, MetafileStatus::kCannotOpen);
}

TEST(EnhMetaFile, TruncatedFileKeepsItsBytesForThePlayer) {
  // The header promises more bytes than the file holds: the file loads as it is, and the
  // player finds where the records stop.
  const std::vector<BYTE> emf = SmallEmf();
  const std::vector<BYTE> cut(emf.begin(), emf.end() - 12);
  TempFolder folder;
  WriteFile(folder.File("cut.emf"), cut);
  const MetafileLoadResult r = LoadMetafileFile(folder.File("cut.emf").c_str());
  ASSERT_EQ(r.status, MetafileStatus::kOk);
  EXPECT_EQ(BitsOf(r.handle), cut);
  DeleteEnhMetaFile(r.handle);
}

TEST(EnhMetaFile, ThreadsLoadCopyAndDeleteWithDistinctHandles) {
  const std::vector<BYTE> emf = SmallEmf();
  constexpr int kThreads = 4;
  constexpr int kRounds = 200;
  std::vector<std::vector<HENHMETAFILE>> made(kThreads);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRounds; ++i) {
        const HENHMETAFILE h = Load(emf);
        const HENHMETAFILE c = CopyEnhMetaFile(h, nullptr);
        made[t].push_back(h);
        made[t].push_back(c);
        if (GetEnhMetaFileBits(c, 0, nullptr) != emf.size()) made[t].push_back(0);
        DeleteEnhMetaFile(h);
        DeleteEnhMetaFile(c);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  std::vector<HENHMETAFILE> all;
  for (const auto& m : made) all.insert(all.end(), m.begin(), m.end());
  std::sort(all.begin(), all.end());
  EXPECT_NE(all.front(), 0u);
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
  EXPECT_EQ(all.size(), std::size_t{kThreads} * kRounds * 2);
}

}  // namespace
}  // namespace vellora_test
