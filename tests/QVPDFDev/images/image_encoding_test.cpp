// What each road writes: fax images with their decoder parameters, JPEG data read through its
// frame header, the raw road when the JPEG encoder fails, thumbnails, the bitmap header of a
// handle, and the content digest.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "QVPDFDev/filters/image_jpeg_frame.h"
#include "QVPDFDev/filters/jpeg_encoder.h"
#include "QVPDFDev/images/image_digest.h"
#include "image_test_host.h"
#include "image_test_pictures.h"
#include "qvplatform/font_service.h"
#include "qvplatform/palette.h"

namespace vellora {
namespace {

using vellora_test::Encode24;
using vellora_test::ImageTestHost;
using vellora_test::Pattern;
using vellora_test::TestDib;

// Four white then four black pixels in two rows, Group 4 (see the render test).
const std::uint8_t kFaxG4[] = {0x36, 0xF0, 0x01, 0x00, 0x10};

TEST(ImageEncoding, FaxImagesCarryTheirSizeAndDecoderParameters) {
  const struct {
    std::int32_t format;
    const char* k;
  } formats[] = {{qvImageCCITTG4, "-1"}, {qvImageCCITTG31D, "0"}, {qvImageCCITTG32D, "1"}};
  for (const auto& f : formats) {
    ImageTestHost host;
    ASSERT_EQ(host.writer.AddImageData(0, kFaxG4, sizeof kFaxG4, f.format, 8, 2), 1);
    const std::string pdf = host.Finish(10, 10);
    const std::string dict = vellora_test::ImageDictionary(pdf, "qvk1");
    EXPECT_NE(dict.find("\n/Width 8\n/Height 2\n/BitsPerComponent 1/ColorSpace/DeviceGray\n"
                        "/DecodeParms [<</K " +
                        std::string(f.k) + "/Columns 8/Rows 2>>]"),
              std::string::npos)
        << dict;
    EXPECT_NE(dict.find("/Filter [/CCITTFaxDecode]"), std::string::npos) << dict;
  }
}

TEST(ImageEncoding, ArmouredFaxImageKeepsItsParametersWithItsDecoder) {
  if (!vellora_test::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  ImageTestHost host;
  host.owner.settings.armour = qvASCII85Encode;
  host.yOrigin = 2;
  ASSERT_EQ(host.writer.AddImageData(0, kFaxG4, sizeof kFaxG4, qvImageCCITTG4, 8, 2), 1);
  host.writer.DrawImage(1, 0, 0, 8, 2);
  const std::string pdf = host.Finish(8, 2);
  const std::string dict = vellora_test::ImageDictionary(pdf, "qvk1");
  EXPECT_NE(dict.find("/DecodeParms [null <<"), std::string::npos) << dict;
  EXPECT_NE(dict.find("/Filter [/ASCII85Decode/CCITTFaxDecode]"), std::string::npos) << dict;
  const vellora_test::Raster raster = vellora_test::RenderColour(pdf);
  ASSERT_GT(raster.width, 0);
  for (int x = 0; x < 8; ++x)
    for (int y = 0; y < 2; ++y)
      EXPECT_EQ(vellora_test::PointColor(raster, x, y), x < 4 ? 0xFFFFFFu : 0x000000u) << x;
}

std::vector<std::uint8_t> Jpeg(int width, int height, bool grey) {
  const TestDib dib = Encode24(Pattern(width, height, {0x204080, 0xF0C000}), false);
  TJPEGImage jpeg;
  jpeg.SetGrayscale(grey);
  std::vector<std::uint8_t> out;
  EXPECT_TRUE(jpeg.EncodePixels(TBgrRows{dib.bits.data(), dib.bits.size(),
                                         (std::size_t(width) * 3 + 3) / 4 * 4, true, width, height},
                                &out));
  return out;
}

TEST(ImageEncoding, JpegFrameHeaderIsReadInsideTheData) {
  const std::vector<std::uint8_t> jpeg = Jpeg(13, 7, false);
  TQVJPEGFrame frame;
  ASSERT_TRUE(ReadJPEGFrame(jpeg.data(), jpeg.size(), &frame));
  EXPECT_EQ(frame.width, 13);
  EXPECT_EQ(frame.height, 7);
  EXPECT_EQ(frame.components, 3);
  // Every cut: an exact-size copy, so that a read past the data is a sanitizer finding. Data
  // cut before its first scan is refused.
  std::size_t firstAccepted = 0;
  for (std::size_t n = 0; n <= jpeg.size(); ++n) {
    const std::vector<std::uint8_t> cut(jpeg.begin(),
                                        jpeg.begin() + static_cast<std::ptrdiff_t>(n));
    const bool ok = ReadJPEGFrame(cut.empty() ? nullptr : cut.data(), n, &frame);
    if (ok && firstAccepted == 0) firstAccepted = n;
    if (firstAccepted != 0) {
      EXPECT_TRUE(ok) << n;
    }
  }
  ASSERT_GT(firstAccepted, 0u);
  EXPECT_LT(firstAccepted, jpeg.size());
  // A 12-bit frame, a frame of height 0 and a missing start marker.
  std::vector<std::uint8_t> changed = jpeg;
  std::size_t sof = 2;
  while (!(changed[sof] == 0xFF && changed[sof + 1] == 0xC0)) ++sof;
  changed[sof + 4] = 12;
  EXPECT_FALSE(ReadJPEGFrame(changed.data(), changed.size(), &frame));
  changed = jpeg;
  changed[sof + 5] = changed[sof + 6] = 0;
  EXPECT_FALSE(ReadJPEGFrame(changed.data(), changed.size(), &frame));
  changed = jpeg;
  changed[1] = 0xD9;
  EXPECT_FALSE(ReadJPEGFrame(changed.data(), changed.size(), &frame));
}

TEST(ImageEncoding, JpegDataStatesTheSizeAndColoursItHolds) {
  ImageTestHost host;
  const std::vector<std::uint8_t> colour = Jpeg(13, 7, false);
  const std::vector<std::uint8_t> grey = Jpeg(6, 5, true);
  ASSERT_EQ(host.writer.AddImageData(0, colour.data(), colour.size(), qvImageJPEGRGB, 100, 100), 1);
  ASSERT_EQ(host.writer.AddImageData(0, grey.data(), grey.size(), qvImageJPEGRGB, 6, 5), 2);
  const std::string pdf = host.Finish(10, 10);
  EXPECT_NE(vellora_test::ImageDictionary(pdf, "qvk1").find("/Width 13\n/Height 7\n"),
            std::string::npos);
  EXPECT_NE(vellora_test::ImageDictionary(pdf, "qvk2").find("/ColorSpace/DeviceGray"),
            std::string::npos);
  if (vellora_test::HaveTool("qpdf")) {
    const vellora_test::ToolResult check = vellora_test::QpdfCheck(pdf);
    EXPECT_EQ(check.status, 0) << check.out;
  }
}

TEST(ImageEncoding, JpegFailureTakesTheRawRoad) {
  // Wider than libjpeg's limit of 65500 columns: the encoder fails on both roads.
  const TestDib wide = Encode24(Pattern(65501, 1, {0x102030, 0x405060, 0x708090}), false);
  ImageTestHost host;
  host.options.jpegConversion = true;
  const TQVDIBImage drawn = host.writer.CreateDIBImage(wide.View(), false);
  ASSERT_EQ(drawn.number, 1);
  void* bits = nullptr;
  const qvplatform::HBITMAP section =
      qvplatform::CreateDIBSection(0, wide.header, nullptr, nullptr, 0, &bits);
  ASSERT_NE(section, 0u);
  std::memcpy(bits, wide.bits.data(), wide.bits.size());
  ASSERT_EQ(host.writer.AddBitmap(section), 2);
  qvplatform::DeleteObject(section);
  const std::string pdf = host.Finish(10, 10);
  for (const char* name : {"qvk1", "qvk2"}) {
    const std::string dict = vellora_test::ImageDictionary(pdf, name);
    EXPECT_EQ(dict.find("DCTDecode"), std::string::npos) << dict;
    EXPECT_NE(dict.find("/Width 65501\n/Height 1\n"), std::string::npos) << dict;
  }
  if (vellora_test::HaveTool("qpdf")) {
    const vellora_test::ToolResult check = vellora_test::QpdfCheck(pdf);
    EXPECT_EQ(check.status, 0) << check.out;
  }
}

TEST(ImageEncoding, ThumbnailIsRawWithoutTypeAndName) {
  ImageTestHost host;
  host.options.jpegConversion = true;
  const TestDib dib = Encode24(Pattern(20, 20, {0x102030, 0x405060}), false);
  void* bits = nullptr;
  const qvplatform::HBITMAP section =
      qvplatform::CreateDIBSection(0, dib.header, nullptr, nullptr, 0, &bits);
  std::memcpy(bits, dib.bits.data(), dib.bits.size());
  const std::unique_ptr<TQVPDFImageStream> thumb =
      host.writer.AddBitmapEx(section, kBitmapModeThumbnail);
  const std::unique_ptr<TQVPDFImageStream> image = host.writer.AddBitmapEx(section, 0);
  qvplatform::DeleteObject(section);
  ASSERT_NE(thumb, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(thumb->ExtraEntries(),
            "\n/Width 20\n/Height 20\n/BitsPerComponent 8\n/ColorSpace/DeviceRGB\n");
  EXPECT_FALSE(thumb->IsJPEGData());
  EXPECT_TRUE(image->IsJPEGData());
  EXPECT_EQ(host.ImageCount(), 0u);  // neither is listed
  EXPECT_TRUE(thumb->IsWritten());
}

TEST(ImageEncoding, BitmapInfoHeaderOfHandles) {
  const std::uint8_t rows[3 * 2] = {};
  const qvplatform::HBITMAP mono = qvplatform::CreateBitmap(9, 3, 1, 1, rows, sizeof rows);
  const TestDib dib = Encode24(Pattern(5, 4, {0x102030}), true);
  void* bits = nullptr;
  const qvplatform::HBITMAP section =
      qvplatform::CreateDIBSection(0, dib.header, nullptr, nullptr, 0, &bits);
  const qvplatform::HPALETTE palette = qvplatform::GetDefaultPalette();
  qvplatform::BITMAPINFOHEADER header;
  ASSERT_TRUE(GetBitmapInfoHeader(mono, &header));
  EXPECT_EQ(header.biWidth, 9);
  EXPECT_EQ(header.biHeight, 3);
  EXPECT_EQ(header.biBitCount, 1);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biSizeImage, 12u);
  ASSERT_TRUE(GetBitmapInfoHeader(section, &header));
  EXPECT_EQ(header.biHeight, -4);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biSizeImage, 64u);
  EXPECT_FALSE(GetBitmapInfoHeader(palette, &header));
  EXPECT_FALSE(GetBitmapInfoHeader(0, &header));
  qvplatform::DeleteObject(mono);
  qvplatform::DeleteObject(section);

  EXPECT_EQ(AlignedRowBytes(5, 24, 32), 16);
  EXPECT_EQ(AlignedRowBytes(9, 1, 32), 4);
  EXPECT_EQ(AlignedRowBytes(9, 1, 16), 2);
  EXPECT_EQ(AlignedRowBytes(3, 4, 8), 2);
  EXPECT_EQ(AlignedRowBytes(1 << 30, 32, 32), std::int64_t{1} << 32);
}

TEST(ImageEncoding, DigestIsMD5) {
  EXPECT_EQ(ImageMD5Hex("", 0), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(ImageMD5Hex("abc", 3), "900150983cd24fb0d6963f7d28e17f72");
  const std::string digits =
      "12345678901234567890123456789012345678901234567890123456789012345678901234567890";
  EXPECT_EQ(ImageMD5Hex(digits.data(), digits.size()), "57edf4a22be3c955ac49da2e2107b67a");
  // Chunks of every length across block boundaries give the digest of the whole.
  std::string text;
  for (int i = 0; i < 300; ++i) text += static_cast<char>(i * 7 + 3);
  const std::string whole = ImageMD5Hex(text.data(), text.size());
  for (std::size_t chunk : {1u, 55u, 56u, 63u, 64u, 65u, 127u}) {
    TQVImageMD5 md5;
    for (std::size_t at = 0; at < text.size(); at += chunk)
      md5.Update(text.data() + at, std::min(chunk, text.size() - at));
    EXPECT_EQ(md5.HexDigest(), whole) << chunk;
  }
}

}  // namespace
}  // namespace vellora
