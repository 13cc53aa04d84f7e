#pragma once
// How the end-to-end programs tell their test that what it asked for has happened: a line on standard output,
// written once the program has nothing left to do. By then every message the program had been sent is handled,
// and GdiFlush has waited until every window it painted is on the screen. The test waits for that line, never for
// a length of time.

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32.h"

namespace e2e {

inline void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

namespace detail {

inline std::vector<std::function<void()>>& IdleTasks() {
    static std::vector<std::function<void()>> tasks;
    return tasks;
}

inline void CALLBACK RunWhenIdle(HWND, UINT, UINT_PTR timer, DWORD) {
    MSG waiting;
    // A look without taking anything: an empty queue is presented before the answer comes back.
    if (PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE)) return;
    KillTimer(nullptr, timer);
    GdiFlush();
    std::vector<std::function<void()>> tasks;
    tasks.swap(IdleTasks());
    for (auto& task : tasks) task();
}

}  // namespace detail

// Runs `task` the next time the program is idle, from whichever message loop is running.
inline void WhenIdle(std::function<void()> task) {
    if (detail::IdleTasks().empty()) SetTimer(nullptr, 0, 10, detail::RunWhenIdle);
    detail::IdleTasks().push_back(std::move(task));
}

// Says "idle" the next time the program is idle; calls that come before it share the one line.
inline void SayIdleAfterwards() {
    static bool pending = false;
    if (pending) return;
    pending = true;
    WhenIdle([] {
        pending = false;
        Say("idle");
    });
}

}  // namespace e2e
