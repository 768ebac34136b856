// Drawing commands in metafile comments: colour records that replace the text, stroke or fill
// colour, and command records handed to the command hooks.
//
// Colour record (28 bytes): target (1 text, 2 stroke, 3 fill; sign ignored), magic 291100,
// colour mode (below 4), four 32-bit float components.
// Command record: code, magic 120269 (system code page text) or 120270 (UTF-8 text), the
// rectangle left, top, right, bottom, the payload length, then the payload. All values are
// little-endian 32-bit.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "QVPdfDC/ps_device.h"
#include "qvplatform/codepage.h"
#include "qvplatform/numbers.h"

namespace vellora {

namespace {

constexpr std::int32_t kColorMagic = 291100;
constexpr std::int32_t kCommandMagicAnsi = 120269;
constexpr std::int32_t kCommandMagicUtf8 = 120270;
constexpr std::size_t kRecordHead = 28;
constexpr std::int32_t kLogicalRectLimit = 2000;  // codes below carry logical rectangles
constexpr std::int32_t kBinaryCodes = 3000;       // codes from here carry binary data

std::int32_t ReadInt32(const std::uint8_t* p) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | p[i];
  return static_cast<std::int32_t>(v);
}

std::int32_t Negated(std::int32_t v) { return qvplatform::ClampToInt32(-std::int64_t(v)); }

// A component that is not a number, or lies outside 0..1, would reach the content as such.
float SaneComponent(float c) {
  if (!std::isfinite(c)) return 0.0f;
  return std::clamp(c, 0.0f, 1.0f);
}

// UTF-8 text to the system code page; what the page cannot show becomes "?".
std::string Utf8ToSystemCodePage(const std::uint8_t* data, std::size_t size) {
  std::string out;
  if (size == 0 || size > 0x7FFFFFFF) return out;
  const char* src = reinterpret_cast<const char*>(data);
  const int n = static_cast<int>(size);
  const int wide = qvplatform::MultiByteToWideChar(qvplatform::CP_UTF8, 0, src, n, nullptr, 0);
  if (wide <= 0) return out;
  std::u16string units(static_cast<std::size_t>(wide), u'\0');
  qvplatform::MultiByteToWideChar(qvplatform::CP_UTF8, 0, src, n, units.data(), wide);
  const qvplatform::UINT page = qvplatform::GetACP();
  const int bytes =
      qvplatform::WideCharToMultiByte(page, 0, units.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return out;
  out.resize(static_cast<std::size_t>(bytes));
  bool usedDefault = false;
  const int written = qvplatform::WideCharToMultiByte(page, 0, units.data(), wide, out.data(),
                                                      bytes, "?", &usedDefault);
  out.resize(static_cast<std::size_t>(written > 0 ? written : 0));
  return out;
}

}  // namespace

qvplatform::RECTL TQVGenericPSDevice::CommandRectangle(const RECTL& stored, bool logical) {
  RECTL rect = stored;
  if (dcStack.yFlip) {
    rect.top = Negated(rect.top);
    rect.bottom = Negated(rect.bottom);
  }
  if (!logical) return rect;
  const POINTL a = TransformPoint(rect.left, rect.top);
  const POINTL b = TransformPoint(rect.right, rect.bottom);
  return RECTL{a.x, a.y, b.x, b.y};
}

void TQVGenericPSDevice::GdiComment(Bytes data) {
  const std::size_t size = data.size();
  if (size < kRecordHead) return;
  const std::uint8_t* p = data.data();
  const std::int32_t magic = ReadInt32(p + 4);

  if (size == kRecordHead && magic == kColorMagic) {
    const std::int64_t target = std::llabs(std::int64_t(ReadInt32(p)));
    const std::int32_t mode = ReadInt32(p + 8);
    if (target < 1 || target > 3 || mode >= 4) return;
    TQVColorRecord record;
    std::memcpy(&record, p, sizeof(record));
    for (float& c : record.c) c = SaneComponent(c);
    TQVColorRecord* records[] = {&textColorRecord, &strokeColorRecord, &fillColorRecord};
    *records[target - 1] = record;
    // The cached colour matches the GDI colour, not the record: write it again.
    if (WriterDepth() > 0) {
      TQVWriterStackVar& level = WriterState();
      if (target == 1) level.rewriteText = true;
      if (target == 2) level.rewritePen = true;
      if (target == 3) level.rewriteBrush = true;
    }
    return;
  }

  if (magic != kCommandMagicAnsi && magic != kCommandMagicUtf8) return;
  const std::uint32_t length = static_cast<std::uint32_t>(ReadInt32(p + 24));
  // 64-bit: a length near 2^32 must not wrap the test.
  if (std::uint64_t(length) + kRecordHead > size || length > 0x7FFFFFFF) return;
  const std::int32_t code = ReadInt32(p);
  commandRecordRect =
      RECTL{ReadInt32(p + 8), ReadInt32(p + 12), ReadInt32(p + 16), ReadInt32(p + 20)};
  const RECTL rect = CommandRectangle(commandRecordRect, code < kLogicalRectLimit);
  const std::uint8_t* payload = p + kRecordHead;
  bool handled = false;
  if (code >= kBinaryCodes) {
    HandleTaggingCommand(rect, code, payload, static_cast<std::int32_t>(length), handled);
    return;
  }
  // A local string: a handler may draw a metafile whose comments come back here.
  std::string text = magic == kCommandMagicUtf8
                         ? Utf8ToSystemCodePage(payload, length)
                         : std::string(reinterpret_cast<const char*>(payload), length);
  if (!text.empty() && text.back() == '\0') text.pop_back();
  HandleEmbeddedCommand(rect, code, text, handled);
}

}  // namespace vellora
