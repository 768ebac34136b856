// Old-style metafiles through the translator and the rasteriser: each kind of record gives the
// ink of the same drawing as an enhanced metafile.
#include <gtest/gtest.h>

#include "qvplatform/wmf_translator.h"
#include "raster_test_support.h"
#include "wmf_twin_pictures.h"

namespace vellora_test {
namespace {

TEST(RasterOldStyle, EachRecordKindRendersAsTheSameEnhancedMetafile) {
  for (const TwinPicture& twin : TwinPictures()) {
    SCOPED_TRACE(twin.name);
    const qvplatform::WmfTranslation t =
        qvplatform::TranslateWinMetaFile(twin.wmf.data(), twin.wmf.size(), nullptr);
    ASSERT_FALSE(t.damaged) << t.problem;
    const int size = kTwinPictureSize;
    const Pixels old = RenderEmf(t.emf, size, size);
    const Pixels enhanced = RenderEmf(twin.emf, size, size);
    ASSERT_TRUE(old.ok && enhanced.ok);
    const std::vector<bool> a = InkMask(size, size, old.data);
    const std::vector<bool> b = InkMask(size, size, enhanced.data);
    EXPECT_GT(std::count(b.begin(), b.end(), true), 100);
    const double agreement = InkAgreement(size, size, a, b);
    EXPECT_GT(agreement, 0.95);
    if (agreement <= 0.95) {
      DumpPng(twin.name + ".wmf", size, size, old.data);
      DumpPng(twin.name + ".emf", size, size, enhanced.data);
    }
  }
}

}  // namespace
}  // namespace vellora_test
