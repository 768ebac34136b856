// TStringList: the host class library's list of 8-bit strings, with the semantics the engine
// and the client rely on. Name lookup, IndexOf and the sorted order ignore letter case for
// ASCII letters only (bytes 0x80-0xFF compare as they are), independent of any locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qvplatform {

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList {
 public:
  using Object = std::intptr_t;  // the value attached to each entry (0 when none)

  int Count() const { return static_cast<int>(items_.size()); }
  // Index out of range throws std::out_of_range("List index out of bounds (<i>)").
  const std::string& Strings(int index) const;
  const std::string& operator[](int index) const { return Strings(index); }
  Object Objects(int index) const;
  void PutObject(int index, Object object);
  // Replaces an entry; not allowed on a sorted list (std::logic_error).
  void Put(int index, std::string_view s);

  // Appends (or, when sorted, inserts in order) and returns the index. On a sorted list a
  // string already present is handled by Duplicates(): ignored (the existing index is
  // returned), accepted, or an error (std::logic_error("String list does not allow
  // duplicates")).
  int Add(std::string_view s);
  int AddObject(std::string_view s, Object object);
  // Inserts at index (0..Count()); not allowed on a sorted list (std::logic_error).
  void Insert(int index, std::string_view s);
  void Delete(int index);
  void Clear() { items_.clear(); }

  // The index of the first entry equal to s ignoring case, or -1.
  int IndexOf(std::string_view s) const;

  // Entries of the form name=value.
  int IndexOfName(std::string_view name) const;     // -1 when no entry has that name
  std::string Names(int index) const;               // before the first "=", "" without one
  std::string ValueFromIndex(int index) const;      // after the first "=", "" without one
  std::string Values(std::string_view name) const;  // "" when the name is absent
  // Sets name=value; an empty value deletes the entry; a new name is added.
  void SetValue(std::string_view name, std::string_view value);

  // Sorting: setting Sorted sorts the list at once (stable) and keeps it sorted.
  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates d) { duplicates_ = d; }
  // Binary search of a sorted list: true and the index when found, else false and the
  // index where s would be inserted.
  bool Find(std::string_view s, int& index) const;

  // Comma text: the setter clears the list and splits at commas and at blanks (any byte
  // 1..32); a double quote starts a quoted item, in which "" stands for one quote; a comma at
  // the very end adds an empty item. The getter quotes (with quotes doubled) every item that
  // contains a byte 0..32, a quote or a comma; a single empty item is written as "".
  std::string CommaText() const;
  void SetCommaText(std::string_view text);

  // Text: each line followed by CR LF. The setter splits at CR LF, CR or LF.
  std::string Text() const;
  void SetText(std::string_view text);

  // ASCII case-insensitive comparison (<0, 0, >0) as used for lookup and sorting.
  static int CompareText(std::string_view a, std::string_view b);

 private:
  struct Item {
    std::string text;
    Object object = 0;
  };
  void CheckIndex(int index) const;
  void CheckUnsorted() const;

  std::vector<Item> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = TDuplicates::dupIgnore;
};

}  // namespace qvplatform
