// The ANSI code page of a Windows character set.
#pragma once

#include <cstdint>

namespace vellora {

// 932, 949, 936, 950 for the East Asian sets, 1250..1258 and 874 for the European, Middle
// Eastern and Thai sets, 1252 for every other number (ANSI, default, symbol, OEM, ...).
std::uint32_t CharsetToCodePage(int charset);

}  // namespace vellora
