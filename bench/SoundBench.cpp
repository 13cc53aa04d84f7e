// The sound layer and the media device component, in real time:
//   - CPU seconds and peak memory for playing a 60-second MP3, FLAC and MIDI file to the null output, each in a
//     fresh process of its own: once through mciSendCommandA alone with MCI_WAIT, then through the component's
//     own program (korvo_bench_mediaplayer), ending on the completion notice or polling every 10 ms as the
//     player's timer does;
//   - the same files through other players where they are installed (bench/install-peers), measured the same way:
//     mpg123 through OpenAL's null device, which plays in real time (its dummy output does not, so that row is
//     its decoding alone), and Audacious headless through SDL's dummy driver, with a configuration folder of its
//     own under the bench's temporary folder;
//   - open-to-first-sound latency, read from what a capture output received;
//   - the silence between one file's end and the next file's start when the next is opened and played as soon as
//     the position reaches the length, on the capture output and through SDL's disk driver (the real callback).
// Build it optimised (CMAKE_BUILD_TYPE=Release, no sanitizers); it takes about ten minutes. --players stops after
// the playing table (about nine), --peers measures only the other players (about four).

#include <fcntl.h>
#include <signal.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/PeerRegistry.h"
#include "platform/kernel/Clock.h"
#include "platform/kernel/Paths.h"
#include "platform/mci/MciSystem.h"
#include "platform/win32.h"
#include "tests/support/MediaFixtures.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Stereo, with an overtone, so that the encoders and decoders have more than one sine to work on.
std::vector<float> RichTone(int rate, int64_t frames, double frequency) {
    std::vector<float> samples(static_cast<size_t>(frames * 2));
    for (int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c)
            samples[i * 2 + c] = static_cast<float>(0.3 * std::cos(2 * M_PI * frequency * double(i) / rate + 0.5 + c) +
                                                    0.1 * std::sin(2 * M_PI * 3.1 * frequency * double(i) / rate));
    return samples;
}

// 60 seconds at 120 beats a minute: a piano melody in eighths over a held octave, a bass and drums on every beat.
std::string SixtySecondMidi() {
    std::string events = MidiTempo(0, 500000) + MidiEvent(0, {0xC0, 0}) + MidiEvent(0, {0xC1, 33});
    const int melody[] = {60, 62, 64, 67, 69, 67, 64, 62};
    for (int beat = 0; beat < 120; ++beat) {
        const int bass = 36 + beat % 4, drum = beat % 2 ? 38 : 36;
        for (int half = 0; half < 2; ++half) {
            const int note = melody[(beat * 2 + half) % 8];
            events += MidiEvent(0, {0x90, note, 100});
            if (half == 0)
                events += MidiEvent(0, {0x90, note - 12, 80}) + MidiEvent(0, {0x91, bass, 96}) +
                          MidiEvent(0, {0x99, drum, 112});
            events += MidiEvent(240, {0x80, note, 0});
            if (half == 1)
                events += MidiEvent(0, {0x80, melody[(beat * 2) % 8] - 12, 0}) + MidiEvent(0, {0x81, bass, 0}) +
                          MidiEvent(0, {0x89, drum, 0});
        }
    }
    events += MidiEndOfTrack(0);
    return MidiFile(0, 480, {MidiTrack(events)});
}

DWORD Status(MCIDEVICEID id, DWORD item) {
    MCI_STATUS_PARMS params{0, 0, item, 0};
    mciSendCommandA(id, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&params));
    return static_cast<DWORD>(params.dwReturn);
}

MCIDEVICEID Open(const fs::path& path) {
    MCI_OPEN_PARMSA params{};
    const std::string name = path.filename().string();
    params.lpstrElementName = name.c_str();
    MCIERROR error = mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&params));
    if (error) {
        std::fprintf(stderr, "cannot open %s: error %u\n", name.c_str(), error);
        std::exit(1);
    }
    MCI_SET_PARMS set{0, MCI_FORMAT_MILLISECONDS, 0};
    mciSendCommandA(params.wDeviceID, MCI_SET, MCI_WAIT | MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&set));
    return params.wDeviceID;
}

void Play(MCIDEVICEID id) {
    MCI_PLAY_PARMS params{};
    mciSendCommandA(id, MCI_PLAY, 0, reinterpret_cast<DWORD_PTR>(&params));
}

void Close(MCIDEVICEID id) { mciSendCommandA(id, MCI_CLOSE, MCI_WAIT, 0); }

