#include "QVPDFDev/file/pdf_xref_list.h"

#include <limits>
#include <stdexcept>

namespace vellora {

void TQVPDFXRefList::Reset() {
  entries_.clear();
  entries_.emplace_back(kFreeEntry);
}

bool TQVPDFXRefList::IsReserved(std::int32_t number) const {
  return Entry(number).find("undef") != std::string::npos;
}

std::int32_t TQVPDFXRefList::Add(std::string entry) {
  if (entries_.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    throw std::runtime_error("Too many objects");
  entries_.push_back(std::move(entry));
  return static_cast<std::int32_t>(entries_.size() - 1);
}

std::string TQVPDFXRefList::InUseEntry(std::uint64_t offset) {
  if (offset > 9999999999ull) throw std::runtime_error("File offset too large for the xref table");
  std::string entry = "0000000000 00000 n";
  for (int i = 9; i >= 0; --i) {
    entry[static_cast<std::size_t>(i)] = static_cast<char>('0' + offset % 10);
    offset /= 10;
  }
  return entry;
}

std::string TQVPDFXRefList::InUseEntry(std::uint64_t offset, std::uint16_t generation) {
  std::string entry = InUseEntry(offset);
  for (std::size_t i = 15; i >= 11; --i) {
    entry[i] = static_cast<char>('0' + generation % 10);
    generation = static_cast<std::uint16_t>(generation / 10);
  }
  return entry;
}

std::string_view TQVPDFXRefList::TableEntry(std::int32_t number) const {
  const std::string& entry = Entry(number);
  if (entry.find("undef") != std::string::npos) return kFreeEntry;
  return entry;
}

}  // namespace vellora
