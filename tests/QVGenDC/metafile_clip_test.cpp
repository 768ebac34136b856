// Clip records and the clip look-ahead (played only under qvClipRectSupport).
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "QVGenDC/device_modes.h"
#include "emf_builder.h"
#include "recording_device.h"

namespace vellora_test {
namespace {

// The calls between BeginPicture and FlushPending.
std::vector<std::string> Clipped(EmfBuilder& b, bool clipSupport = true,
                                 RecordingDevice* use = nullptr) {
  RecordingDevice own;
  RecordingDevice& device = use ? *use : own;
  if (clipSupport) device.modes.Include(vellora::qvClipRectSupport);
  Play(device, b.Eof().Bytes());
  const auto& calls = device.Calls();
  return std::vector<std::string>(calls.begin() + 1, calls.end() - 2);
}

TEST(MetafileClip, IntersectClipRectSkipsRectanglesThatCoverThePage) {
  const struct {
    RECTL rect;
    bool support;
    std::vector<std::string> calls;
  } cases[] = {
      {{-10, -10, 40000, 5}, true, {}},  // left < 0, top <= 0, right >= 32000: the whole page
      {{-10, 0, 32000, 5}, true, {}},
      {{0, 0, 40000, 5}, true, {"SelectClipRegion 1 (0,0,40000,5) n=0 none"}},
      {{-10, 1, 40000, 5}, true, {"SelectClipRegion 1 (-10,1,40000,5) n=0 none"}},
      {{-10, -10, 31999, 5}, true, {"SelectClipRegion 1 (-10,-10,31999,5) n=0 none"}},
      {{0, 0, 40000, 5}, false, {}},
      {{-10, -10, 40000, 5}, false, {}},
  };
  for (const auto& c : cases) {
    EmfBuilder b;
    b.IntersectClipRect(c.rect);
    EXPECT_EQ(Clipped(b, c.support), c.calls) << c.rect.left << "," << c.rect.right;
  }
}

TEST(MetafileClip, AClipThatALaterRegionReplacesIsPushedAndPoppedByThatRegion) {
  EmfBuilder b;
  b.IntersectClipRect({0, 0, 10, 10})
      .SaveDC()
      .RestoreDC(-1)  // a level opened and closed after the clip does not end the search
      .ExtSelectClipRgn(RGN_COPY, {{1, 2, 3, 4}, {5, 6, 7, 8}})
      .ExtSelectClipRgn(RGN_COPY, {});
  EXPECT_EQ(Clipped(b), (std::vector<std::string>{
                            "PushClip", "SelectClipRegion 1 (0,0,10,10) n=0 none", "SaveDC 2",
                            "RestoreDC -1", "PopClip", "PushClip",
                            "SelectClipRegion 5 (1,2,7,8) n=2 (1,2,3,4) (5,6,7,8)", "PopClip"}));
}

TEST(MetafileClip, NoPushWhenTheLevelIsRestoredOrTheMetafileEndsFirst) {
  EmfBuilder restored;
  restored.SaveDC()
      .IntersectClipRect({0, 0, 10, 10})
      .RestoreDC(-1)
      .ExtSelectClipRgn(RGN_COPY, {{1, 2, 3, 4}});
  EXPECT_EQ(Clipped(restored), (std::vector<std::string>{
                                   "SaveDC 2", "SelectClipRegion 1 (0,0,10,10) n=0 none",
                                   "RestoreDC -1", "SelectClipRegion 5 (1,2,3,4) n=1 (1,2,3,4)"}));
  EmfBuilder ended;
  ended.IntersectClipRect({0, 0, 10, 10}).Eof().ExtSelectClipRgn(RGN_COPY, {{1, 2, 3, 4}});
  EXPECT_EQ(Clipped(ended), std::vector<std::string>{"SelectClipRegion 1 (0,0,10,10) n=0 none"});
}

TEST(MetafileClip, TheLookAheadStopsAtARecordThatCannotBeWalkedOver) {
  EmfBuilder b;
  b.IntersectClipRect({0, 0, 10, 10})
      .AppendBytes(Le32({EMR_SAVEDC, 0}), true)  // size 0: the walk would never advance
      .ExtSelectClipRgn(RGN_COPY, {{1, 2, 3, 4}});
  RecordingDevice device;
  EXPECT_EQ(Clipped(b, true, &device),
            std::vector<std::string>{"SelectClipRegion 1 (0,0,10,10) n=0 none"});
  EXPECT_TRUE(device.metafileError);
}

TEST(MetafileClip, ARegionThatDoesNotFitIsSkippedAfterThePendingClipIsPopped) {
  EmfBuilder b;
  b.IntersectClipRect({0, 0, 10, 10});
  // cbRgnData 48 holds one rectangle; the region header says 3.
  const auto region = Le32({48, RGN_COPY, 32, RDH_RECTANGLES, 3, 48, 1, 2, 3, 4, 1, 2, 3, 4});
  b.Append(EMR_EXTSELECTCLIPRGN, region.data(), region.size());
  RecordingDevice device;
  EXPECT_EQ(
      Clipped(b, true, &device),
      (std::vector<std::string>{"PushClip", "SelectClipRegion 1 (0,0,10,10) n=0 none", "PopClip"}));
  EXPECT_TRUE(device.metafileError);
}

TEST(MetafileClip, ManyClipsWithoutARegionLaterAreLookedAheadOnce) {
  // Each of these would walk to the end again without the remembered answer: quadratic.
  EmfBuilder b;
  for (int i = 0; i < 100000; ++i) b.IntersectClipRect({0, 0, 10 + i % 7, 10});
  const auto start = std::chrono::steady_clock::now();
  RecordingDevice device;
  device.keepLog = false;
  device.modes.Include(vellora::qvClipRectSupport);
  int pushes = 0;
  device.onCall = [&pushes](const std::string& line) { pushes += line == "PushClip"; };
  Play(device, b.Eof().Bytes());
  EXPECT_EQ(pushes, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
}  // namespace vellora_test
