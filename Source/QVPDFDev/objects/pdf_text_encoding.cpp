#include "QVPDFDev/objects/pdf_text_encoding.h"

#include <climits>
#include <stdexcept>

#include "qvplatform/codepage.h"

namespace vellora {

std::string UTF16ToUTF16BE(std::u16string_view text) {
  std::string out;
  if (text.empty()) return out;
  out.reserve(2 + 2 * text.size());
  out += '\xFE';
  out += '\xFF';
  for (char16_t unit : text) {
    out += static_cast<char>(unit >> 8);
    out += static_cast<char>(unit & 0xFF);
  }
  return out;
}

std::string UTF8ToUTF16BE(std::string_view text) {
  if (text.empty()) return {};
  if (text.size() > INT_MAX) throw std::runtime_error("Text too long");
  const int srcLen = static_cast<int>(text.size());
  // UTF-8 never needs more UTF-16 units than it has bytes.
  std::u16string wide(text.size(), u'\0');
  const int n = qvplatform::MultiByteToWideChar(qvplatform::CP_UTF8, 0, text.data(), srcLen,
                                                wide.data(), srcLen);
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return UTF16ToUTF16BE(wide);
}

std::string WideToCodePage(std::u16string_view text, std::uint32_t codePage) {
  std::string out;
  if (text.empty()) return out;
  if (text.size() > INT_MAX / 3) throw std::runtime_error("Text too long");
  const int srcLen = static_cast<int>(text.size());
  out.resize(3 * text.size());  // UTF-8 needs at most three bytes per unit
  bool usedDefault = false;
  const int n =
      qvplatform::WideCharToMultiByte(codePage, 0, text.data(), srcLen, out.data(),
                                      static_cast<int>(out.size()), nullptr, &usedDefault);
  if (n <= 0) {
    // An unknown code page: the system page.
    const int m =
        qvplatform::WideCharToMultiByte(qvplatform::CP_ACP, 0, text.data(), srcLen, out.data(),
                                        static_cast<int>(out.size()), nullptr, &usedDefault);
    out.resize(m > 0 ? static_cast<std::size_t>(m) : 0);
    return out;
  }
  out.resize(static_cast<std::size_t>(n));
  return out;
}

std::u16string CodePageToWide(std::string_view text, std::uint32_t codePage) {
  std::u16string out;
  if (text.empty()) return out;
  if (text.size() > INT_MAX) throw std::runtime_error("Text too long");
  const int srcLen = static_cast<int>(text.size());
  // One byte never gives more than one UTF-16 unit.
  out.resize(text.size());
  const auto decode = [&](qvplatform::UINT page) {
    return qvplatform::MultiByteToWideChar(page, 0, text.data(), srcLen, out.data(), srcLen);
  };
  int n = codePage == 0 ? 0 : decode(codePage);
  if (n <= 0) n = decode(qvplatform::CP_ACP);
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return out;
}

}  // namespace vellora
