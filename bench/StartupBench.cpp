// The player as a user starts it, on the X server named by DISPLAY (run it under xvfb-run): from the program's
// start to its main window mapped on the screen, over several starts, with a music folder of a few files to open.
// The program runs with a home of its own and SDL's dummy sound driver; korvo_bench_playing measures it playing.
//   korvo_bench_startup PROGRAM [starts]      (10 starts when not given)

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "bench/XProgram.h"
#include "tests/support/MediaFixtures.h"

using namespace xprogram;

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
        pid_t pid = Start({program});
        Window window = WaitForMappedWindow(display, "Korvo Music Player", std::chrono::seconds(10));
        auto shown = Clock::now();
        Kill(pid);
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

    XCloseDisplay(display);
    std::filesystem::remove_all(home);
    return 0;
}
