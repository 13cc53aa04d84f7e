#include "platform/testing/Desktop.h"

#include "platform/gdi/Png.h"
#include "platform/kernel/Clock.h"
#include "platform/user/WindowSystem.h"

namespace platform::testing {
namespace {

using display::DisplayEvent;
using user::Window;
using user::WindowSystem;

display::HeadlessDisplay* headless = nullptr;

// The shown top-level window under a window, and where a client point of the window lies in its client area.
Window* Locate(HWND handle, int& x, int& y) {
    Window* window = WindowSystem::Get().Find(handle);
    Window* top = user::TopLevelOf(window);
    if (!window || !top || !top->native) return nullptr;
    POINT origin = user::ClientOriginOnSurface(*window);
    x += origin.x;
    y += origin.y;
    return top;
}

void InjectAt(HWND window, int x, int y, DisplayEvent event) {
    Window* top = Locate(window, x, y);
    if (!top || !headless) return;
    event.window = top->native->Id();
    event.x = x;
    event.y = y;
    headless->Inject(std::move(event));
}

void InjectFor(HWND window, DisplayEvent::Kind kind) {
    Window* top = user::TopLevelOf(WindowSystem::Get().Find(window));
    if (!top || !top->native || !headless) return;
    DisplayEvent event;
    event.kind = kind;
    event.window = top->native->Id();
    headless->Inject(std::move(event));
}

void Button(HWND window, int x, int y, int button, bool pressed) {
    DisplayEvent event;
    event.kind = DisplayEvent::Kind::MouseButton;
    event.button = button;
    event.pressed = pressed;
    InjectAt(window, x, y, event);
}

void Key(int virtualKey, bool pressed) {
    DisplayEvent event;
    event.kind = DisplayEvent::Kind::Key;
    event.virtualKey = virtualKey;
    event.pressed = pressed;
    if (headless) headless->Inject(std::move(event));
}

std::chrono::nanoseconds NextDeadline(std::chrono::nanoseconds end) {
    auto deadline = end;
    if (auto timer = user::NextTimerDue(); timer && *timer < deadline) deadline = *timer;
    if (auto other = kernel::NextIdleDeadline(); other && *other < deadline) deadline = *other;
    return deadline;
}

// Waits until the deadline, or less when something arrives; virtual time simply moves there.
void WaitUntil(std::chrono::nanoseconds deadline) {
    kernel::ClockSource& clock = kernel::Clock();
    if (clock.JumpsWhenIdle()) {
        user::PumpDisplay(std::chrono::nanoseconds(0));
        clock.JumpTo(deadline);
        return;
    }
    user::PumpDisplay(std::max(std::chrono::nanoseconds(0), deadline - clock.Monotonic()));
}

COLORREF ColorAt(const gdi::Surface* surface, int x, int y) {
    if (!surface || x < 0 || y < 0 || x >= surface->width || y >= surface->height) return CLR_INVALID;
    return gdi::ColorOf(surface->At(x, y));
}

}  // namespace

display::HeadlessDisplay& UseHeadlessDisplay() {
    auto display = std::make_unique<display::HeadlessDisplay>();
    headless = display.get();
    WindowSystem::Get().UseDisplay(std::move(display));
    return *headless;
}

void ResetDesktop() {
    WindowSystem& system = WindowSystem::Get();
    for (HWND window : system.TopLevelWindows()) DestroyWindow(window);
    user::ResetMessages();
    user::ResetInput();
    user::ResetFocus();
}

void MouseMove(HWND window, int x, int y) {
    DisplayEvent event;
    event.kind = DisplayEvent::Kind::MouseMove;
    InjectAt(window, x, y, event);
}

void MouseDown(HWND window, int x, int y, int button) { Button(window, x, y, button, true); }

void MouseUp(HWND window, int x, int y, int button) { Button(window, x, y, button, false); }

void Click(HWND window, int x, int y, int button) {
    MouseDown(window, x, y, button);
    MouseUp(window, x, y, button);
}

void DoubleClick(HWND window, int x, int y) {
    Click(window, x, y);
    Click(window, x, y);
}

void Wheel(HWND window, int x, int y, int notches) {
    MouseMove(window, x, y);
    DisplayEvent event;
    event.kind = DisplayEvent::Kind::MouseWheel;
    event.wheel = notches;
    InjectAt(window, x, y, event);
}

void KeyDown(int virtualKey) { Key(virtualKey, true); }

void KeyUp(int virtualKey) { Key(virtualKey, false); }

void PressKey(int virtualKey) {
    KeyDown(virtualKey);
    KeyUp(virtualKey);
}

void Type(std::string_view text) {
    DisplayEvent event;
    event.kind = DisplayEvent::Kind::Text;
    event.text = std::string(text);
    if (headless) headless->Inject(std::move(event));
}

void CloseBox(HWND window) { InjectFor(window, DisplayEvent::Kind::CloseRequested); }

void MinimizeBox(HWND window) {
    Window* top = user::TopLevelOf(WindowSystem::Get().Find(window));
    if (top && top->native) top->native->Minimize();  // the headless display reports it like a window manager
}

void RestoreFromTaskbar(HWND window) {
    Window* top = user::TopLevelOf(WindowSystem::Get().Find(window));
    if (top && top->native) top->native->Restore();
}

void SwitchAway(HWND window) { InjectFor(window, DisplayEvent::Kind::FocusLost); }

std::optional<std::string> MessageBoxText(HWND window) { return user::MessageBoxText(window); }

int DispatchPending() {
    int count = 0;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
        ++count;
    }
    return count;
}

void RunFor(std::chrono::milliseconds duration) {
    auto end = kernel::Clock().Monotonic() + duration;
    for (;;) {
        DispatchPending();
        if (kernel::Clock().Monotonic() >= end) return;
        WaitUntil(NextDeadline(end));
    }
}

bool RunUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    auto end = kernel::Clock().Monotonic() + limit;
    for (;;) {
        DispatchPending();
        if (condition()) return true;
        if (kernel::Clock().Monotonic() >= end) return false;
        WaitUntil(NextDeadline(end));
    }
}

COLORREF Pixel(HWND window, int x, int y) {
    Window* top = Locate(window, x, y);
    return ColorAt(top ? &top->surface : nullptr, x, y);
}

COLORREF PresentedPixel(HWND window, int x, int y) {
    Window* top = Locate(window, x, y);
    return ColorAt(top && headless ? headless->LastPresented(top->native->Id()) : nullptr, x, y);
}

bool WriteScreenshot(HWND window, const std::string& path) {
    Window* top = user::TopLevelOf(WindowSystem::Get().Find(window));
    return top && gdi::WritePng(top->surface, path);
}

const display::HeadlessDisplay::WindowState* DesktopWindow(HWND window) {
    Window* top = user::TopLevelOf(WindowSystem::Get().Find(window));
    return top && top->native && headless ? headless->Window(top->native->Id()) : nullptr;
}

}  // namespace platform::testing
