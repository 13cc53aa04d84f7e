// Sending, posting and taking messages, and timers. Messages come out in Windows' order: posted messages, the
// quit message, input, painting, then timers.

#include <algorithm>
#include <condition_variable>

#include "platform/kernel/Clock.h"
#include "platform/kernel/FolderRead.h"
#include "platform/user/WindowSystem.h"

using namespace platform::user;

namespace {

// What only the message functions here read and write.
DWORD lastMessageTime = 0;  // GetMessageTime: of the last message taken from the queue
POINT lastMessagePos{};     // GetMessagePos: where the pointer was then
int quitCode = 0;           // PostQuitMessage's, for the WM_QUIT it makes
UINT_PTR nextTimerId = 0x7FFF;  // ids of timers without a window

bool InRange(UINT message, UINT min, UINT max) { return (min == 0 && max == 0) || (message >= min && message <= max); }

// The window whose WM_PAINT is due: the first invalid one, parents before their children.
HWND FindPaintWindow(HWND handle, HWND filter) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.Find(handle);
    if (!window || !window->Visible() || !window->redraw) return nullptr;
    if (window->frameNeeded && window->update.Empty()) {
        window->frameNeeded = false;
        SendMessageA(handle, WM_NCPAINT, 1, 0);
        if (!(window = system.Find(handle))) return nullptr;
    }
    if (!window->update.Empty() && (!filter || filter == handle)) return handle;
    // Looked for between any two messages, so without copies; a child's frame may destroy windows on the way, so
    // the parent is looked up again after each.
    for (size_t i = 0; i < window->children.size(); ++i) {
        if (HWND found = FindPaintWindow(window->children[i], filter)) return found;
        if (!(window = system.Find(handle))) return nullptr;
    }
    return nullptr;
}

HWND NextPaintWindow(HWND filter) {
    WindowSystem& system = WindowSystem::Get();
    if (!system.paintMaybeDue) return nullptr;
    // Cleared before the look, so that a frame drawn on the way that makes something invalid sets it again; a
    // look for one window's painting says nothing of the others.
    if (!filter) system.paintMaybeDue = false;
    const std::vector<HWND>& tops = system.TopLevelWindowsOnUiThread();
    for (size_t i = 0; i < tops.size(); ++i) {
        if (HWND found = FindPaintWindow(tops[i], filter)) {
            system.paintMaybeDue = true;
            return found;
        }
    }
    return nullptr;
}

Timer* DueTimer(HWND filter, std::chrono::nanoseconds now) {
    Timer* earliest = nullptr;
    for (Timer& timer : WindowSystem::Get().timers)
        if (timer.due <= now && (!filter || timer.window == filter) && (!earliest || timer.due < earliest->due))
            earliest = &timer;
    return earliest;
}

void NoteMessage(const MSG& message) {
    // Each message is handled with the folders as they are now.
    platform::kernel::ForgetFolderReads();
    lastMessageTime = message.time;
    lastMessagePos = message.pt;
}

// Keys and buttons read as pressed from the moment their message is taken, as GetKeyState promises.
void NoteInput(const MSG& message) {
    WindowSystem& system = WindowSystem::Get();
    auto set = [&system](int key, bool down) {
        BYTE& state = system.keyState[key];
        if (down && !(state & 0x80)) state ^= 0x01;
        state = static_cast<BYTE>((state & 0x01) | (down ? 0x80 : 0));
    };
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: set(static_cast<int>(message.wParam & 0xFF), true); break;
        case WM_KEYUP:
        case WM_SYSKEYUP: set(static_cast<int>(message.wParam & 0xFF), false); break;
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: set(VK_LBUTTON, true); break;
        case WM_LBUTTONUP: case WM_NCLBUTTONUP: set(VK_LBUTTON, false); break;
        case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_NCRBUTTONDOWN: set(VK_RBUTTON, true); break;
        case WM_RBUTTONUP: case WM_NCRBUTTONUP: set(VK_RBUTTON, false); break;
        case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: set(VK_MBUTTON, true); break;
        case WM_MBUTTONUP: set(VK_MBUTTON, false); break;
        default: break;
    }
}

