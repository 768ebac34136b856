// The page tree of an input PDF, walked once from the newest /Root: every /Kids entry in order
// (the /Count numbers are not trusted), at most kMaxValueDepth levels deep, each node and page
// once. Pages take /Resources, /MediaBox, /CropBox and /Rotate from their nodes when they have
// none of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/reader/pdf_input_file.h"

namespace vellora {

// An entry a node passes on to its pages, shared by them, with the size of its text.
struct TQVInheritedEntry {
  std::string key;
  TQVPDFValue value;
  std::size_t textSize = 0;
};

struct TQVInputPage {
  std::int32_t number = 0;
  std::uint16_t generation = 0;
  // The page's own entries without /Parent (the media box with its numbers resolved).
  TQVPDFValue dictionary;
  // The entries it takes from its nodes because it has none of its own.
  std::vector<std::shared_ptr<const TQVInheritedEntry>> inherited;
  // The media box, lower left and upper right corner, in points.
  double box[4] = {0, 0, 612, 792};
  // The content streams in drawing order (empty for a blank page).
  std::vector<std::int32_t> contents;

  // An own or inherited entry; nullptr when there is none.
  const TQVPDFValue* Find(std::string_view key) const;
  // The own and the inherited entries as dictionary text without "<<" and ">>".
  void AppendEntries(std::string& out) const;
  double Width() const { return box[2] - box[0]; }
  double Height() const { return box[3] - box[1]; }
};

struct TQVInputPageTree {
  std::int32_t catalog = 0;
  std::int32_t root = 0;            // the /Pages object
  std::vector<std::int32_t> nodes;  // the /Pages objects, the root first
  std::vector<TQVInputPage> pages;
};

// Raises TQVPDFInputError for a missing catalog or tree, loops, pages listed twice, trees
// deeper than kMaxValueDepth, damaged boxes or /Contents, and inherited entries that, written
// out with every page, would be out of proportion to the file.
TQVInputPageTree ReadInputPageTree(TQVPDFInputFile& file);

}  // namespace vellora
