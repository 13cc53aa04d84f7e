// The whole player for an hour of virtual time, headless with silent sound: the run the app tests make for two
// minutes (a hundred short files in random order with repeat, the about box and the settings dialog opened on the
// way), with the process's memory, files and threads and the platform's windows, GDI objects, timers and sound
// devices printed at the end of every pass. Compares the last pass with the first and exits with 1 when a count
// changed, the heap moved by more than kHeapTolerance or resident memory grew by more than kResidentTolerance.
// Build it optimised (CMAKE_BUILD_TYPE=Release); an hour then takes seconds.
//   korvo_bench_soak [minutes]      (60 when not given)

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/testing/Desktop.h"
#include "tests/app/PlayerSoak.h"

namespace {

// As in the test: where queue blocks and region lists happen to end differs by a few hundred bytes between passes.
constexpr int64_t kHeapTolerance = 4096;
// Resident pages also follow the allocator's own bookkeeping and what the kernel has not taken back yet.
constexpr int64_t kResidentTolerance = 1024 * 1024;

void Print(const char* what, const SoakSample& sample) {
    std::printf("%-6s %3d passes %6d tracks %7.1f min: %s\n", what, sample.passes, sample.tracks,
                sample.played.count() / 60000.0, DescribeSample(sample).c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const int minutes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    // Before the run: the first line printed gives standard output its buffer, which would show as heap growth.
    std::printf("%d min of virtual time, a hundred files in random order with repeat\n", minutes);
    std::fflush(stdout);
    platform::testing::UseHeadlessDisplay();
    SoakOptions options;
    options.duration = std::chrono::minutes(minutes);
    options.onSample = [](const SoakSample& sample) { Print("pass", sample); };
    const SoakResult result = RunPlayerSoak(options);

    std::printf("\n%d min of virtual time in %.1f s of real time; %d about boxes, %d settings accepted, %d cancelled\n",
                minutes, result.realSeconds, result.aboutBoxes, result.settingsAccepted, result.settingsCancelled);
    Print("before", result.beforeStart);
    Print("after", result.afterClose);
    bool steady = result.failure.empty() && result.messageBoxes.empty() && result.passes.size() >= 2;
    if (!result.failure.empty()) std::printf("failed: %s\n", result.failure.c_str());
    for (const std::string& text : result.messageBoxes) std::printf("message box: %s\n", text.c_str());
    if (result.passes.size() >= 2) {
        const SoakSample& first = result.passes.front();
        const SoakSample& last = result.passes.back();
        Print("start", first);
        Print("end", last);
        const int64_t heap = last.heapBytes - first.heapBytes;
        const int64_t resident = last.residentBytes - first.residentBytes;
        std::printf("change: heap %+lld B, RSS %+lld KiB\n", static_cast<long long>(heap),
                    static_cast<long long>(resident / 1024));
        steady = steady && last.objects == first.objects && last.openFiles == first.openFiles &&
                 last.threads == first.threads && std::llabs(heap) <= kHeapTolerance &&
                 resident <= kResidentTolerance;
    }
    std::printf("%s\n", steady ? "steady" : "NOT STEADY");
    return steady ? 0 : 1;
}