bool TakeInput(HWND filter, UINT min, UINT max, bool remove, MSG& message) {
    WindowSystem& system = WindowSystem::Get();
    // The display's next event is turned into messages only when no converted one is waiting.
    while (system.input.empty() && ConvertNextDisplayEvent()) {
    }
    for (auto it = system.input.begin(); it != system.input.end(); ++it) {
        if ((filter && it->msg.hwnd != filter) || !InRange(it->msg.message, min, max)) continue;
        InputMessage taken = *it;
        if (!remove) {
            message = taken.msg;
            return true;
        }
        system.input.erase(it);
        if (!system.Find(taken.msg.hwnd)) return TakeInput(filter, min, max, remove, message);
        NoteInput(taken.msg);
        bool mouse = (taken.msg.message >= WM_MOUSEFIRST && taken.msg.message <= WM_MOUSELAST &&
                      taken.msg.message != WM_MOUSEWHEEL) ||
                     (taken.msg.message >= WM_NCMOUSEMOVE && taken.msg.message <= WM_NCMBUTTONDBLCLK);
        if (mouse && !system.capture) {
            bool button = taken.msg.message != WM_MOUSEMOVE && taken.msg.message != WM_NCMOUSEMOVE;
            SendMessageA(taken.msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(taken.msg.hwnd),
                         MAKELPARAM(taken.hitTest, button ? taken.msg.message : WM_MOUSEMOVE));
            if (!system.Find(taken.msg.hwnd)) return TakeInput(filter, min, max, remove, message);
        }
        message = taken.msg;
        return true;
    }
    return false;
}

bool HasWork() {
    WindowSystem& system = WindowSystem::Get();
    MSG ignored;
    return system.TakePosted(nullptr, 0, 0, false, ignored) || system.quitPosted || !system.input.empty() ||
           !system.raw.empty() || NextPaintWindow(nullptr) || DueTimer(nullptr, Now());
}

}  // namespace

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!lpPrevWndFunc) return 0;
    CallDepth depth;
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowSystem& system = WindowSystem::Get();
    if (hWnd == HWND_BROADCAST) {
        for (HWND top : system.TopLevelWindows()) SendMessageA(top, Msg, wParam, lParam);
        return 0;
    }
    Window* window = system.FindOrFail(hWnd);
    if (!window) return 0;
    return CallWindowProcA(window->proc, hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowSystem& system = WindowSystem::Get();
    if (hWnd == HWND_BROADCAST) {
        for (HWND top : system.TopLevelWindows()) PostMessageA(top, Msg, wParam, lParam);
        return TRUE;
    }
    if (hWnd && !system.FindOrFail(hWnd)) return FALSE;
    // The cursor position belongs to the user-interface thread; a message posted from another thread (a sound
    // device's notice) carries none rather than read it while it changes.
    const POINT cursor = WindowSystem::OnUiThread() ? system.cursorPos : POINT{};
    system.Post(MSG{hWnd, Msg, wParam, lParam, NowMilliseconds(), cursor});
    return TRUE;
}

BOOL WINAPI PostThreadMessageA(DWORD, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return PostMessageA(nullptr, Msg, wParam, lParam);
}

void WINAPI PostQuitMessage(int nExitCode) {
    WindowSystem& system = WindowSystem::Get();
    quitCode = nExitCode;
    system.quitPosted = true;
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    WindowSystem& system = WindowSystem::Get();
    if (!lpMsg) return FALSE;
    const bool remove = wRemoveMsg & PM_REMOVE;
    PumpDisplay(std::chrono::nanoseconds(0));

    // Turning the display's events into input can post messages (a close box posts SC_CLOSE): posted messages are
    // looked at again after the input.
    for (int pass = 0; pass < 2; ++pass) {
        while (system.TakePosted(hWnd, wMsgFilterMin, wMsgFilterMax, remove, *lpMsg)) {
            // A message for a window destroyed since it was posted goes nowhere.
            if (lpMsg->hwnd && !system.Find(lpMsg->hwnd)) {
                if (!remove) system.DropPostedFor(lpMsg->hwnd);
                continue;
            }
            if (remove) NoteMessage(*lpMsg);
            return TRUE;
        }
        if (system.quitPosted && !hWnd) {
            *lpMsg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0, NowMilliseconds(), system.cursorPos};
            if (remove) system.quitPosted = false;
            return TRUE;
        }
        if (pass == 0 && TakeInput(hWnd, wMsgFilterMin, wMsgFilterMax, remove, *lpMsg)) {
            if (remove) NoteMessage(*lpMsg);
            return TRUE;
        }
    }
    if (InRange(WM_PAINT, wMsgFilterMin, wMsgFilterMax))
        if (HWND paint = NextPaintWindow(hWnd)) {
            *lpMsg = MSG{paint, WM_PAINT, 0, 0, NowMilliseconds(), system.cursorPos};
            if (remove) platform::kernel::ForgetFolderReads();
            return TRUE;
        }
    if (InRange(WM_TIMER, wMsgFilterMin, wMsgFilterMax)) {
        auto now = Now();
        if (Timer* timer = DueTimer(hWnd, now)) {
            *lpMsg = MSG{timer->window, WM_TIMER, timer->id, reinterpret_cast<LPARAM>(timer->callback),
                         NowMilliseconds(), system.cursorPos};
            if (remove) {
                // A late timer skips the periods it missed: one tick waits at most, never a backlog.
                auto next = timer->due + timer->period;
                if (next <= now) next = now + timer->period - (now - timer->due) % timer->period;
                timer->due = next;
                NoteMessage(*lpMsg);
            }
            return TRUE;
        }
    }
    PresentAll();
    return FALSE;
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    while (!PeekMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE)) WaitMessage();
    return lpMsg->message != WM_QUIT;
}

