// Rendering an enhanced metafile into pixels: the stand-in for playing a metafile into a
// bitmap, for page thumbnails and for hosts that show a metafile.
//
// The picture is fitted into a destination rectangle in pixels; an empty rectangle places it
// at the top left corner at its own size for the resolution given (pixels per inch). The
// metafile is read through the player's bounds-checked reader: data that is no enhanced
// metafile is refused (false, nothing drawn), a damaged one draws as far as its records go.
// Every call owns its surface, device and font faces: calls on different threads are
// independent.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>

#include "QVRasterDC/raster_device.h"
#include "qvplatform/bitmap_canvas.h"
#include "qvplatform/metafile.h"

namespace vellora {

// The picture's own size in pixels at a resolution; false for data that is no metafile.
bool MetafilePixelSize(const std::uint8_t* bits, std::size_t size, std::int32_t resolution,
                       std::int32_t& width, std::int32_t& height);

// Draws over what surface (an ARGB32 or RGB24 image surface) holds.
bool RenderMetafile(const std::uint8_t* bits, std::size_t size, cairo_surface_t* surface,
                    const qvplatform::RECT& destination, std::int32_t resolution,
                    TQVRasterStats* stats = nullptr);
// The same into a rectangle of fractional pixels (a host placing the picture by points, or
// matching another renderer's page of a fractional pixel size); it must not be empty.
bool RenderMetafile(const std::uint8_t* bits, std::size_t size, cairo_surface_t* surface,
                    const cairo_rectangle_t& destination, TQVRasterStats* stats = nullptr);

// Fills the bitmap with the background and draws the metafile on it, keeping the bitmap's
// kind (24-bit, or 1-bit where a pixel is white when its grey is at least half-bright). A
// bitmap without pixels is first given the destination's size, or the picture's own.
bool RenderMetafileToBitmap(const std::uint8_t* bits, std::size_t size, qvplatform::TBitmap& bitmap,
                            const qvplatform::RECT& destination, qvplatform::COLORREF background,
                            std::int32_t resolution);
// Copies an RGB24 surface of the bitmap's size into it: into its 24-bit DIB section, or as a
// 1-bit bitmap made anew (white where the grey is at least half-bright).
bool CopySurfaceToBitmap(cairo_surface_t* surface, qvplatform::TBitmap& bitmap);

bool RenderMetafileToBitmap(qvplatform::HENHMETAFILE metafile, qvplatform::TBitmap& bitmap,
                            const qvplatform::RECT& destination, qvplatform::COLORREF background,
                            std::int32_t resolution);

}  // namespace vellora
