#include "QVPDFDev/reader/pdf_input_file.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vellora {
namespace {

constexpr std::size_t kFirstSpan = 4096;
constexpr std::size_t kEndWindow = 1024;
constexpr std::size_t kMaxSections = 1024;
constexpr int kMaxReferenceHops = 8;

std::string ObjectName(std::int64_t number) { return "object " + std::to_string(number); }

// The last occurrence of what in bytes, or npos.
std::size_t FindLast(const std::vector<std::uint8_t>& bytes, std::string_view what) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return text.rfind(what);
}

bool IsKeyword(const TQVToken& token, std::string_view word) {
  return token.kind == TQVTokenKind::kKeyword && token.text == word;
}

std::int64_t ExpectInteger(TQVPDFLexer& lexer, const char* what) {
  TQVToken token = lexer.Next();
  if (token.kind != TQVTokenKind::kInteger)
    throw TQVPDFInputError(std::string("damaged ") + what + " at offset " +
                           std::to_string(token.start));
  return token.integer;
}

}  // namespace

TQVPDFInputFile::TQVPDFInputFile(TQVPDFInputStream& stream)
    : stream_(stream), size_(stream.Size()) {
  try {
    bool endsFile = false;
    std::vector<std::uint8_t> head = ReadSpan(0, 1024, endsFile);
    const std::size_t at =
        std::string_view(reinterpret_cast<const char*>(head.data()), head.size()).find("%PDF-");
    if (at != std::string_view::npos) {
      for (std::size_t i = at + 5; i < head.size() && version_.size() < 4; ++i) {
        if ((head[i] < '0' || head[i] > '9') && head[i] != '.') break;
        version_ += static_cast<char>(head[i]);
      }
    }
    ReadSections(FindStartXRef());
  } catch (const TQVPDFSyntaxError& e) {
    throw TQVPDFInputError(e.what());
  }
}

std::vector<std::uint8_t> TQVPDFInputFile::ReadSpan(std::uint64_t offset, std::size_t size,
                                                    bool& endsFile) {
  if (offset >= size_) {
    endsFile = true;
    return {};
  }
  const std::uint64_t left = size_ - offset;
  if (size >= left) size = static_cast<std::size_t>(left);
  std::vector<std::uint8_t> bytes(size);
  bytes.resize(stream_.ReadAt(offset, bytes.data(), bytes.size()));
  endsFile = bytes.size() >= left || bytes.size() < size;
  return bytes;
}

std::uint64_t TQVPDFInputFile::FindStartXRef() {
  // Windows overlap by the length of "%%EOF" less one, so that a marker across two is found.
  std::uint64_t end = size_;
  std::uint64_t eof = 0;
  bool found = false;
  while (!found) {
    const std::uint64_t start = end > kEndWindow ? end - kEndWindow : 0;
    bool endsFile = false;
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(end + 4, size_) - start);
    std::vector<std::uint8_t> window = ReadSpan(start, count, endsFile);
    const std::size_t at = FindLast(window, "%%EOF");
    if (at != std::string_view::npos) {
      eof = start + at;
      found = true;
    } else if (start == 0) {
      throw TQVPDFInputError("Invalid File");
    }
    end = start;
  }
  const std::uint64_t from = eof > kEndWindow ? eof - kEndWindow : 0;
  bool endsFile = false;
  std::vector<std::uint8_t> tail = ReadSpan(from, static_cast<std::size_t>(eof - from), endsFile);
  const std::size_t at = FindLast(tail, "startxref");
  if (at == std::string_view::npos) throw TQVPDFInputError("startxref not found");
  TQVPDFLexer lexer(tail, true, at + 9);
  const std::int64_t offset = ExpectInteger(lexer, "startxref");
  if (offset <= 0 || static_cast<std::uint64_t>(offset) >= size_)
    throw TQVPDFInputError("startxref lies outside the file");
  return static_cast<std::uint64_t>(offset);
}

