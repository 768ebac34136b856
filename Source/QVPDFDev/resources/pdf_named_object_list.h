// A list of owned objects under names, in the order they were added, as the shared resources
// keep their colour spaces, XObjects and patterns. Names compare without regard to ASCII case.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellora {

template <class T>
class TQVNamedObjectList {
 public:
  // Appends and returns the 1-based position.
  std::size_t Add(std::string name, std::unique_ptr<T> object) {
    items_.emplace_back(std::move(name), std::move(object));
    return items_.size();
  }
  // The 0-based index of the name, or -1.
  std::ptrdiff_t IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (SameName(items_[i].first, name)) return static_cast<std::ptrdiff_t>(i);
    return -1;
  }
  T* Find(std::string_view name) const {
    const std::ptrdiff_t i = IndexOf(name);
    return i < 0 ? nullptr : items_[static_cast<std::size_t>(i)].second.get();
  }
  std::size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }
  T* At(std::size_t index) const { return items_.at(index).second.get(); }
  const std::string& NameAt(std::size_t index) const { return items_.at(index).first; }
  // The objects in order, for the list writers.
  std::vector<T*> Objects() const {
    std::vector<T*> objects;
    objects.reserve(items_.size());
    for (const auto& item : items_) objects.push_back(item.second.get());
    return objects;
  }

  // The list's comparison: equal ignoring ASCII case.
  static bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      char x = a[i], y = b[i];
      if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
      if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
      if (x != y) return false;
    }
    return true;
  }

 private:
  std::vector<std::pair<std::string, std::unique_ptr<T>>> items_;
};

}  // namespace vellora
