// Structure elements: their marked content on pages and their /StructElem dictionaries.
#include <string>

#include "QVPDFDev/file/pdf_file_writer.h"
#include "QVPDFDev/objects/pdf_key_string.h"
#include "QVPDFDev/objects/pdf_name_escape.h"
#include "QVPDFDev/tagged/pdf_struct_tree.h"

namespace vellora {
namespace {

constexpr std::size_t kEntriesPerLine = 8;

}  // namespace

TQVPDFStructElement* TQVPDFStructElement::AddChild(TQVCustomPDFType* page) {
  // The child is this element's kid; the page only marks where this element's content
  // starts, it gives no marked-content number.
  TQVPDFStructElement* child = tree_->NewElement(this, level_ + 1);
  if (page_ == nullptr) page_ = page;
  kids_.push_back(child);
  return child;
}

std::int32_t TQVPDFStructElement::AddMarkedContent(TQVCustomPDFType* page,
                                                   TQVMarkedContentOwners& owners) {
  const auto number = static_cast<std::int32_t>(owners.size());
  owners.push_back(this);
  if (page_ == nullptr) page_ = page;
  markedContent_.push_back({number, page == page_ ? nullptr : page});
  return number;
}

std::string TQVPDFStructElement::KidsText() {
  std::string text;
  std::size_t count = 0;
  const auto separate = [&] {
    if (count > 0) text += (count % kEntriesPerLine == 0) ? '\n' : ' ';
    ++count;
  };
  for (TQVPDFStructElement* kid : kids_) {
    separate();
    text += kid->GetReference();
  }
  for (const MarkedContent& entry : markedContent_) {
    separate();
    if (entry.page == nullptr) {
      text += std::to_string(entry.number);
    } else {
      text += "<</Type/MCR/Pg " + entry.page->GetReference() + "/MCID " +
              std::to_string(entry.number) + ">>";
    }
  }
  if (count == 1 && kids_.empty() && markedContent_.front().page == nullptr) return "/K " + text;
  return count == 0 ? std::string() : "/K [" + text + "]";
}

void TQVPDFStructElement::WriteObject() {
  TQVPDFFileWriter& out = Out();
  MarkWritten();
  std::string head = ObjHeader() + " /Type/StructElem/S";
  AppendNameEntry(head, type_.empty() ? std::string_view("NonStruct") : type_);
  head += "/P " + parent_->GetReference();
  if (page_ != nullptr) head += "/Pg " + page_->GetReference();
  if (!className.empty()) {
    head += "/C";
    AppendNameEntry(head, className);
  }
  out.WriteLn(head);
  WriteKeyString(*this, "T", title);
  WriteKeyString(*this, "Alt", alternateText);
  WriteKeyString(*this, "ActualText", actualText);
  WriteKeyString(*this, "E", expansion);
  WriteKeyString(*this, "ID", identifierText);
  WriteKeyString(*this, "Lang", language);
  const std::string kids = KidsText();
  if (!kids.empty()) out.WriteLn(kids);
  out.WriteObjectEnd(false);
}

}  // namespace vellora
