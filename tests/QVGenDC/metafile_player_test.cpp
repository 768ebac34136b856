// The player's frame: header check, the picture bracket, the record loop's stops, restoring the
// borrowed values, the debug line and the debug dump.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "QVGenDC/metafile_player.h"
#include "emf_builder.h"
#include "qvplatform/clock.h"
#include "qvplatform/debug_output.h"
#include "recording_device.h"
#include "test_support.h"

namespace vellora_test {
namespace {

using vellora::EQVMetafileError;

const std::vector<std::string> kEmptyBracket = {"BeginPicture 100x100 res=96,96", "FlushPending",
                                                "EndPicture 7"};

TEST(MetafilePlayer, HeaderAndEofGiveExactlyThePictureBracket) {
  RecordingDevice device;
  device.beginPictureResult = 7;
  EXPECT_EQ(Play(device, EmfBuilder().Eof().Bytes()), 7);
  EXPECT_EQ(device.Calls(), kEmptyBracket);
  EXPECT_FALSE(device.metafileError);
}

TEST(MetafilePlayer, MeasureOnlyReturnsTheResultAndPlaysNoRecord) {
  RecordingDevice device;
  device.beginPictureResult = 5;
  const auto bytes = EmfBuilder().Rectangle({1, 2, 3, 4}).Eof().Bytes();
  EXPECT_EQ(Play(device, bytes, /*measureOnly=*/true), 5);
  EXPECT_EQ(device.Calls(), std::vector<std::string>{"BeginPicture 100x100 res=96,96"});
}

TEST(MetafilePlayer, NilBitsCallNothing) {
  RecordingDevice device;
  EXPECT_EQ(device.PlayMetafile(nullptr, 100, 0, 0, 0, 0, false, 0, 0), 0);
  EXPECT_TRUE(device.Calls().empty());
}

TEST(MetafilePlayer, WhatIsNotAnEnhancedMetafileRaisesAndCallsNothing) {
  EmfBuilder badSignature;
  badSignature.Header().dSignature = 0x12345678;
  EmfBuilder badType;
  badType.Header().iType = 2;
  const auto good = EmfBuilder().Eof().Bytes();
  const struct {
    const char* name;
    std::vector<BYTE> bytes;
  } cases[] = {
      {"bad signature", badSignature.Eof().Bytes()},
      {"bad type", badType.Eof().Bytes()},
      {"empty", {}},
      {"shorter than a record head", std::vector<BYTE>(good.begin(), good.begin() + 6)},
      {"header cut off", std::vector<BYTE>(good.begin(), good.begin() + 60)},
      {"header size beyond the data", EmfBuilder().ForceHeaderSize(4096).Eof().Bytes()},
      {"header size below its fields", EmfBuilder().ForceHeaderSize(40).Eof().Bytes()},
  };
  for (const auto& c : cases) {
    RecordingDevice device;
    const auto before = device.dcStack.pageScale;
    const BYTE none = 0;  // an empty file is data of length 0, not nil bits
    const BYTE* data = c.bytes.empty() ? &none : c.bytes.data();
    try {
      device.PlayMetafile(data, c.bytes.size(), 0, 0, 0, 0, false, 0, 0);
      ADD_FAILURE() << c.name << ": no exception";
    } catch (const EQVMetafileError& e) {
      EXPECT_STREQ(e.what(), "This is not an enhanced metafile") << c.name;
    }
    EXPECT_TRUE(device.Calls().empty()) << c.name;
    EXPECT_EQ(device.dcStack.pageScale.eM11, before.eM11) << c.name;
  }
}

TEST(MetafilePlayer, RecordRunningPastTheDataStopsAfterDrawingWhatCameBefore) {
  RecordingDevice device;
  device.timestamp = qvplatform::EncodeDateTime(2024, 5, 6, 7, 8, 9);
  const auto bytes = EmfBuilder()
                         .Rectangle({1, 2, 3, 4})
                         .AppendRaw(EMR_RECTANGLE, 1000, Le32({1, 2, 3, 4}))
                         .Eof()
                         .Bytes();
  qvplatform::ScopedDebugCapture capture;
  Play(device, bytes);
  EXPECT_EQ(device.Calls(),
            (std::vector<std::string>{"BeginPicture 100x100 res=96,96", "Rectangle (1,2,3,4)",
                                      "FlushPending", "EndPicture 0"}));
  EXPECT_TRUE(device.metafileError);
  EXPECT_EQ(capture.Lines(),
            std::vector<std::string>{
                "PDF engine detected problem in EMF data [rec 2] 2024-05-06 07:08:09"});
}

TEST(MetafilePlayer, RecordSizesThatCannotBeWalkedStopTheLoop) {
  const struct {
    const char* name;
    std::vector<BYTE> tail;
    bool atEnd;
  } cases[] = {
      {"size 0", Le32({EMR_RECTANGLE, 0, 0, 0}), false},
      {"size 4", Le32({EMR_RECTANGLE, 4, 0, 0}), false},
      {"size not a multiple of 4", Le32({EMR_RECTANGLE, 10, 0, 0}), false},
      {"fewer than 8 bytes left", {0x2B, 0, 0, 0, 24, 0}, true},
  };
  for (const auto& c : cases) {
    RecordingDevice device;
    // nRecords promises many more records: a size-0 record must not replay up to that count.
    EmfBuilder b;
    b.Rectangle({1, 2, 3, 4}).AppendBytes(c.tail, true);
    if (!c.atEnd) b.Rectangle({5, 6, 7, 8});
    const auto bytes = b.ForceRecordCount(1000).Bytes();
    Play(device, bytes);
    EXPECT_EQ(device.CallsStartingWith("Rectangle"),
              std::vector<std::string>{"Rectangle (1,2,3,4)"})
        << c.name;
    EXPECT_TRUE(device.metafileError) << c.name;
    EXPECT_EQ(device.Calls().back(), "EndPicture 0") << c.name;
  }
}

TEST(MetafilePlayer, TheHeaderRecordCountEofAndAbortEndTheLoop) {
  const auto twoRects = [] {
    EmfBuilder b;
    b.Rectangle({1, 1, 2, 2}).Rectangle({3, 3, 4, 4});
    return b;
  };
  {  // nRecords 2: the header and one record
    RecordingDevice device;
    Play(device, twoRects().ForceRecordCount(2).Bytes());
    EXPECT_EQ(device.CallsStartingWith("Rectangle").size(), 1u);
    EXPECT_FALSE(device.metafileError);
  }
  {  // EMR_EOF before the last record
    RecordingDevice device;
    Play(device, EmfBuilder().Rectangle({1, 1, 2, 2}).Eof().Rectangle({3, 3, 4, 4}).Bytes());
    EXPECT_EQ(device.CallsStartingWith("Rectangle").size(), 1u);
    EXPECT_FALSE(device.metafileError);
  }
  {  // the data ends before the promised records: damage
    RecordingDevice device;
    Play(device, twoRects().ForceRecordCount(10).Bytes());
    EXPECT_EQ(device.CallsStartingWith("Rectangle").size(), 2u);
    EXPECT_TRUE(device.metafileError);
  }
  {  // abort: no record, but the bracket
    RecordingDevice device;
    device.abortRequested = true;
    Play(device, twoRects().Eof().Bytes());
    EXPECT_EQ(device.Calls().size(), 3u);
  }
  {  // abort set by a drawing call stops before the next record
    RecordingDevice device;
    device.onCall = [&device](const std::string& line) {
      if (line.rfind("Rectangle", 0) == 0) device.abortRequested = true;
    };
    Play(device, twoRects().Eof().Bytes());
    EXPECT_EQ(device.CallsStartingWith("Rectangle").size(), 1u);
  }
}

TEST(MetafilePlayer, LastWasLineTellsWhetherThePreviousRecordWasAMoveOrALine) {
  RecordingDevice device;
  std::vector<bool> seen;
  device.onCall = [&](const std::string& line) {
    if (line.rfind("Rectangle", 0) == 0) seen.push_back(device.lastWasLine);
  };
  Play(device, EmfBuilder()
                   .LineTo(1, 1)
                   .Rectangle({1, 1, 2, 2})
                   .MoveTo(0, 0)
                   .Rectangle({1, 1, 2, 2})
                   .Rectangle({1, 1, 2, 2})
                   .MoveTo(3, 3)
                   .Eof()
                   .Bytes());
  EXPECT_EQ(seen, (std::vector<bool>{true, true, false}));
  EXPECT_TRUE(device.lastWasLine);
}

TEST(MetafilePlayer, BorrowedValuesAreRestoredAfterPlayingAndOnAnException) {
  for (const bool throwing : {false, true}) {
    RecordingDevice device;
    device.xResolution = 300;
    device.yResolution = 600;
    device.dcStack.pageOrigin = {11, 800};
    device.dcStack.frameOrigin = {3, 4};
    device.dcStack.extraScaleX = 2.0L;
    const auto scale = device.dcStack.pageScale;
    const auto resX = device.dcStack.resolutionX, natX = device.dcStack.naturalResolutionX;
    if (throwing)
      device.onCall = [](const std::string& line) {
        if (line.rfind("Rectangle", 0) == 0) throw std::runtime_error("drawing failed");
      };
    const auto bytes =
        EmfBuilder().SetFrame({1000, 2000, 22000, 31700}).Rectangle({1, 1, 2, 2}).Eof().Bytes();
    if (throwing)
      EXPECT_THROW(device.PlayMetafile(bytes.data(), bytes.size(), 10, 20, 500, 700, false, 0, 0),
                   std::runtime_error);
    else
      device.PlayMetafile(bytes.data(), bytes.size(), 10, 20, 500, 700, false, 0, 0);
    EXPECT_EQ(device.xResolution, 300);
    EXPECT_EQ(device.yResolution, 600);
    EXPECT_EQ(device.dcStack.pageOrigin.x, 11);
    EXPECT_EQ(device.dcStack.pageOrigin.y, 800);
    EXPECT_EQ(device.dcStack.frameOrigin.x, 3);
    EXPECT_EQ(device.dcStack.frameOrigin.y, 4);
    EXPECT_EQ(device.dcStack.extraScaleX, 2.0L);
    EXPECT_EQ(device.dcStack.resolutionX, resX);
    EXPECT_EQ(device.dcStack.naturalResolutionX, natX);
    EXPECT_EQ(device.dcStack.pageScale.eM11, scale.eM11);
    EXPECT_EQ(device.dcStack.pageScale.eDx, scale.eDx);
    EXPECT_TRUE(device.transformDirty);
    // The exception left the picture open: no bracket end.
    EXPECT_EQ(device.Calls().back() == "EndPicture 0", !throwing);
  }
}

TEST(MetafilePlayer, DebugDumpWritesNumberedFilesOnlyWhenADirectoryIsSet) {
  const auto bytes = EmfBuilder().Rectangle({1, 2, 3, 4}).Eof().Bytes();
  RecordingDevice quiet;
  Play(quiet, bytes);
  EXPECT_EQ(quiet.debugDumpCounter, 0);

  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("vellora_player_dump_" + std::to_string(::getpid())) / "sub";
  std::filesystem::remove_all(dir.parent_path());
  RecordingDevice device;
  device.playerOptions.debugDumpDirectory = dir.string() + "/";
  Play(device, bytes);
  Play(device, bytes);
  EXPECT_EQ(device.debugDumpCounter, 2);
  EXPECT_EQ(ReadFileBytes(dir / "meta1.EMF"), bytes);
  EXPECT_EQ(ReadFileBytes(dir / "meta2.EMF"), bytes);
  std::filesystem::remove_all(dir.parent_path());
}

}  // namespace
}  // namespace vellora_test