void UseOutput(const platform::mci::OutputChoice& choice) {
    std::string error;
    if (!platform::mci::MciSystem::Get().UseOutput(choice, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
}

// What the player's 10 ms timer asks on every tick, until the position reaches the length.
void PlayToTheEndPolling(MCIDEVICEID id) {
    Play(id);
    for (;;) {
        std::this_thread::sleep_for(10ms);
        MCI_SET_PARMS set{0, MCI_FORMAT_MILLISECONDS, 0};
        mciSendCommandA(id, MCI_SET, MCI_SET_TIME_FORMAT, reinterpret_cast<DWORD_PTR>(&set));
        if (Status(id, MCI_STATUS_POSITION) == Status(id, MCI_STATUS_LENGTH)) return;
    }
}

// What the kernel accounted to one process that ran to its end.
struct Usage {
    double cpuSeconds = 0;
    double peakMegabytes = 0;
    double wallSeconds = 0;
    int exitCode = 0;  // 128 + the signal when it was killed, 127 when it could not be started
};

// A command line and what it changes in our environment: "NAME=value" sets a variable, a bare "NAME" removes it.
// Its standard output and error go to the log.
struct Command {
    std::vector<std::string> argv;
    std::vector<std::string> environment;
    fs::path log;
};

// A command that has not ended by then is killed and reported as failed (a peer that cannot open its output
// may wait forever).
constexpr auto kPatience = 150s;

// Plays one file to its end as the measured process does: with MCI_WAIT (the sound layer alone), or polled every
// 10 ms as the player's timer does. An empty file name measures the program's start and exit alone.
int PlayOnly(const char* file, int rate, bool polled) {
    if (!*file) return 0;
    UseOutput({"null", rate, {}});
    MCIDEVICEID id = Open(file);
    if (polled) {
        PlayToTheEndPolling(id);
    } else {
        MCI_PLAY_PARMS params{};
        mciSendCommandA(id, MCI_PLAY, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&params));
    }
    Close(id);
    return 0;
}

// The middle process of MeasureInChild: runs the command as its own child, waits for it with wait4 and prints
// "CPU-seconds peak-kB wall-seconds exit-code" on stdout.
int RunAndAccount(const char* log, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);  // so that whatever the command starts is killed with it
        const int output = open(log, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (output >= 0) {
            dup2(output, 1);
            dup2(output, 2);
        }
        execvp(argv[0], argv);
        std::_Exit(127);
    }
    int status = 0;
    if (child < 0) {
        std::printf("0 0 0 127\n");
        return 0;
    }
    struct rusage usage {};
    bool killed = false;
    while (wait4(child, &status, WNOHANG, &usage) == 0) {
        if (!killed && std::chrono::steady_clock::now() - start > kPatience) {
            kill(-child, SIGKILL);
            killed = true;
        }
        std::this_thread::sleep_for(20ms);
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu =
        usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%.6f %ld %.3f %d\n", cpu, usage.ru_maxrss, wall, code);
    return 0;
}

std::vector<char*> CStrings(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Runs the command to its end and returns what wait4 accounted to it. It runs as the child of a fresh image of
// this program rather than of this process: the kernel keeps a process's peak memory across exec, so a command
// forked straight from here would start with our resident pages (the generated tones) as its peak.
Usage MeasureInChild(const Command& command) {
    std::vector<std::string> argv = {"korvo_bench_sound", "--measure", command.log.string()};
    argv.insert(argv.end(), command.argv.begin(), command.argv.end());
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry)
        if (std::none_of(command.environment.begin(), command.environment.end(),
                         [&](const std::string& change) { return nameOf(change) == nameOf(*entry); }))
            environment.emplace_back(*entry);
    for (const std::string& change : command.environment)
        if (change.find('=') != std::string::npos) environment.push_back(change);
    std::vector<char*> argvPointers = CStrings(argv), environmentPointers = CStrings(environment);

    int pipeFds[2];
    if (pipe(pipeFds) != 0) std::exit(1);
    pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        execve("/proc/self/exe", argvPointers.data(), environmentPointers.data());
        std::_Exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[256];
    for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof(buffer))) > 0;)
        output.append(buffer, static_cast<size_t>(got));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    Usage usage;
    long peakKilobytes = 0;
    if (std::sscanf(output.c_str(), "%lf %ld %lf %d", &usage.cpuSeconds, &peakKilobytes, &usage.wallSeconds,
                    &usage.exitCode) != 4)
        usage.exitCode = 127;
    usage.peakMegabytes = peakKilobytes / 1024.0;
    return usage;
}

