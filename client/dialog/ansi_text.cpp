#include "brenlow/ansi_text.h"

#include <vector>

#include "qvplatform/codepage.h"

namespace brenlow {

QString FromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  std::vector<qvplatform::WCHAR> wide(text.size());
  const int n = qvplatform::MultiByteToWideChar(qvplatform::GetACP(), 0, text.data(), length,
                                                wide.data(), length);
  return QString::fromUtf16(wide.data(), n);
}

std::string ToAnsi(const QString& text) {
  if (text.isEmpty()) return {};
  const auto* units = reinterpret_cast<const qvplatform::WCHAR*>(text.utf16());
  const int length = static_cast<int>(text.size());
  // A single-byte page writes one byte a unit; a double-byte page at most two.
  std::string out(static_cast<std::size_t>(length) * 2, '\0');
  const int n = qvplatform::WideCharToMultiByte(qvplatform::GetACP(), 0, units, length, out.data(),
                                                static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return out;
}

}  // namespace brenlow
