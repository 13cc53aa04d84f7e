// Sending, posting and taking messages, and timers. Messages come out in Windows' order: posted messages, the
// quit message, input, painting, then timers.

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <vector>

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

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    std::chrono::nanoseconds period{};
    std::chrono::nanoseconds due{};
    TIMERPROC callback = nullptr;
};
std::vector<Timer> timers;
std::atomic<bool> quitPosted{false};  // PostQuitMessage's, until the WM_QUIT it makes is taken

Timer* DueTimer(HWND filter, std::chrono::nanoseconds now) {
    Timer* earliest = nullptr;
    for (Timer& timer : timers)
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

bool HasWork() {
    WindowSystem& system = WindowSystem::Get();
    MSG ignored;
    return system.TakePosted(nullptr, 0, 0, false, ignored) || quitPosted || InputWaiting() ||
           NextPaintWindow(nullptr) || DueTimer(nullptr, Now());
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
    const POINT cursor = WindowSystem::OnUiThread() ? CursorPosition() : POINT{};
    system.Post(MSG{hWnd, Msg, wParam, lParam, NowMilliseconds(), cursor});
    return TRUE;
}

BOOL WINAPI PostThreadMessageA(DWORD, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return PostMessageA(nullptr, Msg, wParam, lParam);
}

void WINAPI PostQuitMessage(int nExitCode) {
    quitCode = nExitCode;
    quitPosted = true;
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
        if (quitPosted && !hWnd) {
            *lpMsg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode), 0, NowMilliseconds(), CursorPosition()};
            if (remove) quitPosted = false;
            return TRUE;
        }
        if (pass == 0 && TakeInput(hWnd, wMsgFilterMin, wMsgFilterMax, remove, *lpMsg)) {
            if (remove) NoteMessage(*lpMsg);
            return TRUE;
        }
    }
    if (MessageInRange(WM_PAINT, wMsgFilterMin, wMsgFilterMax))
        if (HWND paint = NextPaintWindow(hWnd)) {
            *lpMsg = MSG{paint, WM_PAINT, 0, 0, NowMilliseconds(), CursorPosition()};
            if (remove) platform::kernel::ForgetFolderReads();
            return TRUE;
        }
    if (MessageInRange(WM_TIMER, wMsgFilterMin, wMsgFilterMax)) {
        auto now = Now();
        if (Timer* timer = DueTimer(hWnd, now)) {
            *lpMsg = MSG{timer->window, WM_TIMER, timer->id, reinterpret_cast<LPARAM>(timer->callback),
                         NowMilliseconds(), CursorPosition()};
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
    auto existing = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) {
        return t.window == hWnd && t.id == nIDEvent && (hWnd || nIDEvent);
    });
    UINT_PTR id = hWnd ? nIDEvent : (existing != timers.end() ? nIDEvent : ++nextTimerId);
    Timer timer{hWnd, id, period, onTick(Now() + std::chrono::milliseconds(uElapse)), lpTimerFunc};
    if (existing != timers.end()) *existing = timer;
    else timers.push_back(timer);
    return hWnd && id == 0 ? 1 : id;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    auto count = std::erase_if(timers, [&](const Timer& t) { return t.window == hWnd && t.id == uIDEvent; });
    if (!count) SetLastError(ERROR_INVALID_PARAMETER);
    return count ? TRUE : FALSE;
}

namespace platform::user {

std::optional<std::chrono::nanoseconds> NextTimerDue() {
    std::optional<std::chrono::nanoseconds> next;
    for (const Timer& timer : timers)
        if (!next || timer.due < *next) next = timer.due;
    return next;
}

size_t TimerCount() { return timers.size(); }

void ForgetTimersOf(HWND window) {
    std::erase_if(timers, [window](const Timer& t) { return t.window == window; });
}

void ResetMessages() {
    timers.clear();
    MSG ignored;
    while (WindowSystem::Get().TakePosted(nullptr, 0, 0, true, ignored)) {
    }
    quitPosted = false;
}

}  // namespace platform::user
