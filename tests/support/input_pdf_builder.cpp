#include "input_pdf_builder.h"

#include <cstdio>

namespace vellora_test {

InputPdfBuilder::InputPdfBuilder(std::string_view header) : bytes_(header) {}

std::uint64_t InputPdfBuilder::Object(int number, std::string_view body, int generation) {
  const std::uint64_t offset = bytes_.size();
  bytes_ += std::to_string(number) + " " + std::to_string(generation) + " obj\n";
  bytes_ += body;
  bytes_ += "\nendobj\n";
  pending_[number] = {offset, generation, false};
  if (number > highest_) highest_ = number;
  return offset;
}

std::uint64_t InputPdfBuilder::Stream(int number, std::string_view entries, std::string_view data,
                                      int lengthObject) {
  std::string body = "<<";
  body += entries;
  body += lengthObject > 0 ? " /Length " + std::to_string(lengthObject) + " 0 R"
                           : " /Length " + std::to_string(data.size());
  body += " >>\nstream\r\n";
  body += data;
  body += "\nendstream";
  const std::uint64_t offset = Object(number, body);
  if (lengthObject > 0) Object(lengthObject, std::to_string(data.size()));
  return offset;
}

void InputPdfBuilder::Free(int number, int nextGeneration) {
  pending_[number] = {0, nextGeneration, true};
  if (number > highest_) highest_ = number;
}

std::uint64_t InputPdfBuilder::EndSection(std::string_view trailerEntries, std::string_view eol) {
  const std::uint64_t offset = bytes_.size();
  if (lastSection_ == 0) pending_[0] = {0, 65535, true};
  std::string out = "xref" + std::string(eol);
  for (auto it = pending_.begin(); it != pending_.end();) {
    auto end = it;
    int count = 0;
    while (end != pending_.end() && end->first == it->first + count) {
      ++end;
      ++count;
    }
    out += std::to_string(it->first) + " " + std::to_string(count) + std::string(eol);
    for (; it != end; ++it) {
      char line[32];
      std::snprintf(line, sizeof line, "%010llu %05d %c\r\n",
                    static_cast<unsigned long long>(it->second.offset), it->second.generation,
                    it->second.free ? 'f' : 'n');
      out += line;
    }
  }
  out += "trailer" + std::string(eol) + "<<";
  if (trailerEntries.find("/Size") == std::string_view::npos)
    out += " /Size " + std::to_string(highest_ + 1);
  if (lastSection_ != 0) out += " /Prev " + std::to_string(lastSection_);
  out += trailerEntries;
  out += " >>" + std::string(eol) + "startxref" + std::string(eol) + std::to_string(offset) +
         std::string(eol) + "%%EOF" + std::string(eol);
  bytes_ += out;
  pending_.clear();
  lastSection_ = offset;
  return offset;
}

std::string MarkedPageContent(int k) {
  return "BT /F1 24 Tf 30 100 Td (Marker page " + std::to_string(k) + ") Tj ET";
}

std::string MarkedPdf(int pages, int width, int height) {
  InputPdfBuilder b;
  b.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
  std::string kids;
  for (int k = 1; k <= pages; ++k) kids += std::to_string(4 + 2 * (k - 1)) + " 0 R ";
  b.Object(2, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) +
                  " /MediaBox [0 0 " + std::to_string(width) + " " + std::to_string(height) +
                  "] /Resources << /Font << /F1 3 0 R >> >> >>");
  b.Object(3, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
  for (int k = 1; k <= pages; ++k) {
    const int page = 4 + 2 * (k - 1);
    b.Object(page,
             "<< /Type /Page /Parent 2 0 R /Contents " + std::to_string(page + 1) + " 0 R >>");
    b.Stream(page + 1, "", MarkedPageContent(k));
  }
  b.EndSection(" /Root 1 0 R");
  return b.Bytes();
}

}  // namespace vellora_test
