#include "pdf_device_images_records.h"

#include <algorithm>
#include <cstring>

#include "pdf_device_test_util.h"

namespace vellora_test {

EmfBuilder& AddStretchDIBits(EmfBuilder& b, Area dest, const FormatBitmap& bmp, RECTL source,
                             DWORD usage, DWORD rop, const std::vector<BYTE>& info) {
  return b.StretchDIBits(dest, source, info.empty() ? bmp.InfoBytes() : info, bmp.bits, usage, rop);
}

EmfBuilder& AddStretchDIBits(EmfBuilder& b, Area dest, const FormatBitmap& bmp) {
  const LONG h = bmp.header.biHeight < 0 ? -bmp.header.biHeight : bmp.header.biHeight;
  return AddStretchDIBits(b, dest, bmp, RECTL{0, 0, bmp.header.biWidth, h});
}

TestDib BuilderDib(const FormatBitmap& bmp) {
  TestDib dib;
  dib.width = bmp.header.biWidth;
  dib.height = bmp.header.biHeight;
  dib.bitCount = bmp.header.biBitCount;
  dib.compression = bmp.header.biCompression;
  dib.masks = bmp.masks;
  dib.colors = bmp.colors;
  dib.bits = bmp.bits;
  return dib;
}

std::string PlayAlone(vellora::TQVPDFDevice& device, const std::vector<BYTE>& emf) {
  device.BeginDoc(576, 800, 72, 0);
  device.PlayMetafile(emf.data(), emf.size(), 0, 0, 0, 0, false, 0, 0);
  device.EndDoc();
  return DocumentBytes(device);
}

std::vector<std::uint8_t> QuadrantJpeg() {
  std::vector<std::uint32_t> rgb;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      rgb.push_back(y < 8 ? (x < 8 ? 0xFF0000u : 0x00FF00u) : (x < 8 ? 0x0000FFu : 0xFFFF00u));
  return JpegBytes(16, 16, rgb);
}

namespace {

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> Chkl(RECTL rect, const std::vector<std::uint8_t>& jpeg,
                               std::int32_t width, std::int32_t height) {
  std::vector<std::uint8_t> r(80 + jpeg.size(), 0);
  std::memcpy(r.data(), "ChKL", 4);
  Put32(r, 4, 20);
  Put32(r, 8, 72);
  const char16_t name[] = u"JPEG";
  for (std::size_t i = 0; i < 4; ++i) r[12 + 2 * i] = static_cast<std::uint8_t>(name[i]);
  Put32(r, 46, static_cast<std::uint32_t>(rect.left));
  Put32(r, 50, static_cast<std::uint32_t>(rect.top));
  Put32(r, 54, static_cast<std::uint32_t>(rect.right));
  Put32(r, 58, static_cast<std::uint32_t>(rect.bottom));
  Put32(r, 62, static_cast<std::uint32_t>(width));
  Put32(r, 66, static_cast<std::uint32_t>(height));
  Put32(r, 76, static_cast<std::uint32_t>(jpeg.size()));
  std::copy(jpeg.begin(), jpeg.end(), r.begin() + 80);
  return r;
}

}  // namespace vellora_test
