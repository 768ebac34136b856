// The engine's JPEG encoder: 24-bit B,G,R rows into baseline (or progressive) JFIF bytes for
// image XObjects with /DCTDecode, through libjpeg. Encode only: loading and resizing are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace vellora {

// A libjpeg error: "JPEG error #" + the library's message code.
class EJPEG : public std::runtime_error {
 public:
  explicit EJPEG(int code);
  int Code() const { return code_; }

 private:
  int code_;
};

// "Cannot change the size of a JPEG image".
class EInvalidGraphicOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Pixels to encode: height rows of width B,G,R triplets, stride bytes apart in memory (at
// least 3 * width), all inside size bytes at data. bottomUp: the last row in memory is the top
// of the picture (a bottom-up DIB), which is encoded first.
// With fill set the rows are made one at a time instead: fill(fillContext, y, bgr) writes row
// y (0 = top) as width triplets into bgr, so that no picture-sized buffer is needed; it must
// not throw.
struct TBgrRows {
  const std::uint8_t* data = nullptr;
  std::size_t size = 0;
  std::size_t stride = 0;
  bool bottomUp = false;
  int width = 0;
  int height = 0;
  void (*fill)(const void* fillContext, int y, std::uint8_t* bgr) = nullptr;
  const void* fillContext = nullptr;

  // Width and height above 0, and fill set or every row inside the buffer (64-bit arithmetic).
  bool Valid() const;
};

// The encoded data of an image.
struct TJPEGData {
  std::vector<std::uint8_t> data;
  int width = 0;
  int height = 0;
  bool grayscale = false;
};

class TJPEGImage {
 public:
  static constexpr int kDefaultQuality = 90;

  // 1 to 100; libjpeg takes values outside as 1 and 100.
  int Quality() const { return quality_; }
  void SetQuality(int quality) { quality_ = quality; }
  bool Grayscale() const { return grayscale_; }
  void SetGrayscale(bool value) { grayscale_ = value; }
  bool ProgressiveEncoding() const { return progressive_; }
  void SetProgressiveEncoding(bool value) { progressive_ = value; }

  // Encodes rows, top of the picture first. Without a target the result replaces the image's
  // data; with one it is appended to *target and the image's data stays. False, with "Folvio:
  // Problem when compressing JPEG Data" sent to the debug sink, when the rows are not Valid() or
  // libjpeg fails; then the image's data is empty and a target keeps exactly the bytes it had, so
  // that a caller can store the pixels another way.
  bool EncodePixels(const TBgrRows& rows, std::vector<std::uint8_t>* target = nullptr);

  // Encodes rows into new data; rows of zero width or height give empty data. Raises EJPEG
  // when libjpeg fails (the data is then empty) and std::invalid_argument for rows outside
  // their buffer.
  void EncodeBitmap(const TBgrRows& rows);

  const TJPEGData& Data() const { return data_; }
  bool Empty() const { return data_.data.empty(); }
  int Width() const { return data_.width; }
  int Height() const { return data_.height; }

  // Appends the encoded bytes.
  void SaveToStream(std::vector<std::uint8_t>& out) const;
  // Raises std::runtime_error "Not supported".
  [[noreturn]] void LoadFromStream(const std::vector<std::uint8_t>& in);
  // Raises EInvalidGraphicOperation; SetWidth does nothing.
  [[noreturn]] void SetHeight(int height);
  void SetWidth(int) {}

 private:
  TJPEGData data_;
  int quality_ = kDefaultQuality;
  bool grayscale_ = false;
  bool progressive_ = false;
};

}  // namespace vellora
