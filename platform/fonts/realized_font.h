// Internal: what an HFONT stands for, and the font realised from it on first selection (face,
// size, stretch, simulations, character set). Shared by the font component's text functions.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "qvplatform/font_face.h"
#include "qvplatform/font_types.h"
#include "qvplatform/numbers.h"

namespace qvplatform::fonts {

struct RealizedFont;

// The object behind an HFONT.
struct FontObject {
  LOGFONTW lf;
  std::shared_ptr<const FontFace> fixedFace;  // a font bound to a file (no mapping)
  std::string fixedError;                     // why fixedFace could not be loaded
  bool bound = false;                         // fixedFace/fixedError are set, skip the mapper

  // Realises the font once; never null (a font without a usable face has face == null).
  std::shared_ptr<const RealizedFont> Realized() const;

 private:
  mutable std::once_flag once_;
  mutable std::shared_ptr<const RealizedFont> realized_;
};

struct RealizedFont {
  LOGFONTW lf;
  std::shared_ptr<const FontFace> face;  // null: no usable face (every text call fails)
  std::string error;
  double em = 0;                  // pixels per em
  double yScale = 0;              // pixels per font unit, vertically
  double xScale = 0;              // horizontally: yScale times the stretch of a non-zero lfWidth
  std::int32_t averageWidth = 0;  // font units: tmAveCharWidth, and what lfWidth stretches
  bool simulateBold = false;
  bool simulateItalic = false;
  BYTE charset = 0;   // tmCharSet
  UINT codePage = 0;  // code page of 8-bit text, 0 for symbol (bytes are codes)

  bool Ok() const { return face != nullptr; }
  const SfntFace& Sfnt() const { return face->Sfnt(); }
  LONG Y(double units) const { return Round32Away(units * yScale); }
  LONG X(double units) const { return Round32Away(units * xScale); }
  // Advance of a glyph in pixels, rounded per glyph as the text functions add them.
  LONG Advance(std::uint16_t glyph) const { return X(Sfnt().Advance(glyph)); }
  std::uint16_t GlyphOf(std::uint32_t code) const { return face->GlyphOf(code); }
  std::u16string Widen(std::string_view bytes) const;

  // Cell ascent and descent in pixels (tmAscent, tmDescent): the win values, rounded so that
  // their sum is the rounded cell height.
  LONG CellAscent() const;
  LONG CellDescent() const;
  LONG CellHeight() const;  // tmHeight: their sum
  // The cell height in font units (usWinAscent + usWinDescent, else from hhea).
  double CellUnits() const;

  // Rounds halves away from zero, clamped to 32 bits.
  static LONG Round32Away(double v);
};

// Builds the realised font of a request (mapper, face cache, size, simulations).
std::shared_ptr<const RealizedFont> Realize(const FontObject& font);

// The font object behind a handle, or null.
std::shared_ptr<const FontObject> FindFont(HFONT font);

// The realised font selected into a DC; null for an unknown DC. May have no face.
std::shared_ptr<const RealizedFont> SelectedFont(HDC hdc);

// As SelectedFont, but null unless the font has a usable face.
inline std::shared_ptr<const RealizedFont> UsableFont(HDC hdc) {
  auto font = SelectedFont(hdc);
  return font && font->Ok() ? font : nullptr;
}

// The default cell height in pixels for lfHeight 0.
constexpr LONG kDefaultCellHeight = 16;

}  // namespace qvplatform::fonts
