#pragma once
// A program started as a user starts it, on the X server named by DISPLAY, and watched from outside: its window,
// clicks on it, its CPU time and memory read from /proc, and a polite close through the window manager protocol.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <spawn.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace xprogram {

using Clock = std::chrono::steady_clock;

inline pid_t Start(const std::vector<std::string>& command, const std::vector<std::string>& extraEnvironment = {}) {
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    // A variable given replaces the inherited one: a program reading its environment takes the first of a name.
    auto name = [](const std::string& entry) { return entry.substr(0, entry.find('=') + 1); };
    std::vector<std::string> keep = extraEnvironment;
    for (char** entry = environ; *entry; ++entry)
        if (std::none_of(extraEnvironment.begin(), extraEnvironment.end(),
                         [&](const std::string& given) { return name(given) == name(*entry); }))
            keep.emplace_back(*entry);
    std::vector<char*> envp;
    for (std::string& entry : keep) envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    return pid;
}

inline void Kill(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Waits for a top-level window whose name starts with `title` to be mapped; returns it, or 0. The root window
// must have been selected for SubstructureNotifyMask.
inline Window WaitForMappedWindow(Display* display, const std::string& title, std::chrono::seconds limit) {
    auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify) continue;
            char* name = nullptr;
            bool ours = XFetchName(display, event.xmap.window, &name) && name && std::string(name).starts_with(title);
            if (name) XFree(name);
            if (ours) return event.xmap.window;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return 0;
}

inline bool Click(Window window, int x, int y) {
    std::string click = "xdotool mousemove --window " + std::to_string(window) + " " + std::to_string(x) + " " +
                        std::to_string(y) + " click 1";
    return std::system(click.c_str()) == 0;
}

// What the close box asks of a window.
inline void AskToClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

inline long StatusKilobytes(pid_t pid, const char* field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(field)) return std::atol(line.c_str() + std::strlen(field) + 1);
    return -1;
}

// User plus system time of the whole process, its ended threads included, in seconds (the kernel counts it in
// clock ticks: hundredths of a second here).
inline double CpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i < 14; ++i) fields >> field;
    unsigned long long user = 0, system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Times the process's threads went to sleep of their own accord, each a wake-up later, by thread.
inline std::map<std::string, long long> Wakeups(pid_t pid) {
    std::map<std::string, long long> threads;
    std::error_code error;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.starts_with("voluntary_ctxt_switches:"))
                threads[task.path().filename().string()] = std::atoll(line.c_str() + 24);
    }
    return threads;
}

// The wake-ups between two counts: a thread that ended meanwhile took its count with it, one that began counts
// from nothing.
inline long long WakeupsBetween(const std::map<std::string, long long>& before,
                                const std::map<std::string, long long>& after) {
    long long total = 0;
    for (const auto& [thread, count] : after) {
        auto earlier = before.find(thread);
        total += count - (earlier == before.end() ? 0 : earlier->second);
    }
    return total;
}

struct Finished {
    int status = -1;
    double cpuSeconds = 0;
    long peakKilobytes = 0;
};

inline Finished Wait(pid_t pid) {
    Finished finished;
    rusage usage{};
    if (wait4(pid, &finished.status, 0, &usage) != pid) return finished;
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    finished.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    finished.peakKilobytes = usage.ru_maxrss;
    return finished;
}

}  // namespace xprogram
