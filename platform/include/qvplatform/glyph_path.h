// The path bracket of a device context, for text as outlines: BeginPath, ExtTextOutW (see
// device_context.h), EndPath, GetPath. Points are logical (pixel) coordinates, y downwards;
// quadratic curves come out as cubic Béziers.
#pragma once

#include "qvplatform/font_types.h"

namespace qvplatform {

// Point types of a path. PT_CLOSEFIGURE is or-ed into the type of a figure's last point.
constexpr BYTE PT_CLOSEFIGURE = 0x01;
constexpr BYTE PT_LINETO = 0x02;
constexpr BYTE PT_BEZIERTO = 0x04;  // in threes: two control points and the end point
constexpr BYTE PT_MOVETO = 0x06;

// Opens a bracket, discarding any earlier path. 0 for an unknown DC.
BOOL BeginPath(HDC hdc);
// Closes the open bracket; 0 when none is open.
BOOL EndPath(HDC hdc);
// Discards the path and closes an open bracket.
BOOL AbortPath(HDC hdc);

// The closed path: with count 0 the number of points; otherwise copies the points and their
// types and returns their number. -1 when there is no closed path (never begun, aborted, or
// the bracket is still open) or count is too small.
int GetPath(HDC hdc, POINT* points, BYTE* types, int count);

}  // namespace qvplatform
