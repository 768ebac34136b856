// Decoding of streams copied from an input PDF.
#include <cstdint>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "QVPDFDev/filters/ascii_armour.h"
#include "QVPDFDev/filters/run_length_filter.h"
#include "QVPDFDev/filters/zlib_binding.h"
#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {
namespace {

enum class Filter { kHex, k85, kFlate, kRunLength, kOther };

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

Filter Classify(std::string_view name) {
  if (SameName(name, "ASCIIHexDecode") || SameName(name, "AHx")) return Filter::kHex;
  if (SameName(name, "ASCII85Decode") || SameName(name, "A85")) return Filter::k85;
  if (SameName(name, "FlateDecode") || SameName(name, "Fl")) return Filter::kFlate;
  if (SameName(name, "RunLengthDecode") || SameName(name, "RL")) return Filter::kRunLength;
  return Filter::kOther;
}

// The names of a /Filter value ("/A", "[/A /B]"), without their slashes, in order.
std::vector<std::string> FilterNames(std::string_view text) {
  std::vector<std::string> names;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '/') {
      ++i;
      continue;
    }
    const std::size_t start = ++i;
    while (i < text.size() && std::strchr("/[]<>() \t\r\n\f", text[i]) == nullptr &&
           text[i] != '\0')
      ++i;
    names.emplace_back(text.substr(start, i - start));
  }
  return names;
}

std::vector<std::uint8_t> Decode(Filter filter, const std::vector<std::uint8_t>& data,
                                 std::size_t maxSize) {
  switch (filter) {
    case Filter::kHex:
      return ASCIIHexDecodeBytes(data.data(), data.size());
    case Filter::k85:
      return ASCII85DecodeBytes(data.data(), data.size(), maxSize);
    case Filter::kFlate: {
      const std::size_t estimate = data.size() <= SIZE_MAX / 4 ? data.size() * 4 : SIZE_MAX;
      return ZDecompressBuffer(data.data(), data.size(), estimate, maxSize);
    }
    case Filter::kRunLength:
      return RunLengthDecodeBytes(data.data(), data.size(), maxSize);
    case Filter::kOther:
      break;
  }
  return data;
}

}  // namespace

void TQVPDFStream::DecodeFilters(std::size_t maxDecodedSize) {
  const std::vector<std::string> names =
      FilterNames(InputFilter().empty() ? FilterList() : InputFilter());
  std::size_t done = 0;
  try {
    while (done < names.size()) {
      const Filter filter = Classify(names[done]);
      if (filter == Filter::kOther) break;
      std::vector<std::uint8_t> decoded = Decode(filter, Data(), maxDecodedSize);
      SetData(std::move(decoded));
      ++done;
    }
  } catch (const std::exception&) {
    throw std::runtime_error("Problem in input PDF file");
  }
  if (done == 0) return;
  if (done == names.size()) {
    // Plain data now: written with the document's own compression.
    SetInputFilter({});
    filters_.clear();
    SetInputData(false);
    SetCompressed(false);
    return;
  }
  std::string rest = names.size() - done > 1 ? "[" : "";
  for (std::size_t i = done; i < names.size(); ++i) {
    if (i > done) rest += ' ';
    rest += '/';
    rest += names[i];
  }
  if (names.size() - done > 1) rest += ']';
  if (InputFilter().empty()) {
    filters_.clear();
    for (std::size_t i = done; i < names.size(); ++i) filters_ += "/" + names[i];
  } else {
    SetInputFilter(rest);
  }
}

}  // namespace vellora
