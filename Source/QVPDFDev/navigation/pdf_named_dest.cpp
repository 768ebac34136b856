#include "QVPDFDev/navigation/pdf_named_dest.h"

#include <algorithm>
#include <stdexcept>

#include "QVPDFDev/navigation/destination_writer.h"
#include "QVPDFDev/objects/host_text.h"
#include "QVPDFDev/objects/pdf_text_encoding.h"

namespace vellora {

bool TQVPDFNamedDest::AddDest(std::string_view name, const TFolvioDestName& position) {
  if (!byUpperName_.try_emplace(TQVLocalDestinations::UpperName(name), destinations_.size()).second)
    return false;
  destinations_.emplace_back(std::string(name), std::make_unique<TFolvioDestName>(position));
  return true;
}

const std::string* TQVPDFNamedDest::Find(std::string_view name) const {
  const auto found = byUpperName_.find(TQVLocalDestinations::UpperName(name));
  return found == byUpperName_.end() ? nullptr : &destinations_[found->second].first;
}

void TQVPDFNamedDest::BindUnplaced(TQVPDFPage* page) {
  for (auto& entry : destinations_)
    if (entry.second->page == nullptr) entry.second->page = page;
}

std::string TQVPDFNamedDest::KeyBytes(std::string_view name) {
  const bool ascii = std::all_of(name.begin(), name.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 128; });
  if (ascii) return std::string(name);
  return UTF16ToUTF16BE(DecodeHostText(name, false));
}

void TQVPDFNamedDest::WriteObject() {
  auto* host = dynamic_cast<TQVDestinationHost*>(Owner());
  if (host == nullptr) throw std::runtime_error("Named destinations need a destination host");
  // Readers search the tree by comparing bytes: the keys must stand in that order.
  std::vector<std::pair<std::string, const TFolvioDestName*>> keyed;
  keyed.reserve(destinations_.size());
  for (const auto& [name, position] : destinations_)
    keyed.emplace_back(KeyBytes(name), position.get());
  std::sort(keyed.begin(), keyed.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });

  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.WriteLn("/Names [");
  for (const auto& [key, position] : keyed) {
    // An entry without a page would be no destination at all.
    if (position->page == nullptr) continue;
    out.WriteLn(LiteralString(key) + " <</D [" +
                FormatDestination(*host, PositionDestination(*position), true) + "]>>");
  }
  out.WriteLn("]");
  out.WriteObjectEnd(false);
}

void TQVPDFNames::WriteObject() {
  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  if (destinations_ != nullptr) out.WriteLn("/Dests " + destinations_->GetReference());
  out.WriteObjectEnd(false);
}

}  // namespace vellora
