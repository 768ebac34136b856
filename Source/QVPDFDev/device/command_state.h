// What the embedded commands of a document remember between records: the link to skip, the
// outline level the next bookmark goes to, open marked-content sequences and the structure
// elements opened so far. Cleared with each document.
#pragma once

#include <cstdint>
#include <unordered_map>

namespace vellora {

class TQVPDFStructElement;

struct TQVCommandState {
  bool skipNextLink = false;
  std::int32_t pendingOutlineLevel = 0;
  std::int32_t markedContentDepth = 0;
  // The last element opened with each command identifier.
  std::unordered_map<std::int32_t, TQVPDFStructElement*> openElements;

  void Clear() { *this = TQVCommandState(); }
};

}  // namespace vellora
