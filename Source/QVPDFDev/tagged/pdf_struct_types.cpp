#include "QVPDFDev/tagged/pdf_struct_types.h"

#include <algorithm>
#include <array>

namespace vellora {

bool IsStandardStructureType(std::string_view type) {
  static constexpr std::array<std::string_view, 43> kTypes = {
      "Document", "Part",    "Art",   "Artifact",  "Sect",     "Div",   "BlockQuote", "Caption",
      "TOC",      "TOCI",    "Index", "NonStruct", "Private",  "P",     "H",          "H1",
      "H2",       "H3",      "H4",    "H5",        "H6",       "L",     "LI",         "Lbl",
      "LBody",    "Table",   "TR",    "TH",        "TD",       "THead", "TBody",      "TFoot",
      "Span",     "Quote",   "Note",  "Reference", "BibEntry", "Code",  "Link",       "Annot",
      "Ruby",     "Warichu", "OBJR"};
  return std::find(kTypes.begin(), kTypes.end(), type) != kTypes.end();
}

}  // namespace vellora
