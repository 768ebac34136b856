// An annotation of a page: a link (its target an action or a named destination) or the
// widget of a form field. Its dictionary text is complete when it is made, strings already
// encrypted with its own key; only a named destination is looked up when it is written, once
// every name of the document is known. The device's annotation list owns it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFNamedDest;
class TQVDestinationHost;

class TQVPDFLink : public TQVCustomPDFType {
 public:
  // globals: the document's global named destinations, which a destination name is looked
  // up in first; host: the local ones, the resolutions and the messages.
  TQVPDFLink(TQVPDFObjectOwner* owner, TQVDestinationHost* host, const TQVPDFNamedDest* globals)
      : TQVCustomPDFType(owner), host_(host), globals_(globals) {}
  std::string_view ClassName() const override { return "TQVPDFLink"; }

  // The dictionary text, then for a destination name: "/Dest (" name ")" for a global name
  // (as registered), "/Dest [" page "/XYZ" x Y "0]" for a local one, else nothing and message
  // 1 with the name, the first time only.
  std::string AsString() override;
  // The extra object first (when set), then the link.
  void WriteObject() override;

  const std::string& DictionaryText() const { return dictionaryText_; }
  void SetDictionaryText(std::string text) { dictionaryText_ = std::move(text); }
  const std::string& DestinationName() const { return destinationName_; }
  void SetDestinationName(std::string name) { destinationName_ = std::move(name); }
  TQVCustomPDFType* ExtraObject() const { return extra_.get(); }
  void SetExtraObject(std::unique_ptr<TQVCustomPDFType> extra) { extra_ = std::move(extra); }

 private:
  TQVDestinationHost* host_;
  const TQVPDFNamedDest* globals_;
  std::string dictionaryText_;
  std::string destinationName_;
  bool messageSent_ = false;
  std::unique_ptr<TQVCustomPDFType> extra_;
};

}  // namespace vellora
