// Face-name aliases of the PDF device: a sorted list of alias names (looked up ignoring ASCII
// case) whose entries carry the index of their target in a second list. The engine's font
// alias command (5573) fills it; font selection reads it before anything else.
#pragma once

#include <string>
#include <string_view>

#include "qvplatform/string_list.h"

namespace vellora {

class TQVFontAliases {
 public:
  TQVFontAliases();

  // Maps name to target. An empty name or target (after trimming) is ignored and gives
  // false; a name that is already an alias gets the new target.
  bool Add(std::string_view name, std::string_view target);
  // The text of the alias command: name, "=", target (split at the first "="). False, with
  // nothing added, when there is no "=" or the name is empty.
  bool AddFromText(std::string_view text);

  bool Empty() const { return names_.Count() == 0; }
  // The target of an alias, or nullptr.
  const std::string* Find(std::string_view name) const;
  void Clear();

 private:
  qvplatform::TStringList names_;    // sorted; object = index in targets_
  qvplatform::TStringList targets_;  // in the order they were added
};

}  // namespace vellora
