#pragma once
// The display in memory: the same top-level windows as on a desktop, with no desktop. Tests inject input and read
// back what reached the "screen"; the window system cannot tell it from the real one.
//
// It answers the way a window manager would: activating a window takes the focus from the one that had it
// (FocusLost, then FocusGained), hiding or minimising the active window loses the focus, minimising and restoring
// report Minimized and Restored, moving a window reports Moved. Popups never take the focus. These events, like
// injected ones, are delivered by the next WaitEvents.
//
// Inject and Wake may be called from any thread; everything else belongs to the thread of the message loop. Every
// window must be destroyed before its display.

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "platform/display/Display.h"

namespace platform::display {

class HeadlessDisplay : public DisplayBackend {
  public:
    struct WindowState {
        std::string title;
        RECT bounds{};
        bool popup = false;
        bool minimizable = true;
        bool resizable = false;
        bool shown = false;
        bool minimized = false;
        bool active = false;
        int presentCount = 0;    // calls of Present with at least one part on the window
        gdi::Surface presented;  // the client area as last presented; black where nothing was
        gdi::Surface icon;       // as last set; empty while the window has none
    };

    static constexpr SIZE kDefaultScreenSize{1280, 1024};

    HeadlessDisplay();
    ~HeadlessDisplay() override;
    HeadlessDisplay(const HeadlessDisplay&) = delete;
    HeadlessDisplay& operator=(const HeadlessDisplay&) = delete;

    std::string_view Name() const override { return "headless"; }
    std::unique_ptr<NativeWindow> CreateNativeWindow(const NativeWindowOptions& options) override;
    using DisplayBackend::WaitEvents;
    void WaitEvents(std::optional<std::chrono::nanoseconds> timeout, std::vector<DisplayEvent>& events,
                    std::span<pollfd> watched) override;
    void Wake() override;
    SIZE ScreenSize() const override { return screenSize_; }
    POINT CursorPosition() const override { return cursorPosition_; }
    void SetCursor(CursorShape shape) override { cursor_ = shape; }
    void CaptureMouse(bool capture) override { mouseCaptured_ = capture; }
    void StartTextInput(const RECT& caretOnScreen) override;
    void StopTextInput() override { textInputActive_ = false; }
    std::string ClipboardText() const override { return clipboard_; }
    void SetClipboardText(std::string_view text) override { clipboard_ = text; }
    void Sync() override {}

    // Queues an event as if the user had caused it, and ends a wait.
    void Inject(DisplayEvent event);

    // The window's pixels as last presented, or nothing for a window that does not exist (any more).
    const gdi::Surface* LastPresented(uint32_t windowId) const;
    const WindowState* Window(uint32_t windowId) const;
    std::vector<uint32_t> WindowIds() const;  // the living windows, oldest first
    uint32_t ActiveWindow() const { return activeWindow_; }  // 0 when none

    void SetScreenSize(SIZE size) { screenSize_ = size; }
    void SetCursorPosition(POINT position) { cursorPosition_ = position; }
    CursorShape Cursor() const { return cursor_; }
    bool MouseCaptured() const { return mouseCaptured_; }
    bool TextInputActive() const { return textInputActive_; }
    RECT TextInputRect() const { return textInputRect_; }

  private:
    class HeadlessWindow;
    friend class HeadlessWindow;

    WindowState* FindWindow(uint32_t windowId);
    void Queue(DisplayEvent::Kind kind, uint32_t windowId, int x = 0, int y = 0);
    void Activate(uint32_t windowId);
    void Deactivate(uint32_t windowId);
    void Present(uint32_t windowId, const gdi::Surface& surface, std::span<const RECT> parts);
    void WaitWatching(std::optional<std::chrono::nanoseconds> timeout, std::span<pollfd> watched);
    void Signal();

    std::map<uint32_t, WindowState> windows_;
    uint32_t nextWindowId_ = 1;
    uint32_t activeWindow_ = 0;
    SIZE screenSize_ = kDefaultScreenSize;
    POINT cursorPosition_{};
    CursorShape cursor_ = CursorShape::Arrow;
    bool mouseCaptured_ = false;
    bool textInputActive_ = false;
    RECT textInputRect_{};
    std::string clipboard_;

    // The one part shared with other threads.
    std::mutex queueMutex_;
    std::condition_variable queueChanged_;
    std::vector<DisplayEvent> queue_;
    bool woken_ = false;
    // Also written by Inject and Wake: a wait that watches descriptors of the program's own cannot wait on the
    // condition variable.
    int signalFd_ = -1;
};

}  // namespace platform::display
