// The cross-reference list of a document: one text entry per object number. Entry 0 is the
// head of the free list; an object whose number is taken before it is written holds
// "undef " + its class name until it is written, and is written as free if it never is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellora {

class TQVPDFXRefList {
 public:
  static constexpr std::string_view kFreeEntry = "0000000000 65535 f";
  static constexpr std::string_view kReservedPrefix = "undef ";

  TQVPDFXRefList() { Reset(); }

  // Back to the single entry 0.
  void Reset();

  std::int32_t Count() const { return static_cast<std::int32_t>(entries_.size()); }
  const std::string& Entry(std::int32_t number) const { return entries_.at(Index(number)); }
  bool IsReserved(std::int32_t number) const;

  // Appends an entry and returns its number.
  std::int32_t Add(std::string entry);
  void Set(std::int32_t number, std::string entry) {
    entries_.at(Index(number)) = std::move(entry);
  }

  // "0000001234 00000 n": the offset as ten digits. Raises for offsets of more than ten digits.
  static std::string InUseEntry(std::uint64_t offset);
  // "0000001234 00002 n": with the object's generation (objects of an input PDF).
  static std::string InUseEntry(std::uint64_t offset, std::uint16_t generation);

  // The entry as the table shows it: reservations become kFreeEntry.
  std::string_view TableEntry(std::int32_t number) const;

 private:
  static std::size_t Index(std::int32_t number) {
    return number < 0 ? static_cast<std::size_t>(-1) : static_cast<std::size_t>(number);
  }
  std::vector<std::string> entries_;
};

}  // namespace vellora
