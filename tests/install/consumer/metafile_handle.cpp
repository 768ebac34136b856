// The platform's API is C++: this file gives the C program the metafile handle it draws, and is
// compiled against the installed platform headers (the set the example host includes).
#include "metafile_handle.h"

#include "qvplatform/debug_output.h"
#include "qvplatform/metafile.h"

extern "C" uint32_t ConsumerLoadMetafile(const char* fileName) {
  const qvplatform::MetafileLoadResult r = qvplatform::LoadMetafileFile(fileName);
  if (r.status != qvplatform::MetafileStatus::kOk) return 0;
  if (r.kind != qvplatform::HandleKind::kEnhMetaFile) {
    qvplatform::DeleteMetaFile(r.handle);
    return 0;
  }
  return r.handle;
}

extern "C" void ConsumerDeleteMetafile(uint32_t handle) { qvplatform::DeleteEnhMetaFile(handle); }
