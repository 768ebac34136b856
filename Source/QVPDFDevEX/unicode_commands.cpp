// Record 291102: a command of a metafile comment with a rectangle (logical units, mapped as
// the 8-bit command records map theirs) and UTF-16 text. Little-endian: code (0), identifier
// 291102 (4), left, top, right, bottom (8..23), 24 bytes not read, the text's length n in
// bytes (48), the text (52, n / 2 units, no terminator). Only a payload of exactly 52 + n
// bytes is this record; any other goes to the PDF device.
#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

#include "QVPDFDev/device/command_codes.h"
#include "QVPDFDev/navigation/link_target.h"
#include "QVPDFDev/objects/pdf_text_encoding.h"
#include "QVPDFDev/pages/pdf_page.h"
#include "QVPDFDevEX/ascii_upper.h"
#include "QVPDFDevEX/field_command_codes.h"
#include "QVPDFDevEX/pdf_device_ex.h"
#include "QVPdfDC/pdf_string_escape.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

// The codes 501 to 506 and 512 mean what they mean to the PDF device; the rest are the
// extended device's.
using command_codes::kBitmapName;
using command_codes::kBookmark;
using command_codes::kBookmarkDeeper;
using command_codes::kBookmarkHigher;
using command_codes::kLink;
using command_codes::kLocalDestination;
using command_codes::kPlaceForm;
using namespace field_command_codes;

constexpr std::uint32_t kUnicodeRecordIdentifier = 291102;
constexpr std::size_t kTextOffset = 52;

std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
std::int32_t LeInt32(const std::uint8_t* p) { return static_cast<std::int32_t>(Le32(p)); }

std::string Narrow(std::u16string_view text) { return WideToCodePage(text, 1252); }

// Points of the output to device units of the page.
std::int32_t DeviceUnits(std::int32_t points, std::int32_t resolution) {
  return qvplatform::ClampToInt32(std::llround(points * static_cast<long double>(resolution) / 72));
}

// The 8-bit dictionary text of a UTF-16 one: literal strings holding characters beyond ASCII
// become text strings (FE FF and UTF-16BE), so that nothing is lost to a code page; the rest
// is ASCII in any text that makes a valid dictionary.
std::string DictionaryText(std::u16string_view text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != u'(') {
      const std::size_t next = std::min(text.find(u'(', i), text.size());
      out += Narrow(text.substr(i, next - i));
      i = next;
      continue;
    }
    // The string's units up to its closing ")", escapes kept as they are.
    std::size_t end = i + 1;
    int depth = 1;
    for (; end < text.size() && depth > 0; ++end) {
      if (text[end] == u'\\') {
        ++end;
      } else if (text[end] == u'(') {
        ++depth;
      } else if (text[end] == u')') {
        --depth;
      }
    }
    if (depth > 0) {  // an open string: the dictionary check refuses it
      out += Narrow(text.substr(i));
      break;
    }
    const std::u16string_view body = text.substr(i + 1, end - i - 2);
    if (std::all_of(body.begin(), body.end(), [](char16_t c) { return c < 128; })) {
      out += "(" + Narrow(body) + ")";
    } else {
      // Escapes are undone by the reader: only the characters themselves are kept.
      std::u16string units;
      for (std::size_t k = 0; k < body.size(); ++k) {
        if (body[k] == u'\\' && k + 1 < body.size()) ++k;
        units += body[k];
      }
      const std::string bytes = UTF16ToUTF16BE(units);
      out += "(" + EscapeDelimiters(bytes.data(), bytes.size()) + ")";
    }
    i = end;
  }
  return out;
}

struct Parts {
  std::u16string name, value;
  bool found = false;
};

// Split at the first "=": without one the name is "UNKNOWN" and the value empty.
Parts SplitNameValue(const std::u16string& text) {
  const std::size_t at = text.find(u'=');
  if (at == std::u16string::npos) return {u"UNKNOWN", {}, false};
  return {text.substr(0, at), text.substr(at + 1), true};
}

}  // namespace

