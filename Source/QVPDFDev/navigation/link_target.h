// What a link does, from the target text a host or a metafile gives: a web or mail address,
// a program or file to launch, a page of another PDF file, or (any other text) the name of
// a destination in this document. Also the check of an action text the host writes itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vellora {

class TQVCustomPDFType;

// Targets that launch something ("Launch://", "LaunchN://", "file://", any letter case):
// PDF/A forbids them.
bool IsLaunchTarget(std::string_view target);

// The action entry of a link ("/A << ... >>") for a target, its strings encrypted with the
// link's key; empty when the target is a destination name.
// - "http://", "https://", "mailto:": a URI action; bytes above 126 (the target is code
//   page 1252) become percent-encoded UTF-8, as are blanks and control bytes.
// - "Launch://", "LaunchN://" (new window), "file://": a launch action of the rest (at most
//   256 bytes); file names are written as the bytes given.
// - "GoToR://file#n": page n of the file (0 when n is not a number), "GoToR://file" its first
//   page; the view keeps the reader's left, top and zoom.
std::string LinkActionEntry(TQVCustomPDFType& link, std::string_view target);

// A URI as 7-bit ASCII (see LinkActionEntry).
std::string PercentEncodedURI(std::string_view target);

// An action text a host hands over, as it can stand inside "/A << ... >>": its strings
// (literal or hex) written again through the link's string writer, so that they are
// encrypted with the link's key; everything else as it was. None when the text would break
// the file: unbalanced strings, dictionaries or arrays, a bad hex string, a comment or a
// keyword of the file structure (obj, endobj, stream, endstream, xref, trailer, startxref).
std::optional<std::string> RewrittenActionText(TQVCustomPDFType& link, std::string_view action);

// The bytes of the literal string whose "(" stands at i (escapes undone, line ends as LF); i
// ends past its ")". False when it does not close.
bool ReadLiteralString(std::string_view s, std::size_t& i, std::string& bytes);

}  // namespace vellora
