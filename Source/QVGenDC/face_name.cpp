#include "QVGenDC/face_name.h"

#include <cstdint>

namespace vellora {

namespace {

using qvplatform::LOGFONTW;
using qvplatform::WCHAR;

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsHigh(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Decodes one code point at text[pos], advancing pos; ill-formed input yields U+FFFD and
// consumes at least one byte.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(pos++);
  if (lead < 0x80) return lead;
  int extra;
  char32_t c;
  char32_t min;
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, c = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, c = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, c = lead & 0x07, min = 0x10000;
  } else {
    return kReplacement;
  }
  for (int i = 0; i < extra; ++i) {
    if (pos >= text.size() || (byte(pos) & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (byte(pos++) & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  return c;
}

}  // namespace

std::string FaceNameText(const LOGFONTW& font) {
  std::string text;
  const WCHAR* face = font.lfFaceName;
  for (int i = 0; i < kMaxFaceNameLength && face[i] != 0; ++i) {
    char32_t u = face[i];
    if (IsHigh(u) && i + 1 < kMaxFaceNameLength && IsLow(face[i + 1])) {
      u = 0x10000 + ((u - 0xD800) << 10) + (face[i + 1] - 0xDC00);
      ++i;
    } else if (IsHigh(u) || IsLow(u)) {
      u = kReplacement;
    }
    AppendUtf8(text, u);
  }
  return text;
}

void AssignFaceName(LOGFONTW& font, std::string& text, std::string_view name) {
  int n = 0;
  std::size_t pos = 0;
  while (pos < name.size()) {
    const char32_t c = DecodeUtf8(name, pos);
    if (c == 0) break;
    if (c >= 0x10000) {
      if (n + 2 > kMaxFaceNameLength) break;
      font.lfFaceName[n++] = static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10));
      font.lfFaceName[n++] = static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      if (n + 1 > kMaxFaceNameLength) break;
      font.lfFaceName[n++] = static_cast<WCHAR>(c);
    }
  }
  for (int i = n; i < qvplatform::LF_FACESIZE; ++i) font.lfFaceName[i] = 0;
  text = FaceNameText(font);
}

}  // namespace vellora