// One row of the playing table; a run that is much shorter than the file did not play in real time and says so.
void PrintPlayed(const std::string& what, const Usage& usage, const fs::path& log) {
    if (usage.exitCode != 0) {
        std::ifstream in(log);
        std::string line, last;
        while (std::getline(in, line))
            if (!line.empty()) last = line;
        std::printf("  %-44s failed (exit %d)%s%s\n", what.c_str(), usage.exitCode, last.empty() ? "" : ": ",
                    last.c_str());
        return;
    }
    constexpr double kFileSeconds = 60;
    std::printf("  %-44s %5.2f CPU-s  %6.1f MB peak  (%.1f s%s)\n", what.c_str(), usage.cpuSeconds,
                usage.peakMegabytes, usage.wallSeconds,
                usage.wallSeconds < 0.9 * kFileSeconds ? ", faster than real time: not comparable" : "");
}

bool Installed(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= folders.size();) {
        const size_t end = std::min(folders.find(':', start), folders.size());
        if (end > start && access((folders.substr(start, end - start) + "/" + program).c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// Another player on one of our files; check says why a run that ended well still does not count, or nothing.
struct Peer {
    std::string what;
    std::string program;
    Command command;
    std::function<std::string()> check;
};

// Audacious with a configuration of its own in a fresh folder, so that the user's is neither read nor changed:
// the plugin registry enables the SDL output, and the MIDI plugin loads the same sound font as our player.
// Without a display and with a session bus that does not exist, it can neither open a window nor hand the file
// to an Audacious the user already runs.
Peer AudaciousPeer(const fs::path& folder, const fs::path& file) {
    const fs::path home = folder / ("audacious-" + file.extension().string().substr(1));
    const fs::path registry = home / "audacious" / "plugin-registry";
    fs::create_directories(home / "audacious");
    const peer::Plugin sdl{"output", "Output/sdlout.so", true};
    peer::WriteRegistry(registry, {sdl});
    std::ofstream(home / "audacious" / "config")
        << "[amidiplug]\nfsyn_soundfont_file=/usr/share/sounds/sf2/default-GM.sf2\n";
    Command command{{"audacious", "--headless", "--quit-after-play", file.string()},
                    {"XDG_CONFIG_HOME=" + home.string(), "XDG_CACHE_HOME=" + home.string(),
                     "XDG_DATA_HOME=" + home.string(), "DISPLAY", "WAYLAND_DISPLAY",
                     "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (home / "no-bus").string(), "SDL_AUDIODRIVER=dummy"},
                    home / "log.txt"};
    // A registry of a format this Audacious does not read is ignored, and it would probe for a real output
    // instead; it rewrites the registry on exit, so that is where to see which output it used.
    auto check = [registry, sdl]() -> std::string {
        return peer::Used(registry, sdl) ? std::string() : "did not use the SDL output";
    };
    return {"audacious -H: " + file.filename().string() + ", SDL dummy driver", "audacious", std::move(command),
            check};
}

// The same files through other players' own null outputs, each as a process of its own measured the same way.
void MeasurePeers(const fs::path& folder) {
    std::printf("\nthe same files through other players (bench/install-peers installs them):\n");
    const fs::path mp3 = folder / "minute.mp3", log = folder / "peer-log.txt";
    const Peer peers[] = {
        // mpg123 has no SDL output here; OpenAL's null device mixes in real time.
        {"mpg123: minute.mp3, OpenAL null device", "mpg123",
         {{"mpg123", "--quiet", "--output", "openal", mp3.string()}, {"ALSOFT_DRIVERS=null"}, log}, {}},
        // Its dummy output takes the samples as fast as they come: the decoding alone, for reference.
        {"mpg123: minute.mp3, dummy output", "mpg123",
         {{"mpg123", "--quiet", "--output", "dummy", mp3.string()}, {}, log}, {}},
        AudaciousPeer(folder, mp3),
        AudaciousPeer(folder, folder / "minute.flac"),
        AudaciousPeer(folder, folder / "minute.mid"),
    };
    for (const Peer& peer : peers) {
        if (!Installed(peer.program)) {
            std::printf("  %-44s not installed (bench/install-peers)\n", peer.what.c_str());
            continue;
        }
        const Usage usage = MeasureInChild(peer.command);
        const std::string mismatch = usage.exitCode == 0 && peer.check ? peer.check() : std::string();
        if (mismatch.empty())
            PrintPlayed(peer.what, usage, peer.command.log);
        else
            std::printf("  %-44s %s\n", peer.what.c_str(), mismatch.c_str());
    }
}

std::vector<float> ReadCapture(const fs::path& path, int& rate) {
    int channels = 0;
    return ReadSound(path, rate, channels);
}

// Runs of silent frames between the first and the last sounding frame, in milliseconds.
std::vector<double> Gaps(const std::vector<float>& samples, int rate) {
    const size_t frames = samples.size() / 2;
    auto silent = [&](size_t i) { return samples[i * 2] == 0.0f && samples[i * 2 + 1] == 0.0f; };
    size_t first = 0, last = frames;
    while (first < frames && silent(first)) ++first;
    while (last > first && silent(last - 1)) --last;
    std::vector<double> gaps;
    for (size_t i = first; i < last;) {
        if (!silent(i)) {
            ++i;
            continue;
        }
        size_t run = i;
        while (run < last && silent(run)) ++run;
        gaps.push_back(1000.0 * double(run - i) / rate);
        i = run;
    }
    return gaps;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * double(values.size() - 1) + 0.5))];
}

// Plays the parts one after another as the player does.
void PlayOneAfterAnother(const std::vector<fs::path>& parts) {
    for (const fs::path& part : parts) {
        MCIDEVICEID id = Open(part);
        PlayToTheEndPolling(id);
        Close(id);
    }
    std::this_thread::sleep_for(300ms);
}

void Report(const char* what, const std::vector<double>& gaps, size_t transitions) {
    // A transition without any silent frame between the files counts as 0 ms.
    std::vector<double> all = gaps;
    while (all.size() < transitions) all.push_back(0.0);
    std::printf(
        "%-44s median %6.2f ms   95th percentile %6.2f ms   worst %6.2f ms   (%zu transitions, %zu with silence)\n",
        what, Percentile(all, 0.5), Percentile(all, 0.95), Percentile(all, 1.0), transitions, gaps.size());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc == 4 && mode.rfind("--play", 0) == 0) {
        if (*argv[2])
            SetCurrentDirectoryA(platform::kernel::WindowsPathOf(fs::path(argv[2]).parent_path().string()).c_str());
        return PlayOnly(argv[2], std::atoi(argv[3]), mode == "--play-polled");
    }
    if (argc > 3 && mode == "--measure") return RunAndAccount(argv[2], argv + 3);
    // --players stops after the playing table, --peers measures only the other players.
    if (argc > 1 && mode != "--players" && mode != "--peers") {
        std::fprintf(stderr, "usage: %s [--players | --peers]\n", argv[0]);
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each row as it comes, also into a file: a run takes minutes
    const fs::path folder = fs::temp_directory_path() / ("korvo-sound-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    SetCurrentDirectoryA(platform::kernel::WindowsPathOf(folder.string()).c_str());

    std::printf("making the files...\n");
    const auto minute = RichTone(44100, 44100 * 60, 440.0);
    WriteSound(folder / "minute.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, minute);
    WriteSound(folder / "minute.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2, minute);
    std::ofstream(folder / "minute.mid", std::ios::binary) << SixtySecondMidi();
    std::vector<fs::path> parts;
    for (int i = 0; i < 20; ++i) {
        parts.push_back(folder / ("part" + std::to_string(i) + ".wav"));
        WriteSound(parts.back(), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                   RichTone(44100, 22050 + 441 * i, 330.0 + 20 * i));
    }

    if (mode != "--peers") {
        std::printf("\nplaying 60 s in real time to the null output, each in a process of its own:\n");
        const fs::path log = folder / "play-log.txt";
        const Usage base = MeasureInChild({{"/proc/self/exe", "--play", "", "0"}, {}, log});
        std::printf("  %-44s %5.2f CPU-s  %6.1f MB peak\n", "the program alone, no sound", base.cpuSeconds,
                    base.peakMegabytes);
        // The sound layer alone through mciSendCommandA, then the media device component as the player uses it
        // (its own program, waiting for the completion notice, or polling every 10 ms as the player's timer
        // does), at the files' own rate as the other players play them, and at the 48 kHz of most sound cards.
        struct Item {
            const char* how;  // "mci", "component", "component-polled"
            const char* name;
            int rate;
        };
        for (const auto& [how, name, rate] :
             {Item{"mci", "minute.mp3", 44100}, Item{"component", "minute.mp3", 44100},
              Item{"component", "minute.flac", 44100}, Item{"component", "minute.mid", 44100},
              Item{"component", "minute.mp3", 48000}, Item{"component-polled", "minute.mp3", 44100}}) {
            const std::string file = (folder / name).string(), rateText = std::to_string(rate);
            const std::string what = std::string(how) + ": " + name + " to " + rateText + " Hz";
            std::vector<std::string> argv;
            if (std::string(how) == "mci") argv = {"/proc/self/exe", "--play", file, rateText};
            else if (std::string(how) == "component") argv = {KORVO_BENCH_MEDIAPLAYER, file, rateText};
            else argv = {KORVO_BENCH_MEDIAPLAYER, "--poll", file, rateText};
            PrintPlayed(what, MeasureInChild({argv, {}, log}), log);
        }
    }
    MeasurePeers(folder);
    if (!mode.empty()) {
        if (!getenv("KORVO_BENCH_KEEP")) fs::remove_all(folder);
        return 0;
    }

    std::printf("\nopen to first sound (capture output, real time, 10 runs):\n");
    {
        std::vector<double> latencies, opens;
        for (int run = 0; run < 10; ++run) {
            const fs::path capture = folder / "latency.wav";
            UseOutput({"capture", 48000, capture.string()});
            const auto start = platform::kernel::Clock().Monotonic();
            std::this_thread::sleep_for(std::chrono::milliseconds(100 + run * 7));
            const auto opened = platform::kernel::Clock().Monotonic();
            MCIDEVICEID id = Open(run % 2 ? folder / "minute.mp3" : parts[run]);
            opens.push_back(
                std::chrono::duration<double, std::milli>(platform::kernel::Clock().Monotonic() - opened).count());
            Play(id);
            std::this_thread::sleep_for(300ms);
            Close(id);
            UseOutput({"null", 48000, {}});
            int rate = 0;
            const auto samples = ReadCapture(capture, rate);
            size_t first = 0;
            while (first < samples.size() && samples[first] == 0.0f) ++first;
            const double sounding =
                std::chrono::duration<double, std::milli>(start - opened).count() + 1000.0 * double(first / 2) / rate;
            latencies.push_back(sounding);
        }
        std::printf(
            "  median %.1f ms, worst %.1f ms (of which MCI_OPEN: median %.1f ms; WAV and 60 s MP3 alternating)\n",
            Percentile(latencies, 0.5), Percentile(latencies, 1.0), Percentile(opens, 0.5));
    }

    std::printf(
        "\nsilence between files, next opened and played when the position reaches the length (10 ms polling):\n");
    {
        const fs::path capture = folder / "gaps.wav";
        UseOutput({"capture", 48000, capture.string()});
        PlayOneAfterAnother(parts);
        UseOutput({"null", 48000, {}});
        int rate = 0;
        const auto samples = ReadCapture(capture, rate);
        Report("capture output (48 kHz, files at 44.1 kHz)", Gaps(samples, rate), parts.size() - 1);
    }
    {
        // SDL's disk driver runs the real audio callback and writes what it gets, in real time.
        const fs::path raw = folder / "sdl-disk.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
        UseOutput({"sdl", 0, {}});
        MCI_OPEN_PARMSA probe{};
        const std::string first = parts[0].filename().string();
        probe.lpstrElementName = first.c_str();
        const auto deviceStart = platform::kernel::Clock().Monotonic();
        std::this_thread::sleep_for(150ms);
        const auto opened = platform::kernel::Clock().Monotonic();
        if (mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&probe)) ==
            MCIERR_DEVICE_NOT_READY) {
            std::printf("  SDL disk driver: not available\n");
        } else {
            // The first file's first sound: the disk driver writes the device's timeline from its start.
            Play(probe.wDeviceID);
            std::this_thread::sleep_for(300ms);
            Close(probe.wDeviceID);
            UseOutput({"null", 48000, {}});
            {
                std::ifstream in(raw, std::ios::binary);
                std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                std::vector<float> floats(bytes.size() / sizeof(float));
                std::memcpy(floats.data(), bytes.data(), floats.size() * sizeof(float));
                size_t first = 0;
                while (first < floats.size() && floats[first] == 0.0f) ++first;
                std::printf("  open to first sound through SDL's disk driver: %.1f ms\n",
                            std::chrono::duration<double, std::milli>(deviceStart - opened).count() +
                                1000.0 * double(first / 2) / 48000);
            }
            UseOutput({"sdl", 0, {}});
            PlayOneAfterAnother(parts);
            UseOutput({"null", 48000, {}});
            std::ifstream in(raw, std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::vector<float> samples(bytes.size() / sizeof(float));
            std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
            Report("SDL disk driver (its default rate)", Gaps(samples, 48000), parts.size() - 1);
        }
    }
    if (!getenv("KORVO_BENCH_KEEP")) fs::remove_all(folder);
    return 0;
}
