// Sending and posting messages, and taking them from the queue: in what order, for which window, and until when.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Recorder.h"
#include "tests/winapi/Suite.h"

namespace {

using Messages = winapi::WindowTest;

}  // namespace

TEST_F(Messages, SentMessagesAreHandledAtOncePostedOnesByTheLoopInTheirOrder) {
    HWND a = TopLevel("a");
    HWND b = TopLevel("b");
    std::vector<std::string> handled;
    auto note = [&](const char* label) {
        return [&handled, label](HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
            if (message < WM_USER || message > WM_USER + 10) return false;
            handled.push_back(std::string(label) + std::to_string(wParam));
            result = static_cast<LRESULT>(wParam) * 2;
            return true;
        };
    };
    recorder_.Handle(a, note("a"));
    recorder_.Handle(b, note("b"));

    EXPECT_EQ(SendMessageA(a, WM_USER, 21, 0), 42);
    EXPECT_EQ(handled, std::vector<std::string>{"a21"});
    EXPECT_TRUE(PostMessageA(a, WM_USER, 1, 0));
    EXPECT_TRUE(PostMessageA(b, WM_USER + 1, 2, 0));
    EXPECT_TRUE(PostMessageA(a, WM_USER + 2, 3, 0));
    EXPECT_EQ(handled.size(), 1u) << "posted messages wait for the loop";
    winapi::DispatchPending();
    EXPECT_EQ(handled, (std::vector<std::string>{"a21", "a1", "b2", "a3"}));

    // A message posted to the thread comes out of the queue without a window, and no window procedure sees it.
    recorder_.Clear();
    EXPECT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_APP, 9, 0));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(message.hwnd, nullptr);
    EXPECT_EQ(message.wParam, 9u);
    DispatchMessageA(&message);
    EXPECT_TRUE(recorder_.Log().empty());
}

TEST_F(Messages, PeekingLeavesOrTakesAMessageChosenByWindowAndRange) {
    HWND a = TopLevel("a");
    HWND b = TopLevel("b");
    PostMessageA(a, WM_USER, 1, 0);
    PostMessageA(b, WM_USER + 1, 2, 0);
    PostMessageA(a, WM_APP, 3, 0);
    MSG message;
    // PM_NOREMOVE looks without taking: the same message is first again.
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER, WM_APP, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER, WM_APP, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_EQ(message.hwnd, a);
    // A range or a window passes over the messages before the first that fits.
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
    ASSERT_TRUE(PeekMessageA(&message, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, 2u);
    EXPECT_FALSE(PeekMessageA(&message, b, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_USER + 1, WM_APP, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_USER, WM_APP, PM_REMOVE));
    EXPECT_EQ(message.wParam, 1u);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_USER, WM_APP, PM_REMOVE));
    EXPECT_TRUE(recorder_.Sequence({WM_USER, WM_USER + 1, WM_APP}).empty()) << "peeking dispatches nothing";
}

TEST_F(Messages, QuitComesAfterPostedMessagesWithItsCodeAndOnce) {
    HWND window = TopLevel("quit");
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG message;
    ASSERT_TRUE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER));
    EXPECT_FALSE(GetMessageA(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "taken, it is gone";
}

TEST_F(Messages, MessagesToDestroyedWindowsGoNowhere) {
    HWND window = TopLevel("gone");
    PostMessageA(window, WM_USER, 0, 0);
    DestroyWindow(window);
    recorder_.Clear();
    winapi::DispatchPending();
    EXPECT_TRUE(recorder_.Log().empty());
    SetLastError(0);
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Messages, APostFromAnotherThreadEndsAWait) {
    HWND window = TopLevel("wake");
    // The wait's upper bound, should the wake be lost: then the timer's message ends it instead.
    SetTimer(window, 1, 5000, nullptr);
    std::thread poster([window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // most likely the loop waits by then
        PostMessageA(window, WM_USER, 42, 0);
    });
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_USER || (message.message == WM_TIMER && message.hwnd == window)) break;
        DispatchMessageA(&message);
    }
    poster.join();
    KillTimer(window, 1);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(message.wParam, 42u);
}
