// A concrete device for the tests of the generic device and the player fuzz target: every
// abstract drawing slot does nothing. Derive from it to record or read the calls of interest.
#pragma once

#include "QVGenDC/generic_device.h"

namespace vellora_test {

class StubDevice : public vellora::TQVGenericDevice {
 public:
  using TQVGenericDevice::TQVGenericDevice;

  void PolyBezier(const POINTL*, std::int32_t, bool) override {}
  void Polygon(const POINTL*, std::int32_t) override {}
  void Polyline(const POINTL*, std::int32_t, bool, bool, bool) override {}
  void SetPixel(std::int32_t, std::int32_t, COLORREF) override {}
  void MoveTo(std::int32_t, std::int32_t, POINTL*) override {}
  void PopClip() override {}
  void PushClip() override {}
  void PrepareDraw() override {}
  void AngleArc(std::int32_t, std::int32_t, std::int32_t, float, float) override {}
  void Ellipse(const RECTL&, bool) override {}
  void Rectangle(const RECTL&) override {}
  void FillSolidRect(std::int32_t, std::int32_t, std::int32_t, std::int32_t, COLORREF) override {}
  void FillSolidRectF(COLORREF, float, float, float, float) override {}
  void RoundRect(const RECTL&, std::int32_t, std::int32_t) override {}
  void Arc(const RECTL&, POINTL, POINTL, bool) override {}
  void Chord(const RECTL&, POINTL, POINTL) override {}
  void Pie(const RECTL&, POINTL, POINTL) override {}
  void LineTo(std::int32_t, std::int32_t) override {}
  void PolyDraw(const POINTL*, const std::uint8_t*, std::int32_t) override {}
  void DrawPath(bool, bool) override {}
  void SelectClipPath(std::int32_t) override {}
  void SelectClipRegion(std::int32_t, const RECTL&, std::int32_t, const RECTL*) override {}
  void GdiComment(Bytes) override {}
  void BitBlt(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::uint32_t) override {}
  std::int32_t StretchDIBits(std::int32_t, std::int32_t, std::uint32_t, std::uint32_t, Bytes, Bytes,
                             std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                             std::int32_t) override {
    return 0;
  }
  void ExtTextOut(std::int32_t, std::int32_t, std::uint32_t, const RECTL&, const char16_t*,
                  const char*, std::int32_t, const std::int32_t*) override {}
};

}  // namespace vellora_test
