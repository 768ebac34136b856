// The /W array of a CID font: the width of every character or glyph used while pages are
// drawn, kept in pages of 256 slots, and written at the end of the document. For CID kind 1
// a slot is a character code (the CID written in the content) holding its glyph index, and
// the array also fills the /CIDToGIDMap; for a higher kind a slot is a character code
// holding the CID allotted to it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "QVPDFDev/objects/pdf_object.h"

namespace vellora {

class TQVCIDToGID;

struct TFontWidthsE {
  std::array<std::uint16_t, 256> widths{};  // thousandths of the em; 0: unused
  std::array<std::uint16_t, 256> values{};  // glyph (kind 1) or CID; 0: unassigned
};

class TQVPDFWArray : public TQVCustomPDFType {
 public:
  static constexpr std::int32_t kDefaultWidth = 1000;

  explicit TQVPDFWArray(TQVPDFObjectOwner* owner);
  std::string_view ClassName() const override { return "TQVPDFWArray"; }

  // Codes above 0xFFFF have no slot: Value and Width give 0, Set does nothing.
  std::uint16_t Value(std::uint32_t code) const;
  std::uint16_t Width(std::uint32_t code) const;
  // Creates the code's page when it is missing.
  void Set(std::uint32_t code, std::uint16_t value, std::uint16_t width);
  // Page p (codes p * 256 ..), or nullptr when no code of it was used.
  const TFontWidthsE* PageAt(std::size_t p) const {
    return p < pages_.size() ? pages_[p].get() : nullptr;
  }
  std::size_t PageCount() const;

  std::int32_t DefaultWidth() const { return defaultWidth_; }
  std::uint16_t CIDCounter() const { return cidCounter_; }
  void SetCIDCounter(std::uint16_t value) { cidCounter_ = value; }

  // The array's text between "[" and "]": entries keyed by character code (byCode) or by the
  // slots' values, one per key (two codes that share a CID give one entry), in ascending
  // order; runs of equal widths as "first last width ", other groups as "key[w1 w2 ...]";
  // a group is not started by an entry of the default width.
  std::string EntriesText(bool byCode) const;
  // Writes the array object once ("N 0 obj", "[", the entries, "]", "endobj"). With a map
  // (CID kind 1) the entries are keyed by code and the map gets two big-endian bytes per code
  // from 0 to the highest code with a glyph: the glyph index, 0 for unused codes.
  void WriteWidths(TQVCIDToGID* map);

 private:
  std::array<std::unique_ptr<TFontWidthsE>, 256> pages_;
  std::uint16_t cidCounter_ = 0;
  std::int32_t defaultWidth_ = kDefaultWidth;
};

}  // namespace vellora
