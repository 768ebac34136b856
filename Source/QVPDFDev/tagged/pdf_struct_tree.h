// The tagged-PDF structure tree that the catalog owns: its elements, the layout classes that
// give elements attribute sets, and the per-page arrays of the parent tree that map marked-
// content numbers back to elements. Pages list the owners of their marked content; the
// tree reads those lists when a page ends. Pages are known here only as objects to refer to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFStructTreeRoot;

// An attribute set selected by elements; written only when an element used it.
class TFolvioLayoutElement : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TFolvioLayoutElement"; }
  // "/O/Layout" + the attributes text.
  std::string AsString() override;

  std::int32_t styleNumber = 0;
  std::string name;
  std::string role = "P";
  bool used = false;
  // Keeps the text only when it is a sequence of "/Name value" pairs whose delimiters
  // balance, so no text can end the dictionary or the object early.
  void SetAttributes(std::string_view text);
  const std::string& Attributes() const { return attributes_; }

 private:
  std::string attributes_;
};

// The owners of one page's marked content, by marked-content number.
using TQVMarkedContentOwners = std::vector<class TQVPDFStructElement*>;

class TQVPDFStructElement : public TQVCustomPDFType {
 public:
  TQVPDFStructElement(TQVPDFObjectOwner* owner, TQVPDFStructTreeRoot* tree,
                      TQVCustomPDFType* parent, std::int32_t level)
      : TQVCustomPDFType(owner), tree_(tree), parent_(parent), level_(level) {}
  std::string_view ClassName() const override { return "TQVPDFStructElement"; }
  void WriteObject() override;

  // A new element below this one, made through the tree; the page (may be null) becomes
  // this element's page when it has none.
  TQVPDFStructElement* AddChild(TQVCustomPDFType* page);
  // A new marked-content sequence of this element on the page: its number is the next
  // position of the page's owner list, so each sequence has its own number.
  std::int32_t AddMarkedContent(TQVCustomPDFType* page, TQVMarkedContentOwners& owners);
  void SetType(std::string type) { type_ = std::move(type); }

  const std::string& Type() const { return type_; }
  std::int32_t Level() const { return level_; }
  TQVCustomPDFType* Parent() const { return parent_; }
  TQVCustomPDFType* Page() const { return page_; }
  const std::vector<TQVPDFStructElement*>& Kids() const { return kids_; }

  TFolvioLayoutElement* layoutClass = nullptr;
  std::string className;
  std::string identifierText;
  std::string language;
  std::u16string title, alternateText, actualText, expansion;
  std::int32_t commandIdentifier = 0;

 private:
  friend class TQVPDFStructTreeRoot;
  struct MarkedContent {
    std::int32_t number;
    TQVCustomPDFType* page;  // null on the element's own page
  };
  std::string KidsText();

  TQVPDFStructTreeRoot* tree_;
  TQVCustomPDFType* parent_;
  std::int32_t level_;
  std::string type_;
  TQVCustomPDFType* page_ = nullptr;
  std::vector<TQVPDFStructElement*> kids_;  // owned by the tree
  std::vector<MarkedContent> markedContent_;
};

// One page's array of the parent tree.
class TQVPDFParentTreeArr : public TQVCustomPDFType {
 public:
  TQVPDFParentTreeArr(TQVPDFObjectOwner* owner, std::int32_t key, TQVMarkedContentOwners elements)
      : TQVCustomPDFType(owner), key_(key), elements_(std::move(elements)) {
    SetRaw(true);
  }
  std::string_view ClassName() const override { return "TQVPDFParentTreeArr"; }
  std::string AsString() override;
  std::int32_t Key() const { return key_; }

 private:
  std::int32_t key_;
  TQVMarkedContentOwners elements_;
};

// The number tree from page keys to their arrays.
class TQVPDFParentTreeArrParent : public TQVCustomPDFType {
 public:
  TQVPDFParentTreeArrParent(TQVPDFObjectOwner* owner,
                            const std::vector<std::unique_ptr<TQVPDFParentTreeArr>>& arrays)
      : TQVCustomPDFType(owner), arrays_(arrays) {}
  std::string_view ClassName() const override { return "TQVPDFParentTreeArrParent"; }
  std::string AsString() override;

 private:
  const std::vector<std::unique_ptr<TQVPDFParentTreeArr>>& arrays_;
};

class TQVPDFStructTreeRoot : public TQVCustomPDFType {
 public:
  explicit TQVPDFStructTreeRoot(TQVPDFObjectOwner* owner);
  ~TQVPDFStructTreeRoot() override;
  std::string_view ClassName() const override { return "TQVPDFStructTreeRoot"; }
  void WriteObject() override;

  std::size_t TopLevelCount() const { return topLevel_.size(); }
  // A "Document" element with the title at the top; it becomes the document element.
  TQVPDFStructElement* AddDocument(std::u16string title);
  // A new element in the current section, or below the document element (made as
  // "NonStruct" when there is none).
  TQVPDFStructElement* AddElement();
  void CloseSection();
  // The page's array of the parent tree; -1 (and no array) for an empty owner list.
  std::int32_t AddPageArray(TQVCustomPDFType* page, const TQVMarkedContentOwners& owners);

  // The layout class filed under the upper-case name; null when there is none.
  TFolvioLayoutElement* FindLayoutClass(std::string_view name) const;
  // A new class filed under the upper-case name, or null when one exists.
  TFolvioLayoutElement* AddLayoutClass(std::string_view name);
  // The first class with the style number, or null.
  TFolvioLayoutElement* FindLayoutClassByStyle(std::int32_t styleNumber) const;

 private:
  friend class TQVPDFStructElement;
  TQVPDFStructElement* NewElement(TQVCustomPDFType* parent, std::int32_t level);

  std::vector<std::unique_ptr<TQVPDFStructElement>> elements_;  // every element, in order
  std::vector<TQVPDFStructElement*> topLevel_;
  std::vector<std::unique_ptr<TQVPDFParentTreeArr>> arrays_;
  std::vector<std::unique_ptr<TFolvioLayoutElement>> classes_;  // in the order filed
  std::map<std::string, TFolvioLayoutElement*, std::less<>> classesByName_;
  TQVPDFStructElement* documentElement_ = nullptr;
  TQVPDFStructElement* currentSection_ = nullptr;
  TQVPDFParentTreeArrParent parentTree_;
};

}  // namespace vellora
