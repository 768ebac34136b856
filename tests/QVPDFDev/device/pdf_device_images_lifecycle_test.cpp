// Image names belong to one document: a device used for a second document starts without the
// first one's aliases and pending names, so its images are its own and valid.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image_test_host.h"
#include "pdf_device_images_support.h"
#include "pdf_device_test_util.h"

namespace vellora {
namespace {

using vellora_test::FormatBitmap;
using vellora_test::RecordingDevice;

// Draws a bitmap at (10, 10), 40 x 30 points; returns the image number.
std::int32_t Draw(TQVPDFDevice& device, const FormatBitmap& bitmap) {
  const std::vector<std::uint8_t> info = bitmap.InfoBytes();
  const std::size_t headerSize = sizeof bitmap.header;
  return device.DrawDIBits(true, 0, 0, 0, 0, 10, 10, 40, 30, false,
                           {bitmap.bits.data(), bitmap.bits.size()}, {info.data(), headerSize},
                           {info.data() + headerSize, info.size() - headerSize});
}

TEST(PDFDeviceImageLifecycle, ASecondDocumentDoesNotInheritTheFirstOnesImageNames) {
  const FormatBitmap red = vellora_test::PatternBitmap("24", 2, 2, {0xFF0000});
  const FormatBitmap blue = vellora_test::PatternBitmap("24", 3, 2, {0x0000FF});
  // Document 1 ends normally or is dropped by the next BeginDoc.
  for (const bool ended : {true, false}) {
    SCOPED_TRACE(ended ? "ended" : "dropped");
    RecordingDevice device;
    device.BeginDoc(576, 800, 72, 0);
    device.BeginPage(200, 200, 72, 72, 0);
    ASSERT_EQ(Draw(device, red), 1);
    device.pendingBitmapName = "logo";
    ASSERT_EQ(Draw(device, blue), 2);  // "logo" names image 2 of document 1
    device.pendingImageName = "left";  // set and never used in document 1
    if (ended) device.EndDoc();

    device.BeginDoc(576, 800, 72, 0);
    device.BeginPage(200, 200, 72, 72, 0);
    EXPECT_TRUE(device.imageAliases.Count() == 0 && device.pendingImageName.empty() &&
                device.pendingBitmapName.empty());
    device.pendingBitmapName = "logo";
    EXPECT_EQ(Draw(device, red), 1);  // a new image, which takes the name
    device.pendingBitmapName = "logo";
    EXPECT_EQ(Draw(device, blue), 1);  // drawn again under it
    device.EndDoc();

    const std::string pdf = vellora_test::DocumentBytes(device);
    EXPECT_EQ(vellora_test::QpdfProblems(pdf), "");
    if (!vellora_test::HaveTool("pdfimages")) continue;
    const auto rows = vellora_test::ListImages(pdf);
    ASSERT_EQ(rows.size(), 2u);  // image 1 placed twice
    for (const auto& row : rows) {
      ASSERT_GE(row.size(), 5u);
      EXPECT_EQ(row[3], "2");  // width: the red bitmap's
      EXPECT_EQ(row[4], "2");
    }
  }
}

}  // namespace
}  // namespace vellora
