// Options of ExtTextOut, as the text functions take them and EMRTEXT.fOptions stores them.
#pragma once

#include "qvplatform/wintypes.h"

namespace qvplatform {

constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr UINT ETO_GLYPH_INDEX = 0x0010;
constexpr UINT ETO_RTLREADING = 0x0080;
constexpr UINT ETO_NO_RECT = 0x0100;
constexpr UINT ETO_PDY = 0x2000;  // the spacing array holds an x and a y advance per character

}  // namespace qvplatform
