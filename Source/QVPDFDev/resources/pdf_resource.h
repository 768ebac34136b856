// The one resource dictionary that every page of a document shares: fonts, ICC colour spaces,
// hatch patterns and XObjects under the names the page content uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"
#include "QVPDFDev/objects/pdf_stream.h"
#include "QVPDFDev/resources/pdf_color_space.h"
#include "QVPDFDev/resources/pdf_named_object_list.h"
#include "QVPDFDev/resources/pdf_pattern_stream.h"

namespace vellora {

class TQVPDFResource : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFResource"; }

  // Writes the encodings and fonts not yet written, then any colour space, pattern or XObject
  // that no page has written (so nothing the dictionary names is missing), then the
  // dictionary.
  void WriteObject() override;

  // Font objects list themselves through GetEntryString ("/F3 12 0 R").
  std::vector<std::unique_ptr<TQVCustomPDFType>>& Fonts() { return fonts_; }
  std::vector<std::unique_ptr<TQVCustomPDFType>>& Encodings() { return encodings_; }
  TQVNamedObjectList<TQVPDFColorSpaceStream>& ColorSpaces() { return colorSpaces_; }
  // Images and forms in creation order; the 1-based position is the image number.
  TQVNamedObjectList<TQVPDFStream>& XObjects() { return xobjects_; }
  TQVNamedObjectList<TQVPDFPatternStream>& Patterns() { return patterns_; }

  // Adds an ICC colour space under name unless the name is taken (then returns the one
  // there). "C1" with kind 1 becomes the output-intent profile; any other becomes the second
  // profile when there is none yet. With data the profile is the data with the given number
  // of components; without data it is the built-in sRGB profile with 3.
  TQVPDFColorSpaceStream* AddICCColorSpace(std::string_view name, int kind,
                                           const std::uint8_t* data, std::size_t length,
                                           std::int32_t components, std::string intentText);
  TQVPDFColorSpaceStream* OutputIntentProfile() const { return outputIntentProfile_; }
  TQVPDFColorSpaceStream* SecondProfile() const { return secondProfile_; }

 private:
  std::vector<std::unique_ptr<TQVCustomPDFType>> fonts_;
  TQVNamedObjectList<TQVPDFColorSpaceStream> colorSpaces_;
  TQVNamedObjectList<TQVPDFStream> xobjects_;
  std::vector<std::unique_ptr<TQVCustomPDFType>> encodings_;
  TQVNamedObjectList<TQVPDFPatternStream> patterns_;
  TQVPDFColorSpaceStream* outputIntentProfile_ = nullptr;
  TQVPDFColorSpaceStream* secondProfile_ = nullptr;
};

}  // namespace vellora
