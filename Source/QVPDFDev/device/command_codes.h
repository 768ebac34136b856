// The codes of the text commands metafile comments carry to the PDF device. The extended
// device gives some of the codes above 509 meanings of its own (QVPDFDevEX/field_command_codes.h).
#pragma once

#include <cstdint>

namespace vellora::command_codes {

enum : std::int32_t {
  kLink = 501,
  kLocalDestination = 502,
  kBookmark = 503,
  kBookmarkDeeper = 504,
  kBookmarkHigher = 505,
  kPlaceForm = 506,
  kGlobalDestination = 507,
  kBitmapName = 512,
  kHiddenText = 513,
  kSaveLevel = 520,
  kRestoreLevel = 521,
  kImageName = 522,
  kCjkAsciiFace = 603,
  kExactPositioningOn = 604,
  kExactPositioningOff = 605,
  kForcedCharset = 607,
  kSplitAtBlanks = 608,
  kCjkIdeographCharset = 609,
  kPlaceImage = 2001,
  kLayoutClass = 2002,
  kOutlineText = 2003,
  kLinkOnce = 2501,
};

}  // namespace vellora::command_codes
