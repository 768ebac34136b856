#include "QVPDFDev/objects/pdf_key_string.h"

#include "QVPDFDev/file/pdf_file_writer.h"

namespace vellora {

void WriteKeyString(TQVCustomPDFType& object, std::string_view key, std::u16string_view text) {
  if (text.empty()) return;
  std::string line;
  AppendNameEntry(line, key);
  line += '(';
  line += object.EncodeText(text);
  line += ')';
  object.Owner()->Output().WriteLn(line);
}

void WriteKeyString(TQVCustomPDFType& object, std::string_view key, std::string_view text) {
  if (text.empty()) return;
  std::string line;
  AppendNameEntry(line, key);
  line += object.LiteralString(text);
  object.Owner()->Output().WriteLn(line);
}

}  // namespace vellora
