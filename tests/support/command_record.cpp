#include "command_record.h"

namespace vellora_test {
namespace {

template <class Out>
void Put32(Out& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> CommandRecord(std::int32_t code, std::uint32_t magic, qvplatform::RECTL r,
                                        const std::string& payload, std::uint32_t length) {
  std::string b;
  Put32(b, static_cast<std::uint32_t>(code));
  Put32(b, magic);
  for (const std::int32_t v : {r.left, r.top, r.right, r.bottom})
    Put32(b, static_cast<std::uint32_t>(v));
  Put32(b, length);
  b += payload;
  return {b.begin(), b.end()};
}

std::vector<std::uint8_t> CommandRecord(std::int32_t code, std::uint32_t magic, qvplatform::RECTL r,
                                        const std::string& payload) {
  return CommandRecord(code, magic, r, payload, static_cast<std::uint32_t>(payload.size()));
}

std::vector<std::uint8_t> UnicodeCommandRecord(std::int32_t code, qvplatform::RECTL r,
                                               const std::u16string& text,
                                               std::size_t trailingBytes) {
  std::string b;
  Put32(b, static_cast<std::uint32_t>(code));
  Put32(b, kUnicodeCommand);
  for (const std::int32_t v : {r.left, r.top, r.right, r.bottom})
    Put32(b, static_cast<std::uint32_t>(v));
  b.append(24, '\0');
  Put32(b, static_cast<std::uint32_t>(2 * text.size()));
  for (const char16_t unit : text) {
    b.push_back(static_cast<char>(unit & 0xFF));
    b.push_back(static_cast<char>(unit >> 8));
  }
  b.append(trailingBytes, '\0');
  return {b.begin(), b.end()};
}

std::string TaggingPayload(std::int32_t identifier, std::int32_t parent, std::uint8_t flags,
                           const std::string& type, const std::string& items) {
  std::string b;
  Put32(b, static_cast<std::uint32_t>(identifier));
  Put32(b, static_cast<std::uint32_t>(parent));
  b.push_back(static_cast<char>(flags));
  b.append(7, '\0');
  std::string field = type.substr(0, 16);
  field.resize(16, '\0');
  return b + field + items;
}

}  // namespace vellora_test
