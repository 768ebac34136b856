// The document information that the device keeps and the engine's string properties fill:
// the fields of the information dictionary, free "name=value" entries, and the copies the
// information writer makes for the XMP packet.
#pragma once

#include <string>
#include <string_view>

#include "qvplatform/string_list.h"

namespace vellora {

// The texts of the information dictionary that a host sets one by one.
enum class TQVInfoText {
  author,
  creationDate,
  modificationDate,
  creator,
  title,
  subject,
  keywords
};

// The producer that every written document names.
inline constexpr std::string_view kQVProducerName = "Folvio3 by Torvane GmbH";

class TQVDeviceInfoBlock {
 public:
  // Copies the UTF-8 flag, the eight texts, the no-information flag and the extra entries
  // (not the written copies).
  void Assign(const TQVDeviceInfoBlock& other);

  // A text of the block as UTF-16: decoded from UTF-8 with the UTF-8 flag, else from the
  // system code page (1252).
  std::u16string Decode(std::string_view text) const;

  // The value of the extra entry whose trimmed name is exactly "_Lang" (the document
  // language, the catalog's /Lang); empty without one.
  std::string Language() const;

  void SetText(TQVInfoText which, std::string text);
  // Lines of "name=value", replacing the extra entries.
  void SetExtraEntries(std::string_view lines) { extraEntries.SetText(lines); }
  void SetUtf8(bool on) { utf8 = on; }

  std::string author;
  std::string creationDate;      // PDF date text; the information writer sets it
  std::string modificationDate;  // PDF date text; the information writer sets it
  std::string producerName{kQVProducerName};
  std::string creator;  // /Creator and xmp:CreatorTool
  std::string title;
  std::string subject;
  std::string keywords;
  bool noInformationObject = false;      // no /Info, and therefore no XMP packet
  qvplatform::TStringList extraEntries;  // "name=value": further /Info keys, pdfx properties
  bool utf8 = false;                     // the texts are UTF-8

  // Set by the information writer, read by the XMP builder.
  std::string writtenCreator;
  std::string writtenProducer;
  std::string writtenTitle;
};

// One extra entry split at its first "=": the name trimmed of bytes up to blank at both ends.
// ok is false for an entry without "=".
struct TQVInfoEntry {
  bool ok = false;
  std::string name;
  std::string value;
};
TQVInfoEntry SplitInfoEntry(std::string_view entry);

// ASCII comparison without regard to letter case.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

}  // namespace vellora
