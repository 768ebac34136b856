// A form XObject: a reusable content stream in the shared XObject list, drawn into with the
// ordinary drawing operations while open and placed on pages by name ("Do") once closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {

// Longest form name accepted as a resource key.
constexpr std::size_t kMaxFormNameLength = 127;
// Forms placed through links, one after the other, at most.
constexpr std::size_t kMaxLinkedForms = 64;

class TQVPDFForm : public TQVPDFStream {
 public:
  explicit TQVPDFForm(TQVPDFObjectOwner* owner) : TQVPDFStream(owner, 'T') {}
  std::string_view ClassName() const override { return "TQVPDFForm"; }

  float widthPoints = 0, heightPoints = 0;
  std::int32_t xResolution = 72, yResolution = 72;  // of its pixels
  bool scaledPlacement = false;      // placed with the inverse of the current scale (input pages)
  bool inProgress = false;           // open for drawing: it may not be placed yet
  TQVPDFForm* linkedForm = nullptr;  // drawn right after this one (not owned)
};

// The dictionary entries of a form of width x height pixels at the resolutions (positive):
// the matrix from pixels to points is the resolution's share of 72, the box is in pixels.
// Empty resources or box texts take the given defaults.
std::string FormDictionaryText(std::int32_t width, std::int32_t height, std::int32_t xResolution,
                               std::int32_t yResolution, std::string_view resources,
                               std::string_view boundingBox);

}  // namespace vellora
