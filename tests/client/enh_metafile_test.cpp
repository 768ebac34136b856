// The page metafile: its header is corrected from the page geometry before it gets a handle.
#include <gtest/gtest.h>

#include "brenlow/enh_metafile.h"
#include "qvplatform/metafile.h"
#include "temp_files.h"

namespace {

using brenlow::ESizeMetafileUsage;
using brenlow::TFolvioEnhMetafile;

qvplatform::ENHMETAHEADER HeaderOf(TFolvioEnhMetafile& m) {
  qvplatform::ENHMETAHEADER h;
  EXPECT_NE(qvplatform::GetEnhMetaFileHeader(m.Handle(), sizeof h, &h), 0u);
  return h;
}

TEST(EnhMetafileTest, EndDrawSetsTheHeaderFromThePageGeometry) {
  struct Case {
    int width, height, xRes, yRes, endWidth, endHeight;
    int frameRight, frameBottom, mmX, mmY;
  };
  const Case cases[] = {
      {827, 1169, 100, 100, -1, -1, 21006, 29693, 210, 297},
      {100, 100, 300, 300, 850, 1100, 7197, 9313, 72, 93},  // EndDrawSize's size wins
      {1, 1, 1, 1, 0, 0, 2540, 2540, 25, 25},               // 25.4: rounds down
  };
  for (const Case& c : cases) {
    TFolvioEnhMetafile m;
    m.BeginDraw(c.width, c.height, c.xRes, c.yRes).LineTo(1, 1);
    m.EndDrawSize(c.endWidth, c.endHeight);
    const int w = c.endWidth > 0 ? c.endWidth : c.width;
    const int h = c.endHeight > 0 ? c.endHeight : c.height;
    const qvplatform::ENHMETAHEADER header = HeaderOf(m);
    EXPECT_EQ(header.rclBounds.left, 0);
    EXPECT_EQ(header.rclBounds.right, w + 1);
    EXPECT_EQ(header.rclBounds.bottom, h + 1);
    EXPECT_EQ(header.rclFrame.top, 0);
    EXPECT_EQ(header.rclFrame.right, c.frameRight) << w;
    EXPECT_EQ(header.rclFrame.bottom, c.frameBottom) << h;
    EXPECT_EQ(header.szlDevice.cx, w);
    EXPECT_EQ(header.szlDevice.cy, h);
    EXPECT_EQ(header.szlMillimeters.cx, c.mmX) << w;
    EXPECT_EQ(header.szlMillimeters.cy, c.mmY) << h;
  }
}

TEST(EnhMetafileTest, SavingWaitsForEndDrawAndASecondEndDrawChangesNothing) {
  TFolvioEnhMetafile m;
  m.BeginDraw(50, 50, 72, 72).Rectangle({1, 1, 20, 20});
  vellora_test::TempDir dir;
  const std::string file = dir.File("page.emf").string();
  qvplatform::TMemoryStream stream;
  try {
    m.SaveToFile(file);
    FAIL();
  } catch (const ESizeMetafileUsage& e) {
    EXPECT_STREQ(e.what(), "Finalize with EndDraw!");
  }
  EXPECT_THROW(m.SaveToStream(stream), ESizeMetafileUsage);
  m.EndDraw();
  const std::vector<qvplatform::BYTE> bytes = m.Bytes();
  const qvplatform::HENHMETAFILE handle = m.Handle();
  m.EndDrawSize(99, 99);
  EXPECT_EQ(m.Bytes(), bytes);
  EXPECT_EQ(m.Handle(), handle);
  m.SaveToFile(file);
  m.SaveToStream(stream);
  EXPECT_EQ(stream.Bytes(), bytes);
}

TEST(EnhMetafileTest, GeometryThatCannotBeWrittenIsRefused) {
  TFolvioEnhMetafile zero;
  zero.BeginDraw(10, 10, 0, 72);
  EXPECT_THROW(zero.EndDraw(), ESizeMetafileUsage);
  TFolvioEnhMetafile negative;
  negative.BeginDraw(10, 10, 72, -3);
  EXPECT_THROW(negative.EndDraw(), ESizeMetafileUsage);
  TFolvioEnhMetafile huge;
  huge.BeginDraw(10, 10, 1, 1);
  EXPECT_THROW(huge.EndDrawSize(0x7FFFFFFF, 10), std::range_error);  // w + 1 overflows
}

}  // namespace
