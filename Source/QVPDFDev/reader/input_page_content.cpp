#include "QVPDFDev/reader/input_page_content.h"

#include <algorithm>
#include <exception>
#include <string>

#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {
namespace {

std::string Where(const TQVInputPage& page, std::int32_t stream) {
  return "content " + std::to_string(stream) + " of page object " + std::to_string(page.number);
}

// The /Filter value as filter text ("/A" or "[/A /B]"), names resolved.
std::string FilterText(TQVPDFInputFile& file, const TQVPDFValue& dictionary,
                       const std::string& where) {
  const TQVPDFValue* entry = dictionary.Find("Filter");
  if (entry == nullptr) return {};
  const TQVPDFValue filter = file.Resolve(*entry);
  std::string text;
  if (filter.IsNull()) return text;
  if (filter.kind == TQVPDFValue::Kind::kName) {
    AppendValue(text, filter);
    return text;
  }
  if (!filter.IsArray()) throw TQVPDFInputError(where + ": damaged /Filter");
  text = "[";
  for (const TQVPDFValue& item : filter.items) {
    const TQVPDFValue name = file.Resolve(item);
    if (name.kind != TQVPDFValue::Kind::kName) throw TQVPDFInputError(where + ": damaged /Filter");
    if (text.size() > 1) text += ' ';
    AppendValue(text, name);
  }
  return text + "]";
}

// Predictors are not undone: content with one is refused rather than handed on undecoded.
void CheckDecodeParms(TQVPDFInputFile& file, const TQVPDFValue& dictionary,
                      const std::string& where) {
  const TQVPDFValue* entry = dictionary.Find("DecodeParms");
  if (entry == nullptr) return;
  const TQVPDFValue parms = file.Resolve(*entry);
  std::vector<TQVPDFValue> list;
  if (parms.IsArray()) {
    list = parms.items;
  } else {
    list.push_back(parms);
  }
  for (const TQVPDFValue& item : list) {
    const TQVPDFValue one = file.Resolve(item);
    const TQVPDFValue* predictor = one.Find("Predictor");
    if (predictor != nullptr && predictor->kind == TQVPDFValue::Kind::kInteger &&
        predictor->integer > 1)
      throw TQVPDFInputError(where + ": predictors are not supported");
  }
}

}  // namespace

std::vector<std::uint8_t> ReadPageContent(TQVPDFInputFile& file, const TQVInputPage& page,
                                          std::size_t maxSize) {
  std::vector<std::uint8_t> joined;
  for (std::int32_t number : page.contents) {
    const std::string where = Where(page, number);
    TQVInputObject object = file.ReadObject(number);
    if (!object.isStream) throw TQVPDFInputError(where + " is no stream");
    const std::string filter = FilterText(file, object.value, where);
    CheckDecodeParms(file, object.value, where);
    TQVPDFStream stream(nullptr);
    stream.SetData(file.StreamData(object));
    if (!filter.empty()) {
      stream.SetInputData(true);
      stream.SetInputFilter(filter);
      try {
        stream.DecodeFilters(maxSize);
      } catch (const std::exception&) {
        throw TQVPDFInputError(where + ": damaged data");
      }
      if (!stream.InputFilter().empty())
        throw TQVPDFInputError(where + ": cannot undo the filter " + stream.InputFilter());
    }
    const std::vector<std::uint8_t>& data = stream.Data();
    if (!joined.empty() && !TQVPDFLexer::IsWhiteSpace(joined.back())) joined.push_back('\n');
    if (data.size() > maxSize - std::min(maxSize, joined.size()))
      throw TQVPDFInputError(where + ": content larger than " + std::to_string(maxSize) + " bytes");
    joined.insert(joined.end(), data.begin(), data.end());
  }
  return joined;
}

}  // namespace vellora
