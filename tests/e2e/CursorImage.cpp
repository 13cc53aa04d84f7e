// Prints the size, hot spot, the number of pixels that are not transparent and a checksum of the pointer image that
// the X server shows now, so that an end-to-end test can tell the busy pointer from the arrow without knowing how
// the desktop draws either, and that neither is an empty image.

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdint>
#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image) return 1;
    uint64_t checksum = 1469598103934665603ull;  // FNV-1a over the pixels
    long visible = 0;
    for (long i = 0, count = static_cast<long>(image->width) * image->height; i < count; ++i) {
        checksum ^= static_cast<uint32_t>(image->pixels[i]);
        checksum *= 1099511628211ull;
        if (static_cast<uint32_t>(image->pixels[i]) >> 24) ++visible;  // ARGB: an alpha above 0
    }
    std::printf("%u %u %u %u %ld %016llx\n", image->width, image->height, image->xhot, image->yhot, visible,
                static_cast<unsigned long long>(checksum));
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
