// A change of folder through the player's own handler, at folder scale, on the headless display and the null sound
// output with the real clock: the main window moves its directory list to a folder of N playable files, and the
// handler reads the folder, fills the playlist (sorted, or shuffled for the random style) and opens the first
// file. Timed from the assignment until the handler has returned with the file open, for the file-name and the
// random style, against a bare scan, wildcard match and sort of the same folder in the same run.
//   korvo_bench_folder_change [files]      (100000 when not given)

#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/Korvo.h"
#include "bench/BareFolderRead.h"
#include "frame/Application.h"
#include "platform/kernel/Paths.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/FakeProgramPath.h"
#include "tests/support/MediaFixtures.h"

namespace {

constexpr const char* kMask = "*.mp3;*.wav;*.aif;*.au;*.mid";
constexpr int kRuns = 5;

double Seconds(const std::function<void()>& work) {
    auto begin = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// N copies of one short WAV file, so that whichever comes first, sorted or shuffled, opens.
void MakeFolder(const std::filesystem::path& folder, int files) {
    std::filesystem::create_directories(folder);
    std::filesystem::path model = folder.parent_path() / "model.wav";
    WriteSound(model, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, Tone(44100, 2, 441));
    std::ifstream in(model, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (int i = 0; i < files; ++i) {
        int n = static_cast<int>((static_cast<long long>(i) * 7919) % files);
        std::ofstream(folder / ("曲 " + std::to_string(n) + " - Track.wav"), std::ios::binary) << bytes;
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::max(10, std::atoi(argv[1])) : 100000;
    std::filesystem::path root = std::filesystem::temp_directory_path() / ("korvo-bench-" + std::to_string(getpid()));
    std::filesystem::path big = root / "big", small = root / "small";
    MakeFolder(big, files);
    MakeFolder(small, 3);
    std::filesystem::create_directories(root / "program");
    platform::testing::FakeProgramPath program((root / "program" / "korvo").string());

    platform::testing::UseHeadlessDisplay();
    std::string error;
    if (!platform::mci::MciSystem::Get().UseOutput({"null", 44100, {}}, error)) {
        std::fprintf(stderr, "no null output: %s\n", error.c_str());
        return 1;
    }
    std::string bigPath = platform::kernel::WindowsPathOf(big.string());
    std::string smallPath = platform::kernel::WindowsPathOf(small.string());

    std::vector<double> floor;
    for (int run = 0; run < kRuns; ++run) floor.push_back(Seconds([&] { BareFolderRead(big.string(), kMask); }));
    std::printf("%d matching files\n%-48s %8.4f s\n", files, "scandir + wildcard match + sort", Median(floor));

    for (int style : {0, 2}) {
        // The style as the settings file gives it; the window starts on the small folder.
        std::ofstream(root / "program" / "Korvo.ini")
            << "[Data]\nDirectory=" << smallPath << "\n[Play]\nStyle=" << style << "\n";
        Korvo = new TKorvo(&Application());
        Korvo->Show();
        platform::testing::DispatchPending();
        std::vector<double> changes;
        for (int run = 0; run < kRuns; ++run) {
            changes.push_back(Seconds([&] { Korvo->DirectoryListBox->SetDirPath(bigPath); }));
            bool ready = Korvo->ListBox->Items().LineCount() == files && Korvo->MediaPlayer->DeviceHandle() != 0;
            if (!ready) std::fprintf(stderr, "the playlist or the first file is not there\n");
            Korvo->DirectoryListBox->SetDirPath(smallPath);
            platform::testing::DispatchPending();
        }
        double median = Median(changes);
        std::printf("%-48s %8.4f s  (%.1f times the floor)\n",
                    style == 0 ? "folder change, file-name order" : "folder change, random order", median,
                    median / Median(floor));
        delete Korvo;
        Korvo = nullptr;
    }
    std::filesystem::remove_all(root);
    return 0;
}
