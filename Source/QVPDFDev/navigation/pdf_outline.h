// The document outline that the catalog owns and lists under /Outlines: the entries in the
// order they were added (each with its 1-based number), the tree they are filed into by the
// level rules of AddOutline, and the writing of entries and root.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFOutlineNode;
class TQVPDFPage;

class TQVPDFOutline : public TQVCustomPDFType {
 public:
  explicit TQVPDFOutline(TQVPDFObjectOwner* owner);
  ~TQVPDFOutline() override;
  std::string_view ClassName() const override { return "TQVPDFOutline"; }

  // The largest number of levels one kind-3 call descends.
  static constexpr std::int32_t kMaxLevelStep = 32;

  // Lists the entry (its number is the new count; page is its target page: the open page,
  // else the last page) and files it by kind, relative to the current entry:
  //   0, 1, other  after the current entry, on its level;
  //   2            the current entry's parent becomes current; with n = 0 the entry follows
  //                it, otherwise it is listed but not filed;
  //   3            n > 0: n levels below the current entry (n - 1 empty entries between,
  //                n capped at kMaxLevelStep); n <= 0: -n levels up, then on that level;
  //   4            as last child of the current entry;
  //   5            n = 0: end of the top level; n an earlier entry: after it on its level;
  //                otherwise after the current entry moved -n levels up (none for n > 0);
  //   6            n = 0: end of the top level; n an earlier entry: its last child;
  //                otherwise the current entry's last child.
  // An earlier entry that was listed but not filed stands for the place it would have had.
  // Kind 6 with a negative n raises "List index out of bounds (n)" before anything changes.
  // Returns the entry's number (0 for no entry).
  std::int32_t AddOutline(std::unique_ptr<TQVPDFOutlineNode> node, std::int32_t kind,
                          std::int32_t n, TQVPDFPage* page);

  // Tree primitives; both make the node current. AddSibling appends it after the last
  // sibling of ref (at the end of the top level without ref); AddChild as ref's last child
  // (AddSibling without ref). The outline takes the node; an unfiled ref stands for where it
  // would have been filed.
  TQVPDFOutlineNode* AddSibling(TQVPDFOutlineNode* ref, std::unique_ptr<TQVPDFOutlineNode> node);
  TQVPDFOutlineNode* AddChild(TQVPDFOutlineNode* ref, std::unique_ptr<TQVPDFOutlineNode> node);

  // Writes every filed entry (an entry before its children, siblings in order), then the
  // root: "/Count" all entries, "/First", "/Last"; an empty body without entries.
  void WriteObject() override;

  bool HasFirstNode() const { return first_ != nullptr; }
  TQVPDFOutlineNode* Current() const { return current_; }
  TQVPDFOutlineNode* First() const { return first_; }
  // The last top-level entry.
  TQVPDFOutlineNode* GetLastNode() const { return last_; }
  // Entries filed into the tree (empty filler entries included).
  std::size_t Count() const { return filedCount_; }
  // Entries listed by AddOutline, by number (1-based); none outside 1..ListCount().
  std::size_t ListCount() const { return list_.size(); }
  TQVPDFOutlineNode* Entry(std::int64_t number) const;

 private:
  TQVPDFOutlineNode* Take(std::unique_ptr<TQVPDFOutlineNode> node);
  void Link(TQVPDFOutlineNode* parent, TQVPDFOutlineNode* node);
  // A listed entry as a filing reference: a filed entry, or where an unfiled one stood.
  static TQVPDFOutlineNode* Filed(TQVPDFOutlineNode* node);

  std::vector<std::unique_ptr<TQVPDFOutlineNode>> owned_;  // every entry, filed or not
  std::vector<TQVPDFOutlineNode*> list_;                   // AddOutline's entries by number
  TQVPDFOutlineNode* current_ = nullptr;
  TQVPDFOutlineNode* first_ = nullptr;
  TQVPDFOutlineNode* last_ = nullptr;
  std::size_t filedCount_ = 0;
};

}  // namespace vellora
