// The path bracket: BeginPath, EndPath, CloseFigure and painting the finished path.
#include "QVPdfDC/ps_device.h"

namespace vellora {

void TQVGenericPSDevice::BeginPath(std::int32_t mode) {
  PrepareDraw();
  PenState(true, false);
  TQVGenericDevice::BeginPath(mode);
  // State that must be written when the path is painted goes before this point.
  if (pathNesting == 1) MarkPathStart();
}

bool TQVGenericPSDevice::EndPath() {
  // A polyline group inside a bracket: its last polyline stays open, as GDI leaves it.
  if (pathNesting > 1 && pathMode == 1) {
    --pathNesting;
    return true;
  }
  return TQVGenericDevice::EndPath();
}

void TQVGenericPSDevice::CloseFigure() {
  TQVGenericDevice::CloseFigure();
  if (pathPending) {
    workBuffer.AddString("h ");
    figureOpen = false;
  }
  if (figureStartValid) {
    currentX = figureStartX;
    currentY = figureStartY;
  }
}

void TQVGenericPSDevice::DrawPath(bool stroke, bool fill) {
  // Painting needs a path: a lone painting operator is an error in the content.
  if (openObject != kOpenDrawing || !pathPending) return;
  FinishPath(stroke, fill, false);
  pendingPathKind = kPathNone;
}

}  // namespace vellora
