// TQVPDFDeviceEX: the PDF device that an engine context owns. Every file it writes starts
// with "%PDF-1.4", and its documents get the extended catalog (TQVPDFCatalogEx). It adds
// interactive form fields (widget annotations with appearance streams, listed in the
// document's /AcroForm), named JavaScript actions, document open actions, and the metafile
// commands that make them: the 8-bit command records and record 291102 with its rectangle
// and UTF-16 text.
//
// Fields need an open page: a field command without one raises "No page active!" (the
// engine's field command), or is skipped inside a metafile, as link commands are. PDF/A
// allows no JavaScript: there actions are not made.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/device/pdf_device.h"
#include "QVPDFDevEX/field_settings.h"

namespace vellora {

class TQVPDFAction;
class TQVPDFCatalogEx;
class TQVPDFLink;

// A value in an appearance: the font resource name, the escaped string body, and the
// resources that hold the font.
struct TQVFieldAppearanceText {
  std::string font;
  std::string body;
  std::string resources;
};

class TQVPDFDeviceEX : public TQVPDFDevice {
 public:
  TQVPDFDeviceEX();
  ~TQVPDFDeviceEX() override;

  // ---- Form fields (field_widgets.cpp) ---------------------------------------------------
  // The rectangle is in points, y downwards (normalised here). Both raise "No page active!"
  // without a page and "Device is not open!" without a document.

  // A text field: dictionary text (its strings written through the widget's string writer),
  // the value (UTF-16) drawn into the normal appearance, flags of TQVFieldSettings.
  TQVPDFLink* AddTextFieldWidget(std::string_view dictionary, std::u16string_view value,
                                 std::int32_t flags, const TQVPDFRect& rect);
  // A field from a text of three flag digits (bit 0 check box, bit 1 framed box) and the rest
  // of its dictionary. A check box gets /Yes and /Off appearances and an /AS; a text field
  // with "/V(value)" an appearance of the value. Raises "Invalid form field text" for a text
  // whose strings, dictionaries or arrays do not close.
  TQVPDFLink* AddFieldWidget(std::string_view text, const TQVPDFRect& rect);

  // ---- Actions (javascript_actions.cpp) ---------------------------------------------------

  // A named action of the script; its object number (reserved now), or -1 in PDF/A or
  // without a document.
  std::int32_t AddJavaScriptAction(std::string_view name, std::u16string script);
  // "OPENACTION": every action named actionName becomes an open action (again when named
  // again). Other events do nothing; false without a document.
  bool AddOpenAction(std::string_view eventName, std::string_view actionName);
  const std::vector<std::unique_ptr<TQVPDFAction>>& Actions() const { return actions_; }

  // ---- Overrides ---------------------------------------------------------------------------

  // 36: record 291102 (unicode_commands.cpp); everything else as the PDF device.
  void GdiComment(Bytes data) override;
  // 57: after the PDF device's codes, the field and action codes (embedded_field_commands.cpp).
  void HandleEmbeddedCommand(const RECTL& rect, std::int32_t code, const std::string& text,
                             bool& handled) override;
  // 58: code 3005, an image from pixels carried in the payload (image_command.cpp).
  void HandleTaggingCommand(const RECTL& rect, std::int32_t code, const std::uint8_t* data,
                            std::int32_t length, bool& handled) override;
  // 68: the field settings return to their defaults.
  void EndDoc() override;
  // 73: the actions, then the form.
  void WriteExtraObjects() override;
  // 75: the actions are freed.
  void ClearTempObjects() override;

  TQVFieldSettings fieldSettings;

 protected:
  std::unique_ptr<TQVPDFCatalog> CreateCatalog() override;

 private:
  TQVPDFCatalogEx& CatalogEx();
  // The UTF-16 commands of record 291102, the rectangle in output coordinates.
  void HandleUnicodeCommand(const RECTL& rect, const RECTL& stored, std::int32_t code,
                            const std::u16string& text);
  void AddUnicodeBookmark(const RECTL& rect, std::int32_t code, const std::u16string& text);
  // The 8-bit field commands; false for a code that is none of them.
  bool HandleFieldCommand(const RECTL& rect, std::int32_t code, const std::string& text);
  void AddCheckBoxCommand(const RECTL& rect, const std::string& text);
  void AddTextFieldCommand(const RECTL& rect, const std::string& text);
  void ApplyFieldSetting(const std::string& text);
  // Text in the field code page as UTF-16.
  std::u16string FieldText(std::string_view text) const;
  // An appearance stream, written at once; its reference.
  std::string WriteAppearance(std::string_view dictionary, std::string_view content);
  // The value as a text field's appearance shows it, in the TrueType face of the settings or
  // in a form font.
  TQVFieldAppearanceText AppearanceText(std::u16string_view value);
  // Fields and the page text need a page of the document (not a form being recorded).
  bool OnPage() const { return CurrentPage() != nullptr && xformStream == nullptr; }

  std::vector<std::unique_ptr<TQVPDFAction>> actions_;
};

}  // namespace vellora
