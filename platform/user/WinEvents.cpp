// Accessibility events: the window manager and the controls say what changed, and whoever serves the screen
// readers (platform/desktop) is told on the window's thread, as a WINEVENT_INCONTEXT hook is on Windows.

#include "platform/user/Classes.h"
#include "platform/user/WindowSystem.h"

namespace {

platform::user::WinEventListener listener = nullptr;

}  // namespace

namespace platform::user {

void WatchWinEvents(WinEventListener heard) { listener = heard; }

}  // namespace platform::user

void WINAPI NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
    // Other threads have no windows to speak of, and the listener belongs to the window's thread.
    if (!listener || !platform::user::WindowSystem::OnUiThread()) return;
    listener(event, hwnd, idObject, idChild);
}
