// What the owner of a generic device decides for the metafiles it plays: whether a picture
// keeps its own size, and where metafiles are dumped for debugging.
#pragma once

#include <string>

namespace vellora {

struct TQVPlayerOptions {
  bool metafileIsSized = false;    // the player ignores the target size
  std::string debugDumpDirectory;  // metafiles are dumped there when set

  void KeepPictureSize(bool keep) { metafileIsSized = keep; }
};

}  // namespace vellora
