// The simple object classes: literal string, null, name (a raw dictionary body after "/"),
// integer array, object array and a dictionary of named entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

// A literal string. Short plain text is written as it is; other text byte by byte with
// octal escapes and a line continuation after every 100 output characters. The text is
// encrypted with this object's key first (the delimiters never are).
class TQVPDFString : public TQVCustomPDFType {
 public:
  TQVPDFString(TQVPDFObjectOwner* owner, std::string text)
      : TQVCustomPDFType(owner), text_(std::move(text)) {}
  std::string_view ClassName() const override { return "TQVPDFString"; }
  std::string AsString() override;

  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); }
  // The text is written as it stands, delimiters included.
  bool RawText() const { return rawText_; }
  void SetRawText(bool value) { rawText_ = value; }

 private:
  std::string text_;
  bool rawText_ = false;
};

class TQVPDFNull : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFNull"; }
  std::string AsString() override { return "null"; }
};

// "/" + text. The text is a body the writers build (a font dictionary, for example), so it
// is not name-escaped; names from outside go through EscapeName first.
class TQVPDFName : public TQVCustomPDFType {
 public:
  TQVPDFName(TQVPDFObjectOwner* owner, std::string text)
      : TQVCustomPDFType(owner), text_(std::move(text)) {}
  std::string_view ClassName() const override { return "TQVPDFName"; }
  std::string AsString() override { return "/" + text_; }

  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); }

 private:
  std::string text_;
};

// "[ 10 20 ]": every entry but the last (its owner stores one more than it needs), each
// followed by a blank, or by a line feed after every 19th.
class TQVPDFNumArray : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFNumArray"; }
  std::string AsString() override;

  void Add(std::int32_t value) { values_.push_back(value); }
  void Clear() { values_.clear(); }
  std::int32_t Get(std::size_t index) const { return values_.at(index); }
  std::size_t Count() const { return values_.size(); }

 private:
  std::vector<std::int32_t> values_;
};

// A list of objects; frees them unless it only holds references.
class TQVPDFArray : public TQVCustomPDFType {
 public:
  TQVPDFArray(TQVPDFObjectOwner* owner, bool referencesOnly)
      : TQVCustomPDFType(owner), referencesOnly_(referencesOnly) {}
  ~TQVPDFArray() override;
  std::string_view ClassName() const override { return "TQVPDFArray"; }

  // Takes ownership unless the array holds references only.
  void Add(TQVCustomPDFType* object) { objects_.push_back(object); }
  std::size_t Count() const { return objects_.size(); }
  TQVCustomPDFType* At(std::size_t index) const { return objects_.at(index); }
  const std::vector<TQVCustomPDFType*>& Objects() const { return objects_; }
  bool ReferencesOnly() const { return referencesOnly_; }

 private:
  std::vector<TQVCustomPDFType*> objects_;
  bool referencesOnly_;
};

// A dictionary of named entries, each a reference to an object or a name value, written on
// one line in insertion order. Keys and name values are name-escaped.
class TQVPDFArrayObj : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFArrayObj"; }
  void WriteObject() override;

  // Ignored without a key or an object; the object is referenced, not owned.
  void AddObject(std::string_view key, TQVCustomPDFType* object);
  // Ignored when either is empty.
  void AddName(std::string_view key, std::string_view value);
  std::size_t Count() const { return entries_.size(); }

 private:
  struct Entry {
    std::string text;  // escaped key, or escaped key + "/" + escaped value
    TQVCustomPDFType* object;
  };
  std::vector<Entry> entries_;
};

}  // namespace vellora
