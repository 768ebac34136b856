// StretchDIBits: the bitmap is read by its own header size and handed over in the 40-byte form
// with its colour table, or not at all when its header, masks or bits do not hold.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "emf_builder.h"
#include "ps_test_device.h"

namespace vellora {
namespace {

using vellora_test::TestDib;
using vellora_test::TestPSDevice;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kSrcCopy = 0x00CC0020, kSrcAnd = 0x008800C6;

qvplatform::BITMAPINFOHEADER HeaderOf(const TestPSDevice::DibCall& call) {
  qvplatform::BITMAPINFOHEADER h;
  EXPECT_EQ(call.header.size(), sizeof h);
  std::memcpy(&h, call.header.data(), sizeof h);
  return h;
}

std::int32_t Draw(TestPSDevice& d, const Bytes& info, const Bytes& bits,
                  std::uint32_t rop = kSrcCopy, std::uint32_t usage = 0) {
  return d.StretchDIBits(10, 20, rop, usage, {info.data(), info.size()}, {bits.data(), bits.size()},
                         0, 0, 2, 2, 30, 40);
}

TEST(PSDeviceBlit, BitmapsAreHandedOverInTheLongForm) {
  TestPSDevice d;
  d.Open();
  // 24 bits, no colour table.
  const TestDib rgb = TestDib::Filled(2, 2, 24, 7);
  EXPECT_EQ(Draw(d, rgb.InfoBytes(), rgb.PixelBytes()), 1);
  ASSERT_EQ(d.dibs.size(), 1u);
  const auto& call = d.dibs[0];
  EXPECT_FALSE(call.hasColorTable);
  EXPECT_TRUE(call.colors.empty());
  EXPECT_EQ(HeaderOf(call).biBitCount, 24);
  EXPECT_EQ(call.bits, rgb.PixelBytes());
  EXPECT_TRUE(call.crop);
  EXPECT_EQ(call.dstX, 10);
  EXPECT_EQ(call.dstY, 20);
  EXPECT_EQ(call.dstWidth, 30);
  EXPECT_EQ(call.dstHeight, 40);
  EXPECT_FALSE(call.transparent);

  // 8 bits from a 12-byte core header: converted, its triples widened to quads.
  TestDib core = TestDib::Filled(2, 2, 8, 1);
  core.core = true;
  core.colors.resize(2);
  core.colors[1] = {10, 20, 30, 0};
  EXPECT_GT(Draw(d, core.InfoBytes(), core.PixelBytes()), 0);
  const auto& converted = d.dibs.back();
  EXPECT_TRUE(converted.hasColorTable);
  EXPECT_EQ(HeaderOf(converted).biSize, 40u);
  EXPECT_EQ(HeaderOf(converted).biWidth, 2);
  EXPECT_EQ(HeaderOf(converted).biHeight, 2);
  ASSERT_EQ(converted.colors.size(), 8u);
  EXPECT_EQ(converted.colors[4], 10);  // blue of the second entry
  EXPECT_EQ(converted.colors[6], 30);

  // BI_BITFIELDS after a 40-byte header: the three masks come first.
  TestDib fields = TestDib::Filled(2, 2, 16, 0);
  fields.compression = qvplatform::BI_BITFIELDS;
  fields.masks = {0xF800, 0x07E0, 0x001F};
  EXPECT_GT(Draw(d, fields.InfoBytes(), fields.PixelBytes()), 0);
  const auto& masked = d.dibs.back();
  ASSERT_EQ(masked.colors.size(), 12u);
  EXPECT_EQ(masked.colors[0], 0x00);
  EXPECT_EQ(masked.colors[1], 0xF8);

  // A 124-byte header: the colour table starts after it, not after 40 bytes.
  TestDib v5 = TestDib::Filled(2, 2, 8, 1);
  v5.colors.resize(2);
  v5.colors[1] = {1, 2, 3, 0};
  Bytes info = v5.InfoBytes();
  const Bytes table(info.begin() + 40, info.end());
  info.resize(40);
  info.resize(124, 0xAB);
  info[0] = 124;
  info.insert(info.end(), table.begin(), table.end());
  EXPECT_GT(Draw(d, info, v5.PixelBytes()), 0);
  ASSERT_EQ(d.dibs.back().colors.size(), 8u);
  EXPECT_EQ(d.dibs.back().colors[4], 1);
}

TEST(PSDeviceBlit, BitmapsThatDoNotHoldAreNotDrawn) {
  TestPSDevice d;
  d.Open();
  const TestDib rgb = TestDib::Filled(4, 4, 24, 7);
  Bytes shortBits = rgb.PixelBytes();
  shortBits.pop_back();
  Bytes shortInfo = rgb.InfoBytes();
  shortInfo.resize(20);
  TestDib fields = TestDib::Filled(2, 2, 16, 0);
  fields.compression = qvplatform::BI_BITFIELDS;  // masks missing
  EXPECT_EQ(Draw(d, rgb.InfoBytes(), shortBits), 0);
  EXPECT_EQ(Draw(d, shortInfo, rgb.PixelBytes()), 0);
  EXPECT_EQ(Draw(d, {}, rgb.PixelBytes()), 0);
  EXPECT_EQ(Draw(d, fields.InfoBytes(), fields.PixelBytes()), 0);
  EXPECT_TRUE(d.dibs.empty());
}

TEST(PSDeviceBlit, RasterOperationsModesAndTheYFlip) {
  TestPSDevice d;
  d.modes.Include(qvDontCropBitmaps);
  d.Open();
  d.SetMapMode(2);  // y up: the destination y is negated
  const TestDib rgb = TestDib::Filled(2, 2, 24, 7);
  EXPECT_GT(Draw(d, rgb.InfoBytes(), rgb.PixelBytes(), kSrcAnd, 777), 0);
  ASSERT_EQ(d.dibs.size(), 1u);
  EXPECT_TRUE(d.dibs[0].transparent);  // masking operations draw transparently
  EXPECT_FALSE(d.transparentBlit);     // only for the call
  EXPECT_FALSE(d.dibs[0].crop);
  EXPECT_EQ(d.dibs[0].dstY, -20);
}

}  // namespace
}  // namespace vellora
