#include "platform/display/sdl/SdlDisplay.h"

#include <SDL.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "platform/display/sdl/SdlKeys.h"

namespace platform::display {
namespace {

constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS;

// Registered once per process: SDL hands out event numbers for good.
Uint32 WakeEventType() {
    static const Uint32 type = SDL_RegisterEvents(1);
    return type;
}

// Screen pixels to ours, rounding toward minus infinity so that a captured mouse left of the window stays left.
int Unscale(int value, int scale) { return value >= 0 ? value / scale : -((-value + scale - 1) / scale); }

void SetHints() {
    // SDL's own preferences suit games, not a desktop program. Each can still be overridden from the
    // environment.
    // Draw into shared memory and send only the changed rectangles, instead of uploading the whole window to
    // OpenGL on every change (which is all software rendering on a machine without a graphics driver).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Playing music is no reason to keep the screen awake, nor to switch the compositor off.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Ctrl+C in a terminal ends the program, as it would without SDL.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window system has no composition display of its own: the input method shows what is being composed,
    // and a long committed text arrives whole.
    SDL_SetHint(SDL_HINT_IME_INTERNAL_EDITING, "1");
    SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
}

int DetectScale() {
    if (const char* forced = SDL_GetHint("KORVO_DISPLAY_SCALE")) {
        const int scale = std::atoi(forced);
        if (scale >= 1 && scale <= 4) return scale;
    }
    // A Wayland compositor scales windows that do not ask for high density itself.
    if (std::string_view(SDL_GetCurrentVideoDriver()) == "wayland") return 1;
    float dpi = 0;
    // Beyond 600 the monitor reports its size wrongly (some give their width-to-height ratio in millimetres).
    if (SDL_GetDisplayDPI(0, &dpi, nullptr, nullptr) != 0 || dpi <= 0 || dpi > 600) return 1;
    int scale = std::clamp(static_cast<int>(dpi / 96), 1, 4);
    // Leave room for the program: at least 1024 × 720 of our pixels on the screen.
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(0, &bounds) == 0) {
        while (scale > 1 && (bounds.w / scale < 1024 || bounds.h / scale < 720)) --scale;
    }
    return scale;
}

SDL_SystemCursor SystemCursorOf(CursorShape shape) {
    switch (shape) {
        case CursorShape::Arrow: return SDL_SYSTEM_CURSOR_ARROW;
        case CursorShape::Wait: return SDL_SYSTEM_CURSOR_WAIT;
        case CursorShape::IBeam: return SDL_SYSTEM_CURSOR_IBEAM;
        case CursorShape::Cross: return SDL_SYSTEM_CURSOR_CROSSHAIR;
        case CursorShape::SizeWE: return SDL_SYSTEM_CURSOR_SIZEWE;
        case CursorShape::SizeNS: return SDL_SYSTEM_CURSOR_SIZENS;
        case CursorShape::Hand: return SDL_SYSTEM_CURSOR_HAND;
        case CursorShape::No: return SDL_SYSTEM_CURSOR_NO;
        case CursorShape::AppStarting: return SDL_SYSTEM_CURSOR_WAITARROW;
    }
    return SDL_SYSTEM_CURSOR_ARROW;
}

bool IsPopup(uint32_t windowId) {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_POPUP_MENU);
}

DisplayEvent MakeEvent(DisplayEvent::Kind kind, uint32_t windowId) {
    DisplayEvent event;
    event.kind = kind;
    event.window = windowId;
    return event;
}

}  // namespace

SdlDisplay::VideoSubsystem::~VideoSubsystem() { SDL_QuitSubSystem(kSubsystems); }

void SdlDisplay::CursorDeleter::operator()(SDL_Cursor* cursor) const { SDL_FreeCursor(cursor); }

