#include "pdf_device_images_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "QVPDFDev/filters/jpeg_encoder.h"
#include "image_test_pictures.h"

namespace vellora_test {
namespace {

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF,
                        kBlack = 0x000000, kYellow = 0xFFFF00, kCyan = 0x00FFFF,
                        kMagenta = 0xFF00FF;
const std::vector<std::uint32_t> kTable = {0x102030, 0xF0E0D0, 0x00FF7F, 0x8000FF,
                                           0xC0C0C0, 0x7F3F1F, 0x0000FF, 0xFF0000};

FormatBitmap From(std::string name, const TestDib& dib, const Picture& picture) {
  FormatBitmap b;
  b.name = std::move(name);
  b.header = dib.header;
  if (dib.header.biCompression == qvplatform::BI_BITFIELDS)
    b.masks.assign(std::begin(dib.masks), std::end(dib.masks));
  b.colors = dib.colors;
  b.bits = dib.bits;
  b.width = picture.width;
  b.height = picture.height;
  b.picture = picture.rgb;
  return b;
}

Picture PatternOf(int width, int height, const std::vector<std::uint32_t>& colors) {
  Picture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.rgb.push_back(colors[static_cast<std::size_t>(x + 2 * y) % colors.size()]);
  return p;
}

}  // namespace

std::vector<std::uint8_t> FormatBitmap::InfoBytes() const {
  std::vector<std::uint8_t> out(sizeof header);
  std::memcpy(out.data(), &header, sizeof header);
  for (qvplatform::DWORD m : masks)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(m >> (8 * i)));
  for (const qvplatform::RGBQUAD& c : colors)
    out.insert(out.end(), {c.rgbBlue, c.rgbGreen, c.rgbRed, c.rgbReserved});
  return out;
}

std::vector<FormatBitmap> FormatBitmaps() {
  const std::vector<std::uint32_t> odd = {0x123456, 0xFEDCBA, 0x00FF7F, 0x8000FF, 0xC0C0C0};
  const std::vector<std::uint32_t> primaries = {kRed,  kGreen,   kBlue,  kYellow,
                                                kCyan, kMagenta, kWhite, kBlack};
  const std::vector<std::uint32_t> indexed = {0x102030, 0xF0E0D0, 0x00FF7F,
                                              0x8000FF, 0xC0C0C0, 0x7F3F1F};
  const std::vector<std::uint32_t> mono = {kBlack, kWhite, kWhite};
  std::vector<FormatBitmap> out;
  const auto add = [&](const char* name, const Picture& p, const TestDib& dib) {
    out.push_back(From(name, dib, p));
  };
  Picture p = PatternOf(9, 4, mono);
  add("1-bit black and white, width 9", p, EncodeIndexed(p, 1, {kBlack, kWhite}, false));
  add("1-bit white and black", p, EncodeIndexed(p, 1, {kWhite, kBlack}, false));
  p = PatternOf(11, 3, {0x2040C0, 0xF0D020});
  add("1-bit two colours, top-down", p, EncodeIndexed(p, 1, {0x2040C0, 0xF0D020}, true));
  p = PatternOf(5, 4, indexed);
  add("4-bit, width 5", p, EncodeIndexed(p, 4, kTable, false));
  p = PatternOf(3, 4, indexed);
  add("4-bit top-down, width 3", p, EncodeIndexed(p, 4, kTable, true));
  p = PatternOf(5, 4, indexed);
  add("8-bit, width 5", p, EncodeIndexed(p, 8, kTable, false));
  p = PatternOf(6, 3, indexed);
  add("8-bit top-down", p, EncodeIndexed(p, 8, kTable, true));
  p = Quadrants(10, 6, 0x102030, 0xF0E0D0, 0x00FF7F, 0xC0C0C0);
  add("RLE8", p, EncodeRle(p, 8, kTable));
  p = Quadrants(7, 6, 0x8000FF, 0x7F3F1F, 0x00FF7F, 0x102030);
  add("RLE4, width 7", p, EncodeRle(p, 4, kTable));
  p = PatternOf(5, 3, primaries);
  add("16-bit 5-5-5, width 5", p, Encode16(p, false));
  p = PatternOf(7, 3, primaries);
  add("16-bit 5-6-5", p, Encode16(p, true));
  p = PatternOf(7, 5, odd);
  add("24-bit, width 7", p, Encode24(p, false));
  p = PatternOf(5, 4, odd);
  add("24-bit top-down, width 5", p, Encode24(p, true));
  p = PatternOf(6, 4, odd);
  add("32-bit", p, Encode32(p, false));
  p = PatternOf(3, 5, odd);
  add("32-bit top-down", p, Encode32(p, true));
  p = PatternOf(5, 3, odd);
  add("32-bit bitfields, channels in the high bytes", p, Encode32Fields(p, 24, 16, 8));
  add("32-bit bitfields, red in the low byte", p, Encode32Fields(p, 0, 8, 16));
  p = PatternOf(1, 100, {kRed, kBlue, 0x123456});
  add("24-bit 1 x 100", p, Encode24(p, false));
  return out;
}

FormatBitmap PatternBitmap(const std::string& format, int width, int height,
                           const std::vector<std::uint32_t>& colors) {
  const Picture p = PatternOf(width, height, colors);
  if (format == "24") return From(format, Encode24(p, false), p);
  if (format == "32") return From(format, Encode32(p, false), p);
  if (format == "rle8") return From(format, EncodeRle(p, 8, colors), p);
  return From(format, EncodeIndexed(p, std::atoi(format.c_str()), colors, false), p);
}

std::vector<std::uint8_t> JpegBytes(int width, int height, const std::vector<std::uint32_t>& rgb) {
  const TestDib dib = Encode24(Picture{width, height, rgb}, false);
  vellora::TJPEGImage jpeg;
  jpeg.SetQuality(95);
  std::vector<std::uint8_t> out;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  if (!jpeg.EncodePixels(
          vellora::TBgrRows{dib.bits.data(), dib.bits.size(), stride, true, width, height}, &out))
    out.clear();
  return out;
}

bool CloseColour(std::uint32_t a, std::uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16}) {
    const int ca = static_cast<int>((a >> shift) & 0xFF),
              cb = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(ca - cb) > tolerance) return false;
  }
  return true;
}

std::string HexColour(std::uint32_t c) {
  char text[8];
  std::snprintf(text, sizeof text, "%06X", c);
  return text;
}

}  // namespace vellora_test
