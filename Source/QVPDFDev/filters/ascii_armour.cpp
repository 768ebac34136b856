#include "QVPDFDev/filters/ascii_armour.h"

#include <algorithm>
#include <stdexcept>

namespace vellora {
namespace {

// PDF white space: NUL, tab, LF, FF, CR, blank.
bool IsWhite(std::uint8_t c) {
  return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32;
}

int HexValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::vector<std::uint8_t> ASCII85EncodeBytes(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> out;
  out.reserve(size / 4 * 5 + size / 64 + 8);
  int column = 1;
  for (std::size_t i = 0; i < size; i += 4) {
    const std::size_t n = std::min<std::size_t>(4, size - i);
    std::uint32_t value = 0;
    for (std::size_t k = 0; k < 4; ++k) value = value << 8 | (k < n ? data[i + k] : 0);
    if (n == 4 && value == 0) {
      out.push_back('z');
      column += 1;
    } else {
      char digits[5];
      for (int k = 4; k >= 0; --k) {
        digits[k] = static_cast<char>('!' + value % 85);
        value /= 85;
      }
      out.insert(out.end(), digits, digits + n + 1);
      column += 5;
    }
    if (column >= 80) {
      out.push_back('\n');
      column = 1;
    }
  }
  out.push_back('~');
  out.push_back('>');
  out.push_back('\n');
  return out;
}

std::vector<std::uint8_t> ASCII85DecodeBytes(const std::uint8_t* data, std::size_t size,
                                             std::size_t maxOutput) {
  std::vector<std::uint8_t> out;
  out.reserve(std::min(size / 5 * 4 + 4, maxOutput));
  std::uint64_t value = 0;
  int count = 0;
  auto emit = [&](int bytes) {
    if (maxOutput - out.size() < static_cast<std::size_t>(bytes))
      throw std::runtime_error("decoded data exceeds the size limit");
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<std::uint8_t>(value >> (24 - 8 * k)));
  };
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t c = data[i];
    if (c < '!') continue;  // white space and any other control byte
    if (c == '~') {
      if (i + 1 < size && data[i + 1] != '>') throw std::runtime_error("Encoding Error");
      break;
    }
    if (c == 'z') {
      if (count != 0) throw std::runtime_error("Encoding Error");
      value = 0;
      emit(4);
      continue;
    }
    if (c < '!' || c > 'u') throw std::runtime_error("Encoding Error");
    value = value * 85 + (c - '!');
    if (++count == 5) {
      if (value > 0xFFFFFFFFu) throw std::runtime_error("Encoding Error");
      emit(4);
      value = 0;
      count = 0;
    }
  }
  if (count == 1) throw std::runtime_error("Encoding Error");
  if (count > 1) {
    // Complete the group with "u" (84) and keep count - 1 bytes.
    for (int k = count; k < 5; ++k) value = value * 85 + 84;
    if (value > 0xFFFFFFFFu) throw std::runtime_error("Encoding Error");
    emit(count - 1);
  }
  return out;
}

std::vector<std::uint8_t> ASCIIHexEncodeBytes(const std::uint8_t* data, std::size_t size) {
  static constexpr std::uint8_t kDigits[] = {'0', '1', '2', '3', '4', '5', '6', '7',
                                             '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
  std::vector<std::uint8_t> out;
  out.reserve(size * 2 + size / 40 + 2);
  for (std::size_t i = 0; i < size; ++i) {
    out.push_back(kDigits[data[i] >> 4]);
    out.push_back(kDigits[data[i] & 15]);
    if ((i + 1) % 40 == 0) out.push_back('\n');
  }
  out.push_back('>');
  out.push_back('\n');
  return out;
}

std::vector<std::uint8_t> ASCIIHexDecodeBytes(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> out;
  out.reserve(size / 2 + 1);
  int high = -1;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t c = data[i];
    if (IsWhite(c)) continue;
    if (c == '>') break;
    const int v = HexValue(c);
    if (v < 0) throw std::runtime_error("Encoding Error");
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<std::uint8_t>(high << 4 | v));
      high = -1;
    }
  }
  if (high >= 0) out.push_back(static_cast<std::uint8_t>(high << 4));
  return out;
}

}  // namespace vellora
