// The objects of an input PDF as values: null, booleans, numbers, names, strings, arrays,
// dictionaries and references. Parsed from the tokens of one object, nested at most
// kMaxValueDepth levels, and written back as PDF syntax.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/reader/pdf_lexer.h"

namespace vellora {

inline constexpr int kMaxValueDepth = 256;

struct TQVPDFValue {
  enum class Kind : std::uint8_t {
    kNull,
    kBoolean,
    kInteger,
    kReal,
    kName,
    kString,
    kArray,
    kDictionary,
    kReference
  };
  Kind kind = Kind::kNull;
  bool boolean = false;
  std::int64_t integer = 0;     // also the object number of a reference
  std::int64_t generation = 0;  // of a reference
  double real = 0;
  std::string text;               // a name, the bytes of a string, a real as written
  std::vector<std::string> keys;  // of a dictionary, one for each item
  std::vector<TQVPDFValue> items;

  bool IsNull() const { return kind == Kind::kNull; }
  bool IsNumber() const { return kind == Kind::kInteger || kind == Kind::kReal; }
  double Number() const { return kind == Kind::kInteger ? static_cast<double>(integer) : real; }
  bool IsName(std::string_view name) const { return kind == Kind::kName && text == name; }
  bool IsDictionary() const { return kind == Kind::kDictionary; }
  bool IsArray() const { return kind == Kind::kArray; }
  bool IsReference() const { return kind == Kind::kReference; }
  // The value of a dictionary's key; nullptr when absent or not a dictionary.
  const TQVPDFValue* Find(std::string_view key) const;
  // Drops the key of a dictionary.
  void Erase(std::string_view key);
  // Sets (replaces or appends) a dictionary entry.
  void Set(std::string_view key, TQVPDFValue value);
};

// Reads one value at the lexer's position ("n g R" as a reference). Raises TQVPDFSyntaxError
// for damaged syntax or nesting deeper than kMaxValueDepth, TQVPDFTruncatedSpan when the span
// ends inside it.
TQVPDFValue ParseValue(TQVPDFLexer& lexer);

// Appends the value as PDF syntax: names escaped, strings as hex strings, reals as written.
void AppendValue(std::string& out, const TQVPDFValue& value);
// A dictionary's entries without the enclosing "<<" and ">>".
void AppendDictionaryEntries(std::string& out, const TQVPDFValue& dictionary);

}  // namespace vellora
