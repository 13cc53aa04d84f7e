// Activation, keyboard focus and mouse capture, with Windows' messages in Windows' order: the window losing
// activation hears of it first, then the one gaining it, whose default handling takes the focus.

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/user/Classes.h"
#include "platform/user/WindowSystem.h"

using namespace platform::user;

namespace {

// Which window is active, has the focus and has the mouse captured: this file alone changes them.
HWND active = nullptr;
HWND focus = nullptr;
HWND capture = nullptr;

// Typed text (the keyboard's and an input method's) flows while one of our windows has the focus; the input
// method's window goes beside the focus window.
void FollowFocusWithTextInput(HWND window) {
    WindowSystem& system = WindowSystem::Get();
    if (!system.HasDisplay()) return;
    RECT onScreen{};
    if (window && GetWindowRect(window, &onScreen)) system.Display().StartTextInput(onScreen);
    else system.Display().StopTextInput();
}

}  // namespace

namespace platform::user {

void SendActivation(HWND newActive, bool byClick, bool fromDisplay) {
    WindowSystem& system = WindowSystem::Get();
    HWND old = system.Find(active) ? active : nullptr;
    if (old == newActive) {
        if (newActive && !fromDisplay)
            if (Window* window = system.Find(newActive); window && window->native) window->native->Activate();
        return;
    }
    active = newActive;
    if (old) {
        SendMessageA(old, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old)), reinterpret_cast<LPARAM>(newActive));
    }
    if (!old || !newActive)
        for (HWND top : system.TopLevelWindows()) SendMessageA(top, WM_ACTIVATEAPP, newActive != nullptr, 0);
    if (active != newActive) return;  // a handler activated another window meanwhile
    if (!newActive) {
        if (HWND losing = std::exchange(focus, nullptr)) {
            FollowFocusWithTextInput(nullptr);
            SendMessageA(losing, WM_KILLFOCUS, 0, 0);
        }
        return;
    }
    system.BringToFront(newActive);
    NotifyWinEvent(EVENT_SYSTEM_FOREGROUND, newActive, OBJID_WINDOW, CHILDID_SELF);
    if (Window* window = system.Find(newActive); window && window->native && !fromDisplay) window->native->Activate();
    SendMessageA(newActive, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(newActive, WM_ACTIVATE, MAKEWPARAM(byClick ? WA_CLICKACTIVE : WA_ACTIVE, IsIconic(newActive)),
                 reinterpret_cast<LPARAM>(old));
}

namespace {

std::vector<void (*)(HWND)>& WindowEndWatches() {
    static std::vector<void (*)(HWND)> watches;
    return watches;
}

}  // namespace

void WatchWindowEnds(void (*forget)(HWND window)) {
    if (std::find(WindowEndWatches().begin(), WindowEndWatches().end(), forget) == WindowEndWatches().end())
        WindowEndWatches().push_back(forget);
}

void ResetFocus() { active = focus = capture = nullptr; }

void ForgetWindow(HWND handle) {
    WindowSystem& system = WindowSystem::Get();
    ForgetCaret(handle);
    for (auto forget : WindowEndWatches()) forget(handle);
    if (focus == handle) {
        focus = nullptr;
        SendMessageA(handle, WM_KILLFOCUS, 0, 0);
    }
    if (capture == handle) ReleaseCapture();
    ForgetInputFor(handle);
    ForgetTimersOf(handle);
    if (active == handle) {
        // The owner, or else the frontmost other shown window, becomes active.
        Window* window = system.Find(handle);
        HWND next = nullptr;
        if (Window* owner = system.Find(window ? window->owner : nullptr); owner && owner->Visible()) next = owner->handle;
        for (HWND other : system.TopLevelWindows())
            if (Window* w = system.Find(other); !next && other != handle && w && w->Visible() && !w->destroying &&
                                                 w->native)
                next = other;
        SendActivation(next, false, false);
    }
}

}  // namespace platform::user

HWND WINAPI SetFocus(HWND hWnd) {
    WindowSystem& system = WindowSystem::Get();
    HWND old = system.Find(focus) ? focus : nullptr;
    if (!hWnd) {
        focus = nullptr;
        FollowFocusWithTextInput(nullptr);
        if (old) SendMessageA(old, WM_KILLFOCUS, 0, 0);
        return old;
    }
    Window* window = system.FindOrFail(hWnd);
    if (!window) return nullptr;
    // A disabled window cannot take the focus, nor can a window inside one.
    for (Window* w = window; w; w = w->Child() ? system.Find(w->parent) : nullptr) {
        if (w->style & WS_DISABLED) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
    }
    Window* top = TopLevelOf(window);
    if (top->handle != active) {
        SendActivation(top->handle, false, false);
        if (!system.Find(hWnd)) return old;
    }
    old = system.Find(focus) ? focus : nullptr;
    if (old == hWnd) return old;
    focus = hWnd;
    FollowFocusWithTextInput(hWnd);
    if (old) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (focus == hWnd && system.Find(hWnd)) SendMessageA(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    if (focus == hWnd) NotifyWinEvent(EVENT_OBJECT_FOCUS, hWnd, OBJID_CLIENT, CHILDID_SELF);
    return old;
}

HWND WINAPI GetFocus() {
    WindowSystem& system = WindowSystem::Get();
    return system.Find(focus) ? focus : nullptr;
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    WindowSystem& system = WindowSystem::Get();
    HWND old = GetActiveWindow();
    Window* window = system.FindOrFail(hWnd);
    if (!window) return nullptr;
    SendActivation(TopLevelOf(window)->handle, false, false);
    return old;
}

HWND WINAPI GetActiveWindow() {
    WindowSystem& system = WindowSystem::Get();
    return system.Find(active) ? active : nullptr;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) { return SetActiveWindow(hWnd) || GetActiveWindow() == hWnd; }

HWND WINAPI GetForegroundWindow() { return GetActiveWindow(); }

HWND WINAPI SetCapture(HWND hWnd) {
    WindowSystem& system = WindowSystem::Get();
    HWND old = system.Find(capture) ? capture : nullptr;
    if (!system.FindOrFail(hWnd)) return old;
    capture = hWnd;
    if (system.HasDisplay()) system.Display().CaptureMouse(true);
    if (old && old != hWnd) SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return old;
}

BOOL WINAPI ReleaseCapture() {
    WindowSystem& system = WindowSystem::Get();
    HWND old = capture;
    capture = nullptr;
    if (system.HasDisplay()) system.Display().CaptureMouse(false);
    if (old && system.Find(old)) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture() {
    WindowSystem& system = WindowSystem::Get();
    return system.Find(capture) ? capture : nullptr;
}
