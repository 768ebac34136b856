// The objects behind metafile handles. Both are immutable once they have a handle, so copies
// of a handle can share one object and readers need no lock.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "qvplatform/emf_reader.h"
#include "qvplatform/metafile.h"

namespace qvplatform {
namespace metafile {

struct EnhMetaFileObject {
  std::vector<BYTE> bits;
  EmfHeader header;  // as the header check read it
};

struct MetaFileObject {
  std::vector<BYTE> bits;  // from the old-style header on, without the placeable header
  bool hasPlaceable = false;
  WmfPlaceable placeable;
};

std::shared_ptr<const EnhMetaFileObject> FindEnhMetaFile(HANDLE32 handle);
std::shared_ptr<const MetaFileObject> FindMetaFile(HANDLE32 handle);

// Checks the header of old-style metafile bytes (placeable header first when the data starts
// with its key) and fills object; kNotAMetafile when the bytes do not start like one.
MetafileStatus ReadOldStyleMetafile(const BYTE* data, std::size_t size, MetaFileObject& object);

}  // namespace metafile
}  // namespace qvplatform
