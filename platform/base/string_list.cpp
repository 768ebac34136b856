#include "qvplatform/string_list.h"

#include <algorithm>
#include <stdexcept>

namespace qvplatform {

namespace {

unsigned char FoldCase(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

bool IsBlank(unsigned char c) { return c >= 1 && c <= ' '; }

// A quoted item starting at text[i] (a quote); i ends after the closing quote, or at the end
// of the text when the item is not closed.
std::string ReadQuoted(std::string_view text, std::size_t& i) {
  std::string s;
  ++i;
  while (i < text.size()) {
    if (text[i] == '"') {
      if (i + 1 < text.size() && text[i + 1] == '"') {
        s += '"';
        i += 2;
        continue;
      }
      ++i;
      return s;
    }
    s += text[i++];
  }
  return s;
}

bool NeedsQuotes(std::string_view s) {
  for (const char ch : s) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= ' ' || c == '"' || c == ',') return true;
  }
  return false;
}

}  // namespace

int TStringList::CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = FoldCase(static_cast<unsigned char>(a[i]));
    const int cb = FoldCase(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca - cb;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

void TStringList::CheckUnsorted() const {
  if (sorted_) throw std::logic_error("Operation not allowed on sorted list");
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)].text;
}

TStringList::Object TStringList::Objects(int index) const {
  CheckIndex(index);
  return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::PutObject(int index, Object object) {
  CheckIndex(index);
  items_[static_cast<std::size_t>(index)].object = object;
}

void TStringList::Put(int index, std::string_view s) {
  CheckUnsorted();
  CheckIndex(index);
  items_[static_cast<std::size_t>(index)].text = std::string(s);
}

int TStringList::Add(std::string_view s) { return AddObject(s, 0); }

int TStringList::AddObject(std::string_view s, Object object) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == TDuplicates::dupIgnore) return index;
    if (duplicates_ == TDuplicates::dupError)
      throw std::logic_error("String list does not allow duplicates");
    // Accepted duplicates go after the equal ones, so equal entries keep their order.
    while (index < Count() && CompareText(items_[static_cast<std::size_t>(index)].text, s) == 0)
      ++index;
  }
  items_.insert(items_.begin() + index, Item{std::string(s), object});
  return index;
}

void TStringList::Insert(int index, std::string_view s) {
  CheckUnsorted();
  if (index < 0 || index > Count())
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  items_.insert(items_.begin() + index, Item{std::string(s), 0});
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

bool TStringList::Find(std::string_view s, int& index) const {
  // The first of equal entries, so Find and IndexOf agree.
  int lo = 0, hi = Count();
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (CompareText(items_[static_cast<std::size_t>(mid)].text, s) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  index = lo;
  return lo < Count() && CompareText(items_[static_cast<std::size_t>(lo)].text, s) == 0;
}

int TStringList::IndexOf(std::string_view s) const {
  if (sorted_) {
    int index = -1;
    return Find(s, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (CompareText(items_[static_cast<std::size_t>(i)].text, s) == 0) return i;
  return -1;
}

int TStringList::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& t = items_[static_cast<std::size_t>(i)].text;
    const std::size_t eq = t.find('=');
    if (eq != std::string::npos && CompareText(std::string_view(t).substr(0, eq), name) == 0)
      return i;
  }
  return -1;
}

std::string TStringList::Names(int index) const {
  const std::string& t = Strings(index);
  const std::size_t eq = t.find('=');
  return eq == std::string::npos ? std::string() : t.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const {
  const std::string& t = Strings(index);
  const std::size_t eq = t.find('=');
  return eq == std::string::npos ? std::string() : t.substr(eq + 1);
}

std::string TStringList::Values(std::string_view name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValue(std::string_view name, std::string_view value) {
  const int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  std::string entry = std::string(name) + "=" + std::string(value);
  if (i >= 0 && !sorted_) {
    items_[static_cast<std::size_t>(i)].text = std::move(entry);
    return;
  }
  Object object = 0;
  if (i >= 0) {  // a sorted list keeps its order: the entry moves to its new place
    object = items_[static_cast<std::size_t>(i)].object;
    Delete(i);
  }
  AddObject(entry, object);
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_)
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Item& a, const Item& b) { return CompareText(a.text, b.text) < 0; });
  sorted_ = sorted;
}

std::string TStringList::CommaText() const {
  if (Count() == 1 && items_[0].text.empty()) return "\"\"";
  std::string out;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (i > 0) out += ',';
    const std::string& s = items_[i].text;
    if (!NeedsQuotes(s)) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void TStringList::SetCommaText(std::string_view text) {
  // The text ends at a NUL byte, as the host library's character pointers do.
  text = text.substr(0, text.find('\0'));
  Clear();
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  while (i < text.size() && IsBlank(at(i))) ++i;
  while (i < text.size()) {
    if (text[i] == '"') {
      Add(ReadQuoted(text, i));
    } else {
      const std::size_t start = i;
      while (i < text.size() && at(i) > ' ' && text[i] != ',') ++i;
      Add(text.substr(start, i - start));
    }
    while (i < text.size() && IsBlank(at(i))) ++i;
    if (i < text.size() && text[i] == ',') {
      if (i + 1 == text.size()) Add("");
      do ++i;
      while (i < text.size() && IsBlank(at(i)));
    }
  }
}

std::string TStringList::Text() const {
  std::string out;
  for (const Item& item : items_) {
    out += item.text;
    out += "\r\n";
  }
  return out;
}

void TStringList::SetText(std::string_view text) {
  Clear();
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t start = i;
    while (i < text.size() && text[i] != '\r' && text[i] != '\n') ++i;
    Add(text.substr(start, i - start));
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
  }
}

}  // namespace qvplatform
