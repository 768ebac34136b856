// Metafiles for the PDF device's image tests: bitmap records with any source rectangle and
// colour usage, "ChKL" JPEG records, and a document made of one played metafile.
#pragma once

#include <string>
#include <vector>

#include "QVPDFDev/device/pdf_device.h"
#include "emf_builder.h"
#include "pdf_device_images_support.h"

namespace vellora_test {

// EMR_STRETCHDIBITS of bmp at dest from the source rectangle (left, top as x, y; right and
// bottom as width and height). info, when not empty, replaces the bitmap's info bytes.
EmfBuilder& AddStretchDIBits(EmfBuilder& b, Area dest, const FormatBitmap& bmp, RECTL source,
                             DWORD usage = DIB_RGB_COLORS, DWORD rop = SRCCOPY,
                             const std::vector<BYTE>& info = {});
// The whole bitmap as the source.
EmfBuilder& AddStretchDIBits(EmfBuilder& b, Area dest, const FormatBitmap& bmp);
// The builder's own bitmap type for the blit and brush records.
TestDib BuilderDib(const FormatBitmap& bmp);

// 16 x 16 JPEG pixels: red, green / blue, yellow quadrants.
std::vector<std::uint8_t> QuadrantJpeg();
// A "ChKL" comment record of the rectangle and picture size around the JPEG data.
std::vector<std::uint8_t> Chkl(RECTL rect, const std::vector<std::uint8_t>& jpeg,
                               std::int32_t width = 16, std::int32_t height = 16);

// Begins a document, plays the metafile onto a page of its own and ends the document.
std::string PlayAlone(vellora::TQVPDFDevice& device, const std::vector<BYTE>& emf);

}  // namespace vellora_test
