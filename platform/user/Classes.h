#pragma once
// What the rooms above the window manager hand to it.

#include "platform/win32.h"

namespace platform::user {

// The built-in classes ("BUTTON", "EDIT", "LISTBOX", "COMBOBOX") live in platform/controls, a room above this one:
// it hands their registration over as the program starts, and the first class lookup runs it, once.
void ProvideSystemClasses(void (*registerAll)());

// Rooms that keep something for a window (the desktop's media session) hear of each window that goes away, on the
// window's thread, while it is destroyed.
void WatchWindowEnds(void (*forget)(HWND window));

// The desktop's accessibility support hears of every NotifyWinEvent while it serves a screen reader; a null
// `heard` stops it. One listener at a time, so that the test in NotifyWinEvent is all that the events cost otherwise.
using WinEventListener = void (*)(DWORD event, HWND window, LONG object, LONG child);
void WatchWinEvents(WinEventListener heard);

}  // namespace platform::user
