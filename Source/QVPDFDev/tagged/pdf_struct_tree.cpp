// The structure tree root: elements, sections, the parent tree and the class and role maps.
#include <algorithm>
#include <cctype>
#include <string>

#include "QVPDFDev/file/pdf_file_writer.h"
#include "QVPDFDev/objects/pdf_simple_objects.h"
#include "QVPDFDev/tagged/pdf_struct_tree.h"
#include "QVPDFDev/tagged/pdf_struct_types.h"

namespace vellora {
namespace {

constexpr std::size_t kEntriesPerLine = 8;

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

}  // namespace

std::string TQVPDFParentTreeArr::AsString() {
  std::string text = "[";
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    if (i > 0) text += (i % kEntriesPerLine == 0) ? '\n' : ' ';
    text += elements_[i]->GetReference();
  }
  return text + "]";
}

std::string TQVPDFParentTreeArrParent::AsString() {
  std::string text = "/Nums [";
  for (std::size_t i = 0; i < arrays_.size(); ++i) {
    if (i > 0) text += (i % kEntriesPerLine == 0) ? '\n' : ' ';
    text += std::to_string(arrays_[i]->Key()) + " " + arrays_[i]->GetReference();
  }
  return text + "]";
}

TQVPDFStructTreeRoot::TQVPDFStructTreeRoot(TQVPDFObjectOwner* owner)
    : TQVCustomPDFType(owner), parentTree_(owner, arrays_) {}

TQVPDFStructTreeRoot::~TQVPDFStructTreeRoot() = default;

TQVPDFStructElement* TQVPDFStructTreeRoot::NewElement(TQVCustomPDFType* parent,
                                                      std::int32_t level) {
  elements_.push_back(std::make_unique<TQVPDFStructElement>(Owner(), this, parent, level));
  return elements_.back().get();
}

TQVPDFStructElement* TQVPDFStructTreeRoot::AddDocument(std::u16string title) {
  TQVPDFStructElement* document = NewElement(this, 0);
  document->SetType("Document");
  document->title = std::move(title);
  topLevel_.push_back(document);
  documentElement_ = document;
  currentSection_ = nullptr;
  return document;
}

TQVPDFStructElement* TQVPDFStructTreeRoot::AddElement() {
  if (documentElement_ == nullptr) AddDocument({})->SetType("NonStruct");
  TQVPDFStructElement* parent = currentSection_ != nullptr ? currentSection_ : documentElement_;
  TQVPDFStructElement* element = NewElement(parent, parent->Level() + 1);
  parent->kids_.push_back(element);
  return element;
}

void TQVPDFStructTreeRoot::CloseSection() {
  if (currentSection_ != nullptr && currentSection_->Level() > 1)
    currentSection_ = static_cast<TQVPDFStructElement*>(currentSection_->Parent());
  else
    currentSection_ = nullptr;
}

std::int32_t TQVPDFStructTreeRoot::AddPageArray(TQVCustomPDFType* page,
                                                const TQVMarkedContentOwners& owners) {
  (void)page;
  if (owners.empty()) return -1;
  const auto key = static_cast<std::int32_t>(arrays_.size());
  arrays_.push_back(std::make_unique<TQVPDFParentTreeArr>(Owner(), key, owners));
  return key;
}

TFolvioLayoutElement* TQVPDFStructTreeRoot::FindLayoutClass(std::string_view name) const {
  const auto found = classesByName_.find(UpperCase(name));
  return found == classesByName_.end() ? nullptr : found->second;
}

TFolvioLayoutElement* TQVPDFStructTreeRoot::AddLayoutClass(std::string_view name) {
  std::string key = UpperCase(name);
  if (classesByName_.count(key) > 0) return nullptr;
  classes_.push_back(std::make_unique<TFolvioLayoutElement>(Owner()));
  TFolvioLayoutElement* layout = classes_.back().get();
  layout->name = name;
  classesByName_.emplace(std::move(key), layout);
  return layout;
}

TFolvioLayoutElement* TQVPDFStructTreeRoot::FindLayoutClassByStyle(std::int32_t styleNumber) const {
  for (const auto& layout : classes_)
    if (layout->styleNumber == styleNumber) return layout.get();
  return nullptr;
}

void TQVPDFStructTreeRoot::WriteObject() {
  // Elements are kept flat, so a deep tree is written without deep recursion.
  for (const auto& element : elements_)
    if (!element->IsWritten()) element->WriteObject();
  for (const auto& array : arrays_)
    if (!array->IsWritten()) array->WriteObject();
  parentTree_.WriteObject();

  TQVPDFArrayObj classMap(Owner());
  TQVPDFArrayObj roleMap(Owner());
  for (const auto& layout : classes_) {
    if (!layout->used) continue;
    layout->WriteObject();
    const std::string key = UpperCase(layout->name);
    classMap.AddObject(key, layout.get());
    // A class named like a standard type would remap that type everywhere.
    if (!layout->role.empty() && !IsStandardStructureType(key) &&
        !IsStandardStructureType(layout->name))
      roleMap.AddName(key, layout->role);
  }
  if (classMap.Count() > 0) classMap.WriteObject();
  if (roleMap.Count() > 0) roleMap.WriteObject();

  TQVPDFFileWriter& out = Out();
  MarkWritten();
  out.WriteLn(ObjHeader() + " /Type/StructTreeRoot");
  if (!topLevel_.empty()) {
    std::string kids = "/K [ ";
    for (TQVPDFStructElement* element : topLevel_) kids += element->GetReference() + " ";
    out.WriteLn(kids + "]");
  }
  out.WriteLn("/ParentTree " + parentTree_.GetReference());
  out.WriteLn("/ParentTreeNextKey " + std::to_string(arrays_.size()));
  if (classMap.Count() > 0) out.WriteLn("/ClassMap " + classMap.GetReference());
  if (roleMap.Count() > 0) out.WriteLn("/RoleMap " + roleMap.GetReference());
  out.WriteObjectEnd(false);
}

}  // namespace vellora
