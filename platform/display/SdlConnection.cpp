#include "platform/display/SdlConnection.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <unistd.h>

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

void X11Connection::Flush() const {
    // XFlush also reads the connection for events, twice a call, whether or not it sent anything. With Xlib's
    // buffer empty there is nothing to send, and the wait that follows watches the connection anyway.
    auto* display = static_cast<_XDisplay*>(display_);
    if (display && display->bufptr != display->buffer) XFlush(display);
}

}  // namespace platform::display
