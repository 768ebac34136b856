#include "QVPDFDev/document/embedded_files.h"

#include <algorithm>

#include "QVPDFDev/filters/compressed_stream_check.h"
#include "QVPDFDev/objects/host_text.h"
#include "QVPDFDev/objects/pdf_name_escape.h"
#include "QVPDFDev/objects/pdf_text_encoding.h"
#include "QVPDFDev/pages/pdf_page.h"
#include "qvplatform/string_list.h"

namespace vellora {
namespace {

bool IsAscii(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 128; });
}

const char* IconName(std::uint8_t icon) {
  switch (icon) {
    case 1:
      return "/Name /PushPin";
    case 2:
      return "/Name /Graph";
    case 3:
      return "/Name /Paperclip";
    case 4:
      return "/Name /Tag";
    default:
      return nullptr;
  }
}

}  // namespace

void TFolvioEmbeddedFile::Describe(const TQVAttachmentEntry& entry) {
  fileSystemKey_ = entry.fileSystemKey;
  std::string text = "/Type /EmbeddedFile ";
  if (!entry.subtype.empty()) {
    text += "/Subtype /";
    AppendEscapedName(text, entry.subtype);
    text += ' ';
  }
  if (entry.created || entry.modified) {
    text += "/Params << ";
    if (entry.created) text += "/CreationDate " + LiteralString(PdfDateText(*entry.created)) + "\n";
    if (entry.modified) text += "/ModDate " + LiteralString(PdfDateText(*entry.modified)) + " ";
    text += ">> ";
  }
  SetExtraEntries(std::move(text));
  // A body compressed before is written as it is, its filter named in the filter list (so
  // that armour, when on, goes in front of it).
  switch (entry.data) {
    case TQVAttachmentData::plain:
      break;
    case TQVAttachmentData::stored:
      SetCompressed(true);
      break;
    case TQVAttachmentData::flate:
      // Damaged data under the filter would be lost to every reader: it is written as plain
      // data instead, compressed by the writer like any stream.
      if (!IsCompleteZlibStream(entry.body, entry.bodySize)) break;
      SetCompressed(true);
      PrependFilter("/FlateDecode");
      break;
    case TQVAttachmentData::lzw:
      if (!IsValidLzwStream(entry.body, entry.bodySize)) break;
      SetCompressed(true);
      PrependFilter("/LZWDecode");
      break;
  }
}

void TFolvioEmbeddedFile::SetData(const std::uint8_t* data, std::size_t length) {
  BeginData();
  if (length > 0) {
    MutableData().reserve(length);
    WriteBytes(data, length);
  }
  WriteStream();
}

bool TFolvioEmbeddedFiles::HasFileUnder(const std::string& key) const {
  return std::any_of(files_.begin(), files_.end(),
                     [&](const auto& file) { return file->FileSystemKey() == key; });
}

std::string TFolvioEmbeddedFiles::TextString(const std::string& text) {
  if (IsAscii(text)) return LiteralString(text);
  return LiteralString(UTF16ToUTF16BE(DecodeHostText(text, utf8_)));
}

void TFolvioEmbeddedFiles::WriteObject() {
  TQVPDFStream* appearance = nullptr;
  if (icon_ == 0 && sharedAppearance_ != nullptr) {
    if (!*sharedAppearance_) {
      auto stream = std::make_unique<TQVPDFStream>(Owner());
      stream->SetExtraEntries(
          "/BBox [ 0 0 25 25 ] /Resources << /ProcSet [ /PDF ] >>\n"
          "/Type /XObject /Subtype /Form /FormType 1 /Matrix [ 1 0 0 1 0 0 ]");
      stream->BeginData();
      stream->WriteStream();
      *sharedAppearance_ = std::move(stream);
    }
    appearance = sharedAppearance_->get();
  }

  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.WriteLn("/Type /Annot");
  std::string text = "/Subtype /FileAttachment\n";
  if (page_ != nullptr) {
    out.Write(text);
    out.WriteLn("/P " + page_->GetReference());
    text.clear();
  }
  text += rectangleText_ + "\n";

  qvplatform::TStringList entries;
  entries.SetCommaText(annotationText_);
  bool described = false;
  for (int i = 0; i < entries.Count(); ++i) {
    const std::string name = entries.Names(i);
    const char* key = qvplatform::TStringList::CompareText(name, "Contents") == 0 ? "/Contents "
                      : qvplatform::TStringList::CompareText(name, "Title") == 0  ? "/T "
                                                                                  : nullptr;
    if (key == nullptr) continue;
    text += key + TextString(entries.ValueFromIndex(i)) + "\n";
    described = true;
  }
  if (!described) text += "/Contents " + TextString(fileName_) + "\n";

  // The file name under every key a body is listed under, so that readers of any of them
  // find both; the first body doubles as /F when no body has that key.
  text += "/FS << /Type /Filespec ";
  if (utf8_) text += "/UF " + TextString(fileName_) + " ";
  const std::string nameBytes = LiteralString(fileName_);
  const bool hasF = HasFileUnder("F");
  text += "/F " + nameBytes + " ";
  for (const auto& file : files_)
    if (file->FileSystemKey() != "F") text += "/" + file->FileSystemKey() + " " + nameBytes + " ";
  text += "/EF <<";
  if (!hasF && !files_.empty()) text += "/F " + files_.front()->GetReference() + " ";
  for (const auto& file : files_)
    text += "/" + file->FileSystemKey() + " " + file->GetReference() + " ";
  text += ">> >>\n";
  out.Write(text);

  if (const char* icon = IconName(icon_)) {
    out.WriteLn(icon);
  } else if (appearance != nullptr) {
    out.Write("/AP << /N " + appearance->GetReference() + "/D " + appearance->GetReference() +
              " >>\n");
  }
  out.WriteObjectEnd(false);
}

}  // namespace vellora
