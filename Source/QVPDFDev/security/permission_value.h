// The /P entry of the encryption dictionary: what a reader that opened the document with the
// user password may do.
#pragma once

#include <cstdint>

namespace vellora {

// From the permission set (kEnable* bits) and the key strength. Bits 7, 8 and 13..32 are
// always set; printing grants bit 3, and at 128 bits also bit 12 (full quality) unless
// kLowQualityPrintOnly; fill-in (bit 9), accessibility (bit 10) and assembly (bit 11) count
// only at 128 bits; changing, copying and forms are bits 4, 5 and 6.
std::int32_t PermissionValue(std::uint16_t options, bool uses128Bit);

}  // namespace vellora
