// The encoding dictionaries of simple TrueType fonts. The shared resources keep each one they
// made (Encodings()) and give it to every font of the same character set.
#pragma once

#include <cstdint>
#include <string>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFResource;

class TQVEncodingVector : public TQVCustomPDFType {
 public:
  TQVEncodingVector(TQVPDFObjectOwner* owner, std::int32_t charset, std::string body)
      : TQVCustomPDFType(owner), charset_(charset), body_(std::move(body)) {}
  std::string_view ClassName() const override { return "TQVEncodingVector"; }
  std::string AsString() override { return body_; }

  std::int32_t Charset() const { return charset_; }
  const std::string& Body() const { return body_; }

 private:
  std::int32_t charset_;
  std::string body_;
};

// The /Encoding value of a simple TrueType font: "/WinAnsiEncoding" for charset 2, and under
// PDF/A for a charset without a table of its own; otherwise the reference of the resource's
// vector for the charset, made on first use.
std::string EncodingFor(TQVPDFResource& resource, std::int32_t charset, bool pdfa);

}  // namespace vellora
