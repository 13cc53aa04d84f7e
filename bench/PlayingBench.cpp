// The player as a user runs it, on the X server named by DISPLAY (run it under xvfb-run), against the best-known
// desktop player's GTK interface under the same server:
//   1. the player started over a folder whose first file is a 60-second MP3, its play button clicked, the file
//      played to its end in real time through SDL's dummy sound driver with the window on screen (the 10 ms tick,
//      labels, slider and all): CPU seconds of the whole process while it plays, and resident memory;
//   2. in the first run, the same player stopped at the end with its timer off: after five seconds in which it lets go of the sound
//      device, 60 seconds' CPU and wake-ups of all its threads, which should both be nothing;
//   3. the player closed as its close box closes it: the whole process's CPU seconds from start to exit, less the
//      time it stood stopped;
//   4. the same file in the other player's GTK interface, started, played and quit after play: its whole process;
//   5. at the end, the player started over a folder with nothing to play: its wake-ups while it stands there.
// The peer is installed by bench/install-peers; without it step 4 says so.
//   korvo_bench_playing PROGRAM [runs]      (one run when not given; each takes about three minutes)

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bench/PeerRegistry.h"
#include "bench/XProgram.h"
#include "tests/support/MediaFixtures.h"

namespace fs = std::filesystem;
using namespace xprogram;

