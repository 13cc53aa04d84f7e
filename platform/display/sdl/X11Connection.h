#pragma once
// The X server's connection under SDL's windows, apart from the rest of the backend: X's headers define names
// (CursorShape, Window, BOOL) that the backend and the Windows types use for their own.

#include <cstdint>
#include <memory>

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
    // Sends what is still to go and waits until the server has carried it out.
    void Sync() const;

  private:
    void* display_ = nullptr;
};

// Puts pixels on one X window with plain requests. SDL's window surface is filled first and then waits for the
// server after every update, a round trip that woke the message loop once more for each frame drawn; these go out
// with the next flush and nothing comes back.
class X11Painter {
  public:
    // Nothing when `window` is not on X11 or its pixels are not laid out as ours (32 bits, 0x00RRGGBB, in this
    // machine's byte order, as on nearly every desktop); SDL's window surface serves those.
    static std::unique_ptr<X11Painter> For(SDL_Window* window);
    ~X11Painter();
    X11Painter(const X11Painter&) = delete;
    X11Painter& operator=(const X11Painter&) = delete;

    struct Area {
        int left, top, width, height;
    };
    // Sends `source`, a part of an image `imageWidth` pixels wide and `imageHeight` high stored row after row, to
    // (x, y) in the window.
    void Put(const uint32_t* pixels, int imageWidth, int imageHeight, Area source, int x, int y);
    // Sends what Put left in Xlib's buffer.
    void Flush();

  private:
    struct State;
    explicit X11Painter(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace platform::display