void TQVPDFInputFile::ReadSections(std::uint64_t offset) {
  std::unordered_map<std::int64_t, TQVInputXRefEntry> merged;
  std::unordered_set<std::uint64_t> seen;
  bool newest = true;
  for (;;) {
    if (!seen.insert(offset).second) throw TQVPDFInputError("loop in the /Prev chain");
    if (sections_.size() >= kMaxSections) throw TQVPDFInputError("too many xref sections");
    sections_.push_back(offset);

    // Read the section with a span large enough for all of it.
    std::vector<std::pair<std::int64_t, TQVInputXRefEntry>> listed;
    TQVPDFValue trailer;
    for (std::size_t span = kFirstSpan;; span *= 4) {
      bool endsFile = false;
      std::vector<std::uint8_t> bytes = ReadSpan(offset, span, endsFile);
      TQVPDFLexer lexer(bytes, endsFile);
      listed.clear();
      try {
        if (!IsKeyword(lexer.Next(), "xref")) throw TQVPDFInputError("xref not found");
        for (;;) {
          TQVToken token = lexer.Next();
          if (IsKeyword(token, "trailer")) break;
          if (token.kind != TQVTokenKind::kInteger) throw TQVPDFInputError("trailer not found");
          const std::int64_t first = token.integer;
          const std::int64_t count = ExpectInteger(lexer, "xref subsection");
          if (first < 0 || count < 0 || first > kMaxInputObjectNumber ||
              count > kMaxInputObjectNumber + 1 - first)
            throw TQVPDFInputError("xref subsection beyond object " +
                                   std::to_string(kMaxInputObjectNumber));
          if (static_cast<std::uint64_t>(count) > (size_ - offset) / 18)
            throw TQVPDFInputError("xref count past the end of the file");
          for (std::int64_t k = 0; k < count; ++k) {
            const std::int64_t at = ExpectInteger(lexer, "xref entry");
            const std::int64_t generation = ExpectInteger(lexer, "xref entry");
            TQVToken kind = lexer.Next();
            TQVInputXRefEntry entry;
            if (IsKeyword(kind, "n")) {
              if (at <= 0 || static_cast<std::uint64_t>(at) >= size_)
                throw TQVPDFInputError(ObjectName(first + k) + " lies outside the file");
              entry.state = TQVInputXRefEntry::State::kInUse;
            } else if (IsKeyword(kind, "f")) {
              entry.state = TQVInputXRefEntry::State::kFree;
            } else {
              throw TQVPDFInputError("damaged xref entry at offset " + std::to_string(kind.start));
            }
            if (generation < 0 || generation > 65535)
              throw TQVPDFInputError("damaged xref entry at offset " + std::to_string(kind.start));
            entry.offset = static_cast<std::uint64_t>(at);
            entry.generation = static_cast<std::uint16_t>(generation);
            listed.emplace_back(first + k, entry);
          }
        }
        trailer = ParseValue(lexer);
        if (!trailer.IsDictionary()) throw TQVPDFInputError("trailer not found");
        break;
      } catch (const TQVPDFTruncatedSpan&) {
        // The section goes on past the span: read again with a larger one.
      } catch (const TQVPDFSyntaxError& e) {
        throw TQVPDFInputError(std::string("damaged xref section: ") + e.what());
      }
    }
    // Newer sections win: an entry is taken only where no newer section had one.
    for (const auto& [number, entry] : listed) merged.emplace(number, entry);

    if (trailer.Find("Encrypt") != nullptr)
      throw TQVPDFInputError("encrypted input is not supported");
    if (trailer.Find("XRefStm") != nullptr)
      throw TQVPDFInputError("hybrid xref (/XRefStm) is not supported");
    if (newest) {
      trailer_ = trailer;
      newest = false;
    } else if (trailer_.Find("Root") == nullptr && trailer.Find("Root") != nullptr) {
      trailer_.Set("Root", *trailer.Find("Root"));
    }
    const TQVPDFValue* prev = trailer.Find("Prev");
    if (prev == nullptr || prev->IsNull()) break;
    if (prev->kind != TQVPDFValue::Kind::kInteger || prev->integer <= 0 ||
        static_cast<std::uint64_t>(prev->integer) >= size_)
      throw TQVPDFInputError("/Prev lies outside the file");
    offset = static_cast<std::uint64_t>(prev->integer);
  }

  const TQVPDFValue* size = trailer_.Find("Size");
  if (size == nullptr || size->kind != TQVPDFValue::Kind::kInteger || size->integer <= 0 ||
      size->integer > kMaxInputObjectNumber + 1)
    throw TQVPDFInputError("the trailer's /Size is missing or invalid");
  std::int64_t highest = 0;
  for (const auto& item : merged) highest = std::max(highest, item.first);
  if (highest >= size->integer)
    throw TQVPDFInputError(ObjectName(highest) + " is not below the trailer's /Size");
  // The table is held whole: numbers out of proportion to the file are refused.
  if (static_cast<std::uint64_t>(highest) > size_ / 4 + 16)
    throw TQVPDFInputError("object numbers out of proportion to the file");
  entries_.assign(static_cast<std::size_t>(highest) + 1, TQVInputXRefEntry{});
  for (const auto& [number, entry] : merged) entries_[static_cast<std::size_t>(number)] = entry;
  entries_[0] = TQVInputXRefEntry{0, 65535, TQVInputXRefEntry::State::kFree};
}

std::uint64_t TQVPDFInputFile::FindObjectOffset(std::int32_t number) const {
  if (number <= 0 || number >= Size()) return 0;
  const TQVInputXRefEntry& entry = Entry(number);
  return entry.state == TQVInputXRefEntry::State::kInUse ? entry.offset : 0;
}

