#include "QVPDFDev/objects/pdf_simple_objects.h"

#include <cstdint>

#include "QVPDFDev/objects/pdf_name_escape.h"

namespace vellora {
namespace {

constexpr std::size_t kPlainLimit = 100;
constexpr std::size_t kLineLimit = 100;

bool IsPlain(std::string_view text) {
  if (text.size() >= kPlainLimit) return false;
  for (char ch : text) {
    const auto c = static_cast<std::uint8_t>(ch);
    if (c < 32 || c > 127 || c == '(' || c == ')' || c == '\\') return false;
  }
  return true;
}

}  // namespace

std::string TQVPDFString::AsString() {
  if (rawText_) return text_;
  const std::string bytes = EncryptString(text_);
  if (IsPlain(bytes)) return "(" + bytes + ")";
  std::string out;
  out.reserve(bytes.size() * 2 + 8);
  out += '(';
  std::size_t sinceBreak = 1;
  for (char ch : bytes) {
    const auto c = static_cast<std::uint8_t>(ch);
    if (c < 32 || c > 127) {
      out += '\\';
      out += static_cast<char>('0' + c / 64);
      out += static_cast<char>('0' + c / 8 % 8);
      out += static_cast<char>('0' + c % 8);
      sinceBreak += 4;
    } else if (c == '(' || c == ')' || c == '\\') {
      out += '\\';
      out += ch;
      sinceBreak += 2;
    } else {
      out += ch;
      sinceBreak += 1;
    }
    // A backslash before the line end continues the string on the next line.
    if (sinceBreak > kLineLimit) {
      out += "\\\r\n";
      sinceBreak = 0;
    }
  }
  out += ')';
  return out;
}

std::string TQVPDFNumArray::AsString() {
  std::string out = "[ ";
  const std::size_t written = values_.empty() ? 0 : values_.size() - 1;
  for (std::size_t i = 0; i < written; ++i) {
    out += std::to_string(values_[i]);
    out += (i + 1) % 19 == 0 ? '\n' : ' ';
  }
  out += ']';
  return out;
}

TQVPDFArray::~TQVPDFArray() {
  if (referencesOnly_) return;
  for (TQVCustomPDFType* object : objects_) delete object;
}

void TQVPDFArrayObj::AddObject(std::string_view key, TQVCustomPDFType* object) {
  if (key.empty() || object == nullptr) return;
  entries_.push_back({EscapeName(key), object});
}

void TQVPDFArrayObj::AddName(std::string_view key, std::string_view value) {
  if (key.empty() || value.empty()) return;
  std::string text = EscapeName(key);
  text += '/';
  AppendEscapedName(text, value);
  entries_.push_back({std::move(text), nullptr});
}

void TQVPDFArrayObj::WriteObject() {
  TQVPDFFileWriter& out = Out();
  if (Owner()->WriteObjectEvent(*this)) return;
  MarkWritten();
  out.WriteLn(ObjHeader());
  std::string line;
  for (const Entry& entry : entries_) {
    line += '/';
    line += entry.text;
    if (entry.object != nullptr) {
      line += ' ';
      line += entry.object->GetReference();
    }
  }
  out.Write(line);
  out.WriteObjectEnd(false);
}

}  // namespace vellora
