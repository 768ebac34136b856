#include "brenlow/export_info.h"

namespace brenlow {

void TQVPDFExportInfo::Assign(const TQVPDFExportInfo& source) {
  if (&source == this) return;
  author_ = source.author_;
  producer_ = source.producer_;
  title_ = source.title_;
  subject_ = source.subject_;
  keywords_ = source.keywords_;
  strings_ = source.strings_;
  creationDate_ = source.creationDate_;
  modDate_ = source.modDate_;
}

}  // namespace brenlow