std::unique_ptr<SdlDisplay> SdlDisplay::Create(std::string& error) {
    if (!std::getenv("SDL_VIDEODRIVER") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        error = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
        return nullptr;
    }
    SetHints();
    // SDL falls back to a driver without a screen (a dummy, or the console's) when the desktop's cannot start, as a
    // busy X server can refuse a connection for a moment; a program on it would be invisible. So only the desktop's
    // drivers count, unless another is asked for by name, and a refusal is tried once more.
    for (int attempt = 1;; ++attempt) {
        if (SDL_InitSubSystem(kSubsystems) != 0) {
            error = std::string("no display: ") + SDL_GetError();
            return nullptr;
        }
        std::string_view driver = SDL_GetCurrentVideoDriver();
        if (std::getenv("SDL_VIDEODRIVER") || driver == "x11" || driver == "wayland") break;
        error = "no display: only SDL's " + std::string(driver) + " driver started";
        SDL_QuitSubSystem(kSubsystems);
        if (attempt == 2) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return std::unique_ptr<SdlDisplay>(new SdlDisplay(DetectScale()));
}

SdlDisplay::SdlDisplay(int scale) : scale_(scale) {
    // SDL starts with text input on; the window system turns it on for edit boxes only.
    SDL_StopTextInput();
    // SDL sleeps in the X server's socket only while a window exists to be woken through; with none it polls
    // every millisecond. This hidden window is always there.
    wakeWindow_.reset(SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS));
    WakeEventType();
    auto connection = std::make_unique<X11Connection>(wakeWindow_.get());
    if (connection->Open()) {
        wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wakeFd_ >= 0) connection_ = std::move(connection);
    }
}

SdlDisplay::~SdlDisplay() {
    if (wakeFd_ >= 0) close(wakeFd_);
}

std::unique_ptr<NativeWindow> SdlDisplay::CreateNativeWindow(const NativeWindowOptions& options) {
    return SdlWindow::Create(options, scale_);
}

void SdlDisplay::WaitEvents(std::optional<std::chrono::nanoseconds> timeout, std::vector<DisplayEvent>& events,
                            std::span<pollfd> watched) {
    using Clock = std::chrono::steady_clock;
    const size_t before = events.size();
    const auto start = Clock::now();
    std::optional<Clock::time_point> deadline;
    if (timeout) deadline = start + std::clamp<std::chrono::nanoseconds>(*timeout, {}, std::chrono::hours(24));
    if (connection_) return WaitOnConnection(deadline, before, events, watched);
    // Without the connection (Wayland, say) SDL alone can wait; descriptors of the program's own are looked at
    // between waits of a tenth of a second at most.
    const auto anyWatchedReady = [&watched] {
        for (pollfd& descriptor : watched) descriptor.revents = 0;
        return !watched.empty() && poll(watched.data(), watched.size(), 0) > 0;
    };
    if (anyWatchedReady()) return;
    if (!watched.empty()) {
        const auto slice = start + std::chrono::milliseconds(100);
        if (!deadline || *deadline > slice) deadline = slice;
    }
    auto held = [](SDL_Event& event) { return SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT); };
    for (;;) {
        SDL_Event event;
        int got = 0;
        if (!deadline) {
            got = SDL_WaitEvent(&event);
            lastRead_ = Clock::now();
        } else {
            const auto now = Clock::now();
            const auto remaining = *deadline - now;
            if (remaining <= Clock::duration::zero()) {
                if (now - lastRead_ >= std::chrono::milliseconds(1)) {
                    SDL_PumpEvents();
                    lastRead_ = now;
                }
                got = held(event) > 0;
            } else {
                // Rounded up: waking a little early would only make the caller wait again for the rest.
                const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(remaining).count();
                got = SDL_WaitEventTimeout(&event, static_cast<int>(std::min<int64_t>(milliseconds, INT_MAX)));
                lastRead_ = Clock::now();
            }
        }
        if (!got) {
            // SDL counts whole milliseconds and may give up a fraction early.
            if (deadline && Clock::now() < *deadline) continue;
            anyWatchedReady();
            return;
        }
        bool woken = Translate(event, events);
        // The wait has just read the connection: the rest of what came is in SDL's queue.
        while (held(event) > 0) woken = Translate(event, events) || woken;
        // Events that mean nothing to the window system (a keymap change, say) do not end the wait.
        if (woken || events.size() > before) return;
        if (deadline && Clock::now() >= *deadline) return;
    }
}

