// Metafile handles: enhanced metafiles (HENHMETAFILE) and old-style Windows metafiles (HMETAFILE)
// on the process-wide handle table, so a handle made by a host means the same metafile inside
// the engine. A metafile's bytes never change once it has a handle; every call is thread-safe.
//
// Loading checks the header: an enhanced metafile must pass the EMF header check (emf_reader.h);
// an old-style one (with or without the placeable header in front) must have a valid old-style
// header. The records themselves are checked later, by whoever plays them. The bytes kept are
// the bytes given (or read), whatever the header's own byte count says, so that a truncated
// file still plays as far as it goes and its damage is found by the player.
//
// Old-style metafiles get a handle of their own kind: asking for enhanced bits of one gives
// nothing, with kOldStyle as the reason (CheckEnhMetaFile); SetWinMetaFileBits
// (wmf_translator.h) translates their bits into an enhanced metafile.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qvplatform/emf_records.h"
#include "qvplatform/handle_table.h"
#include "qvplatform/wintypes.h"

namespace qvplatform {

using HENHMETAFILE = HANDLE32;
using HMETAFILE = HANDLE32;

// Metafiles above this size are refused, so that every size fits a signed 32-bit value.
constexpr std::size_t kMaxMetafileBytes = 0x7FFFFFFF;

enum class MetafileStatus : std::uint8_t {
  kOk,
  kCannotOpen,     // the file cannot be opened or read, or is not a regular file
  kEmpty,          // no bytes at all
  kTooLarge,       // above kMaxMetafileBytes
  kNotAMetafile,   // neither an enhanced nor an old-style metafile
  kBadHeader,      // an enhanced-metafile header whose sizes do not hold
  kBadOldStyle,    // an old-style header that is damaged or cut short
  kOldStyle,       // an old-style metafile where enhanced bits were asked for
  kInvalidHandle,  // not a live metafile handle
  kCannotWrite,    // the copy's file cannot be written
  kNoHandles,      // the handle space is used up
};

// A fixed English text for each status ("" for kOk).
const char* MetafileStatusText(MetafileStatus status);

struct MetafileLoadResult {
  HANDLE32 handle = 0;                         // 0 unless status is kOk
  HandleKind kind = HandleKind::kEnhMetaFile;  // kEnhMetaFile or kMetaFile
  MetafileStatus status = MetafileStatus::kOk;
  int systemError = 0;  // errno of a failed open or read
};

// Reads a metafile file (the name's bytes go to the file system as they are) or takes a copy of
// bytes in memory, and gives it a handle of its kind.
MetafileLoadResult LoadMetafileFile(const char* fileName);
MetafileLoadResult LoadMetafileBytes(const void* data, std::size_t size);

// kOk for an enhanced-metafile handle, kOldStyle for an old-style one, else kInvalidHandle.
MetafileStatus CheckEnhMetaFile(HANDLE32 handle);

// ---- Enhanced metafiles ----

// A new enhanced metafile holding a copy of the bytes; 0 when they are not one.
HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data);

// With buffer null: the metafile's size in bytes. Otherwise copies min(size, that) bytes to
// buffer and returns the count. 0 for anything but an enhanced-metafile handle (an old-style
// one also sends a line to the debug sink saying why).
UINT GetEnhMetaFileBits(HENHMETAFILE metafile, UINT size, BYTE* buffer);

// With header null: the size of the header record. Otherwise writes min(size,
// sizeof(ENHMETAHEADER)) bytes of the header's fields as the header check read them (fields the
// record does not hold are zero) and returns the count. 0 for an invalid handle.
UINT GetEnhMetaFileHeader(HENHMETAFILE metafile, UINT size, ENHMETAHEADER* header);

// With fileName null: a new handle to the same metafile in memory. Otherwise writes the bytes to
// the file (created or replaced) and returns a handle to the copy. 0 on failure.
HENHMETAFILE CopyEnhMetaFile(HENHMETAFILE metafile, const char* fileName);
// The same, with the reason of a failure.
MetafileLoadResult CopyEnhMetaFileEx(HENHMETAFILE metafile, const char* fileName);

// Frees the handle; false for anything but a live enhanced-metafile handle. Other handles to
// copies stay valid.
bool DeleteEnhMetaFile(HENHMETAFILE metafile);

// ---- Old-style metafiles ----

// The placeable header in front of an old-style metafile file: its picture frame in its own
// units and the units per inch.
struct WmfPlaceable {
  std::int16_t left = 0;
  std::int16_t top = 0;
  std::int16_t right = 0;
  std::int16_t bottom = 0;
  WORD inch = 0;
};

// The old-style metafile without the placeable header, as GetEnhMetaFileBits gives enhanced
// ones: the size with buffer null, else min(size, that) bytes copied. 0 for anything but an
// old-style handle.
UINT GetMetaFileBitsEx(HMETAFILE metafile, UINT size, void* buffer);

// The placeable header the metafile was loaded with; false when it had none (or for another
// handle).
bool GetMetaFilePlaceable(HMETAFILE metafile, WmfPlaceable* placeable);

bool DeleteMetaFile(HMETAFILE metafile);

}  // namespace qvplatform
