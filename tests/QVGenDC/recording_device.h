// A device for tests of the metafile player: every operation the player can call is logged as
// one readable line ("Polyline [(1,2) (3,4)] continue=0 prepare=1 stroke=1"), so a test compares
// call logs. Every array handed over is read in full while it is logged, so a sanitizer build
// catches a count that runs past what the player passed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "stub_device.h"

namespace vellora_test {

class RecordingDevice : public StubDevice {
 public:
  RecordingDevice();

  // The lines logged so far, and the same joined with "\n".
  const std::vector<std::string>& Calls() const { return calls_; }
  std::string Log() const;
  // Only the lines that start with prefix.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
  void ClearLog() { calls_.clear(); }

  // What BeginPicture returns.
  std::int32_t beginPictureResult = 0;
  // Runs inside BeginPicture (after logging), e.g. to look at the scaling the player set up.
  std::function<void(RecordingDevice&)> onBeginPicture;
  // Runs after each logged line; a test may throw from it to see how the player unwinds.
  std::function<void(const std::string&)> onCall;
  // When false, the lines are formatted (and the arrays read) but not kept: for large inputs.
  bool keepLog = true;

  // The last bitmap handed to StretchDIBits, copied.
  std::vector<std::uint8_t> lastBitmapInfo;
  std::vector<std::uint8_t> lastBits;
  // The transparent-blit flag and colour as StretchDIBits saw them.
  bool transparentDuringBlit = false;
  COLORREF transparentColorDuringBlit = 0;

  std::int32_t BeginPicture(std::int32_t width, std::int32_t height, std::int32_t xResolution,
                            std::int32_t yResolution) override;
  void EndPicture(std::int32_t playResult) override;
  void FlushPending() override;
  std::int32_t DrawDIBits(bool hasColorTable, std::int32_t srcX, std::int32_t srcY,
                          std::int32_t srcWidth, std::int32_t srcHeight, float dstX, float dstY,
                          float dstWidth, float dstHeight, bool crop, Bytes bits,
                          Bytes bitmapHeader, Bytes colorTable) override;
  // What DrawDIBits returns.
  std::int32_t drawDIBitsResult = 0;

  void PolyBezier(const POINTL* points, std::int32_t count, bool continueFromCurrent) override;
  void Polygon(const POINTL* points, std::int32_t count) override;
  void Polyline(const POINTL* points, std::int32_t count, bool continueFromCurrent, bool prepare,
                bool stroke) override;
  void SetPixel(std::int32_t x, std::int32_t y, COLORREF color) override;
  void MoveTo(std::int32_t x, std::int32_t y, POINTL* previous) override;
  std::int32_t SaveDC() override;
  void RestoreDC(std::int32_t level) override;
  void PopClip() override;
  void PushClip() override;
  void PrepareDraw() override;
  void ObjectSelected() override;
  void AngleArc(std::int32_t centerX, std::int32_t centerY, std::int32_t radius, float startAngle,
                float sweepAngle) override;
  void Ellipse(const RECTL& box, bool fill) override;
  void Rectangle(const RECTL& box) override;
  void FillSolidRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     COLORREF color) override;
  void FillSolidRectF(COLORREF color, float x, float y, float width, float height) override;
  void RoundRect(const RECTL& box, std::int32_t cornerWidth, std::int32_t cornerHeight) override;
  void Arc(const RECTL& box, POINTL start, POINTL end, bool arcTo) override;
  void Chord(const RECTL& box, POINTL start, POINTL end) override;
  void Pie(const RECTL& box, POINTL start, POINTL end) override;
  void LineTo(std::int32_t x, std::int32_t y) override;
  void PolyDraw(const POINTL* points, const std::uint8_t* types, std::int32_t count) override;
  void BeginPath(std::int32_t mode) override;
  bool EndPath() override;
  void DrawPath(bool stroke, bool fill) override;
  void CloseFigure() override;
  void SelectClipPath(std::int32_t mode) override;
  void SelectClipRegion(std::int32_t mode, const RECTL& bounds, std::int32_t count,
                        const RECTL* rects) override;
  void GdiComment(Bytes data) override;
  void PaintRegion(Bytes regionData) override;
  void BitBlt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
              std::uint32_t rop) override;
  std::int32_t StretchDIBits(std::int32_t dstX, std::int32_t dstY, std::uint32_t rop,
                             std::uint32_t colorUsage, Bytes bitmapInfo, Bytes bits,
                             std::int32_t srcX, std::int32_t srcY, std::int32_t srcWidth,
                             std::int32_t srcHeight, std::int32_t dstWidth,
                             std::int32_t dstHeight) override;
  void ExtTextOut(std::int32_t x, std::int32_t y, std::uint32_t options, const RECTL& clip,
                  const char16_t* wideText, const char* ansiText, std::int32_t length,
                  const std::int32_t* spacing) override;

 private:
  void Add(std::string line);

  std::vector<std::string> calls_;
};

// Plays bytes at their own size (no offset, no target, the header's resolution).
inline std::int32_t Play(vellora::TQVGenericDevice& device, const std::vector<std::uint8_t>& bytes,
                         bool measureOnly = false) {
  return device.PlayMetafile(bytes.data(), bytes.size(), 0, 0, 0, 0, measureOnly, 0, 0);
}

}  // namespace vellora_test
