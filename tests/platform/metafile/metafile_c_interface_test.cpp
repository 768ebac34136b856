// The platform's C interface: the same handles as the C++ one, the reasons of failures, the
// header as its C structure, and the debug-line handler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "metafile_test_util.h"
#include "qvplatform/debug_output.h"
#include "qvplatform/metafile.h"
#include "qvplatform/qvplatform_c.h"

namespace vellora_test {
namespace {

std::string AsText(const std::vector<BYTE>& bytes) { return {bytes.begin(), bytes.end()}; }

struct LoadCase {
  const char* what;
  std::string bytes;
  int status;
};

TEST(MetafileCInterface, FilesLoadOrSayWhyNot) {
  const std::vector<LoadCase> cases = {
      {"enhanced", AsText(SmallEmf()), QV_METAFILE_OK},
      {"old-style", AsText(SmallWmf(true)), QV_METAFILE_OLD_STYLE},
      {"text", "not a metafile at all", QV_METAFILE_NOT_A_METAFILE},
      {"empty", "", QV_METAFILE_EMPTY},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.what);
    const TempFile file(c.bytes, ".emf");
    int status = -1;
    const QvMetafileHandle handle = QvGetEnhMetaFile(file.Path().c_str(), &status);
    EXPECT_EQ(status, c.status) << QvMetafileStatusText(status);
    EXPECT_EQ(handle != 0, c.status == QV_METAFILE_OK);
    // The handle is the platform's: the C++ interface sees the same metafile.
    if (handle != 0) {
      EXPECT_EQ(qvplatform::CheckEnhMetaFile(handle), MetafileStatus::kOk);
    }
    EXPECT_EQ(QvDeleteEnhMetaFile(handle), handle != 0 ? 1 : 0);
  }
  int status = -1;
  EXPECT_EQ(QvGetEnhMetaFile("/nonexistent/picture.emf", &status), 0u);
  EXPECT_EQ(status, QV_METAFILE_CANNOT_OPEN);
  EXPECT_EQ(QvGetEnhMetaFile(nullptr, &status), 0u);
  EXPECT_EQ(QvGetEnhMetaFile(nullptr, nullptr), 0u);  // no status asked for
  EXPECT_STREQ(QvMetafileStatusText(QV_METAFILE_OK), "");
  EXPECT_STREQ(QvMetafileStatusText(QV_METAFILE_EMPTY), "the file is empty");
  EXPECT_STREQ(QvMetafileStatusText(99), "unknown status");
  EXPECT_STREQ(QvMetafileStatusText(-1), "unknown status");
}

TEST(MetafileCInterface, BytesHeaderCopiesAndDeletion) {
  const std::vector<BYTE> emf = SmallEmf();
  const QvMetafileHandle h = QvSetEnhMetaFileBits(static_cast<uint32_t>(emf.size()), emf.data());
  ASSERT_NE(h, 0u);
  EXPECT_EQ(QvSetEnhMetaFileBits(4, reinterpret_cast<const uint8_t*>("junk")), 0u);
  EXPECT_EQ(QvSetEnhMetaFileBits(0, nullptr), 0u);

  ENHMETAHEADER reference;
  ASSERT_GT(GetEnhMetaFileHeader(h, sizeof reference, &reference), 0u);
  QvEnhMetaHeader header{};
  EXPECT_EQ(QvGetEnhMetaFileHeader(h, sizeof header, &header), sizeof header);
  EXPECT_EQ(QvGetEnhMetaFileHeader(h, 0, nullptr), reference.nSize);
  EXPECT_EQ(header.rclFrame.right, reference.rclFrame.right);
  EXPECT_EQ(header.nRecords, reference.nRecords);
  EXPECT_EQ(header.szlMillimeters.cy, reference.szlMillimeters.cy);

  std::vector<uint8_t> bits(QvGetEnhMetaFileBits(h, 0, nullptr));
  EXPECT_EQ(QvGetEnhMetaFileBits(h, static_cast<uint32_t>(bits.size()), bits.data()), emf.size());
  EXPECT_EQ(bits, emf);
  EXPECT_EQ(QvGetEnhMetaFileBits(h, 8, bits.data()), 8u);  // cut to the buffer

  const TempDir dir;
  const std::string copyName = dir.File("copy.emf").string();
  const QvMetafileHandle copy = QvCopyEnhMetaFile(h, copyName.c_str());
  ASSERT_NE(copy, 0u);
  EXPECT_EQ(ReadFile(copyName), AsText(emf));
  const QvMetafileHandle inMemory = QvCopyEnhMetaFile(h, nullptr);
  EXPECT_NE(inMemory, 0u);
  EXPECT_EQ(QvCopyEnhMetaFile(h, "/nonexistent/dir/copy.emf"), 0u);

  EXPECT_EQ(QvDeleteEnhMetaFile(h), 1);
  EXPECT_EQ(QvDeleteEnhMetaFile(h), 0);  // gone; the copies stay
  EXPECT_EQ(QvGetEnhMetaFileBits(h, 0, nullptr), 0u);
  EXPECT_EQ(QvGetEnhMetaFileBits(copy, 0, nullptr), emf.size());
  EXPECT_EQ(QvDeleteEnhMetaFile(copy), 1);
  EXPECT_EQ(QvDeleteEnhMetaFile(inMemory), 1);
}

TEST(MetafileCInterface, OldStyleBytesBecomeAnEnhancedMetafile) {
  const std::vector<BYTE> wmf = SmallWmf(true);
  const QvMetafileHandle placed =
      QvSetWinMetaFileBits(static_cast<uint32_t>(wmf.size()), wmf.data(), nullptr);
  ASSERT_NE(placed, 0u);
  EXPECT_EQ(qvplatform::CheckEnhMetaFile(placed), MetafileStatus::kOk);
  const QvMetaFilePict picture = {8, 1000, 500, 0};  // anisotropic, 10 x 5 mm
  const QvMetafileHandle framed =
      QvSetWinMetaFileBits(static_cast<uint32_t>(wmf.size()), wmf.data(), &picture);
  ASSERT_NE(framed, 0u);
  QvEnhMetaHeader header{};
  ASSERT_EQ(QvGetEnhMetaFileHeader(framed, sizeof header, &header), sizeof header);
  EXPECT_NEAR(header.rclFrame.right - header.rclFrame.left, 1000, 1);
  EXPECT_NEAR(header.rclFrame.bottom - header.rclFrame.top, 500, 1);
  const std::vector<BYTE> emf = SmallEmf();
  EXPECT_EQ(QvSetWinMetaFileBits(static_cast<uint32_t>(emf.size()), emf.data(), nullptr), 0u);
  EXPECT_EQ(QvSetWinMetaFileBits(0, nullptr, nullptr), 0u);
  EXPECT_EQ(QvDeleteEnhMetaFile(placed), 1);
  EXPECT_EQ(QvDeleteEnhMetaFile(framed), 1);
}

void Collect(void* lines, const char* line) {
  static_cast<std::vector<std::string>*>(lines)->emplace_back(line);
}

TEST(MetafileCInterface, DebugLinesReachTheHandlerUntilRemoved) {
  std::vector<std::string> lines;
  QvSetDebugLineHandler(&Collect, &lines);
  qvplatform::OutputDebugString("first line\r\n");
  qvplatform::OutputDebugString(std::string_view("second line and more", 11));
  QvSetDebugLineHandler(nullptr, nullptr);
  qvplatform::OutputDebugString("not seen");
  EXPECT_EQ(lines, (std::vector<std::string>{"first line", "second line"}));
}

}  // namespace
}  // namespace vellora_test
