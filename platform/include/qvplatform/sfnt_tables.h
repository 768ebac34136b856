// The tables of one sfnt face that the font service reads itself: head, hhea, maxp, hmtx,
// OS/2, post, name and cmap. Parsing checks every structure against its table; a damaged or
// missing required table makes the whole face fail with a reason, never a crash.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qvplatform/sfnt_reader.h"

namespace qvplatform {

struct HeadTable {
  std::uint16_t unitsPerEm = 0;  // 16..16384, checked
  std::int16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  std::uint16_t macStyle = 0;
  std::uint16_t lowestRecPPEM = 0;
  std::int16_t indexToLocFormat = 0;
};

struct HheaTable {
  std::int16_t ascender = 0, descender = 0, lineGap = 0;
  std::uint16_t advanceWidthMax = 0;
  std::int16_t caretSlopeRise = 1, caretSlopeRun = 0;
  std::uint16_t numberOfHMetrics = 0;
};

// OS/2 fields; present is false for faces without the table (older Mac fonts), in which
// case the other fields are derived from hhea and head when the face is parsed.
struct Os2Table {
  bool present = false;
  std::uint16_t version = 0;
  std::int16_t xAvgCharWidth = 0;
  std::uint16_t usWeightClass = 400, usWidthClass = 5, fsType = 0;
  std::int16_t ySubscriptXSize = 0, ySubscriptYSize = 0, ySubscriptXOffset = 0,
               ySubscriptYOffset = 0;
  std::int16_t ySuperscriptXSize = 0, ySuperscriptYSize = 0, ySuperscriptXOffset = 0,
               ySuperscriptYOffset = 0;
  std::int16_t yStrikeoutSize = 0, yStrikeoutPosition = 0, sFamilyClass = 0;
  std::uint8_t panose[10] = {};
  std::uint32_t ulUnicodeRange[4] = {};
  std::uint16_t fsSelection = 0, usFirstCharIndex = 0, usLastCharIndex = 0;
  std::int16_t sTypoAscender = 0, sTypoDescender = 0, sTypoLineGap = 0;
  std::uint16_t usWinAscent = 0, usWinDescent = 0;
  bool hasCodePageRange = false;  // version 1 and later
  std::uint32_t ulCodePageRange1 = 0, ulCodePageRange2 = 0;
  std::int16_t sxHeight = 0, sCapHeight = 0;  // version 2 and later, else 0
  std::uint16_t usDefaultChar = 0, usBreakChar = 0x20;
};

struct PostTable {
  std::int32_t italicAngle = 0;  // 16.16 fixed, degrees counter-clockwise from vertical
  std::int16_t underlinePosition = 0, underlineThickness = 0;
  bool isFixedPitch = false;
};

// Names as UTF-16, from the Windows Unicode records (US English first), else the Mac Roman
// records (ASCII only); empty when the face has none.
struct NameStrings {
  std::u16string family, subfamily, uniqueName, fullName, postscriptName;
};

// Character to glyph lookup through the best Unicode subtable of cmap: (3,10) or (0,x)
// format 12, then (3,1) or (0,x) format 4, then the symbol subtable (3,0), then a Mac (1,0)
// format 0 or 6 table for ASCII. Formats 0, 4, 6 and 12 are read.
class CharMap {
 public:
  // False with a reason when the table has no usable subtable or it is damaged.
  bool Init(ByteSpan cmapTable, std::string* error);

  // The glyph of a character, 0 when there is none. For a symbol subtable, codes up to 0xFF
  // are looked up at U+F000 + code first (the mapping of symbol fonts), then as given.
  std::uint16_t Glyph(std::uint32_t code) const;

  bool IsSymbol() const { return symbol_; }
  // The (platform, encoding, format) of the chosen subtable, for diagnostics and tests.
  std::uint32_t Platform() const { return platform_; }
  std::uint32_t Encoding() const { return encoding_; }
  std::uint16_t Format() const { return format_; }

 private:
  std::uint16_t Lookup(std::uint32_t code) const;
  ByteReader sub_;  // the chosen subtable, clipped to the cmap table
  std::uint16_t format_ = 0;
  std::uint32_t platform_ = 0, encoding_ = 0;
  std::uint32_t count_ = 0;  // segments (4), groups (12), entries (6)
  std::uint32_t first_ = 0;  // first code (6)
  bool symbol_ = false;
  bool asciiOnly_ = false;  // a Mac Roman table stands in for Unicode only below 0x80
};

// The advance widths and left side bearings of hmtx: numberOfHMetrics long metrics, then one
// bearing for each remaining glyph (a table cut short gives 0 for the missing ones).
class HorizontalMetrics {
 public:
  // numberOfHMetrics is clamped to the glyph count. False when no long metric is left or hmtx
  // is shorter than the long metrics.
  bool Init(ByteSpan hmtx, std::uint16_t numberOfHMetrics, std::uint16_t numGlyphs);

  // In font units; glyphs beyond numberOfHMetrics repeat the last long advance; an unknown
  // glyph gives the metrics of glyph 0.
  std::uint16_t Advance(std::uint16_t glyph) const;
  std::int16_t LeftBearing(std::uint16_t glyph) const;

 private:
  ByteReader hmtx_;
  std::uint16_t numGlyphs_ = 0;
  std::uint16_t longMetrics_ = 0;
};

// All tables of one face. Keeps the file alive; spans point into it.
class SfntFace {
 public:
  // Parses face `index` of the file; null with a reason for a damaged or unusable face.
  static std::unique_ptr<SfntFace> Parse(std::shared_ptr<const std::vector<std::uint8_t>> file,
                                         std::uint32_t index, std::string* error);
  // The same over bytes that owner keeps alive (a mapped file).
  static std::unique_ptr<SfntFace> Parse(std::shared_ptr<const void> owner, ByteSpan file,
                                         std::uint32_t index, std::string* error);

  ByteSpan File() const { return file_; }
  std::uint32_t Index() const { return index_; }
  const SfntDirectory& Directory() const { return directory_; }
  // A table's bytes, empty when the face has none.
  ByteSpan Table(std::uint32_t tag) const;

  const HeadTable& Head() const { return head_; }
  const HheaTable& Hhea() const { return hhea_; }
  const Os2Table& Os2() const { return os2_; }
  const PostTable& Post() const { return post_; }
  const NameStrings& Names() const { return names_; }
  const CharMap& Cmap() const { return cmap_; }
  std::uint16_t NumGlyphs() const { return numGlyphs_; }
  bool HasTrueTypeOutlines() const { return glyf_; }
  bool HasCffOutlines() const { return cff_; }

  // Advance width and left side bearing in font units (see HorizontalMetrics).
  std::uint16_t Advance(std::uint16_t glyph) const { return metrics_.Advance(glyph); }
  std::int16_t LeftBearing(std::uint16_t glyph) const { return metrics_.LeftBearing(glyph); }

 private:
  SfntFace() = default;
  bool ParseTables(std::string* error);

  std::shared_ptr<const void> fileOwner_;
  ByteSpan file_;
  std::uint32_t index_ = 0;
  SfntDirectory directory_;
  HeadTable head_;
  HheaTable hhea_;
  Os2Table os2_;
  PostTable post_;
  NameStrings names_;
  CharMap cmap_;
  HorizontalMetrics metrics_;
  std::uint16_t numGlyphs_ = 0;
  bool glyf_ = false;
  bool cff_ = false;
};

// Reads the name table (exposed for tests of damaged tables).
NameStrings ReadNameTable(ByteSpan table);

}  // namespace qvplatform
