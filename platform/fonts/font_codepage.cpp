#include "font_codepage.h"

#include "qvplatform/codepage.h"

namespace qvplatform::fonts {

UINT FontCodePage(BYTE charset) { return charset == 2 ? 0 : CodePageFromCharset(charset); }

std::u16string BytesToWide(UINT codePage, std::string_view bytes) {
  std::u16string out;
  if (bytes.empty()) return out;
  if (codePage == 0) {
    out.reserve(bytes.size());
    for (const char c : bytes) out.push_back(static_cast<unsigned char>(c));
    return out;
  }
  const int len = static_cast<int>(bytes.size() > 0x7FFFFFFF ? 0x7FFFFFFF : bytes.size());
  const int need = MultiByteToWideChar(codePage, 0, bytes.data(), len, nullptr, 0);
  if (need <= 0) return out;
  out.resize(static_cast<std::size_t>(need));
  const int got = MultiByteToWideChar(codePage, 0, bytes.data(), len, out.data(), need);
  out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return out;
}

std::string WideToBytes(UINT codePage, std::u16string_view text) {
  std::string out;
  if (text.empty()) return out;
  const int len = static_cast<int>(text.size() > 0x7FFFFFFF ? 0x7FFFFFFF : text.size());
  const int need = WideCharToMultiByte(codePage, 0, text.data(), len, nullptr, 0, nullptr, nullptr);
  if (need <= 0) return out;
  out.resize(static_cast<std::size_t>(need));
  const int got =
      WideCharToMultiByte(codePage, 0, text.data(), len, out.data(), need, nullptr, nullptr);
  out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return out;
}

std::string WideToUtf8(std::u16string_view text) { return WideToBytes(CP_UTF8, text); }

}  // namespace qvplatform::fonts
