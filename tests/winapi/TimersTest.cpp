// Timers on the real clock: which WM_TIMER messages and callbacks arrive, and in what order among the other
// messages. How long any of it took is the clock's business, not these tests'.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Recorder.h"
#include "tests/winapi/Suite.h"

namespace {

class Timers : public winapi::WindowTest {
  protected:
    int TimerMessagesTo(HWND window) const {
        int count = 0;
        for (const Received& r : recorder_.Log()) count += r.message == WM_TIMER && r.window == window;
        return count;
    }
};

// Runs the loop for `milliseconds`, counting the WM_TIMER messages it takes for `window` (which may be gone, so
// that no procedure would see them).
int TimerMessagesTaken(HWND window, UINT milliseconds) {
    const UINT_PTR limit = SetTimer(nullptr, 0, milliseconds, nullptr);
    int count = 0;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message != WM_TIMER) {
            DispatchMessageA(&message);
            continue;
        }
        if (!message.hwnd && message.wParam == limit) break;
        count += message.hwnd == window;
    }
    KillTimer(nullptr, limit);
    return count;
}

int firstCalls = 0;
int secondCalls = 0;
void CALLBACK CountFirst(HWND, UINT, UINT_PTR, DWORD) { ++firstCalls; }
void CALLBACK CountSecond(HWND, UINT, UINT_PTR, DWORD) { ++secondCalls; }

struct Call {
    HWND window;
    UINT message;
    UINT_PTR id;
};
std::vector<Call> calls;
void CALLBACK NoteCall(HWND window, UINT message, UINT_PTR id, DWORD) { calls.push_back({window, message, id}); }

}  // namespace

TEST_F(Timers, AWindowsTimerComesWithItsIdUntilItsHandlerKillsIt) {
    HWND window = TopLevel("w");
    std::vector<LPARAM> parameters;
    recorder_.Handle(window, [&](HWND w, UINT message, WPARAM id, LPARAM lParam, LRESULT&) {
        if (message != WM_TIMER || id != 7) return false;
        parameters.push_back(lParam);
        if (parameters.size() == 3) {
            EXPECT_TRUE(KillTimer(w, 7));
        }
        return true;
    });
    EXPECT_NE(SetTimer(window, 7, 10, nullptr), 0u);
    EXPECT_TRUE(winapi::RunUntil([&] { return parameters.size() == 3; }));
    winapi::RunFor(200);  // twenty periods
    EXPECT_EQ(parameters, std::vector<LPARAM>(3, 0)) << "no callback, so lParam is 0; and none after the kill";
    EXPECT_FALSE(KillTimer(window, 7)) << "already gone";
}

TEST_F(Timers, SettingATimerAgainReplacesItAndAnotherIdIsAnotherTimer) {
    HWND window = TopLevel("w");
    firstCalls = secondCalls = 0;
    EXPECT_NE(SetTimer(window, 3, 60000, nullptr), 0u);  // a minute: only its replacement fires here
    EXPECT_NE(SetTimer(window, 3, 10, CountFirst), 0u);
    EXPECT_NE(SetTimer(window, 3, 10, CountSecond), 0u);
    EXPECT_TRUE(winapi::RunUntil([] { return secondCalls >= 3; }));
    EXPECT_EQ(firstCalls, 0);
    EXPECT_EQ(TimerMessagesTo(window), 0) << "the callback takes the timer's messages";

    EXPECT_NE(SetTimer(window, 4, 10, nullptr), 0u);
    const int before = secondCalls;
    EXPECT_TRUE(winapi::RunUntil([&] { return TimerMessagesTo(window) >= 2 && secondCalls >= before + 2; }));
    for (const Received& r : recorder_.Log())
        if (r.message == WM_TIMER) {
            EXPECT_EQ(r.wParam, 4u);
        }
    EXPECT_TRUE(KillTimer(window, 3));
    EXPECT_TRUE(KillTimer(window, 4));
}

TEST_F(Timers, AThreadsTimerComesWithoutAWindowAndWithAnIdOfItsOwn) {
    const UINT_PTR first = SetTimer(nullptr, 0, 10, nullptr);
    const UINT_PTR second = SetTimer(nullptr, 0, 10, nullptr);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    HWND window = TopLevel("bound");
    SetTimer(window, 1, 5000, nullptr);  // the wait's upper bound, should the thread's timers not come
    std::map<UINT_PTR, int> ticks;
    MSG message;
    while ((ticks[first] < 2 || ticks[second] < 2) && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == window) break;
        if (message.message == WM_TIMER && !message.hwnd) ++ticks[message.wParam];
        DispatchMessageA(&message);
    }
    KillTimer(window, 1);
    EXPECT_GE(ticks[first], 2);
    EXPECT_GE(ticks[second], 2);
    EXPECT_TRUE(KillTimer(nullptr, first));
    EXPECT_FALSE(KillTimer(nullptr, first));
    EXPECT_TRUE(KillTimer(nullptr, second));
}

TEST_F(Timers, ATimersCallbackIsCalledForItsWindowOrForNone) {
    HWND window = TopLevel("w");
    calls.clear();
    SetTimer(window, 9, 10, NoteCall);
    ASSERT_TRUE(winapi::RunUntil([] { return calls.size() >= 2; }));
    KillTimer(window, 9);
    for (const Call& call : calls) {
        EXPECT_EQ(call.window, window);
        EXPECT_EQ(call.message, static_cast<UINT>(WM_TIMER));
        EXPECT_EQ(call.id, 9u);
    }
    EXPECT_EQ(TimerMessagesTo(window), 0);

    calls.clear();
    const UINT_PTR id = SetTimer(nullptr, 0, 10, NoteCall);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(winapi::RunUntil([] { return !calls.empty(); }));
    KillTimer(nullptr, id);
    EXPECT_EQ(calls[0].window, nullptr);
    EXPECT_EQ(calls[0].id, id);
}

TEST_F(Timers, TimersComeAfterPostedMessagesAndPainting) {
    HWND window = TopLevel("w");
    ShowWindow(window, SW_SHOWNA);  // only a window that shows has anything to paint
    UpdateWindow(window);
    winapi::DispatchPending();
    SetTimer(window, 1, 10, nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the timer is due
    InvalidateRect(window, nullptr, FALSE);
    PostMessageA(window, WM_USER, 0, 0);
    recorder_.Clear();
    winapi::DispatchPending();
    KillTimer(window, 1);
    std::vector<std::string> sequence = recorder_.Sequence({WM_USER, WM_PAINT, WM_TIMER});
    ASSERT_GE(sequence.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(sequence.begin(), sequence.begin() + 3),
              (std::vector<std::string>{"WM_USER(w)", "WM_PAINT(w)", "WM_TIMER(w)"}));
}

TEST_F(Timers, AWindowsTimersEndWithIt) {
    HWND window = TopLevel("w");
    SetTimer(window, 1, 10, nullptr);
    DestroyWindow(window);
    EXPECT_EQ(TimerMessagesTaken(window, 200), 0);  // twenty periods
    EXPECT_FALSE(KillTimer(window, 1));
}
