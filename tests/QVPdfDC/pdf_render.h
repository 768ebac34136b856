// Wraps a page-content stream in a minimal one-page PDF and has independent tools read it:
// qpdf --check for the file, pdftoppm for the pixels (grey, 72 dpi, so one pixel per point).
#pragma once

#include <string_view>

#include "one_page_pdf.h"
#include "page_render.h"

namespace vellora_test {

// False when qpdf or pdftoppm is not installed (tests skip then).
bool RenderToolsPresent();
// The content on a page of width x height points, rendered; ok only when both tools accepted
// the file without a word (diagnostics holds what they said).
Raster RenderContent(std::string_view content, int width, int height);

}  // namespace vellora_test
