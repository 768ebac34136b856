#include "QVPDFDev/objects/pdf_name_escape.h"

#include <array>
#include <cstdint>

namespace vellora {
namespace {

constexpr std::array<bool, 256> MakeRegularTable() {
  std::array<bool, 256> table{};
  for (int c = '!'; c <= '~'; ++c) table[static_cast<std::size_t>(c)] = true;
  for (char c : std::string_view("#()<>[]{}/%")) table[static_cast<std::uint8_t>(c)] = false;
  return table;
}

constexpr std::array<bool, 256> kRegular = MakeRegularTable();

}  // namespace

void AppendEscapedName(std::string& out, std::string_view name) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (char ch : name) {
    const auto c = static_cast<std::uint8_t>(ch);
    if (kRegular[c]) {
      out += ch;
    } else if (c != 0) {
      out += '#';
      out += kDigits[c >> 4];
      out += kDigits[c & 15];
    }
  }
}

std::string EscapeName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  AppendEscapedName(out, name);
  return out;
}

}  // namespace vellora
