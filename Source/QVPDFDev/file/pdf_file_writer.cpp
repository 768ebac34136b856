#include "QVPDFDev/file/pdf_file_writer.h"

#include <stdexcept>

#include "QVPDFDev/file/pdf_number_text.h"

namespace vellora {

void TQVPDFFileWriter::CheckOpen() const {
  if (!sink_.IsOpen()) throw std::runtime_error("Device not open");
}

void TQVPDFFileWriter::Write(std::string_view text) {
  CheckOpen();
  sink_.Append(text.data(), text.size());
}

void TQVPDFFileWriter::Write(const void* bytes, std::size_t count) {
  CheckOpen();
  sink_.Append(bytes, count);
}

void TQVPDFFileWriter::WriteLn(std::string_view text) {
  CheckOpen();
  sink_.Append(text.data(), text.size());
  sink_.Append("\r\n", 2);
}

void TQVPDFFileWriter::WriteFloat(double value) { Write(FloatToText3(value)); }

void TQVPDFFileWriter::WriteMediaBox(double width, double height) {
  std::string line = "/MediaBox [0 0 ";
  line += FloatToText3(width);
  line += ' ';
  line += FloatToText3(height);
  line += ']';
  WriteLn(line);
}

std::string TQVPDFFileWriter::HexString(const void* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  std::string out;
  out.reserve(2 * count + 2);
  out += '<';
  for (std::size_t i = 0; i < count; ++i) {
    out += kDigits[p[i] >> 4];
    out += kDigits[p[i] & 15];
  }
  out += '>';
  return out;
}

std::int32_t TQVPDFFileWriter::ReserveNumber(std::string_view className) {
  std::string entry(TQVPDFXRefList::kReservedPrefix);
  entry += className;
  return xref_.Add(std::move(entry));
}

std::int32_t TQVPDFFileWriter::RecordOffset(std::int32_t number) {
  std::string entry = TQVPDFXRefList::InUseEntry(sink_.Position());
  if (number > 0) {
    xref_.Set(number, std::move(entry));
    return number;
  }
  return xref_.Add(std::move(entry));
}

std::string TQVPDFFileWriter::ObjHeader(std::int32_t number, bool raw) {
  std::string header = std::to_string(number);
  header += raw ? " 0 obj" : " 0 obj\r<<";
  return header;
}

void TQVPDFFileWriter::WriteObjectEnd(bool raw) { WriteLn(raw ? "endobj" : ">> \rendobj"); }

std::uint64_t TQVPDFFileWriter::WriteXRefTable() {
  const std::uint64_t offset = Position();
  const std::int32_t count = xref_.Count();
  std::string text = "xref\r\n0 " + std::to_string(count) + "\r\n";
  text.reserve(text.size() + 20 * static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    text += xref_.TableEntry(i);
    text += "\r\n";
  }
  Write(text);
  return offset;
}

void TQVPDFFileWriter::EncryptObjectData(std::int32_t objectNumber, std::uint8_t* bytes,
                                         std::size_t count) {
  if (cipher_ == nullptr || count == 0) return;
  cipher_->EncryptObjectData(objectNumber, bytes, count);
}

}  // namespace vellora
