#include "QVPdfDC/pdf_string_escape.h"

#include <array>
#include <climits>
#include <cstdint>
#include <stdexcept>

#include "qvplatform/codepage.h"

namespace vellora {

namespace {

// What a byte becomes: kPass as it is, kPrefix behind a backslash, kOctal as three octal
// digits behind a backslash, any other value is the letter of a backslash escape.
constexpr char kPass = 0;
constexpr char kPrefix = 1;
constexpr char kOctal = 2;

constexpr void SetCommon(std::array<char, 256>& t) {
  t['('] = kPrefix;
  t[')'] = kPrefix;
  t['\\'] = kPrefix;
  t['\r'] = 'r';
  t['\n'] = 'n';
}

constexpr std::array<char, 256> MakeFullTable() {
  std::array<char, 256> t{};
  for (std::size_t b = 0; b < 256; ++b) t[b] = (b < 32 || b > 127) ? kOctal : kPass;
  SetCommon(t);
  t['\b'] = 'b';
  t['\t'] = 't';
  return t;
}

constexpr std::array<char, 256> MakeDelimiterTable() {
  std::array<char, 256> t{};
  SetCommon(t);
  return t;
}

constexpr std::array<char, 256> kFull = MakeFullTable();
constexpr std::array<char, 256> kDelimiters = MakeDelimiterTable();

inline std::size_t EscapeWith(const std::array<char, 256>& table, char* out, const void* bytes,
                              std::size_t count) {
  const auto* in = static_cast<const std::uint8_t*>(bytes);
  char* o = out;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t b = in[i];
    const char what = table[b];
    if (what == kPass) {
      *o++ = static_cast<char>(b);
    } else if (what == kPrefix) {
      *o++ = '\\';
      *o++ = static_cast<char>(b);
    } else if (what == kOctal) {
      *o++ = '\\';
      *o++ = static_cast<char>('0' + (b >> 6));
      *o++ = static_cast<char>('0' + ((b >> 3) & 7));
      *o++ = static_cast<char>('0' + (b & 7));
    } else {
      *o++ = '\\';
      *o++ = what;
    }
  }
  return static_cast<std::size_t>(o - out);
}

}  // namespace

std::size_t EscapeBytesInto(char* out, const void* bytes, std::size_t count) {
  return EscapeWith(kFull, out, bytes, count);
}

void AppendEscapedBytes(std::string& out, const void* bytes, std::size_t count) {
  if (count == 0) return;
  const std::size_t start = out.size();
  out.resize(start + EscapedBytesMaxSize(count));
  out.resize(start + EscapeBytesInto(out.data() + start, bytes, count));
}

std::string EscapeBytes(const void* bytes, std::size_t count) {
  std::string out;
  AppendEscapedBytes(out, bytes, count);
  return out;
}

std::string EscapeString(std::string_view text) { return EscapeBytes(text.data(), text.size()); }

std::size_t EscapeDelimitersInto(char* out, const void* bytes, std::size_t count) {
  return EscapeWith(kDelimiters, out, bytes, count);
}

void AppendEscapedDelimiters(std::string& out, const void* bytes, std::size_t count) {
  if (count == 0) return;
  const std::size_t start = out.size();
  out.resize(start + EscapedDelimitersMaxSize(count));
  out.resize(start + EscapeDelimitersInto(out.data() + start, bytes, count));
}

std::string EscapeDelimiters(const void* bytes, std::size_t count) {
  std::string out;
  AppendEscapedDelimiters(out, bytes, count);
  return out;
}

std::string EscapeWideText(std::u16string_view text) {
  return EscapeDelimiters(text.data(), text.size() * sizeof(char16_t));
}

std::string EscapeText(const char* text, bool utf8) {
  if (text == nullptr || *text == '\0') return {};
  const std::string_view view(text);
  if (!utf8) return EscapeString(view);
  if (view.size() > INT_MAX / 2) throw std::length_error("Text too long");
  // UTF-8 never gives more units than bytes; one more for the marker FE FF.
  const int length = static_cast<int>(view.size());
  std::u16string units(view.size() + 1, u'\0');
  units[0] = u'\xFEFF';
  const int count = qvplatform::MultiByteToWideChar(qvplatform::CP_UTF8, 0, view.data(), length,
                                                    units.data() + 1, length);
  units.resize(static_cast<std::size_t>(count) + 1);
  SwapBytes16(units.data(), units.size() * 2);
  return EscapeWideText(units);
}

void SwapBytes16(void* bytes, std::size_t count) {
  auto* p = static_cast<std::uint8_t*>(bytes);
  for (std::size_t i = 0; i + 1 < count; i += 2) {
    const std::uint8_t t = p[i];
    p[i] = p[i + 1];
    p[i + 1] = t;
  }
}

}  // namespace vellora
