// Settings that hold for the whole process rather than for one device. The engine interface
// writes them from its integer properties; every device reads them. They are atomics because
// several engine contexts may live in one process, each on its own thread.
#pragma once

namespace vellora {

// The coordinate divisor that every device created afterwards takes as its default (integer
// property 54). A negative value is ignored; 0 counts as 1, so the getter is always >= 1.
int DefaultCoordinateDivisor();
void SetDefaultCoordinateDivisor(int value);

// When set, large window extents do not raise the coordinate divisor to 10 (integer property
// 55). Off by default.
bool NoHighResolution();
void SetNoHighResolution(bool value);

// Whether the metafile player may draw two-vertex gradients with the platform's gradient
// routine. The routine is always present; tests switch it off to exercise the solid-colour
// fallback. On by default.
bool GradientFillEnabled();
void SetGradientFillEnabled(bool value);

}  // namespace vellora
