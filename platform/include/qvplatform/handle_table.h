// The process-wide table of 32-bit handles that stand for platform objects (fonts, device
// contexts, metafiles, bitmaps, palettes). Engine and client share it through the platform's
// shared library, so a handle made on one side means the same object on the other.
//
// - A handle value is never handed out twice in the life of the process, so a stale handle
//   can never reach a newer object; 0 is never a handle.
// - Lookup is typed: a handle of one kind looked up as another kind gives nothing.
// - Thread-safe. Objects are held by shared_ptr: an object that one thread still uses stays
//   alive when another thread removes its handle.
#pragma once

#include <cstdint>
#include <memory>

#include "qvplatform/wintypes.h"

namespace qvplatform {

enum class HandleKind : std::uint8_t {
  kFont = 1,
  kDeviceContext,
  kEnhMetaFile,
  kMetaFile,
  kBitmap,
  kPalette,
  kPen,
  kBrush,
  kRegion,
};

class HandleTable {
 public:
  // The one table of the process.
  static HandleTable& Instance();

  // Stores an object and returns its new handle; 0 when the object is null or the 32-bit
  // handle space is used up (handles are not reused, so that ends the supply).
  HANDLE32 Add(HandleKind kind, std::shared_ptr<void> object);

  // The object of a handle of the given kind, or null for 0, an unknown or removed handle,
  // or a handle of another kind.
  std::shared_ptr<void> Find(HANDLE32 handle, HandleKind kind) const;

  template <class T>
  std::shared_ptr<T> Get(HANDLE32 handle, HandleKind kind) const {
    return std::static_pointer_cast<T>(Find(handle, kind));
  }

  // The kind of a live handle; false for 0 and unknown handles.
  bool KindOf(HANDLE32 handle, HandleKind* kind) const;

  // Removes a live handle of the given kind; false (nothing changes) for any other handle
  // and for stock handles.
  bool Remove(HANDLE32 handle, HandleKind kind);

  // Stock objects (GetStockObject, the default palette) are marked once and can then never
  // be removed, so DeleteObject refuses them whatever their kind.
  bool MarkStock(HANDLE32 handle);
  bool IsStock(HANDLE32 handle) const;

  // Number of live handles (for tests and leak checks).
  std::size_t Count() const;

  HandleTable();
  ~HandleTable();
  HandleTable(const HandleTable&) = delete;
  HandleTable& operator=(const HandleTable&) = delete;

  // Lets tests start the counter near the end of the handle space.
  void SetNextForTesting(std::uint64_t next);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace qvplatform
