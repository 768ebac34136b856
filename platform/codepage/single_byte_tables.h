// The upper halves of the single-byte code pages (internal to the code-page component).
#pragma once

#include "qvplatform/wintypes.h"

namespace qvplatform::codepage_detail {

// The 128 UTF-16 units of bytes 0x80-0xFF, or nullptr when codePage is not a single-byte page.
const char16_t* SingleByteUpperHalf(UINT codePage);

}  // namespace qvplatform::codepage_detail
