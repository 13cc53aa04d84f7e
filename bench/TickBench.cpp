// What one tick of the player's 10 ms timer costs while a file plays: the main window on the headless display, a
// 60-second WAV playing through SDL's dummy sound driver (decoding on the sound threads, as on a desktop), and the timer's handler run every 10 ms with the
// painting it causes, as the message loop would run them. Prints the average cost of a tick and of its paint.
//   korvo_bench_tick [ticks]      (1000 when not given: ten seconds of playing)

#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/Korvo.h"
#include "frame/Application.h"
#include "platform/kernel/Paths.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/FakeProgramPath.h"
#include "tests/support/MediaFixtures.h"

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
    std::filesystem::path root = std::filesystem::temp_directory_path() / ("korvo-tick-" + std::to_string(getpid()));
    std::filesystem::create_directories(root / "music");
    std::filesystem::create_directories(root / "program");
    WriteSound(root / "music" / "song.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, Tone(44100, 2, 44100 * 60));
    std::ofstream(root / "program" / "Korvo.ini")
        << "[Data]\nDirectory=" << platform::kernel::WindowsPathOf((root / "music").string()) << "\n";
    platform::testing::FakeProgramPath program((root / "program" / "korvo").string());
    platform::testing::UseHeadlessDisplay();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string error;
    if (!platform::mci::MciSystem::Get().UseOutput({"sdl", 0, {}}, error)) {
        std::fprintf(stderr, "no sound output: %s\n", error.c_str());
        return 1;
    }
    Korvo = new TKorvo(&Application());
    Korvo->Show();
    platform::testing::DispatchPending();
    Korvo->sbnPlayClick(nullptr);
    Korvo->Timer->SetEnabled(false);  // the bench runs the ticks itself

    double handler = 0, painting = 0;
    std::clock_t cpu = std::clock();
    for (int i = 0; i < ticks; ++i) {
        auto begin = std::chrono::steady_clock::now();
        Korvo->TimerTimer(nullptr);
        auto handled = std::chrono::steady_clock::now();
        platform::testing::DispatchPending();
        auto painted = std::chrono::steady_clock::now();
        handler += std::chrono::duration<double, std::micro>(handled - begin).count();
        painting += std::chrono::duration<double, std::micro>(painted - handled).count();
        std::this_thread::sleep_until(begin + std::chrono::milliseconds(10));
    }
    double cpuSeconds = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
    std::printf("%d ticks while playing: handler %.1f us, painting %.1f us, CPU %.1f us a tick\n", ticks,
                handler / ticks, painting / ticks, cpuSeconds * 1e6 / ticks);
    delete Korvo;
    std::filesystem::remove_all(root);
    return 0;
}
