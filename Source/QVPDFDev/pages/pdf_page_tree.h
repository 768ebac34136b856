// The page tree. A root with more than 110 pages regroups them, when it is written, into
// intermediate nodes of 100 pages; a remainder of 5 or fewer stays in the last node.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFPage;

class TQVPDFPages : public TQVCustomPDFType {
 public:
  explicit TQVPDFPages(TQVPDFObjectOwner* owner, TQVPDFPages* parent = nullptr)
      : TQVCustomPDFType(owner), parent_(parent) {}
  ~TQVPDFPages() override;
  std::string_view ClassName() const override { return "TQVPDFPages"; }

  // Takes the page, makes this node its parent and returns its index.
  std::size_t AddPage(std::unique_ptr<TQVPDFPage> page);
  // Writes the pages (regrouped first when there are more than 110) and then the node.
  void WriteObject() override;

  // Pages below this node.
  std::size_t PageCount() const;
  // The document's first page, below any intermediate node; none in an empty tree.
  TQVPDFPage* FirstPage() const;
  TQVPDFPages* Parent() const { return parent_; }
  const std::vector<std::unique_ptr<TQVCustomPDFType>>& Kids() const { return kids_; }

 private:
  void Regroup();

  std::vector<std::unique_ptr<TQVCustomPDFType>> kids_;  // pages, or nodes once regrouped
  TQVPDFPages* parent_;
  bool grouped_ = false;
};

}  // namespace vellora
