// A keyed string entry of a dictionary: "/Key(text)" with the text encrypted and escaped by
// the object it belongs to, as a PDF text string (UTF-16 when it needs more than ASCII).
#pragma once

#include <string>
#include <string_view>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

// Nothing for an empty text; else the entry and a line end.
void WriteKeyString(TQVCustomPDFType& object, std::string_view key, std::u16string_view text);
// The same for 8-bit text (identifiers, language tags).
void WriteKeyString(TQVCustomPDFType& object, std::string_view key, std::string_view text);

}  // namespace vellora
