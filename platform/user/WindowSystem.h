#pragma once
// The window system shared by the files of platform/user and by platform/testing: the window table and tree, the
// classes, the posted-message queue and the display backend, and the doors to the state each file keeps to itself
// (focus, input, timers, painting, the session). Everything here belongs to the one user-interface thread except
// where a comment says otherwise.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display/Display.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"
#include "platform/win32.h"

namespace platform::user {

// The desktop is not a window of ours; its handle only has to differ from every window's (their low word is
// never 0).
inline HWND const kDesktopWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10000));

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    WNDCLASSA info{};  // lpszClassName and lpszMenuName are not kept
    int windows = 0;   // windows of the class alive: it cannot be unregistered while any are
};

// A window's own scroll bar (WS_VSCROLL or WS_HSCROLL), as SetScrollInfo describes it.
struct ScrollBarState {
    int min = 0;
    int max = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    bool tracking = false;       // the thumb is being dragged: it is drawn at trackPos
    UINT disabledArrows = 0;     // ESB_*
    int pressedPart = 0;         // the part the mouse holds down, drawn pushed
};

// Orders names without regard to the case of their ASCII letters, and finds them without a copy.
struct NameLessIgnoringCase {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [&](char x, char y) { return lower(x) < lower(y); });
    }
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // the parent of a child window; nullptr for a top-level window
    HWND owner = nullptr;   // the owner of a top-level window
    std::vector<HWND> children;  // front to back
    RECT rect{};        // the window's rectangle: in its parent's client coordinates, or on the screen
    RECT clientInsets{};  // the non-client frame's width on each side
    std::string text;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    std::vector<BYTE> extra;
    // Windows names properties by atoms, which are the same string whatever its case.
    std::map<std::string, HANDLE, NameLessIgnoringCase> properties;
    bool destroying = false;
    ScrollBarState scroll[2];  // SB_HORZ, SB_VERT

    // Painting, in client coordinates.
    gdi::Region update;
    bool eraseNeeded = false;
    bool frameNeeded = false;
    bool redraw = true;  // WM_SETREDRAW

    // WM_SETICON's icons, held but not owned.
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;

    // Top-level windows: their pixels and their window on the desktop.
    std::unique_ptr<display::NativeWindow> native;
    gdi::Surface surface;  // the client area
    gdi::Region drawn;     // surface coordinates, not yet presented
    bool presentAll = false;

    bool Visible() const { return style & WS_VISIBLE; }
    bool Child() const { return style & WS_CHILD; }
    LONG Width() const { return rect.right - rect.left; }
    LONG Height() const { return rect.bottom - rect.top; }
    RECT ClientRect() const {
        return {0, 0, std::max<LONG>(0, Width() - clientInsets.left - clientInsets.right),
                std::max<LONG>(0, Height() - clientInsets.top - clientInsets.bottom)};
    }
};

// Something besides the display that the message loop waits on, served on the user-interface thread: the session
// bus. Sources come and go on that thread.
class LoopSource {
  public:
    virtual ~LoopSource() = default;
    // The descriptor and the events to wait for now; `due` may be set to when it is to be served in any case.
    virtual pollfd Watch(std::optional<std::chrono::steady_clock::time_point>& due) = 0;
    // After a wait in which the descriptor was ready or the time it named came.
    virtual void Serve() = 0;
};

// Starts the watch that tells top-level windows of drives that come and go (WM_DEVICECHANGE); made with the first
// top-level window.
void WatchDeviceChanges();

class WindowSystem {
  public:
    static WindowSystem& Get();

    // Windows by handle; nullptr for a handle that is not (or no longer) a window.
    Window* Find(HWND handle);
    Window* FindOrFail(HWND handle);  // sets ERROR_INVALID_WINDOW_HANDLE when not found
    HWND Add(std::unique_ptr<Window> window);
    // Takes the window out of the table; its object lives on until no window procedure runs any more, so that a
    // window destroyed inside its own handler does not pull the floor from under it.
    void Remove(HWND handle);
    std::vector<HWND> TopLevelWindows() const;  // front to back
    // The same without a copy, for the user-interface thread, which alone changes the list: read it by index,
    // since a message sent on the way may change it.
    const std::vector<HWND>& TopLevelWindowsOnUiThread() const { return topLevels_; }
    // Window objects alive: those in the table and those destroyed but not yet freed.
    size_t WindowObjectCount() const;
    void BringToFront(HWND topLevel);

    // Classes, by name ignoring case.
    std::shared_ptr<WindowClass> FindClass(const std::string& name);
    std::map<std::string, std::shared_ptr<WindowClass>>& Classes() { return classes_; }

    display::DisplayBackend& Display();
    // Picks the backend before the first window; tests choose "headless".
    void UseDisplay(std::unique_ptr<display::DisplayBackend> backend);
    bool HasDisplay() const { return display_ != nullptr; }
    // Ends the user-interface thread's wait, from any thread: through the display once it is made, before that
    // without it.
    void WakeLoop();
    Window* FromNative(uint32_t nativeId);

    // The posted-message queue is the one part touched by other threads.
    void Post(const MSG& message);
    bool TakePosted(HWND filter, UINT min, UINT max, bool remove, MSG& message);
    void DropPostedFor(HWND window);