void SdlDisplay::WaitOnConnection(std::optional<std::chrono::steady_clock::time_point> deadline, size_t before,
                                  std::vector<DisplayEvent>& events, std::span<pollfd> watched) {
    using Clock = std::chrono::steady_clock;
    // The connection and the wake-up first, then the program's own descriptors.
    std::array<pollfd, 2 + kMostWatched> all{};
    const size_t count = 2 + std::min(watched.size(), kMostWatched);
    std::copy_n(watched.begin(), count - 2, all.begin() + 2);
    for (bool readable = false;;) {
        const auto now = Clock::now();
        if (readable || now - lastRead_ >= std::chrono::milliseconds(1) || connection_->EventsQueued()) {
            SDL_PumpEvents();  // also sends what is still to go to the server before the wait below
            lastRead_ = now;
        }
        bool woken = TakeWake();
        SDL_Event event;
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
            woken = Translate(event, events) || woken;
        // Events that mean nothing to the window system (a keymap change, say) do not end the wait.
        if (woken || events.size() > before) return;
        int milliseconds = -1;
        if (deadline) {
            const auto remaining = *deadline - Clock::now();
            if (remaining <= Clock::duration::zero()) return;
            // Rounded up: waking a little early would only make the caller wait again for the rest.
            milliseconds = static_cast<int>(
                std::min<int64_t>(std::chrono::ceil<std::chrono::milliseconds>(remaining).count(), INT_MAX));
        }
        // A quiet connection needs no reading after the wait.
        connection_->Flush();
        all[0] = {connection_->Descriptor(), POLLIN, 0};
        all[1] = {wakeFd_, POLLIN, 0};
        for (size_t i = 2; i < count; ++i) all[i].revents = 0;
        const int ready = poll(all.data(), count, milliseconds);
        readable = ready > 0 && (all[0].revents != 0);
        if (!readable) lastRead_ = Clock::now();
        if (ready > 0 && std::any_of(all.begin() + 2, all.begin() + count, [](const pollfd& d) { return d.revents; })) {
            std::copy_n(all.begin() + 2, count - 2, watched.begin());
            return;
        }
        if (ready == 0 && deadline && Clock::now() >= *deadline) return;
    }
}

bool SdlDisplay::TakeWake() {
    // Wake marks itself before it writes: no mark, nothing to read.
    uint64_t count = 0;
    if (wakeFd_ < 0 || !wakePending_.load() || read(wakeFd_, &count, sizeof count) != sizeof count) return false;
    wakePending_ = false;
    return true;
}

void SdlDisplay::Wake() {
    // One wake-up waiting is enough however many threads post messages meanwhile.
    if (wakePending_.exchange(true)) return;
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        if (write(wakeFd_, &one, sizeof one) != sizeof one) wakePending_ = false;
        return;
    }
    SDL_Event event{};
    event.type = WakeEventType();
    if (SDL_PushEvent(&event) != 1) wakePending_ = false;
}

