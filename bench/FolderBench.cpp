// A whole folder becoming the playlist, at folder scale, on the headless display with the real clock:
//   1. a folder of N files that match the player's mask (made once in a temporary folder, with a few that do not);
//   2. the file list reading it (Rescan) and the playlist, a sorted list box, taking its lines (CopyLinesFrom),
//      as the player does on every change of folder, against the floor: a bare scandir, the mask's wildcard match
//      and a sort of the same names, in the same run;
//   3. drawing a 641-pixel-high playlist of N lines and of 100 lines, scrolling it by the wheel and dragging its
//      thumb from top to bottom, each the same amount of work for both lists.
// Prints the median of five runs of each measurement, wall and CPU.
//   korvo_bench_folder [files]      (100000 when not given)

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/BareFolderRead.h"
#include "browse/FileListBox.h"
#include "controls/ListBox.h"
#include "frame/Forms.h"
#include "platform/testing/Desktop.h"

namespace {

constexpr const char* kMask = "*.mp3;*.wav;*.aif;*.au;*.mid";
constexpr int kRuns = 5;

struct Reading {
    double wall;
    double cpu;
};

Reading Measure(const std::function<void()>& work) {
    std::vector<Reading> readings;
    for (int run = 0; run < kRuns; ++run) {
        auto wall = std::chrono::steady_clock::now();
        std::clock_t cpu = std::clock();
        work();
        readings.push_back({std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count(),
                            static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC});
    }
    std::sort(readings.begin(), readings.end(), [](const Reading& a, const Reading& b) { return a.wall < b.wall; });
    return readings[kRuns / 2];
}

void Print(const char* what, Reading reading) {
    std::printf("%-46s %8.4f s (CPU %.4f s)\n", what, reading.wall, reading.cpu);
}

std::filesystem::path MakeFolder(int files) {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("korvo-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    static const char* const extensions[] = {".mp3", ".MP3", ".wav", ".mid", ".aif", ".au"};
    for (int i = 0; i < files; ++i) {
        // Names in the order a shuffled folder has them, as a directory's entries seldom come sorted.
        int n = static_cast<int>((static_cast<long long>(i) * 7919) % files);
        std::string name = "曲 " + std::to_string(n) + " - Track" + extensions[n % 6];
        std::ofstream(folder / name).put('x');
    }
    for (int i = 0; i < files / 100; ++i) std::ofstream(folder / ("cover " + std::to_string(i) + ".jpg")).put('x');
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::max(200, std::atoi(argv[1])) : 100000;
    platform::testing::UseHeadlessDisplay();
    std::filesystem::path folder = MakeFolder(files);

    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 400, 700);
    auto* fileList = new TFileListBox(form);
    fileList->SetParent(form);
    fileList->SetVisible(false);
    fileList->SetMask(kMask);
    auto* playlist = new TListBox(form);
    playlist->SetParent(form);
    playlist->SetSorted(true);
    playlist->SetBounds(8, 8, 300, 645);
    form->Show();
    platform::testing::DispatchPending();

    // The first change of folder reads it; later runs read it again, as the player's Rescan does.
    fileList->SetDirPath(folder.string());
    size_t bare = 0;
    Reading floor = Measure([&] { bare = BareFolderRead(folder.string(), kMask); });
    Reading read = Measure([&] {
        fileList->Rescan();
        playlist->SetItems(fileList->Items());
    });
    Reading rescan = Measure([&] { fileList->Rescan(); });
    Reading copy = Measure([&] { playlist->SetItems(fileList->Items()); });
    std::printf("%d matching files (bare read found %zu, playlist holds %d)\n", files, bare,
                playlist->Items().LineCount());
    Print("scandir + wildcard match + sort", floor);
    Print("Rescan + CopyLinesFrom into a sorted list box", read);
    Print("  Rescan alone", rescan);
    Print("  CopyLinesFrom alone", copy);
    std::printf("%-46s %8.2f\n", "ratio", read.wall / floor.wall);

    RECT client = playlist->ClientRect();
    HWND window = playlist->Handle();
    auto paint = [&] {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    };
    auto wheel = [&] {
        // Ten notches down and back up: thirty lines each way, which both lists have room for.
        for (int step = 0; step < 20; ++step) {
            platform::testing::Wheel(window, 50, 50, step < 10 ? -1 : 1);
            platform::testing::DispatchPending();
        }
    };
    auto drag = [&] {
        // The thumb taken at the top, dragged to the bottom and back, and let go: the scroll bar's own loop takes
        // the moves, and the list is drawn where they left it.
        playlist->SetTopIndex(0);
        platform::testing::DispatchPending();
        int x = client.right + GetSystemMetrics(SM_CXVSCROLL) / 2;
        platform::testing::MouseDown(window, x, 20);
        for (int step = 1; step <= 40; ++step)
            platform::testing::MouseMove(window, x, 20 + (step <= 20 ? step : 40 - step) * (client.bottom - 40) / 20);
        platform::testing::MouseUp(window, x, 20);
        platform::testing::DispatchPending();
    };
    auto steps = [&] {
        // What each step of a drag costs the list: a new first line, drawn at once.
        // Down to the last full page and back, so that every step moves the list.
        int room = playlist->Items().LineCount() - client.bottom / playlist->ItemHeight();
        for (int step = 0; step <= 40; ++step) {
            playlist->SetTopIndex((step <= 20 ? step : 40 - step) * room / 20);
            UpdateWindow(window);
        }
    };
    playlist->SetItemIndex(playlist->Items().LineCount() / 2);
    std::printf("\n%ld-pixel-high playlist\n", static_cast<long>(client.bottom));
    Reading paintMany = Measure(paint), wheelMany = Measure(wheel), dragMany = Measure(drag), stepsMany = Measure(steps);

    TStringList few;
    for (int i = 0; i < 100; ++i) few.AppendLine(playlist->Items().LineText(i));
    playlist->SetItems(few);
    playlist->SetItemIndex(50);
    Reading paintFew = Measure(paint), wheelFew = Measure(wheel), dragFew = Measure(drag), stepsFew = Measure(steps);
    std::printf("%-22s %14s %14s\n", "", (std::to_string(files) + " lines").c_str(), "100 lines");
    std::printf("%-22s %12.5f s %12.5f s\n", "repaint", paintMany.wall, paintFew.wall);
    std::printf("%-22s %12.5f s %12.5f s\n", "20 wheel notches", wheelMany.wall, wheelFew.wall);
    std::printf("%-22s %12.5f s %12.5f s\n", "thumb drag, 40 moves", dragMany.wall, dragFew.wall);
    std::printf("%-22s %12.5f s %12.5f s\n", "41 scroll-and-paint", stepsMany.wall, stepsFew.wall);

    delete form;
    std::filesystem::remove_all(folder);
    return 0;
}
