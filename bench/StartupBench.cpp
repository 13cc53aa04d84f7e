// The player as a user starts it, on the X server named by DISPLAY (run it under xvfb-run):
//   1. from the program's start to its main window mapped on the screen, over several starts, with a music folder
//      of a few files to open;
//   2. resident memory while it plays a 60-second MP3: its window's play button clicked (xdotool), then the
//      process's resident set read from /proc after five seconds of playing and at the end of the file.
// The program runs with a home of its own and SDL's dummy sound driver.
//   korvo_bench_startup PROGRAM [starts]      (10 starts when not given)

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sndfile.h>
#include <spawn.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/mci/MediaFixtures.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

pid_t Start(const std::string& program) {
    pid_t pid = -1;
    std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

void Stop(pid_t pid) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// Waits for a top-level window whose name starts with the player's title to be mapped; returns it, or 0.
Window WaitForMappedWindow(Display* display, std::chrono::seconds limit) {
    auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify) continue;
            char* name = nullptr;
            bool ours = XFetchName(display, event.xmap.window, &name) && name &&
                        std::string(name).starts_with("Korvo Music Player");
            if (name) XFree(name);
            if (ours) return event.xmap.window;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return 0;
}

long StatusKilobytes(pid_t pid, const char* field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(field)) return std::atol(line.c_str() + std::strlen(field) + 1);
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvo_bench_startup PROGRAM [starts]\n");
        return 2;
    }
    const std::string original = std::filesystem::absolute(argv[1]).string();
    const int starts = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X server: run under xvfb-run\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    std::filesystem::path home = std::filesystem::temp_directory_path() / ("korvo-bench-home-" + std::to_string(getpid()));
    std::filesystem::create_directories(home / "Music");
    std::filesystem::create_directories(home / "program");
    // The program in a folder of its own, where it keeps its settings.
    std::string program = (home / "program" / "korvo").string();
    std::filesystem::copy_file(original, program);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    WriteSound(home / "Music" / "01 song.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2,
               Tone(44100, 2, 44100 * 60));
    for (int i = 2; i <= 5; ++i)
        WriteSound(home / "Music" / ("0" + std::to_string(i) + " short.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100,
                   2, Tone(44100, 2, 44100));

    std::vector<double> milliseconds;
    for (int run = 0; run < starts; ++run) {
        XSync(display, True);  // forget earlier events
        auto begin = Clock::now();
        pid_t pid = Start(program);
        Window window = WaitForMappedWindow(display, std::chrono::seconds(10));
        auto shown = Clock::now();
        Stop(pid);
        if (!window) {
            std::fprintf(stderr, "start %d: no window within 10 s\n", run + 1);
            continue;
        }
        milliseconds.push_back(std::chrono::duration<double, std::milli>(shown - begin).count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    if (!milliseconds.empty())
        std::printf("start to mapped window, %zu starts: median %.1f ms, min %.1f ms, max %.1f ms\n",
                    milliseconds.size(), milliseconds[milliseconds.size() / 2], milliseconds.front(),
                    milliseconds.back());

    XSync(display, True);
    pid_t pid = Start(program);
    Window window = WaitForMappedWindow(display, std::chrono::seconds(10));
    if (window) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        std::printf("stopped with the first file open: resident %ld kB\n", StatusKilobytes(pid, "VmRSS:"));
        // The play button: the button bar's panel at (2, 4), the button at (4, 4) in it, 25 pixels square.
        std::string click = "xdotool mousemove --window " + std::to_string(window) + " 18 20 click 1";
        if (std::system(click.c_str()) != 0) std::fprintf(stderr, "xdotool failed\n");
        std::this_thread::sleep_for(std::chrono::seconds(5));
        std::printf("playing the MP3 for 5 s: resident %ld kB\n", StatusKilobytes(pid, "VmRSS:"));
        std::this_thread::sleep_for(std::chrono::seconds(56));
        std::printf("at the end of the MP3: resident %ld kB, peak %ld kB\n", StatusKilobytes(pid, "VmRSS:"),
                    StatusKilobytes(pid, "VmHWM:"));
    }
    Stop(pid);
    XCloseDisplay(display);
    std::filesystem::remove_all(home);
    return 0;
}
