#include "QVPDFDev/pages/pdf_page_tree.h"

#include "QVPDFDev/pages/pdf_page.h"

namespace vellora {
namespace {

constexpr std::size_t kMaxFlatKids = 110;
constexpr std::size_t kNodeSize = 100;
constexpr std::size_t kMaxRemainder = 5;

}  // namespace

TQVPDFPages::~TQVPDFPages() = default;

std::size_t TQVPDFPages::AddPage(std::unique_ptr<TQVPDFPage> page) {
  page->SetParent(this);
  kids_.push_back(std::move(page));
  return kids_.size() - 1;
}

std::size_t TQVPDFPages::PageCount() const {
  if (!grouped_) return kids_.size();
  std::size_t count = 0;
  for (const auto& kid : kids_) count += static_cast<TQVPDFPages*>(kid.get())->PageCount();
  return count;
}

TQVPDFPage* TQVPDFPages::FirstPage() const {
  if (kids_.empty()) return nullptr;
  if (grouped_) return static_cast<TQVPDFPages*>(kids_.front().get())->FirstPage();
  return static_cast<TQVPDFPage*>(kids_.front().get());
}

void TQVPDFPages::Regroup() {
  const std::size_t n = kids_.size();
  std::vector<std::unique_ptr<TQVCustomPDFType>> nodes;
  TQVPDFPages* node = nullptr;
  for (std::size_t i = 0; i < n; ++i) {
    if (i % kNodeSize == 0 && i + kMaxRemainder < n) {
      nodes.push_back(std::make_unique<TQVPDFPages>(Owner(), this));
      node = static_cast<TQVPDFPages*>(nodes.back().get());
    }
    std::unique_ptr<TQVPDFPage> page(static_cast<TQVPDFPage*>(kids_[i].release()));
    node->AddPage(std::move(page));
  }
  kids_ = std::move(nodes);
  grouped_ = true;
}

void TQVPDFPages::WriteObject() {
  if (!grouped_ && kids_.size() > kMaxFlatKids) Regroup();
  // Pages already in the file (placeholders for pages of an input PDF) are not written again.
  for (auto& kid : kids_)
    if (!kid->IsWritten()) kid->WriteObject();
  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader());
  out.WriteLn("/Type/Pages");
  if (kids_.empty()) {
    out.WriteLn("/Kids [ ]");  // required even when empty
  } else {
    WriteObjectArray("Kids", kids_);
  }
  out.WriteLn("/Count " + std::to_string(PageCount()));
  if (parent_ != nullptr) out.WriteLn("/Parent " + parent_->GetReference());
  out.WriteObjectEnd(false);
}

}  // namespace vellora
