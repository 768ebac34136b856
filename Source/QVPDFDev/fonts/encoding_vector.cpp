#include "QVPDFDev/fonts/encoding_vector.h"

#include <memory>

#include "QVPDFDev/fonts/encoding_tables.h"
#include "QVPDFDev/resources/pdf_resource.h"

namespace vellora {

std::string EncodingFor(TQVPDFResource& resource, std::int32_t charset, bool pdfa) {
  if (charset == 2) return "/WinAnsiEncoding";
  for (auto& object : resource.Encodings()) {
    auto* vector = dynamic_cast<TQVEncodingVector*>(object.get());
    if (vector != nullptr && vector->Charset() == charset) return vector->GetReference();
  }
  std::string_view body = CharsetEncodingBody(charset);
  if (body.empty()) {
    if (pdfa) return "/WinAnsiEncoding";
    body = kEuroEncodingBody;
  }
  auto vector = std::make_unique<TQVEncodingVector>(resource.Owner(), charset, std::string(body));
  std::string reference = vector->GetReference();
  resource.Encodings().push_back(std::move(vector));
  return reference;
}

}  // namespace vellora
