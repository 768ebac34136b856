#include "QVK2PDFDLL/command_fields.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "QVK2PDFDLL/host_input.h"
#include "QVPDFDev/objects/host_text.h"
#include "QVPDFDevEX/ascii_upper.h"
#include "QVPdfDC/pdf_string_escape.h"
#include "qvplatform/numbers.h"

namespace vellora {
namespace {

constexpr std::int32_t kPointsPerInch = 72;

std::int32_t Points(std::int32_t value, std::int32_t resolution) {
  if (resolution <= 0 || resolution == kPointsPerInch) return value;
  return qvplatform::MulDiv(value, kPointsPerInch, resolution);
}

std::string PointerText(const char* text, const char* what) {
  std::string out;
  if (!HostText(text, kMaxHostText, out)) throw std::runtime_error(std::string(what) + " too long");
  return out;
}

// "name=value" from a record's text; false without "=" (or without a record).
bool RecordNameValue(const void* record, std::string& name, std::string& value) {
  if (record == nullptr) return false;
  const std::string text = PointerText(static_cast<const char*>(record), "Command text");
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  name = text.substr(0, equals);
  value = text.substr(equals + 1);
  return true;
}

}  // namespace

std::int32_t AddFormFieldCommand(TQVPDFEngineContext& c, const TQVPDFCommand* record) {
  if (record == nullptr) throw std::runtime_error("The form field command needs a record");
  TQVPDFDeviceEX& d = c.device;
  const TQVPDFFieldHead& field = record->Head.Field;
  const bool utf8 = (field.Flags & QVPDF_FIELD_UTF8) != 0;
  std::string text;
  if ((field.Kind & QVPDF_FIELD_CHECK_BOX) != 0) {
    text = "001/Ff 0/FT/Btn\r";
    if (field.Checked != 0) text += "/V /Yes\r/AS/Yes\r";
  } else {
    text = "000/FT/Tx";
    if ((field.Flags & QVPDF_FIELD_MULTI_LINE) != 0) text += "/Ff 4096";
    if ((field.Flags & QVPDF_FIELD_RIGHT_ALIGNED) != 0)
      text += "/Q 2\r";
    else if ((field.Flags & QVPDF_FIELD_CENTRED) != 0)
      text += "/Q 1\r";
    const std::string value = PointerText(record->FieldValue, "Field value");
    text += "/V(" + EscapeText(value.c_str(), utf8) + ")\r";
  }
  if (record->Tooltip != nullptr) {
    const std::string tooltip = PointerText(record->Tooltip, "Field tooltip");
    text += "/TU (" + EscapeText(tooltip.c_str(), utf8) + ")";
  }
  text += "/DA (/Helv 0 Tf 0 g )";
  // The counter is 1 after BeginDoc: the first field of a document is "Field2". The widget
  // advances it once more, past the name, so that a field the next command names from the
  // counter never takes this name.
  text += "/T(Field" + std::to_string(++d.formFieldCounter) + ")";

  const std::int32_t right = qvplatform::ClampToInt32(std::int64_t{field.X} + field.Width);
  const std::int32_t bottom = qvplatform::ClampToInt32(std::int64_t{field.Y} + field.Height);
  d.AddFieldWidget(text, {Points(field.X, d.xResolution), Points(field.Y, d.yResolution),
                          Points(right, d.xResolution), Points(bottom, d.yResolution)});
  return 0;
}

std::int32_t AddJavaScriptCommand(TQVPDFEngineContext& c, const void* record) {
  std::string name, script;
  if (!RecordNameValue(record, name, script)) return -1;
  return c.device.AddJavaScriptAction(name, DecodeHostText(script, false));
}

std::int32_t BindDocumentActionCommand(TQVPDFEngineContext& c, const void* record) {
  std::string event, action;
  if (RecordNameValue(record, event, action))
    c.device.AddOpenAction(AsciiUpper(event), AsciiUpper(action));
  return -1;
}

}  // namespace vellora
