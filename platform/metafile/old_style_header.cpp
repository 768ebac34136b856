#include "metafile_object.h"

namespace qvplatform {
namespace metafile {
namespace {

constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableSize = 22;
constexpr std::size_t kHeaderSize = 18;  // the old-style header: 9 words
constexpr WORD kHeaderWords = 9;

WORD Word(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD Dword(const BYTE* p) { return Word(p) | (DWORD{Word(p + 2)} << 16); }

// The first two words of an old-style header: type 1 (memory) or 2 (disk) and a header of 9
// words. An enhanced metafile starts with the 32-bit value 1, whose second word is 0.
bool StartsLikeHeader(const BYTE* p, std::size_t size) {
  if (size < 4) return false;
  const WORD type = Word(p);
  return (type == 1 || type == 2) && Word(p + 2) == kHeaderWords;
}

}  // namespace

MetafileStatus ReadOldStyleMetafile(const BYTE* data, std::size_t size, MetaFileObject& object) {
  object = MetaFileObject{};
  if (size >= 4 && Dword(data) == kPlaceableKey) {
    // The checksum is not tested: writers often leave it wrong, and nothing depends on it.
    if (size < kPlaceableSize) return MetafileStatus::kBadOldStyle;
    object.hasPlaceable = true;
    object.placeable.left = static_cast<std::int16_t>(Word(data + 6));
    object.placeable.top = static_cast<std::int16_t>(Word(data + 8));
    object.placeable.right = static_cast<std::int16_t>(Word(data + 10));
    object.placeable.bottom = static_cast<std::int16_t>(Word(data + 12));
    object.placeable.inch = Word(data + 14);
    data += kPlaceableSize;
    size -= kPlaceableSize;
    if (!StartsLikeHeader(data, size)) return MetafileStatus::kBadOldStyle;
  } else if (!StartsLikeHeader(data, size)) {
    return MetafileStatus::kNotAMetafile;
  }
  if (size < kHeaderSize) return MetafileStatus::kBadOldStyle;
  const WORD version = Word(data + 4);
  const std::uint64_t totalBytes = std::uint64_t{Dword(data + 6)} * 2;
  if ((version != 0x0100 && version != 0x0300) || totalBytes < kHeaderSize)
    return MetafileStatus::kBadOldStyle;
  object.bits.assign(data, data + size);
  return MetafileStatus::kOk;
}

}  // namespace metafile
}  // namespace qvplatform