void TQVPDFDeviceEX::GdiComment(Bytes data) {
  const std::uint8_t* p = data.data();
  if (data.size() < kTextOffset || Le32(p + 4) != kUnicodeRecordIdentifier ||
      data.size() - kTextOffset != Le32(p + 48)) {
    TQVPDFDevice::GdiComment(data);
    return;
  }
  const RECTL stored{LeInt32(p + 8), LeInt32(p + 12), LeInt32(p + 16), LeInt32(p + 20)};
  const std::size_t units = (data.size() - kTextOffset) / 2;
  std::u16string text(units, u'\0');
  for (std::size_t i = 0; i < units; ++i)
    text[i] = static_cast<char16_t>(p[kTextOffset + 2 * i] | p[kTextOffset + 2 * i + 1] << 8);
  if (Catalog() == nullptr) return;
  HandleUnicodeCommand(CommandRectangle(stored, true), stored, LeInt32(p), text);
}

void TQVPDFDeviceEX::HandleUnicodeCommand(const RECTL& rect, const RECTL& stored, std::int32_t code,
                                          const std::u16string& text) {
  const std::int32_t width = qvplatform::ClampToInt32(std::int64_t{rect.right} - rect.left);
  const std::int32_t height = qvplatform::ClampToInt32(std::int64_t{rect.bottom} - rect.top);
  switch (code) {
    case kLink:
      if (OnPage()) AddLinkArea(rect.left, rect.top, width, height, Narrow(text), {});
      return;
    case kLocalDestination:
      AddNamedDest(Narrow(text), DeviceUnits(rect.left, xResolution),
                   DeviceUnits(rect.top, yResolution), false);
      return;
    case kBookmark:
    case kBookmarkDeeper:
    case kBookmarkHigher:
      AddUnicodeBookmark(rect, code, text);
      return;
    case kPlaceForm:
      if (OnPage() && EnsureOutputOpen())
        DrawXForm(Narrow(text), 0, rect.left, width, height, rect.top);
      return;
    case kFieldNamed:
    case kField: {
      if (!OnPage()) return;
      std::string fieldText = DictionaryText(text);
      if (code == kFieldNamed) fieldText += "/T(Field" + std::to_string(formFieldCounter) + ")";
      try {
        AddFieldWidget(fieldText, {rect.left, rect.top, rect.right, rect.bottom});
      } catch (const std::runtime_error&) {
        // A text that does not close makes no field.
      }
      return;
    }
    case kBitmapName:
      pendingBitmapName = Narrow(text);
      return;
    case kJavaScript: {
      const Parts parts = SplitNameValue(text);
      if (parts.found) AddJavaScriptAction(Narrow(parts.name), parts.value);
      return;
    }
    case kOpenAction: {
      const Parts parts = SplitNameValue(text);
      if (parts.found)
        AddOpenAction(AsciiUpper(Narrow(parts.name)), AsciiUpper(Narrow(parts.value)));
      return;
    }
    case kSplitAtBlanks:
      splitAtBlanks = stored.left != 0;
      return;
    case kExactPositioning:
      forceExactPositioning = stored.left != 0;
      return;
    case kPageText:
      if (!text.empty() && OnPage()) {
        TQVPDFPage& page = *CurrentPage();
        if (const std::optional<std::string> rewritten =
                RewrittenActionText(page, DictionaryText(text)))
          page.SetExtraDictionaryText(page.ExtraDictionaryText() + *rewritten);
      }
      return;
    default:
      return;
  }
}

// Bookmarks of record 291102 file a little differently from the 8-bit commands: 503 without
// a pending level ends the top level, 504 with a title stays on the same level.
void TQVPDFDeviceEX::AddUnicodeBookmark(const RECTL& rect, std::int32_t code,
                                        const std::u16string& text) {
  const Parts parts = SplitNameValue(text);
  std::int32_t& level = PendingOutlineLevel();
  const auto entry = [&] {
    TQVOutlineTarget target;
    target.destName = Narrow(parts.name);
    target.left = DeviceUnits(rect.left, xResolution);
    target.top = DeviceUnits(rect.top, yResolution);
    return TQVPDFOutlineNode::CreateWide(this, options.text.outlineCharset, parts.value,
                                         std::move(target));
  };
  const bool titled = !parts.value.empty();
  if (code == kBookmark) {
    if (level != 0)
      AddOutline(entry(), 3, level);
    else
      AddOutline(entry(), 5, 0);
    level = 0;
  } else if (titled) {
    AddOutline(entry(), code == kBookmarkDeeper ? 1 : 2, 0);
    level = 0;
  } else {
    level += code == kBookmarkDeeper ? 1 : -1;
  }
}

}  // namespace vellora