bool SdlDisplay::Translate(const SDL_Event& event, std::vector<DisplayEvent>& events) {
    using Kind = DisplayEvent::Kind;
    switch (event.type) {
        case SDL_MOUSEMOTION: {
            DisplayEvent& out = events.emplace_back(MakeEvent(Kind::MouseMove, event.motion.windowID));
            out.x = Unscale(event.motion.x, scale_);
            out.y = Unscale(event.motion.y, scale_);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (event.button.button < SDL_BUTTON_LEFT || event.button.button > SDL_BUTTON_RIGHT) break;
            DisplayEvent& out = events.emplace_back(MakeEvent(Kind::MouseButton, event.button.windowID));
            out.button = event.button.button;  // SDL numbers them as we do: 1 left, 2 middle, 3 right
            out.pressed = event.type == SDL_MOUSEBUTTONDOWN;
            out.x = Unscale(event.button.x, scale_);
            out.y = Unscale(event.button.y, scale_);
            break;
        }
        case SDL_MOUSEWHEEL: {
            int notches = event.wheel.y;
            if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
            if (notches == 0) break;
            DisplayEvent& out = events.emplace_back(MakeEvent(Kind::MouseWheel, event.wheel.windowID));
            out.wheel = notches;
            out.x = Unscale(event.wheel.mouseX, scale_);
            out.y = Unscale(event.wheel.mouseY, scale_);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const KeyCodes codes = TranslateSdlKey(event.key.keysym.scancode, event.key.keysym.sym,
                                                   (event.key.keysym.mod & KMOD_NUM) != 0);
            if (codes.virtualKey == 0) break;
            DisplayEvent& out = events.emplace_back(MakeEvent(Kind::Key, event.key.windowID));
            out.virtualKey = codes.virtualKey;
            out.scanCode = codes.scanCode;
            out.pressed = event.type == SDL_KEYDOWN;
            out.repeat = event.key.repeat != 0;
            break;
        }
        case SDL_TEXTINPUT: {
            DisplayEvent& out = events.emplace_back(MakeEvent(Kind::Text, event.text.windowID));
            out.text = event.text.text;
            break;
        }
        case SDL_TEXTEDITING_EXT:
            SDL_free(event.editExt.text);  // the event owns its text
            break;
        case SDL_WINDOWEVENT: TranslateWindowEvent(event, events); break;
        default:
            if (event.type == WakeEventType()) {
                wakePending_ = false;
                return true;
            }
            break;
    }
    return false;
}

void SdlDisplay::TranslateWindowEvent(const SDL_Event& event, std::vector<DisplayEvent>& events) {
    using Kind = DisplayEvent::Kind;
    const uint32_t windowId = event.window.windowID;
    switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: events.push_back(MakeEvent(Kind::CloseRequested, windowId)); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST: {
            const bool gained = event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
            if (KeepFocusFromPopup(windowId, gained, events)) break;
            events.push_back(MakeEvent(gained ? Kind::FocusGained : Kind::FocusLost, windowId));
            break;
        }
        case SDL_WINDOWEVENT_MINIMIZED: events.push_back(MakeEvent(Kind::Minimized, windowId)); break;
        case SDL_WINDOWEVENT_RESTORED: events.push_back(MakeEvent(Kind::Restored, windowId)); break;
        case SDL_WINDOWEVENT_MOVED: {
            DisplayEvent& out = events.emplace_back(MakeEvent(Kind::Moved, windowId));
            out.x = Unscale(event.window.data1, scale_);
            out.y = Unscale(event.window.data2, scale_);
            break;
        }
        case SDL_WINDOWEVENT_EXPOSED: events.push_back(MakeEvent(Kind::Exposed, windowId)); break;
        case SDL_WINDOWEVENT_LEAVE: events.push_back(MakeEvent(Kind::MouseLeft, windowId)); break;
        default: break;
    }
}

