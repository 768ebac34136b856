// File attachments: the file attachment annotation (TFolvioEmbeddedFiles) with its file
// /Filespec dictionary, and one embedded-file stream per body (TFolvioEmbeddedFile), written as
// soon as it is made so that a large body is not kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QVPDFDev/document/attachment_record.h"
#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {

class TQVPDFPage;

class TFolvioEmbeddedFile : public TQVPDFStream {
 public:
  explicit TFolvioEmbeddedFile(TQVPDFObjectOwner* owner) : TQVPDFStream(owner, 'E') {}
  std::string_view ClassName() const override { return "TFolvioEmbeddedFile"; }

  // Its dictionary (type, subtype, dates) and how the body is stored; before SetData. A body
  // said to be compressed that its filter cannot undo is taken as plain data.
  void Describe(const TQVAttachmentEntry& entry);
  // The body: copied and written at once.
  void SetData(const std::uint8_t* data, std::size_t length);

  const std::string& FileSystemKey() const { return fileSystemKey_; }

 private:
  std::string fileSystemKey_;
};

class TFolvioEmbeddedFiles : public TQVCustomPDFType {
 public:
  // sharedAppearance: the device's one empty appearance for icon 0, made on first need.
  TFolvioEmbeddedFiles(TQVPDFObjectOwner* owner, bool utf8,
                       std::unique_ptr<TQVPDFStream>* sharedAppearance)
      : TQVCustomPDFType(owner), utf8_(utf8), sharedAppearance_(sharedAppearance) {}
  std::string_view ClassName() const override { return "TFolvioEmbeddedFiles"; }

  // "/Subtype /FileAttachment" with /P, /Rect, /T and /Contents (from the annotation texts,
  // else the file name as /Contents), /FS with one /EF entry per body and the file name
  // under every key that has a body, and the icon (/Name, or the empty appearance).
  void WriteObject() override;

  void SetFileName(std::string name) { fileName_ = std::move(name); }
  void SetIcon(std::uint8_t icon) { icon_ = icon; }
  void SetAnnotationText(std::string commaText) { annotationText_ = std::move(commaText); }
  void SetRectangleText(std::string text) { rectangleText_ = std::move(text); }
  void SetPage(TQVPDFPage* page) { page_ = page; }
  // The stream of a body; at most one per file system key.
  void AddFile(std::unique_ptr<TFolvioEmbeddedFile> file) { files_.push_back(std::move(file)); }
  bool HasFileUnder(const std::string& key) const;
  std::size_t FileCount() const { return files_.size(); }

 private:
  // A text string of host text (code page 1252, or UTF-8 with the flag), encrypted: bytes as
  // they are when all ASCII, else FE FF and UTF-16BE.
  std::string TextString(const std::string& text);

  std::vector<std::unique_ptr<TFolvioEmbeddedFile>> files_;
  std::string annotationText_;
  std::string fileName_;
  std::uint8_t icon_ = 0;
  std::string rectangleText_;
  bool utf8_;
  TQVPDFPage* page_ = nullptr;
  std::unique_ptr<TQVPDFStream>* sharedAppearance_;
};

}  // namespace vellora