namespace {

constexpr int kSeconds = 60;
constexpr int kSettleSeconds = 5;

struct PlayerFigures {
    double startCpu = 0, playCpu = 0, settleCpu = 0, idleCpu = 0, wholeCpu = 0;
    long long idleWakeups = 0;
    long playingKilobytes = 0, peakKilobytes = 0;
    bool ok = false;
};

PlayerFigures RunPlayer(Display* display, const std::string& program, bool standStopped) {
    PlayerFigures figures;
    XSync(display, True);  // forget earlier events
    pid_t pid = Start({program});
    Window window = WaitForMappedWindow(display, "Korvo Music Player", std::chrono::seconds(10));
    if (!window) {
        std::fprintf(stderr, "no player window within 10 s\n");
        Kill(pid);
        return figures;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    figures.startCpu = CpuSeconds(pid);
    // The play button: the button bar's panel at (2, 4), the button at (4, 4) in it, 25 pixels square.
    if (!Click(window, 18, 20)) {
        std::fprintf(stderr, "xdotool failed\n");
        Kill(pid);
        return figures;
    }
    std::this_thread::sleep_for(std::chrono::seconds(5));
    figures.playingKilobytes = StatusKilobytes(pid, "VmRSS:");
    std::this_thread::sleep_for(std::chrono::seconds(kSeconds - 5 + 1));
    const double played = CpuSeconds(pid);
    figures.playCpu = played - figures.startCpu;

    if (standStopped) {
        // The sound device is let go a few seconds after the last sound; the minute is measured from then on.
        std::this_thread::sleep_for(std::chrono::seconds(kSettleSeconds));
        const double settled = CpuSeconds(pid);
        const auto wakeups = Wakeups(pid);
        std::this_thread::sleep_for(std::chrono::seconds(kSeconds));
        figures.idleWakeups = WakeupsBetween(wakeups, Wakeups(pid));
        figures.idleCpu = CpuSeconds(pid) - settled;
        figures.settleCpu = settled - played;
    }
    figures.peakKilobytes = StatusKilobytes(pid, "VmHWM:");

    AskToClose(display, window);
    Finished finished = Wait(pid);
    figures.wholeCpu = finished.cpuSeconds - figures.idleCpu - figures.settleCpu;
    figures.ok = WIFEXITED(finished.status) && WEXITSTATUS(finished.status) == 0;
    if (!figures.ok) std::fprintf(stderr, "the player did not end cleanly (status %d)\n", finished.status);
    return figures;
}

struct PeerFigures {
    double cpu = 0;
    long peakKilobytes = 0;
    std::string problem;
};

bool Installed(const char* program) {
    std::string probe = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(probe.c_str()) == 0;
}

// The other player with its GTK interface and SDL output chosen in a configuration of its own; it rewrites its
// plugin registry on exit, which is where to see that it used them.
PeerFigures RunPeer(const fs::path& folder, const fs::path& file) {
    PeerFigures figures;
    const fs::path home = folder / "peer";
    const fs::path registry = home / "audacious" / "plugin-registry";
    fs::remove_all(home);
    fs::create_directories(home / "audacious");
    const peer::Plugin sdl{"output", "Output/sdlout.so", true}, gtk{"iface", "General/gtkui.so", true};
    peer::WriteRegistry(registry, {sdl, gtk, {"iface", "General/qtui.so", false}});
    pid_t pid = Start({"audacious", "--quit-after-play", file.string()},
                      {"XDG_CONFIG_HOME=" + home.string(), "XDG_CACHE_HOME=" + home.string(),
                       "XDG_DATA_HOME=" + home.string(),
                       "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (home / "no-bus").string(), "SDL_AUDIODRIVER=dummy"});
    if (pid < 0) {
        figures.problem = "could not be started";
        return figures;
    }
    Finished finished = Wait(pid);
    figures.cpu = finished.cpuSeconds;
    figures.peakKilobytes = finished.peakKilobytes;
    if (!peer::Used(registry, sdl) || !peer::Used(registry, gtk))
        figures.problem = "did not use the GTK interface and the SDL output";
    return figures;
}

// The player started over a folder with nothing to play, left standing: its wake-ups in kSettleSeconds * 2, which
// should be none (no file was ever opened, so no sound device either).
long long WakeupsOverEmptyFolder(Display* display, const fs::path& home, const std::string& original) {
    fs::create_directories(home / "Music");
    fs::create_directories(home / "program");
    const std::string program = (home / "program" / "korvo").string();
    fs::copy_file(original, program, fs::copy_options::overwrite_existing);
    XSync(display, True);
    pid_t pid = Start({program}, {"HOME=" + home.string(), "XDG_CONFIG_HOME=" + (home / ".config").string()});
    Window window = WaitForMappedWindow(display, "Korvo Music Player", std::chrono::seconds(10));
    if (!window) {
        Kill(pid);
        return -1;
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const auto before = Wakeups(pid);
    std::this_thread::sleep_for(std::chrono::seconds(kSettleSeconds * 2));
    const long long wakeups = WakeupsBetween(before, Wakeups(pid));
    AskToClose(display, window);
    Wait(pid);
    return wakeups;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvo_bench_playing PROGRAM [runs]\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string original = fs::absolute(argv[1]).string();
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X server: run under xvfb-run\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

    fs::path home = fs::temp_directory_path() / ("korvo-bench-playing-" + std::to_string(getpid()));
    fs::create_directories(home / "Music");
    fs::create_directories(home / "program");
    // The program in a folder of its own, where it keeps its settings.
    std::string program = (home / "program" / "korvo").string();
    fs::copy_file(original, program);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const fs::path minute = home / "Music" / "01 minute.mp3";
    WriteSound(minute, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, Tone(44100, 2, 44100 * kSeconds));

    for (int run = 1; run <= runs; ++run) {
        std::printf("run %d of %d\n", run, runs);
        PlayerFigures player = RunPlayer(display, program, run == 1);
        if (player.ok || player.playCpu > 0) {
            std::printf("  player: start to window %.2f CPU s; playing %d s: %.2f CPU s, resident %ld kB after 5 s, "
                        "peak %ld kB\n",
                        player.startCpu, kSeconds, player.playCpu, player.playingKilobytes, player.peakKilobytes);
            if (run == 1)
                std::printf("  player stopped: %.2f CPU s in the first %d s; then %d s: %.2f CPU s, %lld wake-ups\n",
                            player.settleCpu, kSettleSeconds, kSeconds, player.idleCpu, player.idleWakeups);
            std::printf("  player whole process (start, play, close; the stopped time left out): %.2f CPU s\n",
                        player.wholeCpu);
        }
        if (!Installed("audacious")) {
            std::printf("  peer: not installed (bench/install-peers)\n");
            continue;
        }
        PeerFigures peer = RunPeer(home, minute);
        if (!peer.problem.empty())
            std::printf("  peer: %s\n", peer.problem.c_str());
        else
            std::printf("  peer GTK interface whole process (start, play, quit after play): %.2f CPU s, peak %ld kB; "
                        "player/peer %.2f\n",
                        peer.cpu, peer.peakKilobytes, player.wholeCpu / peer.cpu);
    }
    std::printf("player over an empty folder: %lld wake-ups in %d s\n",
                WakeupsOverEmptyFolder(display, home / "empty", original), kSettleSeconds * 2);
    XCloseDisplay(display);
    fs::remove_all(home);
    return 0;
}