BOOL WINAPI WaitMessage() {
    PresentAll();
    if (HasWork()) return TRUE;
    auto deadline = NextTimerDue();
    if (auto other = platform::kernel::NextIdleDeadline(); other && (!deadline || *other < *deadline)) deadline = other;
    platform::kernel::ClockSource& clock = platform::kernel::Clock();
    if (clock.JumpsWhenIdle()) {
        // Virtual time: whatever the display has is taken at once; with nothing to do, time jumps to the next
        // moment something is due.
        PumpDisplay(std::chrono::nanoseconds(0));
        if (HasWork()) return TRUE;
        if (deadline) clock.JumpTo(*deadline);
        else PumpDisplay(std::chrono::seconds(1));
        return TRUE;
    }
    std::optional<std::chrono::nanoseconds> timeout;
    if (deadline) timeout = std::max(std::chrono::nanoseconds(0), *deadline - Now());
    PumpDisplay(timeout);
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN)) return FALSE;
    // Printable characters arrive as text from the display (input methods included); only the keys that type
    // control characters are translated here.
    WPARAM key = lpMsg->wParam;
    int character = 0;
    bool control = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
    if (key == VK_RETURN) character = control ? 10 : 13;
    else if (key == VK_ESCAPE) character = 27;
    else if (key == VK_BACK) character = control ? 127 : 8;
    else if (key == VK_TAB && !control) character = 9;
    else if (control && key >= 'A' && key <= 'Z') character = static_cast<int>(key - 'A' + 1);
    if (!character) return FALSE;
    UINT message = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    WindowSystem::Get().Post(MSG{lpMsg->hwnd, message, static_cast<WPARAM>(character), lpMsg->lParam, lpMsg->time,
                                 lpMsg->pt});
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (!lpMsg) return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        auto callback = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
        CallDepth depth;
        callback(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
        return 0;
    }
    if (!lpMsg->hwnd) return 0;
    return SendMessageA(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

DWORD WINAPI GetMessageTime() { return lastMessageTime; }

DWORD WINAPI GetMessagePos() {
    POINT pos = lastMessagePos;
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(pos.x), static_cast<WORD>(pos.y)));
}

BOOL WINAPI InSendMessage() { return FALSE; }

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    WindowSystem& system = WindowSystem::Get();
    if (hWnd && !system.FindOrFail(hWnd)) return 0;
    // Windows keeps periods between 10 ms and about 24.8 days, and its timers fire on the system's clock tick of
    // 1/64 s: a 10 ms timer ticks 64 times a second, every timer of a program on the same tick. A player's
    // position timer then wakes the program a third less often than it asks, with no difference one can see.
    uElapse = std::clamp<UINT>(uElapse, 10, 0x7FFFFFFF);
    using std::chrono::nanoseconds;
    constexpr nanoseconds kTick = nanoseconds(1'000'000'000 / 64);
    auto onTick = [&](nanoseconds time) { return (time + kTick - nanoseconds(1)) / kTick * kTick; };
    const nanoseconds period = onTick(std::chrono::milliseconds(uElapse));
    auto existing = std::find_if(system.timers.begin(), system.timers.end(), [&](const Timer& t) {
        return t.window == hWnd && t.id == nIDEvent && (hWnd || nIDEvent);
    });
    UINT_PTR id = hWnd ? nIDEvent : (existing != system.timers.end() ? nIDEvent : ++nextTimerId);
    Timer timer{hWnd, id, period, onTick(Now() + std::chrono::milliseconds(uElapse)), lpTimerFunc};
    if (existing != system.timers.end()) *existing = timer;
    else system.timers.push_back(timer);
    return hWnd && id == 0 ? 1 : id;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    auto& timers = WindowSystem::Get().timers;
    auto count = std::erase_if(timers, [&](const Timer& t) { return t.window == hWnd && t.id == uIDEvent; });
    if (!count) SetLastError(ERROR_INVALID_PARAMETER);
    return count ? TRUE : FALSE;
}

namespace platform::user {

std::optional<std::chrono::nanoseconds> NextTimerDue() {
    std::optional<std::chrono::nanoseconds> next;
    for (const Timer& timer : WindowSystem::Get().timers)
        if (!next || timer.due < *next) next = timer.due;
    return next;
}

}  // namespace platform::user
