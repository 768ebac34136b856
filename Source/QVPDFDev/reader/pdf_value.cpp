#include "QVPDFDev/reader/pdf_value.h"

#include "QVPDFDev/objects/pdf_name_escape.h"

namespace vellora {
namespace {

TQVPDFValue ParseToken(TQVPDFLexer& lexer, TQVToken& token, int depth);

TQVPDFValue ParseArray(TQVPDFLexer& lexer, int depth) {
  TQVPDFValue array;
  array.kind = TQVPDFValue::Kind::kArray;
  for (;;) {
    TQVToken token = lexer.Next();
    if (token.kind == TQVTokenKind::kArrayClose) return array;
    if (token.kind == TQVTokenKind::kEnd) throw TQVPDFSyntaxError("the file ends inside an array");
    array.items.push_back(ParseToken(lexer, token, depth + 1));
  }
}

TQVPDFValue ParseDictionary(TQVPDFLexer& lexer, int depth) {
  TQVPDFValue dictionary;
  dictionary.kind = TQVPDFValue::Kind::kDictionary;
  for (;;) {
    TQVToken key = lexer.Next();
    if (key.kind == TQVTokenKind::kDictClose) return dictionary;
    if (key.kind != TQVTokenKind::kName)
      throw TQVPDFSyntaxError("a dictionary key that is no name at offset " +
                              std::to_string(key.start));
    TQVToken token = lexer.Next();
    if (token.kind == TQVTokenKind::kDictClose)
      throw TQVPDFSyntaxError("a dictionary key without a value");
    // A repeated key is kept twice; Find answers with the last one.
    dictionary.items.push_back(ParseToken(lexer, token, depth + 1));
    dictionary.keys.push_back(std::move(key.text));
  }
}

// After an integer: "g R" makes it a reference; otherwise the position goes back.
bool ReadReferenceTail(TQVPDFLexer& lexer, std::int64_t number, TQVPDFValue& value) {
  const std::size_t saved = lexer.Position();
  if (number < 0) return false;
  TQVToken generation = lexer.Next();
  if (generation.kind == TQVTokenKind::kInteger && generation.integer >= 0 &&
      generation.integer <= 65535) {
    TQVToken r = lexer.Next();
    if (r.kind == TQVTokenKind::kKeyword && r.text == "R") {
      value.kind = TQVPDFValue::Kind::kReference;
      value.integer = number;
      value.generation = generation.integer;
      return true;
    }
  }
  lexer.SetPosition(saved);
  return false;
}

TQVPDFValue ParseToken(TQVPDFLexer& lexer, TQVToken& token, int depth) {
  if (depth > kMaxValueDepth) throw TQVPDFSyntaxError("objects nested too deeply");
  TQVPDFValue value;
  switch (token.kind) {
    case TQVTokenKind::kInteger:
      value.kind = TQVPDFValue::Kind::kInteger;
      value.integer = token.integer;
      ReadReferenceTail(lexer, token.integer, value);
      return value;
    case TQVTokenKind::kReal:
      value.kind = TQVPDFValue::Kind::kReal;
      value.real = token.real;
      value.text = std::move(token.text);
      return value;
    case TQVTokenKind::kName:
      value.kind = TQVPDFValue::Kind::kName;
      value.text = std::move(token.text);
      return value;
    case TQVTokenKind::kString:
      value.kind = TQVPDFValue::Kind::kString;
      value.text = std::move(token.text);
      return value;
    case TQVTokenKind::kArrayOpen:
      return ParseArray(lexer, depth);
    case TQVTokenKind::kDictOpen:
      return ParseDictionary(lexer, depth);
    case TQVTokenKind::kKeyword:
      if (token.text == "true" || token.text == "false") {
        value.kind = TQVPDFValue::Kind::kBoolean;
        value.boolean = token.text == "true";
        return value;
      }
      if (token.text == "null") return value;
      throw TQVPDFSyntaxError("an unexpected \"" + token.text + "\" at offset " +
                              std::to_string(token.start));
    case TQVTokenKind::kEnd:
      throw TQVPDFSyntaxError("the file ends where an object should be");
    default:
      throw TQVPDFSyntaxError("an unexpected bracket at offset " + std::to_string(token.start));
  }
}

}  // namespace

const TQVPDFValue* TQVPDFValue::Find(std::string_view key) const {
  if (kind != Kind::kDictionary) return nullptr;
  for (std::size_t i = keys.size(); i-- > 0;)
    if (keys[i] == key) return &items[i];
  return nullptr;
}

void TQVPDFValue::Erase(std::string_view key) {
  for (std::size_t i = keys.size(); i-- > 0;) {
    if (keys[i] == key) {
      keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(i));
      items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

void TQVPDFValue::Set(std::string_view key, TQVPDFValue value) {
  Erase(key);
  keys.emplace_back(key);
  items.push_back(std::move(value));
}

TQVPDFValue ParseValue(TQVPDFLexer& lexer) {
  TQVToken token = lexer.Next();
  return ParseToken(lexer, token, 0);
}

void AppendDictionaryEntries(std::string& out, const TQVPDFValue& dictionary) {
  for (std::size_t i = 0; i < dictionary.keys.size(); ++i) {
    out += '/';
    AppendEscapedName(out, dictionary.keys[i]);
    out += ' ';
    AppendValue(out, dictionary.items[i]);
    out += '\n';
  }
}

void AppendValue(std::string& out, const TQVPDFValue& value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  switch (value.kind) {
    case TQVPDFValue::Kind::kNull:
      out += "null";
      break;
    case TQVPDFValue::Kind::kBoolean:
      out += value.boolean ? "true" : "false";
      break;
    case TQVPDFValue::Kind::kInteger:
      out += std::to_string(value.integer);
      break;
    case TQVPDFValue::Kind::kReal:
      out += value.text.empty() ? "0" : value.text;
      break;
    case TQVPDFValue::Kind::kName:
      out += '/';
      AppendEscapedName(out, value.text);
      break;
    case TQVPDFValue::Kind::kString:
      out += '<';
      for (char ch : value.text) {
        const auto c = static_cast<unsigned char>(ch);
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
      }
      out += '>';
      break;
    case TQVPDFValue::Kind::kArray:
      out += '[';
      for (std::size_t i = 0; i < value.items.size(); ++i) {
        if (i > 0) out += ' ';
        AppendValue(out, value.items[i]);
      }
      out += ']';
      break;
    case TQVPDFValue::Kind::kDictionary:
      out += "<<\n";
      AppendDictionaryEntries(out, value);
      out += ">>";
      break;
    case TQVPDFValue::Kind::kReference:
      out += std::to_string(value.integer) + ' ' + std::to_string(value.generation) + " R";
      break;
  }
}

}  // namespace vellora
