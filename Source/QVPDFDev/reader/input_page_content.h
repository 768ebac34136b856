// The content of an input page as one decoded stream: its content streams in order, each
// decoded once and joined with a line end where one does not end in white space.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "QVPDFDev/reader/input_page_tree.h"

namespace vellora {

// Raises TQVPDFInputError for objects that are no streams, filters that cannot be undone
// (LZW, images, predictors in /DecodeParms), damaged data and content beyond maxSize bytes.
std::vector<std::uint8_t> ReadPageContent(TQVPDFInputFile& file, const TQVInputPage& page,
                                          std::size_t maxSize);

}  // namespace vellora
