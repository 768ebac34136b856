#include "metafile_object.h"
#include "qvplatform/wmf_records.h"
#include "wmf_reader.h"

namespace qvplatform {
namespace metafile {
namespace {

constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kHeaderSize = 18;  // the old-style header: 9 words
constexpr WORD kHeaderWords = 9;

// The first two words of an old-style header: type 1 (memory) or 2 (disk) and a header of 9
// words. An enhanced metafile starts with the 32-bit value 1, whose second word is 0.
bool StartsLikeHeader(const BYTE* p, std::size_t size) {
  if (size < 4) return false;
  const WORD type = LeWord(p);
  return (type == 1 || type == 2) && LeWord(p + 2) == kHeaderWords;
}

}  // namespace

MetafileStatus ReadOldStyleMetafile(const BYTE* data, std::size_t size, MetaFileObject& object) {
  object = MetaFileObject{};
  if (size >= 4 && LeDword(data) == kWmfPlaceableKey) {
    // The checksum is not tested: writers often leave it wrong, and nothing depends on it.
    if (size < kPlaceableSize) return MetafileStatus::kBadOldStyle;
    object.hasPlaceable = true;
    object.placeable.left = static_cast<std::int16_t>(LeWord(data + 6));
    object.placeable.top = static_cast<std::int16_t>(LeWord(data + 8));
    object.placeable.right = static_cast<std::int16_t>(LeWord(data + 10));
    object.placeable.bottom = static_cast<std::int16_t>(LeWord(data + 12));
    object.placeable.inch = LeWord(data + 14);
    data += kPlaceableSize;
    size -= kPlaceableSize;
    if (!StartsLikeHeader(data, size)) return MetafileStatus::kBadOldStyle;
  } else if (!StartsLikeHeader(data, size)) {
    return MetafileStatus::kNotAMetafile;
  }
  if (size < kHeaderSize) return MetafileStatus::kBadOldStyle;
  const WORD version = LeWord(data + 4);
  const std::uint64_t totalBytes = std::uint64_t{LeDword(data + 6)} * 2;
  if ((version != 0x0100 && version != 0x0300) || totalBytes < kHeaderSize)
    return MetafileStatus::kBadOldStyle;
  object.bits.assign(data, data + size);
  return MetafileStatus::kOk;
}

}  // namespace metafile
}  // namespace qvplatform
