#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/FileSearches.h"
#include "tests/support/Recorder.h"
#include "tests/support/TempFolder.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

class MessageLoop : public ::testing::Test {
  protected:
    MessageLoop() : display_(UseHeadlessDisplay()) {}
    ~MessageLoop() override { ResetDesktop(); }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
};

}  // namespace

TEST_F(MessageLoop, MessagesComeOutPostedThenInputThenPaintThenTimer) {
    HWND window = recorder_.TopLevel("order", 10, 10, 100, 100, WS_OVERLAPPED | WS_VISIBLE);
    recorder_.Label(window, "w");
    DispatchPending();
    SetTimer(window, 1, 10, nullptr);
    clock_.Advance(20ms);
    InvalidateRect(window, nullptr, TRUE);
    Click(window, 5, 5);
    PostMessageA(window, WM_USER, 0, 0);
    recorder_.Clear();
    DispatchPending();
    EXPECT_EQ(recorder_.Sequence({WM_USER, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_PAINT, WM_TIMER}),
              (std::vector<std::string>{"WM_USER(w)", "WM_LBUTTONDOWN(w)", "WM_LBUTTONUP(w)", "WM_PAINT(w)",
                                        "WM_TIMER(w)"}));
}

// Timers fire on the system's clock tick of 1/64 s, as on Windows.
constexpr std::chrono::nanoseconds kClockTick = 15625us;

TEST_F(MessageLoop, ASlowTimerHandlerGetsFewerTicksNotABacklog) {
    HWND window = recorder_.TopLevel("timer", 0, 0, 50, 50);
    std::vector<std::chrono::nanoseconds> ticks;
    recorder_.Handle(window, [&](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message != WM_TIMER) return false;
        ticks.push_back(clock_.Elapsed());
        if (ticks.size() <= 5) clock_.Advance(35ms);  // the first five handlers take 35 ms each
        return true;
    });
    SetTimer(window, 7, 10, nullptr);
    RunFor(1000ms);
    ASSERT_GT(ticks.size(), 20u) << "five slow ticks, then quick ones";
    for (size_t i = 1; i <= 5; ++i) EXPECT_GE(ticks[i] - ticks[i - 1], 35ms) << "tick " << i;
    // Once the handler is quick again, the 10 ms timer fires on every clock tick: the missed periods were dropped.
    for (size_t i = 7; i < ticks.size(); ++i) EXPECT_EQ(ticks[i] - ticks[i - 1], kClockTick) << "tick " << i;
    EXPECT_LT(ticks.size(), 64u);
}

TEST_F(MessageLoop, TimersFireOnTheClockTickStopWhenKilledAndFollowNewPeriods) {
    HWND window = recorder_.TopLevel("timer", 0, 0, 50, 50);
    std::vector<std::chrono::nanoseconds> fired;
    recorder_.Handle(window, [&](HWND, UINT message, WPARAM id, LPARAM, LRESULT&) {
        if (message == WM_TIMER && id == 3) fired.push_back(clock_.Elapsed());
        return message == WM_TIMER;
    });
    auto gapsSince = [&](size_t first) {
        std::vector<std::chrono::nanoseconds> gaps;
        for (size_t i = first + 1; i < fired.size(); ++i) gaps.push_back(fired[i] - fired[i - 1]);
        return gaps;
    };
    // Every firing is on a tick, and a period is whole ticks, rounded up: 100 ms is seven, 109.375 ms.
    EXPECT_EQ(SetTimer(window, 3, 100, nullptr), 3u);
    RunFor(1000ms);
    ASSERT_EQ(fired.size(), 9u);
    for (auto at : fired) EXPECT_EQ(at % kClockTick, 0ns);
    EXPECT_EQ(gapsSince(0), std::vector<std::chrono::nanoseconds>(8, 7 * kClockTick));
    EXPECT_GE(fired[0], 100ms);
    EXPECT_LT(fired[0], 100ms + kClockTick);

    SetTimer(window, 3, 50, nullptr);  // the same timer with a new period: four ticks
    const size_t before = fired.size();
    RunFor(1000ms);
    EXPECT_EQ(fired.size() - before, 16u);
    EXPECT_EQ(gapsSince(before), std::vector<std::chrono::nanoseconds>(15, 4 * kClockTick));
    EXPECT_TRUE(KillTimer(window, 3));
    RunFor(1000ms);
    EXPECT_EQ(fired.size() - before, 16u);
    EXPECT_FALSE(KillTimer(window, 3));

    // A whole number of ticks stays exact: 125 ms is eight, so a second holds eight.
    static int callbacks = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 125, [](HWND, UINT, UINT_PTR, DWORD) { ++callbacks; });
    EXPECT_NE(id, 0u);
    RunFor(1000ms);
    EXPECT_EQ(callbacks, 8);
    KillTimer(nullptr, id);
}

TEST_F(MessageLoop, TheEndOfTheSessionIsAskedThenAnnounced) {
    HWND first = recorder_.TopLevel("one", 0, 0, 50, 50);
    HWND second = recorder_.TopLevel("two", 0, 0, 50, 50);
    recorder_.Label(first, "one");
    recorder_.Label(second, "two");
    recorder_.Clear();
    kill(getpid(), SIGHUP);  // the session manager logs the user off
    auto ended = [&] {
        for (const Received& r : recorder_.Log())
            if (r.message == WM_ENDSESSION && r.window == first) return true;
        return false;
    };
    // The signal is taken by a thread of its own, so this waits in real time.
    for (int i = 0; i < 500 && !ended(); ++i) {
        DispatchPending();
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_TRUE(ended());
    EXPECT_EQ(recorder_.Sequence({WM_QUERYENDSESSION, WM_ENDSESSION}),
              (std::vector<std::string>{"WM_QUERYENDSESSION(two)", "WM_QUERYENDSESSION(one)", "WM_ENDSESSION(two)",
                                        "WM_ENDSESSION(one)"}));
    std::vector<DWORD> reasons;
    for (const Received& r : recorder_.Log())
        if (r.message == WM_ENDSESSION) reasons.push_back(static_cast<DWORD>(r.lParam));
    EXPECT_EQ(reasons, (std::vector<DWORD>{ENDSESSION_LOGOFF, ENDSESSION_LOGOFF}));
}

// Each message is handled with the folders as they are when it is taken, and only one read of each.
TEST_F(MessageLoop, SearchesWhileOneMessageIsHandledShareOneReadOfAnUnchangedFolder) {
    TempFolder folder;
    auto file = folder.Write("song.mp3", "x");
    const std::string pattern = folder.WindowsPath("*.mp3");
    EXPECT_EQ(Search(pattern)["song.mp3"], static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    // Protecting a file leaves its folder as it was: a search made before the next message sees the folder as the
    // first did, and one made after sees it anew.
    chmod(file.c_str(), 0444);
    EXPECT_EQ(Search(pattern)["song.mp3"], static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    MSG message;
    PostMessageA(nullptr, WM_NULL, 0, 0);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(Search(pattern)["song.mp3"], static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    // A name added or removed changes the folder: the next search reads it again at once.
    folder.Write("new.mp3", "x");
    EXPECT_EQ(Names(Search(pattern)), (std::vector<std::string>{"new.mp3", "song.mp3"}));
    std::filesystem::remove(file);
    EXPECT_EQ(Names(Search(pattern)), (std::vector<std::string>{"new.mp3"}));
}
