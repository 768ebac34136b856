// ICC-based colour spaces and the PDF/A output intents that name one of them.
#pragma once

#include <cstdint>
#include <string>

#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {

// An ICC profile stream; its dictionary gives /N and, for 1, 3 and 4 components, the device
// space of that many components as /Alternate.
class TQVPDFColorSpaceStream : public TQVPDFStream {
 public:
  TQVPDFColorSpaceStream(TQVPDFObjectOwner* owner, std::int32_t components, std::string intentText)
      : TQVPDFStream(owner), components_(components), intentText_(std::move(intentText)) {}
  std::string_view ClassName() const override { return "TQVPDFColorSpaceStream"; }
  void WriteStream() override;

  std::int32_t Components() const { return components_; }
  void SetComponents(std::int32_t value) { components_ = value; }
  // Output-intent entries given when the colour space was added.
  const std::string& IntentText() const { return intentText_; }

 private:
  std::int32_t components_;
  std::string intentText_;
};

// The /OutputIntents array (a raw object): the second profile of the shared resources with
// its own intent text when there is one, else the built-in sRGB output profile, else "[]".
// Writing it also writes the profile it names when that has not been written yet.
class TQVPDFOutputIntents : public TQVCustomPDFType {
 public:
  explicit TQVPDFOutputIntents(TQVPDFObjectOwner* owner) : TQVCustomPDFType(owner) { SetRaw(true); }
  std::string_view ClassName() const override { return "TQVPDFOutputIntents"; }
  std::string AsString() override;
  void WriteObject() override;
};

}  // namespace vellora
