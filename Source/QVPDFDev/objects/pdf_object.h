// The base of every indirect object of a written PDF file: its number (its index in the
// cross-reference list; generation 0), its frame "N 0 obj" ... "endobj", the writers of
// object arrays and dictionaries, and the encryption and encoding of its strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "QVPDFDev/objects/pdf_object_owner.h"

namespace vellora {

class TQVPDFInputStream;

class TQVCustomPDFType {
 public:
  explicit TQVCustomPDFType(TQVPDFObjectOwner* owner) : owner_(owner) {}
  virtual ~TQVCustomPDFType() = default;
  TQVCustomPDFType(const TQVCustomPDFType&) = delete;
  TQVCustomPDFType& operator=(const TQVCustomPDFType&) = delete;

  // The class name that a reservation in the cross-reference list shows.
  virtual std::string_view ClassName() const { return "TQVCustomPDFType"; }

  // Reads at most 3000 bytes at position, cuts them after the end of the first dictionary
  // and passes them to SetAsString; nothing for a position of 0 or less or without an end.
  virtual void ReadFromStream(TQVPDFInputStream& stream, std::int64_t position);
  // The body text; the base raises "AsString is not implemented for this obj".
  virtual std::string AsString();
  // Parses from text; the base raises "SetAsString is not implemented for this obj".
  virtual void SetAsString(std::string_view text, TQVPDFInputStream* stream);
  // "12 0 R".
  virtual std::string GetReference();
  // The number, reserving one on first use.
  virtual std::int32_t GetObjectNumber();
  // What stands for the object inside arrays and dictionaries: GetReference.
  virtual std::string GetEntryString();
  // Stores the cross-reference entry for the current output position, once.
  virtual void MarkWritten();
  // The whole indirect object: MarkWritten, ObjHeader, AsString, end of the frame.
  virtual void WriteObject();

  // "/key [ e1 CR LF e2 ... ]" CR LF of the elements' entry strings; nothing for an empty list.
  template <class List>
  void WriteObjectArray(std::string_view key, const List& list);
  // "/key << ... >>" CR LF. With a prefix each element is named by its own entry key or by
  // prefix + (firstIndex + position); without one only the entry strings are listed.
  template <class List>
  void WriteObjectDict(std::string_view key, std::string_view prefix, int firstIndex,
                       const List& list);

  // "N 0 obj" CR "<<", or "N 0 obj" for raw objects.
  std::string ObjHeader();

  // The one way to encryption: in place with this object's key; nothing for objects marked
  // do-not-encrypt, without encryption, or for no bytes.
  void EncryptData(std::uint8_t* bytes, std::size_t count);
  std::string EncryptString(std::string_view text);
  // The bytes a wide text is written as (FE FF + UTF-16BE), encrypted: what a reader decrypts
  // is exactly what stands in the file, whatever the machine's byte order.
  std::string EncryptWideString(std::u16string_view text);

  // A literal-string body (callers add "(" and ")"): text with a character above 127 becomes
  // FE FF + UTF-16BE, encrypted, delimiter-escaped (CR and LF included); other text (or all
  // text when force8Bit) is converted to codePage, encrypted and fully escaped.
  std::string EncodeText(std::u16string_view text, bool force8Bit = false,
                         std::uint32_t codePage = 1252);
  // "<>" for empty text, else FE FF + UTF-16BE, encrypted, as a hex string.
  std::string EncodeUnicodeHex(std::u16string_view text);
  // "(" + the bytes encrypted and fully escaped + ")".
  std::string LiteralString(std::string_view bytes);

  TQVPDFObjectOwner* Owner() const { return owner_; }
  // The number as it stands (0 until reserved or written).
  std::int32_t ObjectNumber() const { return number_; }
  bool IsReserved() const { return reserved_; }
  bool IsWritten() const { return written_; }
  bool IsRaw() const { return raw_; }
  void SetRaw(bool raw) { raw_ = raw; }
  bool DoNotEncrypt() const { return doNotEncrypt_; }
  void SetDoNotEncrypt(bool value) { doNotEncrypt_ = value; }
  const std::string& EntryKey() const { return entryKey_; }
  void SetEntryKey(std::string key) { entryKey_ = std::move(key); }
  // Keeps a page's writing of shared objects from writing this one.
  bool HoldBack() const { return holdBack_; }
  void SetHoldBack(bool value) { holdBack_ = value; }

 protected:
  // The document output; raises "Object has no owner" without an owner.
  TQVPDFFileWriter& Out();
  // Takes a number that the cross-reference list already holds (an object of an input PDF),
  // as reserved or, once its entry is stored, as written.
  void AdoptNumber(std::int32_t number, bool written) {
    number_ = number;
    reserved_ = true;
    written_ = written;
  }

 private:
  static TQVCustomPDFType* ObjectOf(TQVCustomPDFType* object) { return object; }
  template <class T>
  static TQVCustomPDFType* ObjectOf(const std::unique_ptr<T>& object) {
    return object.get();
  }

  TQVPDFObjectOwner* owner_;
  std::int32_t number_ = 0;
  std::string entryKey_;
  bool reserved_ = false;
  bool written_ = false;
  bool raw_ = false;
  bool doNotEncrypt_ = false;
  bool holdBack_ = false;
};

// The 1-based index of the second ">" of the ">>" that closes the first dictionary, 0 when
// there is none.
std::size_t FindDictEnd(std::string_view text);

// Appends "/" + the escaped name.
void AppendNameEntry(std::string& out, std::string_view name);

template <class List>
void TQVCustomPDFType::WriteObjectArray(std::string_view key, const List& list) {
  if (std::empty(list)) return;
  std::string text;
  AppendNameEntry(text, key);
  text += " [ ";
  std::size_t left = std::size(list);
  for (const auto& element : list) {
    text += ObjectOf(element)->GetEntryString();
    if (--left > 0) text += "\r\n";
  }
  text += " ]";
  Out().WriteLn(text);
}

template <class List>
void TQVCustomPDFType::WriteObjectDict(std::string_view key, std::string_view prefix,
                                       int firstIndex, const List& list) {
  if (std::empty(list)) return;
  std::string text;
  AppendNameEntry(text, key);
  text += " << ";
  std::size_t left = std::size(list);
  std::int64_t index = firstIndex;
  for (const auto& element : list) {
    TQVCustomPDFType* object = ObjectOf(element);
    if (!prefix.empty()) {
      if (!object->EntryKey().empty()) {
        AppendNameEntry(text, object->EntryKey());
      } else {
        text += prefix;
        text += std::to_string(index);
      }
      text += ' ';
    }
    text += object->GetEntryString();
    ++index;
    if (--left > 0) text += "\r\n";
  }
  text += " >>";
  Out().WriteLn(text);
}

}  // namespace vellora
