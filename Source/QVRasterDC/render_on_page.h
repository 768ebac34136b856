// Drawing a metafile onto a bitmap that shows a whole page, such as a page thumbnail: the
// picture lands where the page-content device puts it when that device plays it with the same
// arguments, over what the bitmap already shows.
#pragma once

#include <cstddef>
#include <cstdint>

#include "QVGenDC/device_modes.h"
#include "qvplatform/bitmap_canvas.h"

namespace vellora {

// How a page's device was asked to play a picture.
struct TQVPagePicture {
  // The player's placement arguments (device units; 0 or less: the picture's own).
  std::int32_t xOffset = 0, yOffset = 0, targetWidth = 0, targetHeight = 0;
  std::int32_t xResolution = 0, yResolution = 0;
  // The page device's resolution, modes and size rule when the play began.
  std::int32_t deviceXResolution = 72, deviceYResolution = 72;
  TQVDevModes modes;
  bool metafileIsSized = false;
};

// The page as the bitmap shows it: its size in points and the quarter turns clockwise (0 to
// 3) that the bitmap shows it turned by (one turn: page point (x, y down) shows at
// (page height - y, x)).
struct TQVPageView {
  double widthPoints = 0, heightPoints = 0;
  int quarterTurns = 0;
};

// Plays the metafile onto the bitmap (24-bit, or 1-bit where a pixel stays white when its grey
// is at least half-bright), which covers the whole page. False when the data is no metafile or
// the bitmap or page has no size; a damaged metafile draws as far as its records go.
bool RenderMetafileOnPage(const std::uint8_t* bits, std::size_t size, const TQVPagePicture& picture,
                          const TQVPageView& page, qvplatform::TBitmap& bitmap);

// Makes the bitmap 1-bit or 24-bit keeping what it shows (1-bit: white where the grey is at
// least half-bright); false, the bitmap unchanged, when its pixels cannot be read or made.
bool ChangeBitmapDepth(qvplatform::TBitmap& bitmap, bool monochrome);

}  // namespace vellora
