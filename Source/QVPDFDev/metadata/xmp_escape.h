// Text and names for the XMP packet, which is XML: whatever a host puts into a title or an
// entry name, the packet stays well-formed and reads back as the text.
#pragma once

#include <string>
#include <string_view>

namespace vellora {

// Appends text as XML character data: "<", ">" and "&" as entities; tab and line feed as they
// are; carriage return as "&#13;" (a parser would turn a raw one into a line feed); other
// ASCII as it is; every other character as a decimal reference to its code point, a
// surrogate pair as one character. What XML cannot hold (other control characters, unpaired
// surrogates, U+FFFE and U+FFFF) becomes U+FFFD.
void AppendXMLText(std::u16string& out, std::u16string_view text);

// The text as an XML name without a colon (an NCName), for property names taken from entry
// names: every character a name cannot hold becomes "_", and "_" goes in front of a first
// character that may not begin a name. Names that are valid stay as they are. Empty text
// gives "".
std::u16string XMLPropertyName(std::u16string_view text);

}  // namespace vellora
