#include "QVPDFDev/pages/pdf_page.h"

#include <stdexcept>

#include "QVPDFDev/pages/pdf_page_tree.h"
#include "QVPDFDev/resources/pdf_resource.h"

namespace vellora {
namespace {

constexpr std::size_t kReferencesPerLine = 8;

template <class T>
void WriteShared(const TQVNamedObjectList<T>& list) {
  for (std::size_t i = 0; i < list.Count(); ++i) {
    T* stream = list.At(i);
    if (!stream->IsWritten() && !stream->HoldBack()) stream->WriteStream();
  }
}

}  // namespace

TQVPDFPage::~TQVPDFPage() = default;

TQVPDFStream* TQVPDFPage::AddContents(std::unique_ptr<TQVPDFStream> stream) {
  contents_.push_back(std::move(stream));
  return contents_.back().get();
}

void TQVPDFPage::AddAnnotation(TQVCustomPDFType* annotation) {
  if (!annotations_) annotations_ = std::make_unique<TQVPDFArray>(Owner(), true);
  annotations_->Add(annotation);
}

void TQVPDFPage::WritePageObjects() {
  if (objectsWritten_) return;
  for (auto& stream : contents_)
    if (!stream->IsWritten()) stream->WriteStream();
  // The dictionary refers to the thumbnail, so it must be in the file.
  if (thumbnail_ && !thumbnail_->IsWritten()) thumbnail_->WriteStream();
  if (TQVPDFResource* resources = Owner() ? Owner()->SharedResources() : nullptr) {
    WriteShared(resources->XObjects());
    WriteShared(resources->ColorSpaces());
    WriteShared(resources->Patterns());
    WriteShared(resources->XObjects());
  }
  objectsWritten_ = true;
}

void TQVPDFPage::WriteObject() {
  if (parent_ == nullptr) throw std::runtime_error("Page has no parent!");
  WritePageObjects();
  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.WriteLn("/Type/Page");
  if (!extraText_.empty()) out.WriteLn(extraText_);
  out.WriteLn("/Parent " + parent_->GetReference());
  if (thumbnail_) out.WriteLn("/Thumb " + thumbnail_->GetReference());
  // /Rotate must be a multiple of 90; other values (such as the landscape flag 1) are not
  // a rotation a reader can show.
  const std::int32_t rotate = rotation_ % 360;
  if (rotate != 0 && rotate % 90 == 0) out.WriteLn("/Rotate " + std::to_string(rotate));
  if (TQVPDFResource* resources = Owner()->SharedResources())
    out.WriteLn("/Resources " + resources->GetReference());
  out.WriteMediaBox(width_, height_);
  if (structParentsKey_ >= 0) out.WriteLn("/StructParents " + std::to_string(structParentsKey_));
  if (annotations_ && annotations_->Count() > 0) {
    std::string line = "/Annots [";
    for (TQVCustomPDFType* annotation : annotations_->Objects())
      line += annotation->GetReference() + " ";
    line += "]\n";
    out.Write(line);
  }
  if (contents_.size() > 1) {
    out.WriteLn("/Count " + std::to_string(contents_.size()));
    std::string line = "/Contents [ ";
    for (std::size_t i = 0; i < contents_.size(); ++i) {
      line += contents_[i]->GetReference() + " ";
      if ((i + 1) % kReferencesPerLine == 0) line += '\n';
    }
    line += ']';
    out.WriteLn(line);
  } else if (contents_.size() == 1) {
    out.WriteLn("/Contents " + contents_[0]->GetReference());
  }
  contents_.clear();  // listed: no longer needed
  out.WriteObjectEnd(false);
}

}  // namespace vellora
