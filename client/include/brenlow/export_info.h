// TQVPDFExportInfo: the document information a component sends with each document (author,
// creator program, title, subject, keywords, further name=value lines and the two dates).
#pragma once

#include <string>

#include "qvplatform/clock.h"
#include "qvplatform/string_list.h"

namespace brenlow {

using qvplatform::TDateTime;
using qvplatform::TStringList;

class TQVPDFExportInfo {
 public:
  TQVPDFExportInfo() = default;
  TQVPDFExportInfo(const TQVPDFExportInfo&) = delete;
  TQVPDFExportInfo& operator=(const TQVPDFExportInfo&) = delete;

  // Copies all eight members.
  void Assign(const TQVPDFExportInfo& source);

  const std::string& Author() const { return author_; }
  void SetAuthor(std::string v) { author_ = std::move(v); }
  const std::string& Producer() const { return producer_; }
  void SetProducer(std::string v) { producer_ = std::move(v); }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string v) { title_ = std::move(v); }
  const std::string& Subject() const { return subject_; }
  void SetSubject(std::string v) { subject_ = std::move(v); }
  const std::string& Keywords() const { return keywords_; }
  void SetKeywords(std::string v) { keywords_ = std::move(v); }
  // The owned list; the setter copies the lines.
  TStringList& Strings() { return strings_; }
  const TStringList& Strings() const { return strings_; }
  void SetStrings(const TStringList& v) { strings_ = v; }
  TDateTime CreationDate() const { return creationDate_; }
  void SetCreationDate(TDateTime v) { creationDate_ = v; }
  TDateTime ModDate() const { return modDate_; }
  void SetModDate(TDateTime v) { modDate_ = v; }

 private:
  std::string author_, producer_, title_, subject_, keywords_;
  TStringList strings_;
  TDateTime creationDate_ = 0;
  TDateTime modDate_ = 0;
};

}  // namespace brenlow
