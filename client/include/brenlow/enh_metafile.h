// TFolvioEnhMetafile: the metafile a page canvas records into. It keeps its drawing canvas,
// refuses to be saved while that is open, and when drawing ends it rewrites the header's size
// fields from the page size in pixels and the resolution, so that the engine sees exactly the
// page geometry the host drew for. The correction happens before the metafile's handle exists
// (a handle's bytes are fixed).
#pragma once

#include <memory>
#include <stdexcept>

#include "qvplatform/metafile_canvas.h"
#include "qvplatform/metafile_class.h"

namespace brenlow {

class ESizeMetafileUsage : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TFolvioEnhMetafile : public qvplatform::TMetafile {
 public:
  TFolvioEnhMetafile() = default;
  ~TFolvioEnhMetafile() override;

  // Opens the drawing canvas for a page of width x height pixels at xRes x yRes per inch
  // (an open canvas is closed first, without correction).
  qvplatform::TMetafileCanvas& BeginDraw(std::int32_t width, std::int32_t height, std::int32_t xRes,
                                         std::int32_t yRes);
  qvplatform::TMetafileCanvas* DrawCanvas() { return drawCanvas_.get(); }

  // ESizeMetafileUsage("Finalize with EndDraw!") while the canvas is open.
  void SaveToFile(const std::string& fileName) override;
  void SaveToStream(qvplatform::TStream& stream) override;

  void EndDraw() { EndDrawSize(-1, -1); }
  // Finishes drawing: a width or height above 0 replaces the page size, then the header is
  // corrected. Nothing happens without an open canvas. A resolution below 1 is refused
  // (ESizeMetafileUsage), a size that does not fit the header a std::range_error.
  void EndDrawSize(std::int32_t width, std::int32_t height);
  // Closes the canvas and keeps the header as recorded.
  void CloseDrawCanvas() { drawCanvas_.reset(); }

  std::int32_t PixelWidth() const { return pixelWidth_; }
  std::int32_t PixelHeight() const { return pixelHeight_; }
  std::int32_t XRes() const { return xRes_; }
  std::int32_t YRes() const { return yRes_; }

 private:
  void CorrectHeader();

  std::int32_t pixelWidth_ = 0;
  std::int32_t pixelHeight_ = 0;
  std::int32_t xRes_ = 0;
  std::int32_t yRes_ = 0;
  std::unique_ptr<qvplatform::TMetafileCanvas> drawCanvas_;
};

}  // namespace brenlow
