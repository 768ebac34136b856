#include "QVPDFDev/navigation/destination_list.h"

namespace vellora {

std::string TQVLocalDestinations::UpperName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return upper;
}

void TQVLocalDestinations::Add(std::string_view name, const TFolvioDestName& position) {
  auto entry = std::make_unique<TFolvioDestName>(position);
  first_.try_emplace(UpperName(name), entry.get());
  entries_.push_back(std::move(entry));
}

const TFolvioDestName* TQVLocalDestinations::Find(std::string_view name) const {
  const auto found = first_.find(UpperName(name));
  return found == first_.end() ? nullptr : found->second;
}

void TQVLocalDestinations::BindUnplaced(TQVPDFPage* page) {
  for (auto& entry : entries_)
    if (entry->page == nullptr) entry->page = page;
}

void TQVLocalDestinations::Clear() {
  first_.clear();
  entries_.clear();
}

}  // namespace vellora
