#include "QVPDFDev/fonts/font_file_list.h"

#include "QVPDFDev/fonts/font_names.h"
#include "QVPDFDev/fonts/pdf_font_descriptor.h"

namespace vellora {

TQVPDFFontFile::TQVPDFFontFile(TQVPDFObjectOwner* owner, std::string key,
                               TQVFontStreamReporter* reporter)
    : key_(std::move(key)), stream_(owner, this, reporter) {
  stream_.SetKey(key_);
}

std::uint8_t TQVPDFFontFile::GetCIDKind() const {
  std::uint8_t kind = 0;
  for (const TQVFontDescriptor* d : sharers_) {
    if (!d->embedded) continue;
    if (d->cidKind == 0) return 0;
    if (kind == 0 || d->cidKind < kind) kind = d->cidKind;
  }
  return kind;
}

bool TQVPDFFontFile::IsWholeFont() const {
  for (const TQVFontDescriptor* d : sharers_)
    if (d->embedded && d->wholeFont) return true;
  return false;
}

std::string TQVPDFFontFile::GetFontName() const {
  for (const TQVFontDescriptor* d : sharers_)
    if (d->embedded) return d->embeddedFontName;
  return sharers_.empty() ? key_ : sharers_.front()->embeddedFontName;
}

void TQVPDFFontFile::AddSharer(const TQVFontDescriptor* descriptor) {
  for (const TQVFontDescriptor* d : sharers_)
    if (d == descriptor) return;
  sharers_.push_back(descriptor);
}

std::string TQVPDFFontFileList::KeyFor(std::string_view fontName, std::uint8_t cidKind) {
  std::string key(TrimFontName(fontName));
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  if (cidKind > 1) key += "|CID";
  return key;
}

TQVPDFFontFile* TQVPDFFontFileList::Find(std::string_view key) const {
  for (const auto& file : files_)
    if (file->Key() == key) return file.get();
  return nullptr;
}

TQVPDFFontFile& TQVPDFFontFileList::Add(TQVPDFObjectOwner* owner, std::string key,
                                        TQVFontStreamReporter* reporter) {
  files_.push_back(std::make_unique<TQVPDFFontFile>(owner, std::move(key), reporter));
  return *files_.back();
}

}  // namespace vellora
