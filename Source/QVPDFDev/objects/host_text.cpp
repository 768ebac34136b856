#include "QVPDFDev/objects/host_text.h"

#include <algorithm>
#include <climits>

#include "qvplatform/codepage.h"

namespace vellora {

std::u16string DecodeHostText(std::string_view text, bool utf8) {
  if (text.empty()) return {};
  // Longer texts are cut: no text a host sets is anywhere near this long.
  const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX / 2));
  // One byte never gives more than one UTF-16 unit, in 1252 or in UTF-8.
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  const int n = qvplatform::MultiByteToWideChar(utf8 ? qvplatform::CP_UTF8 : qvplatform::CP_ACP, 0,
                                                text.data(), length, wide.data(), length);
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return wide;
}

}  // namespace vellora
