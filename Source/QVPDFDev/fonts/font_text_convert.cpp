#include "QVPDFDev/fonts/font_text_convert.h"

#include <climits>

#include "qvplatform/codepage.h"

namespace vellora {
namespace {

// The platform takes int lengths; longer texts are cut (no text of a drawing is that long).
int ClampLength(std::size_t count) {
  return count > static_cast<std::size_t>(INT_MAX / 4) ? INT_MAX / 4 : static_cast<int>(count);
}

std::u16string ToUtf16(std::uint32_t codePage, const char* text, std::size_t count) {
  const int length = ClampLength(count);
  if (length == 0) return {};
  std::u16string out(static_cast<std::size_t>(length), u'\0');
  const int n = qvplatform::MultiByteToWideChar(
      codePage, 0, text, length, reinterpret_cast<qvplatform::WCHAR*>(out.data()), length);
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return out;
}

void FromUtf16(std::uint32_t codePage, const char16_t* text, std::size_t count, std::string& out,
               bool* usedDefault) {
  if (usedDefault) *usedDefault = false;
  out.clear();
  const int length = ClampLength(count);
  if (length == 0) return;
  const auto* wide = reinterpret_cast<const qvplatform::WCHAR*>(text);
  const bool utf8 = codePage == qvplatform::CP_UTF8;
  const int needed =
      qvplatform::WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return;
  out.resize(static_cast<std::size_t>(needed));
  bool used = false;
  const int n = qvplatform::WideCharToMultiByte(codePage, 0, wide, length, out.data(), needed,
                                                utf8 ? nullptr : "?", utf8 ? nullptr : &used);
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  if (usedDefault) *usedDefault = used;
}

}  // namespace

std::u16string FontUtf8ToUtf16(std::string_view text) {
  return ToUtf16(qvplatform::CP_UTF8, text.data(), text.size());
}

std::string FontUtf16ToUtf8(std::u16string_view text) {
  std::string out;
  FromUtf16(qvplatform::CP_UTF8, text.data(), text.size(), out, nullptr);
  return out;
}

std::u16string FontCodePageToUtf16(const std::uint8_t* text, std::size_t count,
                                   std::uint32_t codePage) {
  return ToUtf16(codePage, reinterpret_cast<const char*>(text), count);
}

void FontUtf16ToCodePage(const char16_t* text, std::size_t count, std::uint32_t codePage,
                         std::string& out, bool* usedDefault) {
  FromUtf16(codePage, text, count, out, usedDefault);
}

}  // namespace vellora
