// The font program of the selected face, for embedding and subsetting.
#pragma once

#include <cstdint>
#include <vector>

#include "qvplatform/font_types.h"
#include "qvplatform/sfnt_tables.h"

namespace qvplatform {

// Table 0: the face as a standalone sfnt, also for a face inside a collection: version 1.0
// for TrueType outlines ("OTTO" kept for CFF ones), the face's tables in ascending tag
// order, each at a 4-byte aligned offset and zero-padded, the directory's search fields,
// table checksums and head's checkSumAdjustment computed for the new file.
// MakeTableTag("ttcf"): the whole collection file as it is (a plain file for other faces).
// Another tag: the bytes of that table as they are in the file.
// Copies from `offset` at most `size` bytes into buffer and returns the number copied; with
// a null buffer or size 0 returns the bytes available from offset. GDI_ERROR for an unknown
// DC, a font without a usable face, a table the face does not have or an offset past it.
DWORD GetFontData(HDC hdc, DWORD table, DWORD offset, void* buffer, DWORD size);

// The standalone sfnt of a face, as GetFontData returns for table 0.
std::vector<std::uint8_t> BuildStandaloneSfnt(const SfntFace& face);

}  // namespace qvplatform
