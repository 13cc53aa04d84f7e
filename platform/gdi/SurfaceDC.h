#pragma once
// Device contexts on a window's pixels, made by the window system for BeginPaint, GetDC and GetWindowDC.

#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"
#include "platform/win32.h"

namespace platform::gdi {

// A DC whose logical (0, 0) lies at `origin` on the surface and which touches only the pixels of `clip` (surface
// coordinates). It starts in Windows' default state: system font, white brush, black pen, black text on an opaque
// white background. The surface must outlive the DC.
HDC CreateSurfaceDC(Surface* surface, POINT origin, const Region& clip);
// The part of the surface drawn on since the DC was made or since the last call, in surface coordinates; the
// window system presents only that.
RECT TakeDrawnBounds(HDC dc);
void DeleteSurfaceDC(HDC dc);

}  // namespace platform::gdi
