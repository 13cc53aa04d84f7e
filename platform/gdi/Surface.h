#pragma once
// The pixels of a top-level window or a bitmap: 32 bits a pixel, 0x00RRGGBB (a 32-bit device-independent
// bitmap's layout), rows from the top.

#include <cstdint>
#include <vector>

namespace platform::gdi {

struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Surface() = default;
    Surface(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

    uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
    uint32_t At(int x, int y) const { return Row(y)[x]; }
    void Resize(int w, int h, uint32_t fill = 0) {
        width = w;
        height = h;
        pixels.assign(static_cast<size_t>(w) * h, fill);
    }
};

// COLORREF is 0x00BBGGRR; surfaces hold 0x00RRGGBB.
inline uint32_t PixelOf(uint32_t colorref) {
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}
inline uint32_t ColorOf(uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}

}  // namespace platform::gdi
