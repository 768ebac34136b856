// Bitmap records: blits with and without bits, stretched DIBs, the old type 115, transparent and
// alpha blits, pattern brushes, and bitmaps that do not fit their record.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "emf_builder.h"
#include "recording_device.h"

namespace vellora_test {
namespace {

// line without the hashes that follow the sizes of byte spans (":" and 8 hex digits).
std::string WithoutHashes(const std::string& line) {
  std::string out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == ':' && i + 9 <= line.size() &&
        line.find_first_not_of("0123456789ABCDEF", i + 1) >= i + 9) {
      i += 8;
      continue;
    }
    out += line[i];
  }
  return out;
}

// The calls between BeginPicture and FlushPending, without the hashes of the byte spans.
std::vector<std::string> Drawn(const std::vector<BYTE>& bytes, RecordingDevice* use = nullptr) {
  RecordingDevice own;
  RecordingDevice& device = use ? *use : own;
  Play(device, bytes);
  std::vector<std::string> out;
  const auto& calls = device.Calls();
  for (std::size_t i = 1; i + 2 < calls.size(); ++i) out.push_back(WithoutHashes(calls[i]));
  return out;
}

void Put32(std::vector<BYTE>& bytes, std::size_t at, DWORD v) { std::memcpy(&bytes[at], &v, 4); }

// A record written by f, then given another type.
std::vector<BYTE> Retyped(DWORD type, const std::function<void(EmfBuilder&)>& f) {
  EmfBuilder b;
  const std::size_t at = b.Offset();
  f(b);
  auto bytes = b.Rectangle({5, 6, 7, 8}).Eof().Bytes();
  Put32(bytes, at, type);
  return bytes;
}

const TestDib kDib = TestDib::Filled(2, 2, 24, 0x80);  // 16 bytes of pixels
const Area kDest{10, 20, 30, 40};

TEST(MetafileBitmaps, BlitsDrawTheirBitsOrFallBackToABitBlt) {
  const struct {
    const char* name;
    std::function<void(EmfBuilder&)> build;
    std::string call;
  } cases[] = {
      {"bitblt without bits", [](EmfBuilder& b) { b.BitBlt(kDest, PATCOPY); },
       "BitBlt (10,20) 30x40 rop=00F00021"},
      // A blit that carries bits draws them (not a black rectangle).
      {"bitblt with bits", [](EmfBuilder& b) { b.BitBlt(kDest, SRCCOPY, kDib); },
       "StretchDIBits dst=(10,20) 30x40 rop=00CC0020 usage=777 src=(0,0) 2x2 info=40 bits=16"},
      {"stretchblt of a top-down bitmap",
       [](EmfBuilder& b) { b.StretchBlt(kDest, SRCAND, TestDib::Filled(3, -2, 24, 1)); },
       "StretchDIBits dst=(10,20) 30x40 rop=008800C6 usage=777 src=(0,0) 3x2 info=40 bits=24"},
      {"stretchdibits", [](EmfBuilder& b) { b.StretchDIBits(kDest, kDib); },
       "StretchDIBits dst=(10,20) 30x40 rop=00CC0020 usage=0 src=(0,0) 2x2 info=40 bits=16"},
      // A core header reaches the device as the 40-byte form with its table widened.
      {"core header",
       [](EmfBuilder& b) {
         TestDib core = TestDib::Filled(2, 2, 1, 0);
         core.core = true;
         b.StretchDIBits(kDest, core);
       },
       "StretchDIBits dst=(10,20) 30x40 rop=00CC0020 usage=0 src=(0,0) 2x2 info=48 bits=8"},
  };
  for (const auto& c : cases) {
    EmfBuilder b;
    c.build(b);
    EXPECT_EQ(Drawn(b.Eof().Bytes()), std::vector<std::string>{c.call}) << c.name;
  }
}

TEST(MetafileBitmaps, BitmapsThatDoNotFitTheirRecordAreSkipped) {
  // EMR_STRETCHDIBITS: offBmiSrc at 48, cbBmiSrc 52, offBitsSrc 56, cbBitsSrc 60; the header
  // follows the 80-byte fixed part.
  const struct {
    const char* name;
    std::size_t at;
    DWORD value;
  } cases[] = {
      {"pixels beyond the record", 60, 1000},
      {"info inside the fixed part", 48, 8},
      {"info size beyond the record", 52, 0xFFFFFFF0},
      {"a depth that cannot be drawn", 80 + 14, 7},
      {"a height the pixels cannot hold", 80 + 8, 3000},
  };
  for (const auto& c : cases) {
    EmfBuilder b;
    const std::size_t at = b.Offset();
    auto bytes = b.StretchDIBits(kDest, kDib).Rectangle({5, 6, 7, 8}).Eof().Bytes();
    Put32(bytes, at + c.at, c.value);
    RecordingDevice device;
    EXPECT_EQ(Drawn(bytes, &device), std::vector<std::string>{"Rectangle (5,6,7,8)"}) << c.name;
    EXPECT_TRUE(device.metafileError) << c.name;
  }
}

