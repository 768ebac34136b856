// The image side of the PDF device: every raster image that reaches a document becomes an
// image XObject in the shared resources, identified by its 1-based position there (the image
// number; 0 or a negative number means none). Four roads lead here: encoded or raw samples
// from memory (AddImageData), a bitmap handle (AddBitmap, AddBitmapEx, CreateBitmapImage), a
// device-independent bitmap that is being drawn (CreateDIBImage), and the placement of an
// image on the page (DrawImage). Equal images are stored once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "QVPDFDev/images/pdf_image_host.h"
#include "QVPDFDev/images/pdf_image_stream.h"
#include "qvplatform/dib.h"
#include "qvplatform/palette.h"

namespace vellora {

// AddImageData formats.
enum TQVImageDataFormat : std::int32_t {
  qvImageJPEGRGB = 2,
  qvImageCCITTG4 = 3,
  qvImageCCITTG31D = 4,
  qvImageCCITTG32D = 5,
  qvImageJPEGCMYK = 6,
  qvImageJPEGGray = 7,
  qvImageRawRGB = 8,
  qvImageRawCMYK = 9,
  qvImageRawGray = 10,
};

// AddBitmapEx / CreateBitmapImage modes.
constexpr std::int32_t kBitmapModeImage = 0;
constexpr std::int32_t kBitmapModeThumbnail = 1;  // raw RGB, no /Type and /Name lines

// What CreateDIBImage made.
struct TQVDIBImage {
  std::int32_t number = 0;  // image number; 0 when there was nothing to store
  TQVPDFImageStream* stream = nullptr;
  bool reused = false;    // an equal image was already listed
  std::int32_t rows = 0;  // rows of the image
  // Rows of the bitmap that the data did not hold (0 or negative): rows = |height| + this.
  std::int32_t droppedRows = 0;
  // The missing rows are the top of the picture (bottom-up data ends early), else its bottom.
  bool droppedAtTop = false;

  // Narrows a destination (top y and height in device units, y down) to the rows of the
  // bitmap that the image holds, so that its rows keep their size.
  void FitDestination(float& y, float& height) const;
};

class TQVPDFImageWriter {
 public:
  explicit TQVPDFImageWriter(TQVPDFImageHost& host) : host_(host) {}

  // Encoded or raw samples (formats above) of width x height; a bitmap handle, when given and
  // readable, supplies the size instead. JPEG data is checked against its frame header, whose
  // size and component count the dictionary then states; raw data must hold every sample.
  // Equal data (same format, size and bytes) gives the number of the image already listed,
  // and a pending image name then becomes the alias "auto__" + NAME of that number; a new
  // image takes the pending name as its name (clearing it), else "qvk" + number. CCITT data is
  // never shared. The image number, or -1 with message 2 when nothing was added.
  std::int32_t AddImageData(qvplatform::HBITMAP bitmap, const std::uint8_t* data,
                            std::size_t length, std::int32_t format, std::int32_t width,
                            std::int32_t height);

  // The bitmap as a new listed image: its number, or -1 with message 2 ("Invalid bitmap").
  std::int32_t AddBitmap(qvplatform::HBITMAP bitmap);
  // The bitmap as a written image stream that is not listed (the caller lists or attaches
  // it), or null. Mode kBitmapModeThumbnail: raw RGB and no /Type and /Name lines.
  std::unique_ptr<TQVPDFImageStream> AddBitmapEx(qvplatform::HBITMAP bitmap, std::int32_t mode);
  // As AddBitmapEx, reading 4- and 8-bit device-dependent bitmaps through palette when one is
  // given. Monochrome bitmaps become 1-bit grey images; others raw RGB, or JPEG when JPEG
  // conversion is on, the mode is 0 and the bitmap is larger than 8 x 8 (raw again when the
  // encoder fails). The bitmap's own size is used.
  std::unique_ptr<TQVPDFImageStream> CreateBitmapImage(qvplatform::HBITMAP bitmap,
                                                       qvplatform::HPALETTE palette,
                                                       std::int32_t mode);

  // A bitmap being drawn, in any DIB format, as a listed image (an equal one is reused). With
  // oneBitDirect a 1-bit bitmap stays 1-bit: grey when its table is black and white (in either
  // order), else indexed over its two colours; everything else becomes RGB, or JPEG when JPEG
  // conversion is on and the colour key allows it. The image is upright whatever the row order
  // of the data: place it with the destination as it is, also for a top-down bitmap. Rows
  // beyond the pixel data are left out (see TQVDIBImage). number 0 with message 2 for a
  // format the converter refuses or no rows at all.
  TQVDIBImage CreateDIBImage(const qvplatform::DibView& dib, bool oneBitDirect);
  // The same from a header (masks: the three BI_BITFIELDS masks or null), a colour table and
  // bitsSize bytes of pixels; a non-zero biSizeImage also bounds the pixels.
  TQVDIBImage CreateDIBImage(const qvplatform::BITMAPINFOHEADER& header,
                             const qvplatform::DWORD* masks, const qvplatform::RGBQUAD* colors,
                             qvplatform::DWORD colorCount, const std::uint8_t* bits,
                             std::size_t bitsSize, bool oneBitDirect);

  // Places image number (or, for a number of 0 or less, the image under the pending name,
  // which stays pending) at x, y with width w and height h (device units of the page, y down):
  // "q w 0 0 h x y cm /name Do Q". Nothing for a number past the list, neither a number nor a
  // pending name, |w| or |h| below 0.01, or a value that is not finite.
  void DrawImage(std::int32_t number, float x, float y, float w, float h);

  // The name under which image number stands in the XObject resources ("" for none).
  std::string ResourceName(std::int32_t number) const;
  // The number of the XObject the resources list under the name (ignoring case), or 0.
  std::int32_t NumberOfResourceName(std::string_view name) const;

 private:
  TQVPDFResource* Resources() const;
  std::int32_t ListImage(std::unique_ptr<TQVPDFImageStream> stream);
  // The 1-based number of a listed image with an equal key, or 0.
  std::int32_t FindEqual(const TQVImageKey& key, bool needName) const;
  std::unique_ptr<TQVPDFImageStream> NewStream() const;
  // Names a new stream: the pending image name (which it uses up, and which also becomes the
  // resource name) when asked and set, else "qvk" + the number it will get.
  std::string TakeImageName(TQVPDFImageStream& stream, bool usePending);
  // The pending image name, when set, as the alias of number; the name is used up.
  void RegisterAlias(std::int32_t number);
  std::int32_t AddCCITT(const std::uint8_t* data, std::size_t length, std::int32_t format,
                        std::int32_t width, std::int32_t height);

  TQVPDFImageHost& host_;
};

// The alias-list key of a pending image name: "auto__" + the name in upper case (ASCII).
std::string ImageAliasName(std::string_view name);

// The 40-byte header of a bitmap handle, read with GetObjectA: the DIB section's own header,
// or one made from the BITMAP fields; bit count = bits per pixel * planes, planes 1, image size
// filled in when 0. False for anything that is not a bitmap.
bool GetBitmapInfoHeader(qvplatform::HBITMAP bitmap, qvplatform::BITMAPINFOHEADER* header);

// ((width * bitCount + alignment - 1) with the low bits of the alignment cleared) / 8, in 64
// bits; alignment a power of two.
std::int64_t AlignedRowBytes(std::int64_t width, std::int32_t bitCount, std::int32_t alignment);

}  // namespace vellora
