// The /ToUnicode CMap stream of a font: for a CID font the Unicode value of every CID used
// (or the identity for CID kind 1, whose CIDs are Unicode values), for a simple font the
// Unicode value of each byte of its code page.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "QVPDFDev/objects/pdf_stream.h"

namespace vellora {

class TQVPDFWArray;

class TQVCMapString : public TQVPDFStream {
 public:
  // Creates the data and writes the CMap header into it.
  explicit TQVCMapString(TQVPDFObjectOwner* owner);
  std::string_view ClassName() const override { return "TQVCMapString"; }
  // The CMap text stays.
  void BeginData() override {}

  // Writes the body and the trailer (unless closed), then the stream object. widths: the CID
  // font's array when its CIDs are handed out by use (each used slot maps its CID to its
  // code); none for CID kind 1 (identity) and for simple fonts (the Unicode text). used: the
  // codes a CID kind 1 font drew, so that Arabic presentation forms among them read as their
  // letters (in every kind they do).
  void WriteCMap(const TQVPDFWArray* widths, const TQVPDFWArray* used = nullptr);

  bool closed = false;
  bool identity = false;       // CID kind 1: each entry maps a code to itself
  std::u16string unicodeText;  // simple fonts: the character of codes firstCode, ...
  std::int32_t firstCode = 0;
  bool oneByteIdentity = false;  // simple fonts whose every code is its own Unicode value

  // (code, Unicode value) pairs as range and single-character blocks: sorted by code, one
  // pair per code (the lowest value), runs that rise by one in both as ranges that never
  // cross a boundary of 256 in the last byte of the code or of the value, blocks of at most
  // 99 lines when 100 or more remain.
  static std::string MappingText(std::vector<std::pair<std::uint32_t, std::uint32_t>> entries,
                                 int codeDigits);
  // <0000> <FFFF> <0000> in 256 ranges, one per high byte; a page of presentation forms
  // that used holds is mapped code by code instead (used codes only).
  static std::string IdentityRanges(const TQVPDFWArray* used = nullptr);
};

}  // namespace vellora
