// An image XObject stream: its dictionary text (written before /Length), the name it carries
// and the content key by which an equal image is found again and stored once.
#pragma once

#include <cstdint>
#include <string>

#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {

// What makes two images equal: the road and everything that shapes the written image (a
// format tag), the size, the number of bytes digested and their MD5. A key with data length
// 0 matches nothing.
struct TQVImageKey {
  std::int32_t format = 0;  // AddImageData format, or a tag of the bitmap roads
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int64_t dataLength = 0;
  std::string digest;  // 32 hexadecimal characters

  bool Matches(const TQVImageKey& other) const {
    return dataLength != 0 && dataLength == other.dataLength && format == other.format &&
           width == other.width && height == other.height && digest == other.digest;
  }
};

class TQVPDFImageStream : public TQVPDFStream {
 public:
  using TQVPDFStream::TQVPDFStream;

  // The name after /Name/ ("qvk" + number, or the name the image was given).
  const std::string& ImageName() const { return imageName_; }
  void SetImageName(std::string name) { imageName_ = std::move(name); }
  const TQVImageKey& Key() const { return key_; }
  void SetKey(TQVImageKey key) { key_ = std::move(key); }
  // The 1-based position in the shared XObject list once the stream is listed, else 0.
  std::int32_t ImageNumber() const { return imageNumber_; }
  void SetImageNumber(std::int32_t number) { imageNumber_ = number; }
  // Rows of the image, and rows of its bitmap that the data did not hold (0 or negative).
  std::int32_t Rows() const { return rows_; }
  std::int32_t DroppedRows() const { return droppedRows_; }
  void SetRows(std::int32_t rows, std::int32_t dropped) {
    rows_ = rows;
    droppedRows_ = dropped;
  }

 private:
  std::string imageName_;
  TQVImageKey key_;
  std::int32_t imageNumber_ = 0;
  std::int32_t rows_ = 0;
  std::int32_t droppedRows_ = 0;
};

}  // namespace vellora
