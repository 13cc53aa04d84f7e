#include "platform/display/sdl/X11Connection.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <bit>

namespace platform::display {
namespace {

// Xlib's own handler ends the process with exit(), which runs every static destructor while the sound threads still
// run, and the process died of a double free on the way. Without its display the program cannot go on, nor save
// what it shows; it ends at once, with a word why. Its settings file is whole, as it was last written.
int ConnectionLost(Display*) {
    static const char message[] = "The connection to the X server was lost.\n";
    (void)!write(STDERR_FILENO, message, sizeof message - 1);
    _exit(1);
}

}  // namespace

X11Connection::X11Connection(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        display_ = info.info.x11.display;
        XSetIOErrorHandler(ConnectionLost);
    }
}

int X11Connection::Descriptor() const { return display_ ? ConnectionNumber(static_cast<Display*>(display_)) : -1; }

bool X11Connection::EventsQueued() const {
    return display_ && XEventsQueued(static_cast<Display*>(display_), QueuedAlready) > 0;
}

namespace {

void FlushIfAnythingToSend(Display* display) {
    // XFlush also reads the connection for events, twice a call, whether or not it sent anything. With Xlib's
    // buffer empty there is nothing to send, and the wait that follows watches the connection anyway.
    auto* raw = reinterpret_cast<_XDisplay*>(display);
    if (raw && raw->bufptr != raw->buffer) XFlush(display);
}

bool HasOurPixelLayout(Display* display, const XWindowAttributes& attributes) {
    const Visual* visual = attributes.visual;
    if (std::endian::native != std::endian::little || ImageByteOrder(display) != LSBFirst) return false;
    // SDL gives its windows a direct-colour visual where there is one, with a colour map that passes every value
    // through as it is: the pixels are the same as with a true-colour visual.
    const bool pixelsAreColours = visual && (visual->c_class == TrueColor || visual->c_class == DirectColor);
    if (attributes.depth != 24 || !pixelsAreColours || visual->red_mask != 0xFF0000 ||
        visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF) {
        return false;
    }
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    bool fourBytes = false;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == 24) fourBytes = formats[i].bits_per_pixel == 32;
    }
    if (formats) XFree(formats);
    return fourBytes;
}

}  // namespace

void X11Connection::Flush() const { FlushIfAnythingToSend(static_cast<Display*>(display_)); }

void X11Connection::Sync() const {
    if (display_) XSync(static_cast<Display*>(display_), False);
}

struct X11Painter::State {
    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
};

std::unique_ptr<X11Painter> X11Painter::For(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    auto state = std::make_unique<State>();
    state->display = info.info.x11.display;
    state->window = info.info.x11.window;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(state->display, state->window, &attributes) ||
        !HasOurPixelLayout(state->display, attributes)) {
        return nullptr;
    }
    state->visual = attributes.visual;
    state->gc = XCreateGC(state->display, state->window, 0, nullptr);
    if (!state->gc) return nullptr;
    // Copies of pixels cannot come out of nowhere: no exposure events for them.
    XSetGraphicsExposures(state->display, state->gc, False);
    return std::unique_ptr<X11Painter>(new X11Painter(std::move(state)));
}

X11Painter::X11Painter(std::unique_ptr<State> state) : state_(std::move(state)) {}

X11Painter::~X11Painter() { XFreeGC(state_->display, state_->gc); }

void X11Painter::Put(const uint32_t* pixels, int imageWidth, int imageHeight, Area source, int x, int y) {
    XImage image{};
    image.width = imageWidth;
    image.height = imageHeight;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(const_cast<uint32_t*>(pixels));  // only read
    image.byte_order = LSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = LSBFirst;
    image.bitmap_pad = 32;
    image.depth = 24;
    image.bytes_per_line = imageWidth * 4;
    image.bits_per_pixel = 32;
    image.red_mask = state_->visual->red_mask;
    image.green_mask = state_->visual->green_mask;
    image.blue_mask = state_->visual->blue_mask;
    if (!XInitImage(&image)) return;
    XPutImage(state_->display, state_->window, state_->gc, &image, source.left, source.top, x, y,
              static_cast<unsigned>(source.width), static_cast<unsigned>(source.height));
}

void X11Painter::Flush() { FlushIfAnythingToSend(state_->display); }

}  // namespace platform::display
