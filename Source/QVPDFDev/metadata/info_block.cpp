#include "QVPDFDev/metadata/info_block.h"

#include <utility>

#include "QVPDFDev/objects/host_text.h"

namespace vellora {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

void TQVDeviceInfoBlock::Assign(const TQVDeviceInfoBlock& other) {
  if (&other == this) return;
  utf8 = other.utf8;
  author = other.author;
  creationDate = other.creationDate;
  modificationDate = other.modificationDate;
  producerName = other.producerName;
  creator = other.creator;
  title = other.title;
  subject = other.subject;
  keywords = other.keywords;
  noInformationObject = other.noInformationObject;
  extraEntries = other.extraEntries;
}

void TQVDeviceInfoBlock::SetText(TQVInfoText which, std::string text) {
  std::string* field = nullptr;
  switch (which) {
    case TQVInfoText::author:
      field = &author;
      break;
    case TQVInfoText::creationDate:
      field = &creationDate;
      break;
    case TQVInfoText::modificationDate:
      field = &modificationDate;
      break;
    case TQVInfoText::creator:
      field = &creator;
      break;
    case TQVInfoText::title:
      field = &title;
      break;
    case TQVInfoText::subject:
      field = &subject;
      break;
    case TQVInfoText::keywords:
      field = &keywords;
      break;
  }
  if (field != nullptr) *field = std::move(text);
}

std::u16string TQVDeviceInfoBlock::Decode(std::string_view text) const {
  return DecodeHostText(text, utf8);
}

std::string TQVDeviceInfoBlock::Language() const {
  for (int i = 0; i < extraEntries.Count(); ++i) {
    const TQVInfoEntry entry = SplitInfoEntry(extraEntries[i]);
    if (entry.ok && entry.name == "_Lang") return entry.value;
  }
  return {};
}

TQVInfoEntry SplitInfoEntry(std::string_view entry) {
  TQVInfoEntry result;
  const std::size_t equals = entry.find('=');
  if (equals == std::string_view::npos) return result;
  result.ok = true;
  result.name = std::string(Trim(entry.substr(0, equals)));
  result.value = std::string(entry.substr(equals + 1));
  return result;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

}  // namespace vellora
