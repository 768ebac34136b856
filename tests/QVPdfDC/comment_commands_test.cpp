// Colour records and command records in metafile comments.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "command_record.h"
#include "ps_test_device.h"

namespace vellora {
namespace {

using vellora_test::CommandRecord;
using vellora_test::PrepareForSteps;
using vellora_test::TestPSDevice;
using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutFloat(Bytes& b, float f) {
  std::uint32_t v;
  std::memcpy(&v, &f, 4);
  Put32(b, v);
}

Bytes ColorRecord(std::int32_t target, std::int32_t mode, float c1, float c2, float c3, float c4,
                  std::uint32_t magic = 291100) {
  Bytes b;
  Put32(b, static_cast<std::uint32_t>(target));
  Put32(b, magic);
  Put32(b, static_cast<std::uint32_t>(mode));
  for (const float c : {c1, c2, c3, c4}) PutFloat(b, c);
  return b;
}

void Comment(TestPSDevice& d, const Bytes& b) { d.GdiComment({b.data(), b.size()}); }

TEST(CommentCommands, ColourRecordsReplaceTheDeviceColour) {
  TestPSDevice d;
  PrepareForSteps(d);
  Comment(d, ColorRecord(-2, 2, 0.1f, 0.2f, 0.3f, 0.4f));  // stroke, CMYK
  EXPECT_EQ(d.strokeColorRecord.mode, 2);
  EXPECT_EQ(d.strokeColorRecord.id, -2);
  // Written with the next stroke although the GDI pen colour did not change.
  EXPECT_EQ(d.Step([&] { d.LineTo(1, 1); }).substr(0, 18), "0.1 0.2 0.3 0.4 K ");
  Comment(d, ColorRecord(3, 3, 0.5f, 0, 0, 0));  // fill, grey
  EXPECT_EQ(d.Step([&] { d.Rectangle({0, 0, 1, 1}); }).substr(0, 6), "0.5 g ");

  // Components that are not numbers or out of range never reach the content.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  Comment(d, ColorRecord(1, 1, nan, inf, -inf, 7));
  EXPECT_EQ(d.textColorRecord.mode, 1);
  for (const float c : d.textColorRecord.c) {
    EXPECT_GE(c, 0.0f);
    EXPECT_LE(c, 1.0f);
  }
  EXPECT_EQ(d.textColorRecord.c[1], 0.0f);
}

TEST(CommentCommands, InvalidColourRecordsAreIgnored) {
  struct Case {
    const char* name;
    Bytes record;
  };
  Bytes longer = ColorRecord(2, 1, 1, 0, 0, 0);
  longer.push_back(0);
  const Case cases[] = {
      {"mode 4", ColorRecord(2, 4, 1, 0, 0, 0)},
      {"target 4", ColorRecord(4, 1, 1, 0, 0, 0)},
      {"target 0", ColorRecord(0, 1, 1, 0, 0, 0)},
      {"most negative target",
       ColorRecord(std::numeric_limits<std::int32_t>::min(), 1, 1, 0, 0, 0)},
      {"wrong magic", ColorRecord(2, 1, 1, 0, 0, 0, 291101)},
      {"29 bytes", longer},
      {"27 bytes", Bytes(longer.begin(), longer.end() - 2)},
  };
  for (const Case& c : cases) {
    TestPSDevice d;
    Comment(d, c.record);
    EXPECT_EQ(d.strokeColorRecord.mode, 0) << c.name;
    EXPECT_TRUE(d.commands.empty()) << c.name;
  }
}

TEST(CommentCommands, CommandRecordsReachTheirHooks) {
  TestPSDevice d;
  PrepareForSteps(d);  // identity matrix, y offset 0
  d.yOffset = 0;
  d.SetWorldTransform(XFORM{2, 0, 0, 2, 0, 0});
  const qvplatform::RECTL r{1, 2, 3, 4};
  Comment(d, CommandRecord(1999, 120270, r, std::string("abc\0", 4)));
  Comment(d, CommandRecord(2000, 120269, r, "\xE9t\xE9"));
  Comment(d, CommandRecord(1, 120270, r, "\xC3\xA9\xE2\x82\xAC\xE4\xB8\x80"));  // é, €, 一
  Comment(d, CommandRecord(3000, 120269, r, std::string("\0\1\2", 3)));
  ASSERT_EQ(d.commands.size(), 4u);
  const XFORM& m = d.dcStack.Matrix();
  const auto& logical = d.commands[0];
  EXPECT_EQ(logical.text, "abc");
  EXPECT_EQ(logical.rect.left, std::lround(1 * m.eM11 + 2 * m.eM21 + m.eDx));
  EXPECT_EQ(logical.rect.bottom, std::lround(3 * m.eM12 + 4 * m.eM22 + m.eDy));
  EXPECT_EQ(d.commands[1].rect.top, 2);        // code 2000: output coordinates as given
  EXPECT_EQ(d.commands[1].text, "\xE9t\xE9");  // system code page text as it is
  EXPECT_EQ(d.commands[2].text, "\xE9\x80?");  // UTF-8 to 1252, "?" where it has no byte
  EXPECT_TRUE(d.commands[3].tagging);
  EXPECT_EQ(d.commands[3].data, (std::vector<std::uint8_t>{0, 1, 2}));
  EXPECT_EQ(d.commands[3].rect.right, 3);

  // The DC's y flip negates top and bottom before anything else.
  d.dcStack.yFlip = true;
  Comment(d, CommandRecord(2500, 120269, r, "x"));
  EXPECT_EQ(d.commands.back().rect.top, -2);
  EXPECT_EQ(d.commands.back().rect.bottom, -4);
}

TEST(CommentCommands, RotatedRectanglesFollowTheMatrix) {
  TestPSDevice d;
  PrepareForSteps(d);
  d.SetWorldTransform(XFORM{0, 1, -1, 0, 50, 0});  // a quarter turn, moved right
  Comment(d, CommandRecord(100, 120269, {10, 0, 20, 5}, ""));
  ASSERT_EQ(d.commands.size(), 1u);
  // (10, 0) turns to (0, 10) and moves to (50, 10); (20, 5) to (45, 20).
  const auto& c = d.commands[0];
  EXPECT_EQ(c.rect.left, 50);
  EXPECT_EQ(c.rect.top, 10);
  EXPECT_EQ(c.rect.right, 45);
  EXPECT_EQ(c.rect.bottom, 20);
}

TEST(CommentCommands, PayloadLengthMustFitTheData) {
  const qvplatform::RECTL r{0, 0, 1, 1};
  struct Case {
    const char* name;
    Bytes record;
    bool accepted;
  };
  const Case cases[] = {
      {"exact", CommandRecord(5, 120269, r, "abcd", 4), true},
      {"shorter than the data", CommandRecord(5, 120269, r, "abcd", 2), true},
      {"one byte beyond", CommandRecord(5, 120269, r, "abcd", 5), false},
      // 0xFFFFFFF0 + 28 wraps to 12 in 32 bits.
      {"wrapping length", CommandRecord(5, 120269, r, "abcd", 0xFFFFFFF0u), false},
      {"other magic", CommandRecord(5, 120268, r, "abcd", 4), false},
      {"too short", Bytes(27, 0), false},
  };
  for (const Case& c : cases) {
    TestPSDevice d;
    Comment(d, c.record);
    EXPECT_EQ(d.commands.size(), c.accepted ? 1u : 0u) << c.name;
  }
  TestPSDevice d;
  Comment(d, CommandRecord(5, 120269, r, "abcd", 2));
  EXPECT_EQ(d.commands[0].text, "ab");
}

}  // namespace
}  // namespace vellora
