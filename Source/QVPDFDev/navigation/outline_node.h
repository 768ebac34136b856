// An outline (bookmark) entry: its title, its destination (a page position or a local named
// destination) and its links in the tree. Entries are owned by their TQVPDFOutline.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFOutline;
class TQVPDFPage;

// Where an entry leads: a local named destination when destName is set, else the entry's
// page at (left, top), in device units with y from the top. right and bottom bound the
// rectangle of mode 4 (FitR).
struct TQVOutlineTarget {
  std::string destName;
  std::int32_t mode = 0;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int32_t zoom = 0;
};

class TQVPDFOutlineNode : public TQVCustomPDFType {
 public:
  // title is 8-bit text in the outline charset: 65001 is UTF-8, any other value a Windows
  // character set (its ANSI code page; unknown sets give 1252).
  static std::unique_ptr<TQVPDFOutlineNode> Create(TQVPDFObjectOwner* owner, std::int32_t charset,
                                                   std::string_view title, TQVOutlineTarget target);
  static std::unique_ptr<TQVPDFOutlineNode> CreateWide(TQVPDFObjectOwner* owner,
                                                       std::int32_t charset, std::u16string title,
                                                       TQVOutlineTarget target);
  TQVPDFOutlineNode(TQVPDFObjectOwner* owner, std::int32_t charset, std::u16string title,
                    TQVOutlineTarget target);
  std::string_view ClassName() const override { return "TQVPDFOutlineNode"; }

  // The entry dictionary: /Title (UTF-16BE, tabs as blanks), /Dest when the destination
  // resolves to a page, /Parent, /Next, /First, /Prev, /Last and, with children, /Count.
  // The owner must also be a TQVDestinationHost (the PDF device is).
  void WriteObject() override;

  const std::u16string& Title() const { return title_; }
  const TQVOutlineTarget& Target() const { return target_; }
  std::int32_t CodePage() const { return codePage_; }
  std::int32_t Number() const { return number_; }
  TQVPDFPage* Page() const { return page_; }
  TQVPDFOutline* Outline() const { return outline_; }
  TQVPDFOutlineNode* Parent() const { return parent_; }
  TQVPDFOutlineNode* Next() const { return next_; }
  TQVPDFOutlineNode* Prev() const { return prev_; }
  TQVPDFOutlineNode* FirstChild() const { return firstChild_; }
  TQVPDFOutlineNode* LastChild() const { return lastChild_; }
  // Linked into the tree (an entry listed but not filed is never written).
  bool IsFiled() const { return outline_ != nullptr; }
  // Entries below this one.
  std::int64_t Descendants() const { return descendants_; }

 private:
  friend class TQVPDFOutline;

  std::u16string title_;
  TQVOutlineTarget target_;
  std::int32_t codePage_;
  std::int32_t number_ = 0;
  TQVPDFPage* page_ = nullptr;
  TQVPDFOutline* outline_ = nullptr;
  TQVPDFOutlineNode* parent_ = nullptr;
  TQVPDFOutlineNode* next_ = nullptr;
  TQVPDFOutlineNode* prev_ = nullptr;
  TQVPDFOutlineNode* firstChild_ = nullptr;
  TQVPDFOutlineNode* lastChild_ = nullptr;
  std::int64_t descendants_ = 0;
  // Where an entry listed but not filed would have stood (kind 2 with N not 0).
  TQVPDFOutlineNode* anchor_ = nullptr;
};

}  // namespace vellora
