// The /FontFile2 stream of an embedded TrueType font: the font file as the platform returned
// it, its parsed tables, the glyphs the document used, and at the end of the document either
// a subset or the whole file, with /Length1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "QVPDFDev/objects/pdf_stream.h"
#include "QVPDFDev/truetype/truetype_tables.h"
#include "QVPDFDev/truetype/ttf_stream_descriptor.h"

namespace vellora {

class TQVPDFFontStream : public TQVPDFStream {
 public:
  // descriptor: the descriptor that created the stream (not owned; may be null: a simple
  // font). reporter: told when a subset fails (not owned; may be null).
  TQVPDFFontStream(TQVPDFObjectOwner* owner, TQVFontStreamDescriptor* descriptor,
                   TQVFontStreamReporter* reporter = nullptr);
  std::string_view ClassName() const override { return "TQVPDFFontStream"; }

  // The font file as read; never changed by subsetting.
  std::vector<std::uint8_t>& FontData() { return fontData_; }
  const std::vector<std::uint8_t>& FontData() const { return fontData_; }

  // Parses the tables of FontData (or of the given bytes) unless they exist already. True
  // without data or when they exist; false, with no tables kept, when parsing fails.
  bool LoadTables();
  bool LoadTables(const std::uint8_t* data, std::size_t size);
  // The parsed tables, or null (embedded whole then).
  TQV_TTF_CMAP* Tables() { return tables_.get(); }
  const TQV_TTF_CMAP* Tables() const { return tables_.get(); }
  void DropTables() { tables_.reset(); }

  // Records the glyph of a character as used (nothing without tables or for codes <= 0).
  void MarkGlyph(std::int32_t code, bool preferByteTable);

  bool Embed() const { return embed_; }
  void SetEmbed(bool flag) { embed_ = flag; }
  bool WholeFont() const { return wholeFont_; }
  void SetWholeFont(bool flag) { wholeFont_ = flag; }
  TQVFontStreamDescriptor* Descriptor() const { return descriptor_; }
  const std::string& Key() const { return key_; }
  void SetKey(std::string key) { key_ = std::move(key); }

  // Builds the bytes to embed, once: a subset when there are tables and neither this stream
  // nor its descriptor asks for the whole font, else the whole FontData. A failed subset
  // embeds the whole font, sets WholeFont and tells the reporter; it never throws. The font
  // writer calls it before writing its CID objects; WriteStream calls it otherwise.
  void PrepareData();
  // After PrepareData: the whole font file went into a CID font whose CIDs are not glyph
  // numbers (kind above 1), so the font needs the /CIDToGIDMap of CIDToGIDMap().
  bool NeedsCIDToGIDMap() const { return needsCIDToGIDMap_; }
  // Two bytes per CID from 0 to the highest: the big-endian glyph number of each used glyph
  // at its new number, 0 elsewhere.
  std::vector<std::uint8_t> CIDToGIDMap() const;
  // Why the last subset failed (empty when none did).
  const std::string& SubsetError() const { return subsetError_; }

  // A subset of source into target by the marks and new numbers and the descriptor's CID
  // kind; false (error in SubsetError) when none can be built.
  bool BuildSubset(std::span<const std::uint8_t> source, std::vector<std::uint8_t>& target,
                   std::span<const std::uint8_t> used, std::span<const std::uint16_t> newNumbers);

  // PrepareData, /Length1 := the data's size, then the stream writer (compression, armour,
  // encryption).
  void WriteStream() override;

 private:
  std::uint8_t CIDKind() const { return descriptor_ ? descriptor_->GetCIDKind() : 0; }
  std::string FontName() const { return descriptor_ ? descriptor_->GetFontName() : key_; }

  std::unique_ptr<TQV_TTF_CMAP> tables_;
  std::vector<std::uint8_t> fontData_;
  bool embed_ = false;
  bool wholeFont_ = false;
  TQVFontStreamDescriptor* descriptor_;
  TQVFontStreamReporter* reporter_;
  std::string key_;
  bool prepared_ = false;
  bool needsCIDToGIDMap_ = false;
  std::string subsetError_;
};

}  // namespace vellora