    // Whether the caller is the thread that makes the windows (and owns the state above).
    static bool OnUiThread() { return onUiThread_; }

  private:
    WindowSystem() = default;
    friend struct CallDepth;
    int callDepth_ = 0;  // window procedures running

    mutable std::mutex tableMutex_;  // the handle table: PostMessageA checks handles from other threads
    static inline thread_local bool onUiThread_ = false;
    std::vector<std::unique_ptr<Window>> slots_;
    std::vector<uint16_t> generations_;
    std::vector<std::unique_ptr<Window>> zombies_;
    std::vector<HWND> topLevels_;  // front to back

    std::map<std::string, std::shared_ptr<WindowClass>> classes_;  // keyed by the upper-cased name

    std::mutex queueMutex_;
    std::deque<MSG> posted_;

    std::unique_ptr<display::DisplayBackend> display_;
    // The display as other threads may see it: published once it is whole, withdrawn before it goes, and held
    // while they wake it, so that it cannot go meanwhile.
    std::mutex wakeMutex_;
    display::DisplayBackend* wakeable_ = nullptr;
};

// Counts window procedures on the stack; the last one out frees the windows destroyed meanwhile.
struct CallDepth {
    CallDepth();
    ~CallDepth();
};

// ---- the window manager's state, each part behind the file that owns it ----
// Focus.cpp: the active window, the focus and the capture, read with GetActiveWindow, GetFocus and GetCapture.
void SendActivation(HWND newActive, bool byClick, bool fromDisplay);
void ForgetWindow(HWND handle);  // focus, capture, activation, input and timers of a window that goes away
void ResetFocus();               // no window active, focused or capturing: for a test's fresh desktop
// Input.cpp: what the display reported, the input messages made of it, the key state, the pointer and the loop's
// other sources.
bool TakeInput(HWND filter, UINT min, UINT max, bool remove, MSG& message);
bool InputWaiting();
POINT CursorPosition();  // on the screen
void ForgetInputFor(HWND window);
void ResetInput();
void AddLoopSource(LoopSource* source);
void RemoveLoopSource(LoopSource* source);
void PumpDisplay(std::optional<std::chrono::nanoseconds> timeout);
// Messages.cpp: the timers and the quit message (the posted queue is the window system's, as other threads post).
std::optional<std::chrono::nanoseconds> NextTimerDue();
size_t TimerCount();
void ForgetTimersOf(HWND window);
void ResetMessages();  // no timers, no posted or quit message
// Painting.cpp: whether some window may have something to paint, and which one does.
void NotePaintMaybeDue();
HWND NextPaintWindow(HWND filter);
// Session.cpp: the end of the session, told to the windows by the loop.
void SendSessionEnd();
void SendSessionEndIfDue();

inline bool MessageInRange(UINT message, UINT min, UINT max) {
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

// ---- shared helpers of the window system (defined across platform/user) ----
std::shared_ptr<WindowClass> ClassByName(LPCSTR name);
RECT NonClientInsets(DWORD style, DWORD exStyle);
RECT WindowRectOnSurface(const Window& window);
void PaintScrollBars(HDC windowDC, Window& window);
void TrackScrollBar(HWND handle, int bar, POINT screen);
void HideCaretForPainting(HWND handle);
void ShowCaretAfterPainting(HWND handle);
void ForgetCaret(HWND handle);
void StartSessionWatch();
// While the window's thread waits long for a file system, the display shows the busy cursor.
// A window whose frame is drawn again with the next painting.
void NeedFrame(Window& window);
void ShowBusyWhileWaiting(bool waiting);
bool WaitWithoutDisplay(std::optional<std::chrono::nanoseconds> timeout);
void WakeWithoutDisplay();  // any thread
POINT ClientOriginOnScreen(const Window& window);
POINT ClientOriginOnSurface(const Window& window);
Window* TopLevelOf(Window* window);
gdi::Region VisibleRegion(Window& window, bool clientOnly);  // surface coordinates
void InvalidateArea(Window& window, const gdi::Region& clientArea, bool erase, bool withChildren);
void InvalidateParentArea(Window& window, const RECT& rectInParent);
void PresentAll();
void ApplyNativeBounds(Window& window);
// Hands the window's icon (the big one, else the small one) to its window on the desktop, if it has one.
void ApplyNativeIcon(Window& window);
void CreateNativeIfNeeded(Window& window);
std::chrono::nanoseconds Now();
// The text of a message box window, or nothing for any other window.
std::optional<std::string> MessageBoxText(HWND window);
// What a message box shows, for the screen readers: it draws its text and buttons without windows of their own. A
// button is pressed, as a dialog's button tells its dialog, by posting WM_COMMAND with the button's id.
struct MessageBoxButton {
    int id;              // IDOK, IDCANCEL...
    std::string label;   // with its mnemonic's '&'
    RECT rect;           // client coordinates
    bool focused;
};
struct MessageBoxContent {
    std::string text;
    RECT textRect;
    std::vector<MessageBoxButton> buttons;
};
std::optional<MessageBoxContent> MessageBoxContentOf(HWND window);
DWORD NowMilliseconds();

}  // namespace platform::user
