#pragma once
// The X server's connection under SDL's windows, apart from the rest of the backend: X's headers define names
// (CursorShape, Window) that the backend uses for its own.

struct SDL_Window;

namespace platform::display {

class X11Connection {
  public:
    // The connection SDL draws `window` through; none (Open() false) when that is not X11 (Wayland, say).
    explicit X11Connection(SDL_Window* window);
    bool Open() const { return display_ != nullptr; }
    int Descriptor() const;
    // Events already read from the socket (while waiting for a reply, say) that nobody has taken yet: with them
    // queued the socket may stay quiet, and a wait on it would not end.
    bool EventsQueued() const;
    // Sends what is still to go: SDL does not flush after every request (a cursor change, say).
    void Flush() const;

  private:
    void* display_ = nullptr;
};

}  // namespace platform::display
