// Input PDF files written byte by byte for the reader's tests and the fuzz seeds: objects at
// known offsets, cross-reference sections with their subsections, trailers and incremental
// updates, so that a test can damage exactly the byte it means.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vellora_test {

class InputPdfBuilder {
 public:
  explicit InputPdfBuilder(std::string_view header = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");

  // "n g obj" LF body LF "endobj" LF at the end of the file; returns its offset.
  std::uint64_t Object(int number, std::string_view body, int generation = 0);
  // A stream object: dictionary entries (without "<<", ">>" and /Length), then /Length and
  // the data between "stream" CR LF and LF "endstream". With lengthObject the length is
  // written as that object, added after the stream.
  std::uint64_t Stream(int number, std::string_view entries, std::string_view data,
                       int lengthObject = 0);
  // A free entry in the next section.
  void Free(int number, int nextGeneration);
  void Raw(std::string_view bytes) { bytes_ += bytes; }

  // Ends a section: "xref", one subsection per run of consecutive numbers listed since the last
  // section, "trailer" with /Size (unless the entries hold one), /Prev of the last section and
  // the entries, "startxref", the offset and "%%EOF", each line ended by eol.
  std::uint64_t EndSection(std::string_view trailerEntries, std::string_view eol = "\n");

  const std::string& Bytes() const { return bytes_; }
  std::string& MutableBytes() { return bytes_; }

 private:
  struct Entry {
    std::uint64_t offset;
    int generation;
    bool free;
  };
  std::string bytes_;
  std::map<int, Entry> pending_;
  int highest_ = 0;
  std::uint64_t lastSection_ = 0;
};

// A PDF of n pages of width x height points, each showing "Marker page k" in Helvetica at
// 30, 100; every page in one flat /Pages node, content uncompressed.
std::string MarkedPdf(int pages, int width = 612, int height = 792);

// The content of MarkedPdf's page k.
std::string MarkedPageContent(int k);

}  // namespace vellora_test
