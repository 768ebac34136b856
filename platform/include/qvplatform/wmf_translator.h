// Translating old-style (WMF) metafiles into enhanced metafiles, so that everything after the
// translation plays one kind of metafile.
//
// The picture's frame (0.01 mm) comes from the METAFILEPICT when it gives an anisotropic or
// isotropic mapping with positive extents, else from the placeable header's frame, else from
// the metafile's first window extent at the reference resolution. The enhanced metafile maps
// the old-style window onto that frame: its viewport is the frame on a reference device of
// that resolution (96 dpi unless given; a player that reads the records' pixels at another
// resolution should be given that one, so the picture fills its frame), so window
// records keep their meaning and the metafile's own viewport and fixed map-mode records (which
// would move the picture off its frame) are left out. A metafile that carries a whole enhanced
// metafile in "WMFC" comment escapes is that metafile.
//
// Damage is reported, never fatal: a record under 3 words or running past the data ends the
// translation there; counts past their record, unknown or free object slots and objects past the
// object table skip the record. The output never exceeds kWmfOutputFactor bytes per input byte
// plus kWmfOutputSlack; a translation that would is ended there and reported.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "qvplatform/metafile.h"
#include "qvplatform/wmf_records.h"

namespace qvplatform {

struct METAFILEPICT {
  LONG mm = 0;    // MM_ANISOTROPIC or MM_ISOTROPIC give a frame of xExt x yExt
  LONG xExt = 0;  // 0.01 mm
  LONG yExt = 0;
  HANDLE32 hMF = 0;
};

constexpr std::size_t kWmfOutputFactor = 16;
constexpr std::size_t kWmfOutputSlack = 64 * 1024;

struct WmfTranslation {
  std::vector<BYTE> emf;  // empty when the bytes are no old-style metafile
  bool damaged = false;
  std::string problem;    // the first damage met, a fixed English text with the byte offset
  bool embedded = false;  // the metafile was an enhanced one carried in comment escapes
};

// bits: an old-style metafile from its header on, or with the placeable header in front (which
// then stands for placeable). picture and placeable may be null.
constexpr LONG kWmfReferenceDpi = 96;

WmfTranslation TranslateWinMetaFile(const BYTE* bits, std::size_t size, const METAFILEPICT* picture,
                                    const WmfPlaceable* placeable = nullptr,
                                    SIZEL referenceDpi = {kWmfReferenceDpi, kWmfReferenceDpi});

struct WinMetaFileResult {
  HENHMETAFILE handle = 0;
  bool damaged = false;
  std::string problem;
};

// The translation as a new enhanced-metafile handle (0 for bytes that are no old-style
// metafile), with its damage report.
WinMetaFileResult SetWinMetaFileBitsEx(UINT size, const BYTE* bits, const METAFILEPICT* picture,
                                       const WmfPlaceable* placeable = nullptr,
                                       SIZEL referenceDpi = {kWmfReferenceDpi, kWmfReferenceDpi});
// The same without the report. The reference device context is not used: the reference is
// a 96 dpi device.
HENHMETAFILE SetWinMetaFileBits(UINT size, const BYTE* bits, HANDLE32 referenceDC,
                                const METAFILEPICT* picture);

}  // namespace qvplatform
