#include "QVPDFDev/filters/jpeg_encoder.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "qvplatform/debug_output.h"

namespace vellora {
namespace {

// What libjpeg's decoder makes of the bytes: the check that does not trust the encoder.
struct Decoded {
  bool ok = false;
  int width = 0;
  int height = 0;
  int components = 0;
  bool progressive = false;
  std::vector<std::uint8_t> pixels;  // top row first, R,G,B (or grey)
};

struct DecodeError {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void DecodeErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<DecodeError*>(cinfo->err)->jump, 1);
}

struct DecodeState {
  jpeg_decompress_struct cinfo;
  DecodeError error;
  std::uint8_t* pixels;  // malloc'd, so nothing with a destructor lives across the setjmp
  int stride;
};

bool DecodeFrame(DecodeState* s, const std::uint8_t* data, std::size_t size) {
  s->cinfo.err = jpeg_std_error(&s->error.pub);
  s->error.pub.error_exit = DecodeErrorExit;
  if (setjmp(s->error.jump) != 0) {
    jpeg_destroy_decompress(&s->cinfo);
    return false;
  }
  jpeg_create_decompress(&s->cinfo);
  jpeg_mem_src(&s->cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&s->cinfo, TRUE);
  jpeg_start_decompress(&s->cinfo);
  s->stride = int(s->cinfo.output_width) * s->cinfo.output_components;
  s->pixels =
      static_cast<std::uint8_t*>(std::malloc(std::size_t(s->stride) * s->cinfo.output_height));
  while (s->cinfo.output_scanline < s->cinfo.output_height) {
    JSAMPROW row = s->pixels + std::size_t(s->cinfo.output_scanline) * std::size_t(s->stride);
    jpeg_read_scanlines(&s->cinfo, &row, 1);
  }
  jpeg_finish_decompress(&s->cinfo);
  return true;
}

Decoded Decode(const std::vector<std::uint8_t>& bytes) {
  DecodeState state;
  std::memset(&state, 0, sizeof(state));
  Decoded d;
  d.ok = DecodeFrame(&state, bytes.data(), bytes.size());
  if (d.ok) {
    d.width = int(state.cinfo.output_width);
    d.height = int(state.cinfo.output_height);
    d.components = state.cinfo.output_components;
    d.progressive = state.cinfo.progressive_mode;
    d.pixels.assign(state.pixels, state.pixels + std::size_t(state.stride) * std::size_t(d.height));
    jpeg_destroy_decompress(&state.cinfo);
  }
  std::free(state.pixels);
  return d;
}

// A bottom-up 24-bit DIB (rows padded to 4) whose picture has four quadrants: red top left,
// green top right, blue bottom left, white bottom right.
struct Dib24 {
  int width, height;
  std::size_t stride;
  std::vector<std::uint8_t> bits;
};

std::uint32_t QuadrantColour(int x, int y, int w, int h) {
  const bool right = x >= w / 2, bottom = y >= h / 2;
  if (!bottom) return right ? 0x00FF00 : 0xFF0000;
  return right ? 0xFFFFFF : 0x0000FF;
}

Dib24 Quadrants(int w, int h) {
  Dib24 d{w, h, (std::size_t(w) * 3 + 3) / 4 * 4, {}};
  d.bits.assign(d.stride * std::size_t(h), 0xCC);  // padding bytes must not be read as pixels
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = d.bits.data() + std::size_t(h - 1 - y) * d.stride;  // bottom-up
    for (int x = 0; x < w; ++x) {
      const std::uint32_t c = QuadrantColour(x, y, w, h);
      row[3 * x] = std::uint8_t(c), row[3 * x + 1] = std::uint8_t(c >> 8),
              row[3 * x + 2] = std::uint8_t(c >> 16);  // B, G, R
    }
  }
  return d;
}

TBgrRows RowsOf(const Dib24& d) {
  return TBgrRows{d.bits.data(), d.bits.size(), d.stride, true, d.width, d.height};
}

int Channel(std::uint32_t c, int i) { return int((c >> (16 - 8 * i)) & 0xFF); }  // R, G, B

// Pixels away from the quadrant edges (where the codec blurs) are within a tolerance.
void ExpectQuadrants(const Decoded& d, int tolerance) {
  ASSERT_TRUE(d.ok);
  ASSERT_EQ(d.components, 3);
  for (int y = 0; y < d.height; ++y) {
    for (int x = 0; x < d.width; ++x) {
      if (std::abs(x - d.width / 2) < 5 || std::abs(y - d.height / 2) < 5) continue;
      const std::uint32_t want = QuadrantColour(x, y, d.width, d.height);
      const std::uint8_t* p =
          d.pixels.data() + (std::size_t(y) * std::size_t(d.width) + std::size_t(x)) * 3;
      for (int i = 0; i < 3; ++i)
        ASSERT_NEAR(p[i], Channel(want, i), tolerance) << "x " << x << " y " << y << " ch " << i;
    }
  }
}

