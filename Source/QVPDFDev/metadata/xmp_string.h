// The XMP metadata stream of the catalog. The packet is built as UTF-16 text (head at
// construction, then one rdf:Description per schema with its properties), converted to
// UTF-8 by the builder, and closed and written as an uncompressed, unarmoured stream with
// "/Type/Metadata/Subtype/XML". The catalog lists it under /Metadata once a property has
// been added.
#pragma once

#include <string>
#include <string_view>

#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {

enum TQVXMPPropertyKind : int {
  xmpPlain = 0,
  xmpSeq = 1,
  xmpAlt = 2,  // one x-default item
  xmpBag = 3,  // one item per comma-separated entry
};

class TQVXMPString : public TQVPDFStream {
 public:
  // Starts the packet: the xpacket instruction, x:xmpmeta and rdf:RDF start tags.
  explicit TQVXMPString(TQVPDFObjectOwner* owner);
  std::string_view ClassName() const override { return "TQVXMPString"; }

  bool HasProperties() const { return propertyCount_ > 0; }
  bool UTF8() const { return utf8_; }
  void SetUTF8(bool value) { utf8_ = value; }

  // Closes the open description (unless element and prefix are the open ones) and opens an
  // element (rdf:Description) with rdf:about="" and, with a prefix, its namespace.
  void OpenDescription(std::string_view element, std::string_view prefix,
                       std::string_view nameSpace);
  void CloseDescription();

  // Adds prefix:name with the value as XML text. The name is made a valid XML name first
  // (XMLPropertyName). Raises "XMP - no property defined!" without an open description.
  void AddProperty(std::u16string_view name, std::u16string_view value,
                   TQVXMPPropertyKind kind = xmpPlain);
  // The same for an 8-bit value: UTF-8 with the UTF-8 flag, else in the system code page.
  void AddProperty(std::u16string_view name, std::string_view value,
                   TQVXMPPropertyKind kind = xmpPlain);
  // A plain property with the date as "yyyy-mm-ddThh:nn:ssZ".
  void AddDateProperty(std::u16string_view name, std::string_view xmpDate);
  // Appends text as it is (markup the caller has made well-formed).
  void AddText(std::u16string_view text);
  void AddText(std::string_view asciiText);

  // The packet so far, while it is UTF-16 text.
  const std::u16string& Packet() const { return packet_; }
  const std::string& OpenElement() const { return openElement_; }
  // Converts the UTF-16 packet into the stream data as UTF-8 (once).
  void ConvertToUTF8();

  // The data stays as the builder left it.
  void BeginData() override {}
  // Closes the packet (the open description, rdf:RDF, x:xmpmeta, in PDF/A mode 512 blanks of
  // padding, the xpacket end) and writes the stream as it is.
  void WriteStream() override;

 private:
  void AppendQualifiedName(std::u16string_view name);

  std::u16string packet_;
  bool converted_ = false;
  std::string openElement_;
  std::string openPrefix_;
  int propertyCount_ = 0;
  bool utf8_ = false;
};

}  // namespace vellora
