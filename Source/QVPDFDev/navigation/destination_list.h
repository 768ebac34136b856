// The device's local named destinations: positions on pages under names that links and
// outline entries resolve into explicit destination arrays (global names go to the
// catalog's /Dests instead). Names compare without regard to ASCII letter case; a name
// registered again keeps its first position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "QVPDFDev/navigation/pdf_named_dest.h"

namespace vellora {

class TQVLocalDestinations {
 public:
  // Files the position under the upper-case name. Its page may be none (no page open).
  void Add(std::string_view name, const TFolvioDestName& position);
  // Gives the positions without a page this page.
  void BindUnplaced(TQVPDFPage* page);
  // The first position filed under the name, or none.
  const TFolvioDestName* Find(std::string_view name) const;
  std::size_t Count() const { return entries_.size(); }
  void Clear();

  // ASCII upper case, the form names are filed under.
  static std::string UpperName(std::string_view name);

 private:
  std::vector<std::unique_ptr<TFolvioDestName>> entries_;  // all, duplicates included
  std::unordered_map<std::string, const TFolvioDestName*> first_;
};

}  // namespace vellora
