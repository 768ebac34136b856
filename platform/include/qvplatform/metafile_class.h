// TMetafile: an enhanced metafile as the host class library holds one. It owns its bytes and
// the handle made from them; a metafile canvas (metafile_canvas.h) records into it. The handle
// is made when it is first asked for, and from then on the bytes are fixed (a handle's bytes
// never change): replacing the content frees the handle.
#pragma once

#include <string>
#include <vector>

#include "qvplatform/metafile.h"
#include "qvplatform/stream.h"

namespace qvplatform {

class TMetafile {
 public:
  TMetafile() = default;
  virtual ~TMetafile();
  TMetafile(const TMetafile&) = delete;
  TMetafile& operator=(const TMetafile&) = delete;

  // The metafile's handle, owned by this object; 0 when it is empty or its bytes are not an
  // enhanced metafile.
  HENHMETAFILE Handle();
  bool Empty() const { return bytes_.empty(); }
  const std::vector<BYTE>& Bytes() const { return bytes_; }

  // Replaces the content (the old handle is freed).
  void SetBytes(std::vector<BYTE> bytes);
  void Clear() { SetBytes({}); }
  // Loads an enhanced metafile file; false (content unchanged) when it is not one.
  bool LoadFromFile(const std::string& fileName);

  // Write the bytes; std::runtime_error when the file cannot be written or the stream refuses.
  virtual void SaveToFile(const std::string& fileName);
  virtual void SaveToStream(TStream& stream);

 protected:
  // The bytes while no handle exists yet, for corrections before the handle fixes them; null
  // once the handle exists.
  std::vector<BYTE>* BytesBeforeHandle() { return handle_ == 0 ? &bytes_ : nullptr; }

 private:
  std::vector<BYTE> bytes_;
  HENHMETAFILE handle_ = 0;
};

}  // namespace qvplatform