TEST(TJPEGImage, BottomUpBgrRowsComeOutUprightWithoutChannelSwap) {
  const Dib24 dib = Quadrants(37, 23);  // odd sizes: rows padded, partial MCUs
  TJPEGImage image;
  EXPECT_EQ(image.Quality(), 90);
  ASSERT_TRUE(image.EncodePixels(RowsOf(dib)));
  EXPECT_EQ(image.Width(), 37);
  EXPECT_EQ(image.Height(), 23);
  const Decoded d = Decode(image.Data().data);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.width, 37);
  EXPECT_EQ(d.height, 23);
  EXPECT_FALSE(d.progressive);
  ExpectQuadrants(d, 24);

  // The same picture given top-down (last DIB row first in memory) encodes the same.
  Dib24 flipped = dib;
  for (int y = 0; y < dib.height; ++y)
    std::memcpy(flipped.bits.data() + std::size_t(y) * dib.stride,
                dib.bits.data() + std::size_t(dib.height - 1 - y) * dib.stride, dib.stride);
  TBgrRows topDown = RowsOf(flipped);
  topDown.bottomUp = false;
  std::vector<std::uint8_t> again;
  ASSERT_TRUE(image.EncodePixels(topDown, &again));
  EXPECT_EQ(again, image.Data().data);
}

TEST(TJPEGImage, QualityProgressionAndGrey) {
  Dib24 noise{64, 48, 64 * 3, std::vector<std::uint8_t>(64 * 3 * 48)};
  std::mt19937 random(7);
  for (auto& b : noise.bits) b = std::uint8_t(random());
  TJPEGImage image;
  std::vector<std::uint8_t> low, high;
  image.SetQuality(10);
  ASSERT_TRUE(image.EncodePixels(RowsOf(noise), &low));
  image.SetQuality(100);
  ASSERT_TRUE(image.EncodePixels(RowsOf(noise), &high));
  EXPECT_LT(low.size() * 2, high.size());
  EXPECT_TRUE(image.Empty());  // encoding into a target leaves the image's own data empty

  const Dib24 dib = Quadrants(40, 40);
  image.SetQuality(75);
  image.SetProgressiveEncoding(true);
  ASSERT_TRUE(image.EncodePixels(RowsOf(dib)));
  Decoded d = Decode(image.Data().data);
  EXPECT_TRUE(d.progressive);
  ExpectQuadrants(d, 32);

  image.SetProgressiveEncoding(false);
  image.SetGrayscale(true);
  ASSERT_TRUE(image.EncodePixels(RowsOf(dib)));
  EXPECT_TRUE(image.Data().grayscale);
  d = Decode(image.Data().data);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.components, 1);
  EXPECT_NEAR(d.pixels[std::size_t(d.width * (d.height - 3) + d.width - 3)], 255,
              8);                                              // white quadrant
  EXPECT_NEAR(d.pixels[std::size_t(2 * d.width + 2)], 76, 8);  // red: luma 76
}

// Output far beyond the first buffer makes the destination grow.
TEST(TJPEGImage, LargeOutputGrowsTheBuffer) {
  Dib24 noise{640, 400, 640 * 3, std::vector<std::uint8_t>(640 * 3 * 400)};
  std::mt19937 random(11);
  for (auto& b : noise.bits) b = std::uint8_t(random());
  TJPEGImage image;
  image.SetQuality(100);
  ASSERT_TRUE(image.EncodePixels(RowsOf(noise)));
  EXPECT_GT(image.Data().data.size(), std::size_t(640 * 400 / 2));
  const Decoded d = Decode(image.Data().data);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.width, 640);
}

TEST(TJPEGImage, FailuresLeaveNoPartialBytes) {
  const Dib24 dib = Quadrants(8, 8);
  const std::vector<std::uint8_t> before = {'a', 'b', 'c'};
  struct Bad {
    const char* name;
    TBgrRows rows;
  };
  std::vector<std::uint8_t> wide(70000 * 3, 0x80);
  const Bad cases[] = {
      {"height 0", {dib.bits.data(), dib.bits.size(), dib.stride, true, 8, 0}},
      {"no data", {nullptr, 0, dib.stride, true, 8, 8}},
      {"stride below the row", {dib.bits.data(), dib.bits.size(), 23, true, 8, 8}},
      {"buffer short by a byte", {dib.bits.data(), dib.bits.size() - 1, dib.stride, true, 8, 8}},
      {"wider than JPEG allows", {wide.data(), wide.size(), wide.size(), false, 70000, 1}},
  };
  for (const Bad& c : cases) {
    qvplatform::ScopedDebugCapture capture;
    TJPEGImage image;
    ASSERT_TRUE(image.EncodePixels(RowsOf(dib)));
    std::vector<std::uint8_t> target = before;
    EXPECT_FALSE(image.EncodePixels(c.rows, &target)) << c.name;
    EXPECT_EQ(target, before) << c.name;
    EXPECT_TRUE(image.Empty()) << c.name;
    EXPECT_EQ(capture.Lines(),
              std::vector<std::string>{"Folvio: Problem when compressing JPEG Data"});
  }

  TJPEGImage image;
  try {
    image.EncodeBitmap(cases[4].rows);
    ADD_FAILURE() << "no EJPEG";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Code(), JERR_IMAGE_TOO_BIG);
    EXPECT_EQ(std::string(e.what()), "JPEG error #" + std::to_string(JERR_IMAGE_TOO_BIG));
  }
  EXPECT_TRUE(image.Empty());
  image.EncodeBitmap(cases[0].rows);  // an empty bitmap gives empty data
  EXPECT_TRUE(image.Empty());
  image.EncodeBitmap(RowsOf(dib));
  EXPECT_FALSE(image.Empty());
  std::vector<std::uint8_t> saved = before;
  image.SaveToStream(saved);
  EXPECT_EQ(saved.size(), 3 + image.Data().data.size());
  EXPECT_EQ(saved[3], 0xFF);
  EXPECT_EQ(saved[4], 0xD8);
  EXPECT_THROW(image.SetHeight(3), EInvalidGraphicOperation);
  EXPECT_THROW(image.LoadFromStream(saved), std::runtime_error);
}

}  // namespace
}  // namespace vellora
