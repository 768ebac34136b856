// An input PDF on its way into a document: the file, its page tree, and the objects that are
// copied into the output with their own numbers and generations. Everything that can fail is
// read and checked by Open and Plan, before the document holds anything of the input; Copy
// only moves checked bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QVPDFDev/file/pdf_file_writer.h"
#include "QVPDFDev/reader/input_page_tree.h"
#include "QVPDFDev/reader/pdf_file_input_stream.h"
#include "QVPDFDev/reader/pdf_input_file.h"

namespace vellora {

class TQVInputImport {
 public:
  // nullptr when the file does not exist (or is no regular file); raises TQVPDFInputError
  // for a file that cannot be read as a PDF.
  static std::unique_ptr<TQVInputImport> Open(const std::string& fileName);
  // Opens an input held elsewhere (the stream must outlive the import).
  explicit TQVInputImport(TQVPDFInputStream& stream);

  TQVPDFInputFile& File() { return *file_; }
  const TQVInputPageTree& Tree() const { return tree_; }

  // Chooses the objects to copy: every object in use but the pages, the page tree nodes and a
  // linearization dictionary (and, with omitContents, the pages' content streams), and reads each
  // of them once to find its bytes. Raises TQVPDFInputError for any object that cannot be read.
  void Plan(bool omitContents);
  // After Plan: whether object n is copied.
  bool IsCopied(std::int32_t number) const;
  // Writes each planned object at the output's position and stores its cross-reference entry
  // (its number must be reserved already).
  void Copy(TQVPDFFileWriter& out);

 private:
  struct Range {
    std::int32_t number;
    std::uint16_t generation;
    std::uint64_t start, end;
  };

  std::unique_ptr<TQVPDFFileInputStream> ownStream_;
  std::unique_ptr<TQVPDFInputFile> file_;
  TQVInputPageTree tree_;
  std::vector<Range> copied_;
  std::vector<bool> isCopied_;
};

}  // namespace vellora
