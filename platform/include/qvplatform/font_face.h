// One face of one font file, loaded once and shared: the file's bytes, the face's own tables
// (metrics, character map, names) and a FreeType face for glyph outlines. Everything the
// font service reports about a face comes from here, so metrics, widths, glyph ids, outlines
// and the font bytes handed to the PDF writer always agree.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "qvplatform/sfnt_tables.h"

namespace qvplatform {

// One segment of a glyph outline in font units, y upwards. A contour starts with kMove and is
// closed implicitly back to its start point.
struct OutlineSegment {
  enum Kind : std::uint8_t { kMove, kLine, kConic, kCubic } kind;
  double x[3];  // the control points then the end point (kMove, kLine: x[0] only)
  double y[3];
};

struct OutlineStyle {
  bool embolden = false;  // synthetic bold: the outline grows by 1/32 em
  bool oblique = false;   // synthetic italic: slanted by about 12 degrees
};

class FontFace {
 public:
  // Loads face `index` of a font file. Null with a reason for an unreadable, damaged or
  // unusable file (FreeType and the face's tables must both accept it).
  static std::shared_ptr<const FontFace> Load(const std::string& path, std::uint32_t index,
                                              std::string* error);
  static std::shared_ptr<const FontFace> FromBytes(std::vector<std::uint8_t> bytes,
                                                   std::uint32_t index, std::string* error);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const SfntFace& Sfnt() const { return *sfnt_; }
  const std::string& Path() const { return path_; }
  std::uint32_t Index() const { return sfnt_->Index(); }

  // Family name (name ID 1, else the file name's stem); never empty.
  const std::u16string& FamilyName() const { return family_; }
  // The character map is the symbol (3,0) one.
  bool IsSymbol() const { return sfnt_->Cmap().IsSymbol(); }
  bool IsFixedPitch() const;
  bool IsItalic() const;
  std::uint16_t Weight() const;

  // Glyph of a character, 0 (the missing glyph) when the face has none.
  std::uint16_t GlyphOf(std::uint32_t code) const;
  // Average width (OS/2 xAvgCharWidth, else the mean of the non-zero advances), cap and x
  // height (OS/2 version 2, else the top of "H" and "x"), all in font units.
  std::int32_t AverageWidth() const { return averageWidth_; }
  // The average width by the letter-frequency weights of "a" to "z" and the space (the first
  // definition of xAvgCharWidth, which the classic Windows faces carry); 0 when the face
  // lacks one of those characters. A metric-compatible face gives the value of the face it
  // stands in for.
  std::int32_t LowercaseAverageWidth() const { return lowercaseAverageWidth_; }
  std::int32_t CapHeight() const { return capHeight_; }
  std::int32_t XHeight() const { return xHeight_; }

  // The unscaled outline of a glyph; false when FreeType cannot load it.
  bool Outline(std::uint16_t glyph, const OutlineStyle& style,
               std::vector<OutlineSegment>* out) const;

  // The face as a standalone sfnt (see font_data.h), built once.
  const std::vector<std::uint8_t>& StandaloneSfnt() const;

 private:
  FontFace() = default;
  static std::shared_ptr<FontFace> Make(std::shared_ptr<const void> owner, ByteSpan file,
                                        std::uint32_t index, const std::string& path,
                                        std::string* error);
  bool Init(std::string* error);
  std::int32_t GlyphTop(std::uint32_t code);
  std::int32_t LowercaseAverage() const;

  std::string path_;
  std::unique_ptr<SfntFace> sfnt_;
  std::u16string family_;
  std::int32_t averageWidth_ = 0, lowercaseAverageWidth_ = 0, capHeight_ = 0, xHeight_ = 0;
  struct FreeTypeFace;
  std::unique_ptr<FreeTypeFace> ft_;
  mutable std::once_flag standaloneOnce_;
  mutable std::vector<std::uint8_t> standalone_;
};

// Faces by file and index, loaded once for the process; thread-safe. Failures are cached
// too, so a damaged file is read only once.
std::shared_ptr<const FontFace> CachedFontFace(const std::string& path, std::uint32_t index,
                                               std::string* error);

}  // namespace qvplatform
