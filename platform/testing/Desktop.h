#pragma once
// Driving the window system in tests: the headless display, input at a window's client position, running the
// message loop, and reading what was drawn.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/win32.h"

namespace platform::testing {

// Makes the window system use a display in memory; call before the first window is made.
display::HeadlessDisplay& UseHeadlessDisplay();
// Destroys every window and forgets every timer and waiting message, so the next test starts clean.
void ResetDesktop();

// Input as the user makes it, at a client position of a shown window (button 1 left, 2 middle, 3 right). Like real
// input it reaches the program through the message loop.
void MouseMove(HWND window, int x, int y);
void MouseDown(HWND window, int x, int y, int button = 1);
void MouseUp(HWND window, int x, int y, int button = 1);
void Click(HWND window, int x, int y, int button = 1);
void DoubleClick(HWND window, int x, int y);
void Wheel(HWND window, int x, int y, int notches);
void KeyDown(int virtualKey);
void KeyUp(int virtualKey);
void PressKey(int virtualKey);  // down and up
void Type(std::string_view text);
// The window manager's close box and minimise and restore buttons of a top-level window.
void CloseBox(HWND window);
void MinimizeBox(HWND window);
void RestoreFromTaskbar(HWND window);
// Another program takes the keyboard, and gives it back.
void SwitchAway(HWND window);

// The text a message box shows, or nothing when `window` is not a message box.
std::optional<std::string> MessageBoxText(HWND window);

// Takes and dispatches every message that is waiting (posted, input, painting, due timers) without waiting for
// more, and presents what was drawn. Returns how many were dispatched; stops at WM_QUIT, which it leaves taken.
int DispatchPending();
// Runs the message loop for this long (virtual time under a VirtualClock).
void RunFor(std::chrono::milliseconds duration);
// Runs the message loop until the condition holds or the time is up; returns whether it held.
bool RunUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// A pixel of a window's client area as drawn (not necessarily presented yet).
COLORREF Pixel(HWND window, int x, int y);
// A pixel of a window's client area as it reached the screen.
COLORREF PresentedPixel(HWND window, int x, int y);
// The top-level window's client area as a PNG file.
bool WriteScreenshot(HWND window, const std::string& path);
// What the display knows of the top-level window that holds `window` (its title, bounds, icon...), or nothing
// before that window has first been shown.
const display::HeadlessDisplay::WindowState* DesktopWindow(HWND window);

}  // namespace platform::testing
