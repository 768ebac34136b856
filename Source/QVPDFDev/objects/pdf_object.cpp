#include "QVPDFDev/objects/pdf_object.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "QVPDFDev/objects/pdf_input_stream.h"
#include "QVPDFDev/objects/pdf_name_escape.h"
#include "QVPDFDev/objects/pdf_text_encoding.h"
#include "QVPdfDC/pdf_string_escape.h"

namespace vellora {
namespace {

constexpr std::size_t kReadLimit = 3000;

}  // namespace

std::size_t FindDictEnd(std::string_view text) {
  int depth = 0;
  std::size_t i = 0;
  while (i + 1 < text.size()) {
    if (text[i] == '<' && text[i + 1] == '<') {
      ++depth;
      i += 2;
    } else if (text[i] == '>' && text[i + 1] == '>') {
      if (depth <= 1) return i + 2;
      --depth;
      i += 2;
    } else {
      ++i;
    }
  }
  return 0;
}

void AppendNameEntry(std::string& out, std::string_view name) {
  out += '/';
  AppendEscapedName(out, name);
}

TQVPDFFileWriter& TQVCustomPDFType::Out() {
  if (owner_ == nullptr) throw std::runtime_error("Object has no owner");
  return owner_->Output();
}

void TQVCustomPDFType::ReadFromStream(TQVPDFInputStream& stream, std::int64_t position) {
  if (position <= 0) return;
  std::string text(kReadLimit, '\0');
  text.resize(stream.ReadAt(static_cast<std::uint64_t>(position), text.data(), text.size()));
  const std::size_t end = FindDictEnd(text);
  if (end == 0) return;
  text.resize(std::min(end + 1, text.size()));
  SetAsString(text, &stream);
}

std::string TQVCustomPDFType::AsString() {
  throw std::runtime_error("AsString is not implemented for this obj");
}

void TQVCustomPDFType::SetAsString(std::string_view, TQVPDFInputStream*) {
  throw std::runtime_error("SetAsString is not implemented for this obj");
}

std::string TQVCustomPDFType::GetReference() { return std::to_string(GetObjectNumber()) + " 0 R"; }

std::int32_t TQVCustomPDFType::GetObjectNumber() {
  if (reserved_ || written_) return number_;
  number_ = Out().ReserveNumber(ClassName());
  reserved_ = true;
  return number_;
}

std::string TQVCustomPDFType::GetEntryString() { return GetReference(); }

void TQVCustomPDFType::MarkWritten() {
  if (written_) return;
  number_ = Out().RecordOffset(reserved_ ? number_ : 0);
  written_ = true;
}

std::string TQVCustomPDFType::ObjHeader() { return TQVPDFFileWriter::ObjHeader(number_, raw_); }

void TQVCustomPDFType::WriteObject() {
  if (owner_ == nullptr) throw std::runtime_error("Object has no owner");
  if (owner_->WriteObjectEvent(*this)) return;
  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.WriteLn(AsString());
  out.WriteObjectEnd(raw_);
}

void TQVCustomPDFType::EncryptData(std::uint8_t* bytes, std::size_t count) {
  if (doNotEncrypt_ || count == 0 || owner_ == nullptr) return;
  TQVPDFFileWriter& out = owner_->Output();
  if (!out.Encrypting()) return;
  out.EncryptObjectData(GetObjectNumber(), bytes, count);
}

std::string TQVCustomPDFType::EncryptString(std::string_view text) {
  std::string copy(text);
  EncryptData(reinterpret_cast<std::uint8_t*>(copy.data()), copy.size());
  return copy;
}

std::string TQVCustomPDFType::EncryptWideString(std::u16string_view text) {
  std::string bytes = UTF16ToUTF16BE(text);
  EncryptData(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
  return bytes;
}

std::string TQVCustomPDFType::EncodeText(std::u16string_view text, bool force8Bit,
                                         std::uint32_t codePage) {
  const bool wide =
      !force8Bit && std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 127; });
  std::string bytes;
  if (wide) {
    bytes = EncryptWideString(text);
    // CR and LF are escaped too: a reader would turn a raw CR into LF.
    return EscapeDelimiters(bytes.data(), bytes.size());
  }
  if (force8Bit) {
    bytes = WideToCodePage(text, codePage);
  } else {
    bytes.assign(text.begin(), text.end());  // all ASCII
  }
  EncryptData(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
  return EscapeBytes(bytes.data(), bytes.size());
}

std::string TQVCustomPDFType::EncodeUnicodeHex(std::u16string_view text) {
  if (text.empty()) return "<>";
  const std::string bytes = EncryptWideString(text);
  return TQVPDFFileWriter::HexString(bytes.data(), bytes.size());
}

std::string TQVCustomPDFType::LiteralString(std::string_view bytes) {
  std::string encrypted = EncryptString(bytes);
  std::string out = "(";
  AppendEscapedBytes(out, encrypted.data(), encrypted.size());
  out += ')';
  return out;
}

}  // namespace vellora