// Without a window manager SDL gives the keyboard to every window it shows, popups included, which would close a
// drop-down list the moment it opened (its owner loses the focus). Under a window manager popups never get the
// focus, so this only matters on a bare X server. The popup hands the focus straight back, and neither the
// popup's focus events nor the owner's brief loss and return reach the window system. True when the event is
// dealt with.
bool SdlDisplay::KeepFocusFromPopup(uint32_t windowId, bool gained, std::vector<DisplayEvent>& events) {
    if (IsPopup(windowId)) {
        if (!gained || focusOwner_ == 0) return true;
        if (SDL_Window* owner = SDL_GetWindowFromID(focusOwner_)) SDL_SetWindowInputFocus(owner);
        // The owner's loss came just before, in this same batch; if it already went out, its return must too.
        const auto lost = std::find_if(events.rbegin(), events.rend(), [&](const DisplayEvent& e) {
            return e.kind == DisplayEvent::Kind::FocusLost && e.window == focusOwner_;
        });
        if (lost != events.rend()) {
            events.erase(std::next(lost).base());
            swallowFocusGained_ = focusOwner_;
        }
        return true;
    }
    if (gained) {
        focusOwner_ = windowId;
        if (swallowFocusGained_ == windowId) {
            swallowFocusGained_ = 0;
            return true;
        }
    }
    return false;
}

SIZE SdlDisplay::ScreenSize() const {
    SDL_Rect bounds{};
    if (SDL_GetDisplayUsableBounds(0, &bounds) != 0 && SDL_GetDisplayBounds(0, &bounds) != 0) return SIZE{0, 0};
    return SIZE{bounds.w / scale_, bounds.h / scale_};
}

POINT SdlDisplay::CursorPosition() const {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return POINT{Unscale(x, scale_), Unscale(y, scale_)};
}

void SdlDisplay::SetCursor(CursorShape shape) {
    // The window system sets the cursor on every mouse move; SDL would redefine it with the X server each time.
    if (cursor_ == shape) return;
    auto& cursor = cursors_[static_cast<size_t>(shape)];
    if (!cursor) cursor.reset(SDL_CreateSystemCursor(SystemCursorOf(shape)));
    if (!cursor) return;
    SDL_SetCursor(cursor.get());
    cursor_ = shape;
}

void SdlDisplay::Sync() {
    if (connection_) connection_->Sync();
}

void SdlDisplay::CaptureMouse(bool capture) { SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE); }

void SdlDisplay::StartTextInput(const RECT& caretOnScreen) {
    // SDL wants the caret relative to the window with the keyboard, in its pixels.
    if (SDL_Window* focus = SDL_GetKeyboardFocus()) {
        int windowX = 0, windowY = 0;
        SDL_GetWindowPosition(focus, &windowX, &windowY);
        SDL_Rect caret{caretOnScreen.left * scale_ - windowX, caretOnScreen.top * scale_ - windowY,
                       (caretOnScreen.right - caretOnScreen.left) * scale_,
                       (caretOnScreen.bottom - caretOnScreen.top) * scale_};
        SDL_SetTextInputRect(&caret);
    }
    // Starting again would reset a composition in progress; moving the caret only moves the rectangle.
    if (textInputActive_) return;
    SDL_StartTextInput();
    textInputActive_ = true;
}

void SdlDisplay::StopTextInput() {
    if (!textInputActive_) return;
    SDL_StopTextInput();
    textInputActive_ = false;
}

std::string SdlDisplay::ClipboardText() const {
    std::unique_ptr<char, decltype(&SDL_free)> text(SDL_GetClipboardText(), &SDL_free);
    return text ? std::string(text.get()) : std::string();
}

void SdlDisplay::SetClipboardText(std::string_view text) { SDL_SetClipboardText(std::string(text).c_str()); }

}  // namespace platform::display

#if defined(__SANITIZE_ADDRESS__)
#define KORVO_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)  // clang before 13 says it only this way
#define KORVO_LEAK_CHECKED 1
#endif
#endif
#if defined(KORVO_LEAK_CHECKED)
// libdbus, which SDL loads for input methods and screen-saver control, keeps a few process-wide allocations until
// dbus_shutdown, which SDL leaves to the program and which would pull the library from under anything else in the
// process still using it. They are not ours and not growing; the leak checker of sanitised builds should not fail a
// test for them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
#endif
