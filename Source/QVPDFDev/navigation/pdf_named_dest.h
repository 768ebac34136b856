// The document's global named destinations, written as the /Dests name tree, and the
// /Names dictionary of the catalog that refers to it. Names are 8-bit host texts (code page
// 1252) and compare without regard to ASCII letter case; the tree lists each name as it was
// first registered, its keys in byte order of the strings as written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVPDFPage;

// A position on a page: x and y in device units, y measured from the top, at the
// resolutions the device had when the position was given (0: the page's). A position given
// while no page was open has no page until the device binds it to one.
struct TFolvioDestName {
  TQVPDFPage* page = nullptr;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t xResolution = 0;
  std::int32_t yResolution = 0;
};

class TQVPDFNamedDest : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFNamedDest"; }

  // False (and nothing added) when the name exists already, in any letter case.
  bool AddDest(std::string_view name, const TFolvioDestName& position);
  // The name as registered, or null.
  const std::string* Find(std::string_view name) const;
  // Gives the positions without a page this page.
  void BindUnplaced(TQVPDFPage* page);
  std::size_t Count() const { return destinations_.size(); }

  // The string body that stands for a name in the tree and in links: EncodeText of the
  // 1252 text (UTF-16BE with byte-order mark when a character is above 127), unencrypted.
  static std::string KeyBytes(std::string_view name);

  // The name tree's one node: "/Names [" (key) "<</D [" page "/XYZ" x Y "0]>>" ... "]".
  // The owner must also be a TQVDestinationHost (the PDF device is).
  void WriteObject() override;

 private:
  std::vector<std::pair<std::string, std::unique_ptr<TFolvioDestName>>> destinations_;
  std::unordered_map<std::string, std::size_t> byUpperName_;  // index into destinations_
};

class TQVPDFNames : public TQVCustomPDFType {
 public:
  using TQVCustomPDFType::TQVCustomPDFType;
  std::string_view ClassName() const override { return "TQVPDFNames"; }

  void SetDestinations(TQVPDFNamedDest* destinations) { destinations_ = destinations; }
  // "/Dests " + the tree's reference.
  void WriteObject() override;

 private:
  TQVPDFNamedDest* destinations_ = nullptr;  // the catalog's
};

}  // namespace vellora
