// The faces one render draws text with: each logical font is resolved by the platform's font
// service (the same mapper, glyph ids and font bytes the PDF writer uses), and drawn through a
// FreeType face of the render's own, made from those bytes, so that no FreeType face is shared
// between threads.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "qvplatform/font_face.h"
#include "qvplatform/font_types.h"

namespace vellora {

struct TQVRasterFont {
  qvplatform::LOGFONTW request;  // the fields that choose the face; size and angles zeroed
  qvplatform::HFONT handle = 0;  // selected into the render's DC for glyph lookups
  std::shared_ptr<const qvplatform::FontFace> face;
  cairo_font_face_t* cairoFace = nullptr;  // null when the face cannot be drawn
  double unitsPerEm = 1000;
  double ascent = 0.8, descent = 0.2;  // of the em
  double averageWidth = 0.5;           // of the em
  double underlinePosition = -0.1, underlineThickness = 0.05;
  double strikeoutPosition = 0.3, strikeoutThickness = 0.05;
  bool syntheticBold = false, syntheticItalic = false;
};

class TQVRasterFonts {
 public:
  TQVRasterFonts();
  ~TQVRasterFonts();
  TQVRasterFonts(const TQVRasterFonts&) = delete;
  TQVRasterFonts& operator=(const TQVRasterFonts&) = delete;

  // The face of a logical font, selected into the DC; null when the platform has none.
  const TQVRasterFont* Select(const qvplatform::LOGFONTW& font);
  qvplatform::HDC Dc() const { return dc_; }

 private:
  // Fonts a render keeps at once; beyond, the oldest is let go.
  static constexpr std::size_t kMaxFonts = 32;
  void Load(TQVRasterFont& entry);
  static void Release(TQVRasterFont& entry);

  qvplatform::HDC dc_ = 0;
  std::vector<TQVRasterFont> fonts_;
  std::size_t next_ = 0;  // the entry replaced next once the cache is full
};

}  // namespace vellora