TEST(MetafileBitmaps, Type115IsAnAlphaBlendOnlyInTheStretchDibLayout) {
  RecordingDevice shortForm;
  EXPECT_EQ(Drawn(EmfBuilder().Append(EMR_SETLAYOUT, {1}).Eof().Bytes(), &shortForm),
            std::vector<std::string>{});
  EXPECT_FALSE(shortForm.metafileError);
  EXPECT_EQ(Drawn(Retyped(EMR_ALPHADIBBLEND, [](EmfBuilder& b) { b.StretchDIBits(kDest, kDib); })),
            (std::vector<std::string>{
                "StretchDIBits dst=(10,20) 30x40 rop=00CC0020 usage=0 src=(0,0) 2x2 info=40 "
                "bits=16",
                "Rectangle (5,6,7,8)"}));
}

TEST(MetafileBitmaps, TransparentBlitSetsTheFlagAndColourOnlyForItsDuration) {
  for (const bool throwing : {false, true}) {
    RecordingDevice device;
    if (throwing)
      device.onCall = [](const std::string& line) {
        if (line.rfind("StretchDIBits", 0) == 0) throw std::runtime_error("no");
      };
    const auto bytes =
        Retyped(EMR_TRANSPARENTBLT, [](EmfBuilder& b) { b.StretchBlt(kDest, 0x00123456, kDib); });
    if (throwing) {
      EXPECT_THROW(Play(device, bytes), std::runtime_error);
    } else {
      EXPECT_EQ(Drawn(bytes, &device)[0],
                "StretchDIBits dst=(10,20) 30x40 rop=00123456 usage=0 src=(0,0) 2x2 info=40 "
                "bits=16");
    }
    EXPECT_TRUE(device.transparentDuringBlit);
    EXPECT_EQ(device.transparentColorDuringBlit, 0x00123456u);
    EXPECT_FALSE(device.transparentBlit);
  }
}

TEST(MetafileBitmaps, BlitAndAlphaBlendSwallowExceptionsStretchDIBitsDoesNot) {
  const auto throwing = [](RecordingDevice& d) {
    d.onCall = [](const std::string& line) {
      if (line.rfind("StretchDIBits", 0) == 0) throw std::runtime_error("no");
    };
  };
  const std::vector<BYTE> swallowed[] = {
      EmfBuilder().StretchBlt(kDest, SRCCOPY, kDib).Rectangle({5, 6, 7, 8}).Eof().Bytes(),
      EmfBuilder().BitBlt(kDest, SRCCOPY, kDib).Rectangle({5, 6, 7, 8}).Eof().Bytes(),
      Retyped(EMR_ALPHABLEND, [](EmfBuilder& b) { b.StretchBlt(kDest, 0x01FF0000, kDib); }),
  };
  for (const auto& bytes : swallowed) {
    RecordingDevice device;
    throwing(device);
    Play(device, bytes);
    EXPECT_EQ(device.CallsStartingWith("Rectangle").size(), 1u);
  }
  RecordingDevice device;
  throwing(device);
  EXPECT_THROW(Play(device, EmfBuilder().StretchDIBits(kDest, kDib).Eof().Bytes()),
               std::runtime_error);
}

TEST(MetafileBitmaps, AlphaBlendTakesTheBlendFunctionAndTheBoundsAsSourceSize) {
  // The builder's bounds are (10, 20, 39, 59): 29 x 39.
  EXPECT_EQ(
      Drawn(
          Retyped(EMR_ALPHABLEND, [](EmfBuilder& b) { b.StretchBlt(kDest, 0x01FF0000, kDib); }))[0],
      "StretchDIBits dst=(10,20) 30x40 rop=01FF0000 usage=777 src=(0,0) 29x39 info=40 bits=16");
}

TEST(MetafileBitmaps, PatternBrushRegistersItsBitmapAndBecomesAHatchedBrush) {
  TestDib pattern = TestDib::Filled(8, 8, 1, 0xAA);
  for (const std::int32_t image : {4, 0}) {
    RecordingDevice device;
    device.drawDIBitsResult = image;
    const auto calls = Drawn(
        EmfBuilder().SetHandles(2).CreateDibPatternBrush(1, pattern).SelectObject(1).Eof().Bytes(),
        &device);
    // Table entries (0,0,0) and (255,255,255): the first is zero.
    EXPECT_EQ(calls, std::vector<std::string>{"DrawDIBits table=0 src=(0,0 8x8) dst=(0,0 0x0) "
                                              "crop=0 bits=32 header=40 colors=8"});
    EXPECT_EQ(device.CurrentDCState().brushStyle,
              image ? vellora::kBrushHatched : vellora::kBrushSolid);
    EXPECT_EQ(device.CurrentDCState().brushHatch, image ? 2u : 0u);
  }
  std::swap(pattern.colors[0], pattern.colors[1]);
  EXPECT_EQ(
      Drawn(EmfBuilder().SetHandles(2).CreateDibPatternBrush(1, pattern).Eof().Bytes())[0].substr(
          0, 18),
      "DrawDIBits table=1");
}

}  // namespace
}  // namespace vellora_test
