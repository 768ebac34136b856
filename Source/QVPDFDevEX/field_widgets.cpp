// Widget annotations of form fields and their appearance streams. Rectangles arrive in points
// with y downwards, in any corner order; appearances are drawn in the field's own box.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "QVPDFDev/navigation/link_target.h"
#include "QVPDFDev/navigation/pdf_link.h"
#include "QVPDFDev/objects/pdf_text_encoding.h"
#include "QVPDFDev/resources/pdf_resource.h"
#include "QVPDFDevEX/pdf_catalog_ex.h"
#include "QVPDFDevEX/pdf_device_ex.h"
#include "QVPdfDC/pdf_string_escape.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

// Flag bits of the three digits that open a field text.
constexpr std::int32_t kCheckBox = 0x1;
constexpr std::int32_t kFramedBox = 0x2;
constexpr std::int32_t kMaxSmallFontSize = 11;

// A field's rectangle with its corners in order (negative sizes would give negative boxes
// and font sizes), and its size.
struct FieldBox {
  TQVPDFRect rect;
  std::int64_t w, h;
};

FieldBox Box(const TQVPDFRect& r) {
  const TQVPDFRect n{std::min(r.left, r.right), std::min(r.top, r.bottom),
                     std::max(r.left, r.right), std::max(r.top, r.bottom)};
  return {n, std::int64_t{n.right} - n.left, std::int64_t{n.bottom} - n.top};
}

std::string Int(std::int64_t value) { return std::to_string(value); }

std::string BoundingBox(std::int64_t w, std::int64_t h) {
  return "/BBox [0 0 " + Int(w) + " " + Int(h) + "]";
}

// The frame of a framed box, starting with a blank.
std::string Frame(std::int64_t w, std::int64_t h) {
  return " 0 0 m " + Int(w) + " 0 l " + Int(w) + " " + Int(h) + " l 0 " + Int(h) + " l 0 0 l S";
}

// The text with its strings, dictionaries and arrays checked, or an error: a text that does
// not close would swallow the rest of the widget's dictionary.
void CheckDictionaryText(std::string_view text) {
  TQVCustomPDFType probe(nullptr);  // no owner: nothing is encrypted
  if (!RewrittenActionText(probe, text)) throw std::runtime_error("Invalid form field text");
}

// The widget's own strings through its string writer (encrypted with its key).
void AppendDictionaryText(TQVPDFLink& widget, std::string_view text) {
  std::optional<std::string> rewritten = RewrittenActionText(widget, text);
  if (!rewritten) throw std::runtime_error("Invalid form field text");
  widget.SetDictionaryText(widget.DictionaryText() + *rewritten);
}

// The literal string after "/V" as UTF-16: FE FF marks UTF-16BE, other bytes are text of the
// code page. Nothing when the text has none.
std::u16string FieldValue(std::string_view text, std::uint32_t codePage) {
  const std::size_t key = text.find("/V(");
  if (key == std::string_view::npos) return {};
  std::size_t i = key + 2;
  std::string bytes;
  if (!ReadLiteralString(text, i, bytes)) return {};
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
      static_cast<unsigned char>(bytes[1]) == 0xFF) {
    std::u16string units;
    for (std::size_t b = 2; b + 1 < bytes.size(); b += 2)
      units += static_cast<char16_t>(static_cast<unsigned char>(bytes[b]) << 8 |
                                     static_cast<unsigned char>(bytes[b + 1]));
    return units;
  }
  return CodePageToWide(bytes, codePage);
}

// Whether the dictionary text sets the box to /Yes.
bool ChecksTheBox(std::string_view text) {
  std::size_t at = text.find("/V");
  while (at != std::string_view::npos) {
    std::size_t i = at + 2;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\r' || text[i] == '\n')) ++i;
    if (text.substr(i, 4) == "/Yes") return true;
    at = text.find("/V", at + 2);
  }
  return false;
}

}  // namespace

std::u16string TQVPDFDeviceEX::FieldText(std::string_view text) const {
  return CodePageToWide(text, static_cast<std::uint32_t>(std::max(fieldSettings.codePage, 0)));
}

std::string TQVPDFDeviceEX::WriteAppearance(std::string_view dictionary, std::string_view content) {
  TQVPDFStream stream(this);
  stream.SetExtraEntries("/Type/XObject/Subtype/Form/FormType 1" + std::string(dictionary));
  stream.BeginData();
  stream.AddString(content);
  stream.WriteStream();
  return stream.GetReference();
}

TQVFieldAppearanceText TQVPDFDeviceEX::AppearanceText(std::u16string_view value) {
  if (!fieldSettings.trueTypeFont.empty()) {
    const std::int32_t charset = fieldSettings.charset > 1 ? fieldSettings.charset : 0;
    // Selecting through the font manager leaves the page's written text state alone: the next
    // text of the page selects and writes its own font again. A face that cannot be had at
    // all leaves the field with the form's font.
    std::int32_t number = 0;
    try {
      number = Fonts().SelectFont(fieldSettings.trueTypeFont, charset, 0);
    } catch (const std::runtime_error&) {
      number = 0;
    }
    // CID fonts take glyph numbers, which only text output knows: those fields keep the
    // form's font too.
    if (number > 0 && !Fonts().CurrentFontIsCID()) {
      std::string bytes;
      const auto length = static_cast<std::int32_t>(std::min<std::size_t>(value.size(), 65535));
      Fonts().ConvertWideText(value.data(), length, bytes);
      Fonts().RegisterUsedCharsW(value.data(), length, fieldSettings.trueTypeFont);
      return {"F" + std::to_string(number), vellora::EscapeString(bytes),
              SharedResources()->GetReference()};
    }
  }
  // The form's fonts are WinAnsi fonts.
  return {IsFormFontName(fieldSettings.fontName) ? fieldSettings.fontName : "Helv",
          vellora::EscapeString(WideToCodePage(value, 1252)),
          CatalogEx().AcroForm().FontResources().GetReference()};
}

