#pragma once
// Bitmap objects made from pixels: for the resource loader, and for reading a bitmap's pixels back in tests.

#include "platform/gdi/Dib.h"
#include "platform/gdi/Surface.h"
#include "platform/win32.h"

namespace platform::gdi {

// A device-dependent bitmap: 32 bits a pixel, or monochrome (pixels of 0 and 0xFFFFFF).
HBITMAP NewBitmap(Surface pixels, bool mono);
// A DIB section of the format holding the pixels (converted to the format's colours).
HBITMAP NewDibSection(const DibFormat& format, const Surface& pixels);
// The pixels of a bitmap as GDI sees them; nullptr for a handle that is not a bitmap.
const Surface* BitmapPixels(HBITMAP bitmap);

}  // namespace platform::gdi
