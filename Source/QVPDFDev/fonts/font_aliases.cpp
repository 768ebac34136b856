#include "QVPDFDev/fonts/font_aliases.h"

#include "QVPDFDev/fonts/font_names.h"

namespace vellora {

TQVFontAliases::TQVFontAliases() {
  names_.SetSorted(true);
  names_.SetDuplicates(qvplatform::TDuplicates::dupIgnore);
}

bool TQVFontAliases::Add(std::string_view name, std::string_view target) {
  name = TrimFontName(name);
  target = TrimFontName(target);
  if (name.empty() || target.empty()) return false;
  const int targetIndex = targets_.Add(target);
  int index = 0;
  if (names_.Find(name, index)) {
    names_.PutObject(index, targetIndex);
  } else {
    names_.AddObject(name, targetIndex);
  }
  return true;
}

bool TQVFontAliases::AddFromText(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return false;
  return Add(text.substr(0, equals), text.substr(equals + 1));
}

const std::string* TQVFontAliases::Find(std::string_view name) const {
  int index = 0;
  if (!names_.Find(name, index)) return nullptr;
  const auto target = names_.Objects(index);
  if (target < 0 || target >= targets_.Count()) return nullptr;
  return &targets_.Strings(static_cast<int>(target));
}

void TQVFontAliases::Clear() {
  names_.Clear();
  targets_.Clear();
}

}  // namespace vellora
