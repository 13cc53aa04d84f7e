#pragma once
// The desktop display through SDL's video subsystem (X11 or Wayland). SDL's audio is the sound layer's business:
// this backend starts and stops only video and events.
//
// On a high-density screen the whole program is drawn at an integer scale (see Scale()); everything the window
// system sees, screen coordinates included, stays in unscaled pixels.

#include <array>
#include <atomic>
#include <chrono>
#include <memory>

#include "platform/display/Display.h"
#include "platform/display/sdl/X11Connection.h"
#include "platform/display/sdl/SdlWindow.h"

struct SDL_Cursor;
union SDL_Event;

namespace platform::display {

class SdlDisplay : public DisplayBackend {
  public:
    // Nothing, with a reason starting "no display: ", when there is no desktop to show windows on.
    static std::unique_ptr<SdlDisplay> Create(std::string& error);
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    std::string_view Name() const override { return "sdl"; }
    std::unique_ptr<NativeWindow> CreateNativeWindow(const NativeWindowOptions& options) override;
    using DisplayBackend::WaitEvents;
    void WaitEvents(std::optional<std::chrono::nanoseconds> timeout, std::vector<DisplayEvent>& events,
                    std::span<pollfd> watched) override;
    void Wake() override;
    SIZE ScreenSize() const override;
    POINT CursorPosition() const override;
    void SetCursor(CursorShape shape) override;
    void CaptureMouse(bool capture) override;
    void StartTextInput(const RECT& caretOnScreen) override;
    void StopTextInput() override;
    std::string ClipboardText() const override;
    void SetClipboardText(std::string_view text) override;
    void Sync() override;

    // Screen pixels per pixel of ours: 2 or more on a high-density screen, chosen once at start. The environment
    // variable KORVO_DISPLAY_SCALE (1 to 4) overrides the choice.
    int Scale() const { return scale_; }

  private:
    struct VideoSubsystem {
        ~VideoSubsystem();
    };
    struct CursorDeleter {
        void operator()(SDL_Cursor* cursor) const;
    };
    static constexpr size_t kCursorShapes = static_cast<size_t>(CursorShape::AppStarting) + 1;

    explicit SdlDisplay(int scale);
    // Waits on the X server's connection and the wake-up descriptor together, and reads the connection once a
    // wake-up: SDL's own wait reads it a dozen times a turn.
    void WaitOnConnection(std::optional<std::chrono::steady_clock::time_point> deadline, size_t before,
                          std::vector<DisplayEvent>& events, std::span<pollfd> watched);
    // The program watches one descriptor of its own (the session bus); a few more cost nothing.
    static constexpr size_t kMostWatched = 6;
    bool TakeWake();
    // Adds what `event` means to `events`; true when it is Wake's.
    bool Translate(const SDL_Event& event, std::vector<DisplayEvent>& events);
    void TranslateWindowEvent(const SDL_Event& event, std::vector<DisplayEvent>& events);
    bool KeepFocusFromPopup(uint32_t windowId, bool gained, std::vector<DisplayEvent>& events);

    VideoSubsystem video_;  // first in, last out: everything below is SDL's
    SdlWindowHandle wakeWindow_;
    std::array<std::unique_ptr<SDL_Cursor, CursorDeleter>, kCursorShapes> cursors_;
    std::optional<CursorShape> cursor_;
    bool textInputActive_ = false;
    int scale_;
    std::atomic<bool> wakePending_{false};
    std::unique_ptr<X11Connection> connection_;  // when SDL draws through X11; otherwise SDL waits itself
    int wakeFd_ = -1;                            // written by Wake when the loop waits on the connection
    // When the X connection was last read. Every read costs system calls, and a message loop looks for input
    // between any two messages: within a millisecond of a read, a look takes only what SDL already holds.
    std::chrono::steady_clock::time_point lastRead_{};
    uint32_t focusOwner_ = 0;          // the last ordinary window that had the keyboard
    uint32_t swallowFocusGained_ = 0;  // see KeepFocusFromPopup
};

}  // namespace platform::display