TQVPDFLink* TQVPDFDeviceEX::AddTextFieldWidget(std::string_view dictionary,
                                               std::u16string_view value, std::int32_t flags,
                                               const TQVPDFRect& given) {
  CheckDictionaryText(dictionary);
  if (!OnPage()) throw std::runtime_error("No page active!");
  const auto [rect, w, h] = Box(given);
  TFolvioAcroForm& form = CatalogEx().AcroForm();
  std::string text(dictionary);
  if (!value.empty()) {
    std::int32_t size = qvplatform::MulDiv(qvplatform::ClampToInt32(h), 4, 6);
    if ((flags & TQVFieldSettings::kSmallFont) != 0) size = std::min(size, kMaxSmallFontSize);
    size = std::max(size, 1);
    const TQVFieldAppearanceText shown = AppearanceText(value);
    std::string content = "/Tx BMC q 1 1 " + Int(std::max<std::int64_t>(w - 2, 0)) + " " +
                          Int(std::max<std::int64_t>(h - 2, 0)) + " re W ";
    content += (flags & TQVFieldSettings::kBorder) != 0 ? "S " : "n ";
    content += "BT /" + shown.font + " " + Int(size) + " Tf 0 g 2 " + Int(h - size) + " Td (" +
               shown.body + ") Tj ET Q\nEMC";
    const std::string appearance =
        WriteAppearance(BoundingBox(w, h) + "/Resources " + shown.resources + " ", content);
    text += "\r/AP<</N " + appearance + " >>";
  }
  text += (flags & TQVFieldSettings::kBorder) != 0 ? "\r/BS<</W 1/Type/Border>>/MK<</BC [0 0 0]>>"
                                                   : "\r/MK<<>>";
  TQVPDFLink* widget = AddWidget(rect, {});
  AppendDictionaryText(*widget, text);
  form.AddField(widget);
  return widget;
}

TQVPDFLink* TQVPDFDeviceEX::AddFieldWidget(std::string_view fieldText, const TQVPDFRect& given) {
  const std::size_t digits = std::min<std::size_t>(fieldText.size(), 3);
  std::int32_t flags = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const char c = fieldText[i];
    if (c < '0' || c > '9') {
      flags = 0;
      break;
    }
    flags = flags * 10 + (c - '0');
  }
  const std::string_view rest = fieldText.substr(digits);
  CheckDictionaryText(rest);
  if (!OnPage()) throw std::runtime_error("No page active!");
  const auto [rect, w, h] = Box(given);
  TFolvioAcroForm& form = CatalogEx().AcroForm();
  std::string text(rest);
  text += "\r/H /I";
  if ((flags & kCheckBox) != 0) {
    const std::string frame = (flags & kFramedBox) != 0 ? Frame(w, h) : std::string();
    const std::string cross = "q 0 0 0 RG 0 0 m " + Int(w) + " " + Int(h) + " l S 0 " + Int(h) +
                              " m " + Int(w) + " 0 l S" + frame + " Q\r";
    const std::string on = WriteAppearance(BoundingBox(w, h), cross);
    const std::string off = WriteAppearance(BoundingBox(w, h), "q 0 0 0 RG" + frame + " Q\r");
    text += "/AP << /N << /Yes " + on + " /Off " + off + " >> >>\r";
    // A box states its appearance, so that viewers show it checked or not as its value says.
    if (rest.find("/V") == std::string_view::npos) text += "/V/Off";
    if (rest.find("/AS") == std::string_view::npos)
      text += ChecksTheBox(rest) ? "/AS/Yes\r" : "/AS/Off\r";
  } else if (rest.find("/V(") != std::string_view::npos) {
    const std::u16string value =
        FieldValue(rest, static_cast<std::uint32_t>(std::max(fieldSettings.codePage, 0)));
    const std::int32_t size = std::max(qvplatform::MulDiv(qvplatform::ClampToInt32(h), 4, 6), 1);
    const TQVFieldAppearanceText shown = AppearanceText(value);
    const std::string content = "/Tx BMC BT /" + shown.font + " " + Int(size) + " Tf 0 g 2 " +
                                Int(h - size) + " Td (" + shown.body + ")Tj ET EMC";
    text += "\r/AP <</N " +
            WriteAppearance(BoundingBox(w, h) + " /Resources " + shown.resources + " ", content) +
            " >>";
  }
  TQVPDFLink* widget = AddWidget(rect, {});
  AppendDictionaryText(*widget, text);
  form.AddField(widget);
  return widget;
}

}  // namespace vellora
