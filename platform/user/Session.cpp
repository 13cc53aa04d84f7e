// The end of the desktop session, and waiting for messages while no display is open.

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/user/WindowSystem.h"

using namespace platform::user;

namespace {

// SIGHUP means the user logs off; SIGTERM that the machine shuts down (or the session manager ends us).
std::atomic<LPARAM> sessionReason{0};
std::atomic<bool> sessionEnding{false};  // set by the signal thread, taken by the message loop
std::atomic<bool> sessionAnnounced{false};

constexpr time_t kGraceSeconds = 5;

void EndAsTheSignalWould(int number) {
    ::signal(number, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, number);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    kill(getpid(), number);
}

std::mutex idleMutex;
std::condition_variable idleWake;
bool idleWoken = false;

// Before main, while the program has its one thread: every thread made later (the sound system's, SDL's) inherits
// the blocked signals, so they reach the watch alone whenever they come.
[[maybe_unused]] const bool sessionWatched = (platform::user::StartSessionWatch(), true);

}  // namespace

namespace platform::user {

void StartSessionWatch() {
    // The signals are taken by a thread of their own with sigwait, so that the handling is ordinary code: it
    // marks the session as ending and wakes the message loop, which tells the windows. They must be blocked
    // before any other thread starts, so that none of those inherits the default action and ends the process;
    // a program that never opens a window is still ended, after the grace period.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // The thread is running before this returns: a process that forks soon after (the tests do, to give up their
    // privileges) must not copy a thread still being made, with whatever locks of the allocator it holds then.
    static std::atomic<bool> running{false};  // outlives this call: the thread may still be in notify_one
    std::thread([signals] {
        running = true;
        running.notify_one();
        int signal = 0;
        while (sigwait(&signals, &signal) != 0) {
        }
        sessionReason = signal == SIGHUP ? static_cast<LPARAM>(ENDSESSION_LOGOFF) : 0;
        sessionEnding = true;
        WindowSystem::Get().WakeLoop();
        // A program whose message loop has not passed the news on a few seconds later hangs, and one that is told a
        // second time is in a hurry: either is ended the way the signal would have ended it, as the desktop ends a
        // program that hangs at log-off.
        timespec grace{kGraceSeconds, 0};
        if (sigtimedwait(&signals, nullptr, &grace) < 0 && sessionAnnounced) {
            while (sigwaitinfo(&signals, nullptr) < 0) {
            }
        }
        EndAsTheSignalWould(signal);
    }).detach();
    running.wait(false);
}

void SendSessionEndIfDue() {
    if (sessionEnding.exchange(false)) SendSessionEnd();
}

void SendSessionEnd() {
    WindowSystem& system = WindowSystem::Get();
    LPARAM reason = sessionReason;
    auto windows = system.TopLevelWindows();
    for (HWND window : windows) SendMessageA(window, WM_QUERYENDSESSION, 0, reason);
    // The session ends whatever the windows answered: there is no one left to ask.
    for (HWND window : windows)
        if (system.Find(window)) SendMessageA(window, WM_ENDSESSION, TRUE, reason);
    sessionAnnounced = true;
}

bool WaitWithoutDisplay(std::optional<std::chrono::nanoseconds> timeout) {
    std::unique_lock lock(idleMutex);
    auto woken = [] { return idleWoken; };
    bool result = timeout ? idleWake.wait_for(lock, *timeout, woken) : (idleWake.wait(lock, woken), true);
    idleWoken = false;
    return result;
}

void WakeWithoutDisplay() {
    {
        std::lock_guard lock(idleMutex);
        idleWoken = true;
    }
    idleWake.notify_all();
}

}  // namespace platform::user