std::int64_t TQVPDFInputFile::StreamLength(const TQVPDFValue& dictionary, std::int32_t number) {
  const TQVPDFValue* length = dictionary.Find("Length");
  if (length == nullptr) throw TQVPDFInputError(ObjectName(number) + " has no /Length");
  if (length->IsReference()) {
    if (lengthDepth_ > 0) throw TQVPDFInputError(ObjectName(number) + ": /Length loop");
    ++lengthDepth_;
    struct Guard {
      int& depth;
      ~Guard() { --depth; }
    } guard{lengthDepth_};
    if (length->integer <= 0 || length->integer >= Size())
      throw TQVPDFInputError(ObjectName(number) + ": /Length names a missing object");
    TQVInputObject target = ReadObject(static_cast<std::int32_t>(length->integer));
    if (target.isStream || target.value.kind != TQVPDFValue::Kind::kInteger)
      throw TQVPDFInputError(ObjectName(number) + ": /Length is no integer");
    return target.value.integer;
  }
  if (length->kind != TQVPDFValue::Kind::kInteger)
    throw TQVPDFInputError(ObjectName(number) + ": /Length is no integer");
  return length->integer;
}

TQVInputObject TQVPDFInputFile::ReadObject(std::int32_t number) {
  const std::uint64_t offset = FindObjectOffset(number);
  if (offset == 0) throw TQVPDFInputError(ObjectName(number) + " is not in the file");
  TQVInputObject object;
  object.number = number;
  object.generation = Entry(number).generation;
  object.start = offset;
  try {
    for (std::size_t span = kFirstSpan;; span *= 4) {
      bool endsFile = false;
      std::vector<std::uint8_t> bytes = ReadSpan(offset, span, endsFile);
      TQVPDFLexer lexer(bytes, endsFile);
      try {
        TQVToken n = lexer.Next();
        TQVToken g = lexer.Next();
        if (n.kind != TQVTokenKind::kInteger || n.integer != number ||
            g.kind != TQVTokenKind::kInteger || g.integer != object.generation ||
            !IsKeyword(lexer.Next(), "obj"))
          throw TQVPDFInputError(ObjectName(number) + " is not at its xref offset");
        object.value = ParseValue(lexer);
        TQVToken after = lexer.Next();
        if (IsKeyword(after, "endobj")) {
          object.end = offset + lexer.Position();
          return object;
        }
        if (!IsKeyword(after, "stream") || !object.value.IsDictionary())
          throw TQVPDFInputError(ObjectName(number) + " has no endobj");
        // The data starts past the line end after "stream": CR LF, LF (or a lone CR).
        std::size_t at = lexer.Position();
        if (at + 1 >= bytes.size() && !endsFile) throw TQVPDFTruncatedSpan();
        if (at < bytes.size() && bytes[at] == 13) ++at;
        if (at < bytes.size() && bytes[at] == 10) ++at;
        object.isStream = true;
        object.dataStart = offset + at;
        break;
      } catch (const TQVPDFTruncatedSpan&) {
        // The object goes on past the span: read again with a larger one.
      }
    }
    const std::int64_t length = StreamLength(object.value, number);
    if (length < 0 || static_cast<std::uint64_t>(length) > size_ - object.dataStart)
      throw TQVPDFInputError(ObjectName(number) + ": /Length runs past the end of the file");
    object.dataLength = static_cast<std::uint64_t>(length);
    const std::uint64_t tail = object.dataStart + object.dataLength;
    for (std::size_t span = 256;; span *= 4) {
      bool endsFile = false;
      std::vector<std::uint8_t> bytes = ReadSpan(tail, span, endsFile);
      TQVPDFLexer lexer(bytes, endsFile);
      try {
        if (!IsKeyword(lexer.Next(), "endstream"))
          throw TQVPDFInputError(ObjectName(number) + ": /Length does not end at endstream");
        if (!IsKeyword(lexer.Next(), "endobj"))
          throw TQVPDFInputError(ObjectName(number) + " has no endobj");
        object.end = tail + lexer.Position();
        return object;
      } catch (const TQVPDFTruncatedSpan&) {
      }
    }
  } catch (const TQVPDFSyntaxError& e) {
    throw TQVPDFInputError(ObjectName(number) + ": " + e.what());
  }
}

TQVPDFValue TQVPDFInputFile::Resolve(const TQVPDFValue& value) {
  TQVPDFValue current = value;
  for (int hop = 0; current.IsReference(); ++hop) {
    if (hop >= kMaxReferenceHops) throw TQVPDFInputError("references lead in a circle");
    if (current.integer <= 0 || current.integer >= Size()) return {};
    const auto number = static_cast<std::int32_t>(current.integer);
    if (FindObjectOffset(number) == 0 || Entry(number).generation != current.generation) return {};
    current = ReadObject(number).value;
  }
  return current;
}

std::vector<std::uint8_t> TQVPDFInputFile::StreamData(const TQVInputObject& object) {
  std::vector<std::uint8_t> data(static_cast<std::size_t>(object.dataLength));
  if (stream_.ReadAt(object.dataStart, data.data(), data.size()) != data.size())
    throw TQVPDFInputError(ObjectName(object.number) + ": the file ends inside its data");
  return data;
}

}  // namespace vellora
