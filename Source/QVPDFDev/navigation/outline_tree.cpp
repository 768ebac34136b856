#include "QVPDFDev/navigation/pdf_outline.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "QVPDFDev/navigation/outline_node.h"

namespace vellora {

TQVPDFOutline::TQVPDFOutline(TQVPDFObjectOwner* owner) : TQVCustomPDFType(owner) {}

TQVPDFOutline::~TQVPDFOutline() = default;

TQVPDFOutlineNode* TQVPDFOutline::Entry(std::int64_t number) const {
  if (number < 1 || number > static_cast<std::int64_t>(list_.size())) return nullptr;
  return list_[static_cast<std::size_t>(number - 1)];
}

TQVPDFOutlineNode* TQVPDFOutline::Filed(TQVPDFOutlineNode* node) {
  if (node == nullptr || node->IsFiled()) return node;
  return node->anchor_;
}

TQVPDFOutlineNode* TQVPDFOutline::Take(std::unique_ptr<TQVPDFOutlineNode> node) {
  owned_.push_back(std::move(node));
  return owned_.back().get();
}

void TQVPDFOutline::Link(TQVPDFOutlineNode* parent, TQVPDFOutlineNode* node) {
  TQVPDFOutlineNode*& first = parent != nullptr ? parent->firstChild_ : first_;
  TQVPDFOutlineNode*& last = parent != nullptr ? parent->lastChild_ : last_;
  node->parent_ = parent;
  node->prev_ = last;
  node->next_ = nullptr;
  if (last != nullptr) {
    last->next_ = node;
  } else {
    first = node;
  }
  last = node;
  node->outline_ = this;
  ++filedCount_;
  current_ = node;
}

TQVPDFOutlineNode* TQVPDFOutline::AddSibling(TQVPDFOutlineNode* ref,
                                             std::unique_ptr<TQVPDFOutlineNode> node) {
  ref = Filed(ref);
  TQVPDFOutlineNode* taken = Take(std::move(node));
  Link(ref != nullptr ? ref->parent_ : nullptr, taken);
  return taken;
}

TQVPDFOutlineNode* TQVPDFOutline::AddChild(TQVPDFOutlineNode* ref,
                                           std::unique_ptr<TQVPDFOutlineNode> node) {
  TQVPDFOutlineNode* taken = Take(std::move(node));
  Link(Filed(ref), taken);
  return taken;
}

namespace {

// node moved up by `levels` parents, stopping at the top-level entry.
TQVPDFOutlineNode* MoveUp(TQVPDFOutlineNode* node, std::int64_t levels) {
  for (; levels > 0 && node != nullptr && node->Parent() != nullptr; --levels)
    node = node->Parent();
  return node;
}

}  // namespace

std::int32_t TQVPDFOutline::AddOutline(std::unique_ptr<TQVPDFOutlineNode> node, std::int32_t kind,
                                       std::int32_t n, TQVPDFPage* page) {
  if (node == nullptr) return 0;
  if (kind == 6 && n < 0)
    throw std::out_of_range("List index out of bounds (" + std::to_string(n) + ")");
  node->page_ = page;
  TQVPDFOutlineNode* entry = Take(std::move(node));
  list_.push_back(entry);
  entry->number_ = static_cast<std::int32_t>(std::min<std::size_t>(list_.size(), INT32_MAX));
  // An earlier entry (numbers 1..own - 1); the entry itself never serves as its own reference.
  const std::int64_t own = static_cast<std::int64_t>(list_.size());
  const bool earlier = n >= 1 && n < own;

  // The entry is already owned: file it by linking, without another Take.
  auto sibling = [&](TQVPDFOutlineNode* ref) {
    Link(ref != nullptr ? ref->parent_ : nullptr, entry);
  };
  auto child = [&](TQVPDFOutlineNode* ref) { Link(ref, entry); };

  switch (kind) {
    case 2:
      if (current_ != nullptr && current_->parent_ != nullptr) current_ = current_->parent_;
      if (n == 0) {
        sibling(current_);
      } else {
        entry->anchor_ = current_;
      }
      break;
    case 3:
      if (n > 0) {
        const std::int32_t levels = std::min(n, kMaxLevelStep);
        for (std::int32_t i = 1; i < levels; ++i) {
          auto filler = std::make_unique<TQVPDFOutlineNode>(Owner(), entry->codePage_,
                                                            std::u16string(), TQVOutlineTarget{});
          AddChild(current_, std::move(filler));
        }
        child(current_);
      } else {
        sibling(MoveUp(current_, -std::int64_t{n}));
      }
      break;
    case 4:
      child(current_);
      break;
    case 5:
      if (n == 0) {
        sibling(nullptr);
      } else if (earlier) {
        sibling(Filed(Entry(n)));
      } else {
        sibling(n < 0 ? MoveUp(current_, -std::int64_t{n}) : current_);
      }
      break;
    case 6:
      if (n == 0) {
        sibling(nullptr);
      } else if (earlier) {
        child(Filed(Entry(n)));
      } else {
        child(current_);
      }
      break;
    default:
      sibling(current_);
      break;
  }
  return entry->number_;
}

void TQVPDFOutline::WriteObject() {
  TQVPDFFileWriter& out = Out();
  // The filed entries in tree order, found without recursion so that any depth is safe.
  std::vector<TQVPDFOutlineNode*> order;
  order.reserve(filedCount_);
  for (TQVPDFOutlineNode* node = first_; node != nullptr;) {
    order.push_back(node);
    if (node->firstChild_ != nullptr) {
      node = node->firstChild_;
      continue;
    }
    while (node != nullptr && node->next_ == nullptr) node = node->parent_;
    if (node != nullptr) node = node->next_;
  }
  // Subtree sizes: in reverse tree order every entry comes after all entries below it.
  for (TQVPDFOutlineNode* node : order) node->descendants_ = 0;
  for (auto it = order.rbegin(); it != order.rend(); ++it)
    if ((*it)->parent_ != nullptr) (*it)->parent_->descendants_ += 1 + (*it)->descendants_;
  for (TQVPDFOutlineNode* node : order)
    if (!node->IsWritten()) node->WriteObject();

  MarkWritten();
  out.WriteLn(ObjHeader());
  std::string body;
  if (first_ != nullptr) {
    body = "/Count " + std::to_string(filedCount_) + "\n";
    body += "/First " + first_->GetReference() + "\n";
    body += "/Last " + last_->GetReference();
  }
  out.WriteLn(body);
  out.WriteObjectEnd(IsRaw());
}

}  // namespace vellora
