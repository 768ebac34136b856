// Helpers the image roads share: the image dictionary text, and DIB rows (bottom-up or
// top-down, padded) turned into the top-first rows of PDF image data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

// "/Type/XObject/Subtype/Image" LF "/Name/" name LF, the name escaped; empty for no name.
std::string ImageTypeAndName(std::string_view name);
// LF prefix "/Width " w LF "/Height " h LF samples LF: the text before /Length.
std::string ImageDictionaryText(std::string_view prefix, std::int64_t width, std::int64_t height,
                                std::string_view samples);
// "/Mask [r r g g b b]" for a colour key 0xBBGGRR.
std::string ColorKeyMask(std::uint32_t rgb);

// Rows of B,G,R pixels, stride bytes apart (last row in memory first when bottomUp), as
// R,G,B rows top first, appended to out.
void AppendRgbRows(const std::uint8_t* rows, std::size_t stride, bool bottomUp, std::uint32_t width,
                   std::uint32_t height, std::vector<std::uint8_t>& out);
// 1-bit rows as (width + 7) / 8 bytes each, top first, every byte inverted when asked.
void AppendMonoRows(const std::uint8_t* rows, std::size_t stride, bool bottomUp,
                    std::uint32_t width, std::uint32_t height, bool invert,
                    std::vector<std::uint8_t>& out);

}  // namespace vellora
