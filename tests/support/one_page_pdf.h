// A minimal one-page PDF around a page-content stream, for showing content to independent
// readers.
#pragma once

#include <string>
#include <string_view>

namespace vellora_test {

// A one-page PDF of width x height points around the content, with the page's resource
// dictionary as given.
std::string OnePagePdf(std::string_view content, int width, int height,
                       std::string_view resources = "<< >>");

}  // namespace vellora_test
