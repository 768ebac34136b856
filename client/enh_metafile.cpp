#include "brenlow/enh_metafile.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace brenlow {

namespace {

// Rounded to the nearest integer, halves to even, in extended precision; outside 32 bits a
// range error.
std::int32_t RoundChecked(long double value) {
  const long double rounded = std::nearbyintl(value);
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max()))
    throw std::range_error("Range check error");
  return static_cast<std::int32_t>(rounded);
}

std::int32_t Checked(std::int64_t value) {
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    throw std::range_error("Range check error");
  return static_cast<std::int32_t>(value);
}

void Put32(std::vector<qvplatform::BYTE>& bytes, std::size_t offset, std::int32_t value) {
  std::memcpy(bytes.data() + offset, &value, sizeof value);
}

}  // namespace

TFolvioEnhMetafile::~TFolvioEnhMetafile() = default;

qvplatform::TMetafileCanvas& TFolvioEnhMetafile::BeginDraw(std::int32_t width, std::int32_t height,
                                                           std::int32_t xRes, std::int32_t yRes) {
  drawCanvas_.reset();
  pixelWidth_ = width;
  pixelHeight_ = height;
  xRes_ = xRes;
  yRes_ = yRes;
  drawCanvas_ = std::make_unique<qvplatform::TMetafileCanvas>(*this, width, height, xRes, yRes);
  return *drawCanvas_;
}

void TFolvioEnhMetafile::SaveToFile(const std::string& fileName) {
  if (drawCanvas_) throw ESizeMetafileUsage("Finalize with EndDraw!");
  TMetafile::SaveToFile(fileName);
}

void TFolvioEnhMetafile::SaveToStream(qvplatform::TStream& stream) {
  if (drawCanvas_) throw ESizeMetafileUsage("Finalize with EndDraw!");
  TMetafile::SaveToStream(stream);
}

void TFolvioEnhMetafile::EndDrawSize(std::int32_t width, std::int32_t height) {
  if (!drawCanvas_) return;
  if (width > 0) pixelWidth_ = width;
  if (height > 0) pixelHeight_ = height;
  drawCanvas_.reset();  // hands the recording over
  CorrectHeader();
}

void TFolvioEnhMetafile::CorrectHeader() {
  if (xRes_ < 1 || yRes_ < 1) throw ESizeMetafileUsage("Metafile resolution must be positive");
  std::vector<qvplatform::BYTE>* bytes = BytesBeforeHandle();
  if (bytes == nullptr || bytes->size() < qvplatform::kEmfHeaderBaseSize) return;
  const std::int64_t w = pixelWidth_;
  const std::int64_t h = pixelHeight_;
  const long double wInches = static_cast<long double>(w) / xRes_;
  const long double hInches = static_cast<long double>(h) / yRes_;
  const std::int32_t fields[] = {
      0,
      0,
      Checked(w + 1),
      Checked(h + 1),  // rclBounds
      0,
      0,
      RoundChecked(wInches * 2540),
      RoundChecked(hInches * 2540),  // rclFrame
  };
  for (std::size_t i = 0; i < 8; ++i) Put32(*bytes, 8 + 4 * i, fields[i]);
  Put32(*bytes, 72, pixelWidth_);  // szlDevice
  Put32(*bytes, 76, pixelHeight_);
  Put32(*bytes, 80, RoundChecked(wInches * 25.4L));  // szlMillimeters
  Put32(*bytes, 84, RoundChecked(hInches * 25.4L));
}

}  // namespace brenlow
