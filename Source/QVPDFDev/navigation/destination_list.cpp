#include "QVPDFDev/navigation/destination_list.h"

namespace vellora {

std::string TQVLocalDestinations::UpperName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return upper;
}

void TQVLocalDestinations::Add(std::string_view name, TQVPDFPage* page, std::int32_t x,
                               std::int32_t y) {
  auto entry = std::make_unique<TFolvioDestName>();
  entry->page = page;
  entry->x = x;
  entry->y = y;
  first_.try_emplace(UpperName(name), entry.get());
  entries_.push_back(std::move(entry));
}

const TFolvioDestName* TQVLocalDestinations::Find(std::string_view name) const {
  const auto found = first_.find(UpperName(name));
  return found == first_.end() ? nullptr : found->second;
}

void TQVLocalDestinations::Clear() {
  first_.clear();
  entries_.clear();
}

}  // namespace vellora
