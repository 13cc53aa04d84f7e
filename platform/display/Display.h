#pragma once
// A display backend: real top-level windows on the desktop (SDL) or the same windows in memory (headless). The
// window system above it owns every window, message and pixel; a backend only shows top-level surfaces, reports
// input in client coordinates of its native windows, and wakes the message loop.

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/win32.h"

namespace platform::display {

enum class CursorShape { Arrow, Wait, IBeam, Cross, SizeWE, SizeNS, Hand, No, AppStarting };

struct NativeWindowOptions {
    std::string title;
    RECT bounds{};        // the client area in screen pixels
    bool popup = false;   // no frame and no taskbar entry: drop-down lists, hints, menus
    bool minimizable = true;
    bool resizable = false;
};

struct DisplayEvent {
    enum class Kind {
        MouseMove,
        MouseButton,  // button: 1 left, 2 middle, 3 right; pressed or released
        MouseWheel,   // wheel: +1 a notch away from the user, -1 toward
        Key,          // virtualKey (VK_*), scanCode, pressed, repeat
        Text,         // text: UTF-8 typed or committed by an input method
        CloseRequested,
        FocusGained,
        FocusLost,
        Minimized,
        Restored,
        Moved,    // x, y: the client area's new screen position
        Exposed,  // the native window lost its pixels and wants them all again
        MouseLeft,
    };
    Kind kind = Kind::MouseMove;
    uint32_t window = 0;  // NativeWindow::Id of the window the event is for; 0 when none
    int x = 0;            // client coordinates of the mouse, or the new position for Moved
    int y = 0;
    int button = 0;
    bool pressed = false;
    bool repeat = false;
    int wheel = 0;
    int virtualKey = 0;
    int scanCode = 0;  // the PC keyboard's set-1 code; 0xE0 in the high byte for extended keys (0xE048 is Up)
    std::string text;
};

class NativeWindow {
  public:
    virtual ~NativeWindow() = default;
    virtual uint32_t Id() const = 0;
    virtual void SetTitle(std::string_view title) = 0;
    virtual void SetBounds(const RECT& clientOnScreen) = 0;
    virtual void Show(bool activate) = 0;
    virtual void Hide() = 0;
    virtual void Minimize() = 0;
    virtual void Restore() = 0;
    // Brings the window to the front and gives it the keyboard.
    virtual void Activate() = 0;
    // Shows the given parts (client coordinates) of the surface, which is the window's whole client area.
    virtual void Present(const gdi::Surface& surface, std::span<const RECT> parts) = 0;
    // The picture the desktop shows for the window (its title bar, task bar, window switcher), as 0xAARRGGBB with
    // alpha 0 or 255. An empty picture takes the window's own icon away where the desktop can.
    virtual void SetIcon(const gdi::Surface& icon) = 0;
};

class DisplayBackend {
  public:
    virtual ~DisplayBackend() = default;
    virtual std::string_view Name() const = 0;
    virtual std::unique_ptr<NativeWindow> CreateNativeWindow(const NativeWindowOptions& options) = 0;
    // Appends what has happened to `events`, waiting first until something does, Wake is called, or `timeout`
    // passes (no timeout: wait as long as it takes; zero: do not wait). The wait also ends when one of `watched`
    // (descriptors of the program's own, such as the session bus) is ready, with `revents` saying how.
    virtual void WaitEvents(std::optional<std::chrono::nanoseconds> timeout, std::vector<DisplayEvent>& events,
                            std::span<pollfd> watched) = 0;
    void WaitEvents(std::optional<std::chrono::nanoseconds> timeout, std::vector<DisplayEvent>& events) {
        WaitEvents(timeout, events, {});
    }
    // Ends a wait from any thread.
    virtual void Wake() = 0;
    virtual SIZE ScreenSize() const = 0;
    virtual POINT CursorPosition() const = 0;  // screen pixels
    virtual void SetCursor(CursorShape shape) = 0;
    // While captured, the mouse keeps reporting to the window it was pressed in, also outside it.
    virtual void CaptureMouse(bool capture) = 0;
    virtual void StartTextInput(const RECT& caretOnScreen) = 0;
    virtual void StopTextInput() = 0;
    virtual std::string ClipboardText() const = 0;
    virtual void SetClipboardText(std::string_view text) = 0;
    // Returns once the desktop has carried out everything sent to it so far: what was presented is on the screen.
    // Presenting itself does not wait.
    virtual void Sync() = 0;
};

// "sdl" for the desktop, "headless" for tests and screenshots. Returns nothing, with the reason in `error`, when
// the backend cannot start (no display for SDL).
std::unique_ptr<DisplayBackend> CreateDisplayBackend(std::string_view name, std::string& error);

}  // namespace platform::display
