#include "platform/display/SdlConnection.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xlibint.h>

namespace platform::display {

X11Connection::X11Connection(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        display_ = info.info.x11.display;
}

int X11Connection::Descriptor() const { return display_ ? ConnectionNumber(static_cast<Display*>(display_)) : -1; }

bool X11Connection::EventsQueued() const {
    return display_ && XEventsQueued(static_cast<Display*>(display_), QueuedAlready) > 0;
}

void X11Connection::Flush() const {
    // XFlush also reads the connection for events, twice a call, whether or not it sent anything. With Xlib's
    // buffer empty there is nothing to send, and the wait that follows watches the connection anyway.
    auto* display = static_cast<_XDisplay*>(display_);
    if (display && display->bufptr != display->buffer) XFlush(display);
}

}  // namespace platform::display
