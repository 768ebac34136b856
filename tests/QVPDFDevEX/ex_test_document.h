// A document of the extended device for the form and action tests: a fixed identifier and
// clock, one 400 x 300 point page drawn by a metafile from the EMF builder, whose comments
// carry the commands, and the finished file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "QVPDFDevEX/pdf_device_ex.h"
#include "device/pdf_device_test_util.h"
#include "emf_builder.h"

namespace vellora_test {

inline constexpr int kPageWidth = 400, kPageHeight = 300;

class ExDocument {
 public:
  ExDocument();
  // An 8-bit command record (system code page text) over the rectangle, points y down.
  ExDocument& Command(std::int32_t code, const std::string& text, qvplatform::RECTL r = {});
  // A record 291102 with UTF-16 text.
  ExDocument& Unicode(std::int32_t code, const std::u16string& text, qvplatform::RECTL r = {});
  // A comment of these bytes.
  ExDocument& Comment(const std::vector<std::uint8_t>& data);
  // The picture, for records other than comments.
  EmfBuilder& Picture() { return picture_; }
  // Plays the metafile: its page opens and closes.
  void Play();
  // Plays the metafile unless it was played, and ends the document.
  std::string Finish();

  vellora::TQVPDFDeviceEX device;

 private:
  FixedDocumentEnvironment env_;
  EmfBuilder picture_;
  bool played_ = false;
};

}  // namespace vellora_test
