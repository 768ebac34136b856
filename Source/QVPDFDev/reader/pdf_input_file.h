// An input PDF opened for reading: its cross-reference sections (every subsection of every
// section of the /Prev chain, newer sections winning), its newest trailer, and its objects,
// each read from its own bytes with the tokenizer. Everything read is bounded by the file.
//
// Not read: cross-reference streams and object streams ("xref not found"), hybrid files
// (/XRefStm) and encrypted files; each raises TQVPDFInputError with the reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "QVPDFDev/objects/pdf_input_stream.h"
#include "QVPDFDev/reader/pdf_value.h"

namespace vellora {

// Why an input PDF cannot be read, in words for message 6.
class TQVPDFInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Object numbers beyond this are refused, whatever the trailer says.
inline constexpr std::int64_t kMaxInputObjectNumber = 8388607;

struct TQVInputXRefEntry {
  enum class State : std::uint8_t { kUnknown, kFree, kInUse };
  std::uint64_t offset = 0;
  std::uint16_t generation = 0;
  State state = State::kUnknown;
};

// One indirect object: its value and, for a stream, where its data lies.
struct TQVInputObject {
  std::int32_t number = 0;
  std::uint16_t generation = 0;
  TQVPDFValue value;
  bool isStream = false;
  std::uint64_t dataStart = 0, dataLength = 0;
  std::uint64_t start = 0, end = 0;  // "n g obj" to just after "endobj"
};

class TQVPDFInputFile {
 public:
  // Reads the cross-reference sections and trailers; raises TQVPDFInputError.
  explicit TQVPDFInputFile(TQVPDFInputStream& stream);

  TQVPDFInputStream& Stream() { return stream_; }
  // The newest trailer (with its /Root).
  const TQVPDFValue& Trailer() const { return trailer_; }
  // Entries 0 .. Size()-1 of the merged table.
  std::int32_t Size() const { return static_cast<std::int32_t>(entries_.size()); }
  const TQVInputXRefEntry& Entry(std::int32_t number) const {
    return entries_[static_cast<std::size_t>(number)];
  }
  // The offset of an object in use; 0 when the number is not below Size() or not in use.
  std::uint64_t FindObjectOffset(std::int32_t number) const;
  // The version of the header ("1.4"), empty when there is none.
  const std::string& Version() const { return version_; }
  // The offsets of the cross-reference sections read.
  const std::vector<std::uint64_t>& SectionOffsets() const { return sections_; }

  // The object; raises TQVPDFInputError when it is not in use, or its bytes do not hold
  // "n g obj" with its number and generation, a value, the stream data (/Length bytes, an
  // indirect length resolved) and "endobj".
  TQVInputObject ReadObject(std::int32_t number);
  // The value a reference leads to (null for objects not in use, as PDF reads them), or the
  // value itself when it is no reference. Streams give their dictionary.
  TQVPDFValue Resolve(const TQVPDFValue& value);
  // The raw bytes of a stream object's data.
  std::vector<std::uint8_t> StreamData(const TQVInputObject& object);

 private:
  std::uint64_t FindStartXRef();
  void ReadSections(std::uint64_t offset);
  // Reads one section at offset; returns its trailer.
  TQVPDFValue ReadSection(std::uint64_t offset);
  // The bytes at offset, at least minimum of them when the file has that many; endsFile tells
  // whether they reach the end of the file.
  std::vector<std::uint8_t> ReadSpan(std::uint64_t offset, std::size_t size, bool& endsFile);
  std::int64_t StreamLength(const TQVPDFValue& dictionary, std::int32_t number);

  TQVPDFInputStream& stream_;
  std::uint64_t size_;
  std::vector<TQVInputXRefEntry> entries_;
  std::vector<std::uint64_t> sections_;
  TQVPDFValue trailer_;
  std::string version_;
  int lengthDepth_ = 0;
};

}  // namespace vellora
