#include "QVPDFDev/metadata/info_dictionary.h"

#include <set>

#include "QVPDFDev/metadata/xmp_builder.h"
#include "QVPDFDev/metadata/xmp_string.h"
#include "QVPDFDev/objects/pdf_name_escape.h"

namespace vellora {
namespace {

// The standard keys; an extra entry of the same name would repeat a key of the dictionary.
constexpr std::string_view kStandardKeys[] = {"Creator",  "Author",       "Title",   "Subject",
                                              "Keywords", "CreationDate", "ModDate", "Producer"};

}  // namespace

void TQVPDFInfo::Prepare() {
  if (block_ == nullptr) return;
  block_->creationDate = PDFDateText(time_);
  block_->modificationDate = block_->creationDate;
  block_->producerName = std::string(kQVProducerName);
  block_->writtenCreator = block_->creator;
  block_->writtenProducer = block_->producerName;
  block_->writtenTitle = block_->title;
}

std::string TQVPDFInfo::AsString() {
  if (Owner() == nullptr || block_ == nullptr) return {};
  Prepare();
  const TQVDeviceInfoBlock& b = *block_;
  // Every text is decoded from its encoding first, so that a character of the code page's
  // upper half is written as the character (as UTF-16) and not as a PDFDocEncoding byte.
  auto entry = [&](std::string& out, std::string_view key, std::string_view value) {
    out += '/';
    out += key;
    out += '(';
    out += EncodeText(b.Decode(value));
    out += ')';
  };
  std::string body;
  entry(body, "Creator", b.creator);
  body += '\n';
  entry(body, "Author", b.author);
  body += '\n';
  entry(body, "Title", b.title);
  body += '\n';
  entry(body, "Subject", b.subject);
  body += '\n';
  entry(body, "Keywords", b.keywords);
  body += '\n';
  body += "/CreationDate" + LiteralString(b.creationDate);
  body += '\n';
  body += "/ModDate" + LiteralString(b.modificationDate);
  body += '\n';
  entry(body, "Producer", b.producerName);

  std::set<std::string> keys(std::begin(kStandardKeys), std::end(kStandardKeys));
  for (int i = 0; i < b.extraEntries.Count(); ++i) {
    TQVInfoEntry extra = SplitInfoEntry(b.extraEntries[i]);
    if (!extra.ok || extra.name.empty() || extra.name == "_Lang" ||
        SameTextIgnoringCase(extra.name, "creator") || SameTextIgnoringCase(extra.name, "producer"))
      continue;
    for (char& c : extra.name)
      if (static_cast<unsigned char>(c) < '!') c = '_';
    // A key may stand only once in a dictionary: the first entry of a name wins.
    if (!keys.insert(extra.name).second) continue;
    body += "\n/";
    AppendEscapedName(body, extra.name);
    body += '(';
    body += EncodeText(b.Decode(extra.value));
    body += ')';
  }
  return body;
}

std::unique_ptr<TQVPDFInfo> WriteDocumentInformation(TQVPDFObjectOwner* owner,
                                                     TQVDeviceInfoBlock& block,
                                                     TQVXMPString& metadata,
                                                     const TQVDocumentTime& time,
                                                     std::span<const std::uint8_t> fileId) {
  if (block.noInformationObject) return nullptr;
  auto info = std::make_unique<TQVPDFInfo>(owner, &block, time);
  info->Prepare();
  BuildXMP(metadata, block, time, fileId);
  if (metadata.HasProperties()) {
    metadata.BeginData();
    metadata.WriteStream();
  }
  info->WriteObject();
  return info;
}

}  // namespace vellora
