#pragma once
// Device-independent bitmaps: their formats, and the conversion between their rows and surfaces. BMP files and
// packed DIBs (a header, a colour table, then the rows) are parsed here; every size is checked against the data,
// so damaged input is refused and never read past its end.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/win32.h"

namespace platform::gdi {

// The largest bitmap we make, so that a damaged size cannot ask for gigabytes.
constexpr int kMaxBitmapSide = 32767;
constexpr int64_t kMaxBitmapPixels = int64_t{1} << 24;
bool BitmapSizeAllowed(int64_t width, int64_t height);

struct DibFormat {
    int width = 0;
    int height = 0;  // rows; always positive
    bool topDown = false;
    int bitCount = 32;
    uint32_t masks[3]{0x00FF0000, 0x0000FF00, 0x000000FF};  // red, green, blue for 16 and 32 bits
    std::vector<uint32_t> palette;                          // 0x00RRGGBB, for 1, 4 and 8 bits

    size_t Stride() const { return ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4; }
    size_t ImageSize() const { return Stride() * static_cast<size_t>(height); }
    // A 32-bit top-down DIB has exactly a surface's layout, so its bits can be the surface's own pixels.
    bool SurfaceLayout() const {
        return bitCount == 32 && topDown && masks[0] == 0x00FF0000 && masks[1] == 0x0000FF00 && masks[2] == 0xFF;
    }
};

// Reads a BITMAPINFO (or a BITMAPCOREINFO) from at most `size` bytes: the header, the colour masks and the colour
// table. `headerBytes` tells where the rows of a packed DIB begin. Refuses compressed data, bit counts other than
// 1, 4, 8, 16, 24 and 32, colour masks that overlap or reach beyond the pixel, and sizes out of range.
bool ReadDibHeader(const uint8_t* data, size_t size, DibFormat& format, size_t& headerBytes);
// Fills a BITMAPINFOHEADER (and, for 16 and 32 bits, the three masks after it) describing the format.
void WriteDibHeader(const DibFormat& format, BITMAPINFOHEADER& header);

// `bits` holds format.ImageSize() bytes. Colour indexes beyond the table read as black.
void DibToSurface(const DibFormat& format, const uint8_t* bits, Surface& surface);
// Pixels become the nearest colour of the table for 1, 4 and 8 bits.
void SurfaceToDib(const Surface& surface, const DibFormat& format, uint8_t* bits);

struct ParsedBitmap {
    DibFormat format;
    Surface pixels;
};
std::optional<ParsedBitmap> ParseBmpFile(std::span<const uint8_t> file);
std::optional<ParsedBitmap> ParsePackedDib(std::span<const uint8_t> dib);

}  // namespace platform::gdi
