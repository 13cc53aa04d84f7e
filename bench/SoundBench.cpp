// The sound layer on its own, through mciSendCommandA only, in real time:
//   - CPU seconds and peak memory for playing a 60-second MP3, FLAC and MIDI file to the null output, each in a
//     fresh process of its own, with MCI_WAIT (the sound layer alone) and once polled every 10 ms as the
//     player's timer does;
//   - open-to-first-sound latency, read from what a capture output received;
//   - the silence between one file's end and the next file's start when the next is opened and played as soon as
//     the position reaches the length, on the capture output and through SDL's disk driver (the real callback).
// Build it optimised (CMAKE_BUILD_TYPE=Release, no sanitizers); it takes about six minutes.

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
#include <string>
#include <thread>
#include <vector>

#include "platform/kernel/Clock.h"
#include "platform/kernel/Paths.h"
#include "platform/mci/MciSystem.h"
#include "platform/win32.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::vector<float> Tone(int rate, int64_t frames, double frequency) {
    std::vector<float> samples(static_cast<size_t>(frames * 2));
    for (int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c)
            samples[i * 2 + c] = static_cast<float>(0.3 * std::cos(2 * M_PI * frequency * double(i) / rate + 0.5 + c) +
                                                    0.1 * std::sin(2 * M_PI * 3.1 * frequency * double(i) / rate));
    return samples;
}

bool WriteSound(const fs::path& path, int format, int rate, const std::vector<float>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size() / 2));
    return sf_close(file) == 0;
}

std::string Number(uint32_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    return bytes;
}

std::string Be(uint32_t value, int count) {
    std::string out;
    for (int i = count - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

std::string Event(uint32_t delta, std::initializer_list<int> bytes) {
    std::string event = Number(delta);
    for (int byte : bytes) event += static_cast<char>(byte);
    return event;
}

// 60 seconds at 120 beats a minute: a piano melody in eighths over a held octave, a bass and drums on every beat.
std::string SixtySecondMidi() {
    std::string events = Event(0, {0xFF, 0x51, 3, 0x07, 0xA1, 0x20}) + Event(0, {0xC0, 0}) + Event(0, {0xC1, 33});
    const int melody[] = {60, 62, 64, 67, 69, 67, 64, 62};
    for (int beat = 0; beat < 120; ++beat) {
        const int bass = 36 + beat % 4, drum = beat % 2 ? 38 : 36;
        for (int half = 0; half < 2; ++half) {
            const int note = melody[(beat * 2 + half) % 8];
            events += Event(0, {0x90, note, 100});
            if (half == 0)
                events += Event(0, {0x90, note - 12, 80}) + Event(0, {0x91, bass, 96}) + Event(0, {0x99, drum, 112});
            events += Event(240, {0x80, note, 0});
            if (half == 1)
                events += Event(0, {0x80, melody[(beat * 2) % 8] - 12, 0}) + Event(0, {0x81, bass, 0}) +
                          Event(0, {0x89, drum, 0});
        }
    }
    events += Event(0, {0xFF, 0x2F, 0});
    return "MThd" + Be(6, 4) + Be(0, 2) + Be(1, 2) + Be(480, 2) + "MTrk" + Be(static_cast<uint32_t>(events.size()), 4) +
           events;
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

struct Usage {
    double cpuSeconds;
    double peakMegabytes;
    double wallSeconds;
};

// Plays one file to its end as the measured process does: with MCI_WAIT (the sound layer alone), or polled every
// 10 ms as the player's timer does. Reports the process's peak resident memory on stdout.
int PlayOnly(const char* file, int rate, bool polled) {
    if (*file) {
        UseOutput({"null", rate, {}});
        MCIDEVICEID id = Open(file);
        if (polled) {
            PlayToTheEndPolling(id);
        } else {
            MCI_PLAY_PARMS params{};
            mciSendCommandA(id, MCI_PLAY, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&params));
        }
        Close(id);
    }
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) std::printf("%s\n", line.c_str() + 6);
    return 0;
}

// A fresh process of this program, so that its peak memory is its own.
Usage MeasureInChild(const fs::path& file, int rate, bool polled) {
    const auto start = std::chrono::steady_clock::now();
    int pipeFds[2];
    if (pipe(pipeFds) != 0) std::exit(1);
    pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], 1);
        close(pipeFds[0]);
        const std::string rateText = std::to_string(rate);
        execl("/proc/self/exe", "korvo_bench_sound", polled ? "--play-polled" : "--play", file.c_str(),
              rateText.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[256];
    for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof(buffer))) > 0;)
        output.append(buffer, static_cast<size_t>(got));
    close(pipeFds[0]);
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    const double cpu =
        usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return {cpu, std::atof(output.c_str()) / 1024.0,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
}

std::vector<float> ReadCapture(const fs::path& path, int& rate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return {};
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    rate = info.samplerate;
    return samples;
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
    if (argc == 4 && std::string(argv[1]).rfind("--play", 0) == 0) {
        if (*argv[2])
            SetCurrentDirectoryA(platform::kernel::WindowsPathOf(fs::path(argv[2]).parent_path().string()).c_str());
        return PlayOnly(argv[2], std::atoi(argv[3]), std::string(argv[1]) == "--play-polled");
    }
    const fs::path folder = fs::temp_directory_path() / ("korvo-sound-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    SetCurrentDirectoryA(platform::kernel::WindowsPathOf(folder.string()).c_str());

    std::printf("making the files...\n");
    const auto minute = Tone(44100, 44100 * 60, 440.0);
    WriteSound(folder / "minute.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, minute);
    WriteSound(folder / "minute.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, minute);
    std::ofstream(folder / "minute.mid", std::ios::binary) << SixtySecondMidi();
    std::vector<fs::path> parts;
    for (int i = 0; i < 20; ++i) {
        parts.push_back(folder / ("part" + std::to_string(i) + ".wav"));
        WriteSound(parts.back(), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, Tone(44100, 22050 + 441 * i, 330.0 + 20 * i));
    }

    std::printf("\nplaying 60 s in real time to the null output, each in a process of its own:\n");
    const Usage base = MeasureInChild(fs::path(), 0, false);
    std::printf("  %-44s %5.2f CPU-s  %6.1f MB peak\n", "the program alone, no sound", base.cpuSeconds,
                base.peakMegabytes);
    struct Item {
        const char* name;
        int rate;
        bool polled;
    };
    for (const auto& [name, rate, polled] : {Item{"minute.mp3", 44100, false}, Item{"minute.mp3", 48000, false},
                                             Item{"minute.flac", 48000, false}, Item{"minute.mid", 48000, false},
                                             Item{"minute.mp3", 48000, true}}) {
        const Usage usage = MeasureInChild(folder / name, rate, polled);
        const std::string what =
            std::string(name) + " to a " + std::to_string(rate) + " Hz output" + (polled ? ", polled" : "");
        std::printf("  %-44s %5.2f CPU-s  %6.1f MB peak  (%.1f s)\n", what.c_str(), usage.cpuSeconds,
                    usage.peakMegabytes, usage.wallSeconds);
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
