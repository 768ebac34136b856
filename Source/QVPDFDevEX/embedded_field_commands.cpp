// The extended device's 8-bit commands of metafile comments: form fields and their settings,
// JavaScript and open actions, page dictionary text, and two text-output flags. They run
// when the PDF device's handler left a command unhandled. Field commands with no page to
// carry the field are skipped, as link commands are; so are fields whose text would break
// the file.
#include <algorithm>
#include <charconv>
#include <optional>
#include <stdexcept>
#include <string>

#include "QVPDFDev/navigation/link_target.h"
#include "QVPDFDev/navigation/pdf_link.h"
#include "QVPDFDev/pages/pdf_page.h"
#include "QVPDFDevEX/ascii_upper.h"
#include "QVPDFDevEX/field_command_codes.h"
#include "QVPDFDevEX/pdf_acro_form.h"
#include "QVPDFDevEX/pdf_catalog_ex.h"
#include "QVPDFDevEX/pdf_device_ex.h"

namespace vellora {
namespace {

using namespace field_command_codes;

constexpr std::string_view kHintMarker = "@@HINT@@";

std::optional<std::int32_t> Integer(std::string_view text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A size text a /DA can carry: a plain decimal number.
bool IsSizeText(std::string_view text) {
  if (text.empty() || text.size() > 16) return false;
  bool digit = false, point = false;
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

// The text before and after the first separator; no separator: all of it before.
std::pair<std::string, std::string> SplitAt(const std::string& text, std::string_view separator,
                                            bool& found) {
  const std::size_t at = text.find(separator);
  found = at != std::string::npos;
  if (!found) return {text, {}};
  return {text.substr(0, at), text.substr(at + separator.size())};
}

TQVPDFRect PointsRect(const qvplatform::RECTL& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

void TQVPDFDeviceEX::HandleEmbeddedCommand(const RECTL& rect, std::int32_t code,
                                           const std::string& text, bool& handled) {
  TQVPDFDevice::HandleEmbeddedCommand(rect, code, text, handled);
  if (handled || Catalog() == nullptr) return;
  handled = HandleFieldCommand(rect, code, text);
}

bool TQVPDFDeviceEX::HandleFieldCommand(const RECTL& rect, std::int32_t code,
                                        const std::string& text) {
  bool found = false;
  switch (code) {
    case kFieldNamed:
    case kField:
      if (!OnPage()) return true;
      try {
        AddFieldWidget(
            code == kField ? text : text + "/T(Field" + std::to_string(formFieldCounter) + ")",
            PointsRect(rect));
      } catch (const std::runtime_error&) {
        // A text that does not close makes no field.
      }
      return true;
    case kCheckBox:
      if (OnPage()) AddCheckBoxCommand(rect, text);
      return true;
    case kFieldFont:
      if (IsFormFontName(text)) fieldSettings.fontName = text;
      return true;
    case kFieldAlignment:
      if (text == "0" || text == "1" || text == "2") fieldSettings.alignment = text;
      return true;
    case kFieldSettings:
      ApplyFieldSetting(text);
      return true;
    case kTextField:
    case kTextFieldOutput:
      if (OnPage()) AddTextFieldCommand(rect, text);
      return true;
    case kJavaScript: {
      const auto [name, script] = SplitAt(text, "=", found);
      if (found) AddJavaScriptAction(name, FieldText(script));
      return true;
    }
    case kOpenAction: {
      const auto [event, action] = SplitAt(text, "=", found);
      if (found) AddOpenAction(AsciiUpper(event), AsciiUpper(action));
      return true;
    }
    // The flag is the record's own first value: the mapping of the rectangle would turn a 0
    // into something else under an origin or a scale.
    case kSplitAtBlanks:
      splitAtBlanks = commandRecordRect.left != 0;
      return true;
    case kExactPositioning:
      forceExactPositioning = commandRecordRect.left != 0;
      return true;
    case kPageText:
      if (OnPage()) {
        TQVPDFPage& page = *CurrentPage();
        // Its strings through the page's string writer; a text that would break the page's
        // dictionary is left out.
        if (const std::optional<std::string> rewritten = RewrittenActionText(page, text))
          page.SetExtraDictionaryText(page.ExtraDictionaryText() + *rewritten);
      }
      return true;
    case kFieldTrueTypeFont:
      fieldSettings.trueTypeFont = text;
      return true;
    case kFieldCharset:
      fieldSettings.charset = Integer(text).value_or(1);
      return true;
    default:
      return false;
  }
}

void TQVPDFDeviceEX::ApplyFieldSetting(const std::string& text) {
  bool found = false;
  const auto [rawKey, value] = SplitAt(text, "=", found);
  if (!found) return;
  const std::string key = AsciiUpper(rawKey);
  if (key == "RESET") {
    fieldSettings.Reset();
  } else if (key == "MULTI") {
    fieldSettings.multiLine = value == "1";
  } else if (key == "SIZE") {
    fieldSettings.fontSize = value;
  } else if (key == "CODEPAGE") {
    fieldSettings.codePage = Integer(value).value_or(0);
  } else if (key == "FONT") {
    fieldSettings.fontName = value;
  } else if (key == "FONTEX") {
    fieldSettings.trueTypeFont = value;
  } else if (key == "CHARSET") {
    fieldSettings.charset = Integer(value).value_or(0);
  } else if (key == "BORDER") {
    if (value == "1")
      fieldSettings.border |= TQVFieldSettings::kBorder;
    else
      fieldSettings.border &= ~TQVFieldSettings::kBorder;
  }
}

void TQVPDFDeviceEX::AddCheckBoxCommand(const RECTL& rect, const std::string& text) {
  bool hinted = false, named = false;
  const auto [field, tooltip] = SplitAt(text, kHintMarker, hinted);
  auto [name, value] = SplitAt(field, "=", named);
  if (!named) {
    value = name;
    name.clear();
  }
  if (name.empty()) name = "Field" + std::to_string(formFieldCounter);
  const std::string lower = AsciiUpper(value);
  const bool checked = value == "1" || lower == "TRUE";
  TQVPDFLink* widget = AddFieldWidget(
      checked ? "003/Ff 0/FT/Btn/V/Yes/AS/Yes" : "003/Ff 0/FT/Btn/V/Off/AS/Off", PointsRect(rect));
  std::string entries;
  if (hinted && !tooltip.empty()) entries += "/TU(" + widget->EncodeText(FieldText(tooltip)) + ")";
  entries += "/T(" + widget->EncodeText(FieldText(name)) + ")\r";
  widget->SetDictionaryText(widget->DictionaryText() + entries);
}

void TQVPDFDeviceEX::AddTextFieldCommand(const RECTL& rect, const std::string& given) {
  std::string name = "Field" + std::to_string(formFieldCounter);
  std::string text = given;
  const std::size_t equals = text.find('=');
  if (!text.empty() && text.front() == '@' && equals != std::string::npos) {
    name = text.substr(1, equals - 1);
    text = text.substr(equals + 1);
  }
  bool hinted = false;
  const auto [value, tooltip] = SplitAt(text, kHintMarker, hinted);

  std::string dictionary = "/FT/Tx";
  if (fieldSettings.multiLine) {
    dictionary += "/Ff 4096";
    // Later fields keep the smaller font until RESET or the end of the document.
    fieldSettings.border |= TQVFieldSettings::kSmallFont;
  }
  if (!fieldSettings.alignment.empty()) dictionary += "/Q " + fieldSettings.alignment;
  dictionary += "/DR " + CatalogEx().AcroForm().FontResources().GetReference();

  const std::u16string wideValue = FieldText(value);
  TQVPDFLink* widget =
      AddTextFieldWidget(dictionary, wideValue, fieldSettings.border, PointsRect(rect));
  std::string entries;
  if (!wideValue.empty()) {
    const std::string encoded = widget->EncodeText(wideValue);
    entries += "/V(" + encoded + ")\r/DV(" + encoded + ")\r";
  }
  entries += "/T(" + widget->EncodeText(FieldText(name)) + ")\r";
  if (hinted && !tooltip.empty()) entries += "/TU(" + widget->EncodeText(FieldText(tooltip)) + ")";
  // A /DA must name a font of /DR and a number: other settings are kept but not written.
  const std::string font = IsFormFontName(fieldSettings.fontName) ? fieldSettings.fontName : "Helv";
  const std::string size = IsSizeText(fieldSettings.fontSize) ? fieldSettings.fontSize : "0";
  std::u16string appearance;
  for (const char c : "/" + font + " " + size + " Tf 0 g") appearance += static_cast<char16_t>(c);
  entries += "/DA(" + widget->EncodeText(appearance) + ")";
  widget->SetDictionaryText(widget->DictionaryText() + entries);
}

}  // namespace vellora
