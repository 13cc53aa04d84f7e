// A move of the directory list into a folder of N subfolders, on the headless display with the real clock: the
// list reads the subfolders, sorts them and shows them under the levels of the path, timed from the assignment
// until it has returned, against a bare scandir of the folder, its subfolders kept and sorted, in the same run.
// Prints the median of five runs.
//   korvo_bench_directory_list [folders]      (50000 when not given)

#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "browse/DirectoryListBox.h"
#include "frame/Forms.h"
#include "platform/kernel/Paths.h"
#include "platform/testing/Desktop.h"

namespace {

constexpr int kRuns = 5;

double Median(const std::function<void()>& work, const std::function<void()>& between = {}) {
    std::vector<double> seconds;
    for (int run = 0; run < kRuns; ++run) {
        auto begin = std::chrono::steady_clock::now();
        work();
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
        if (between) between();
    }
    std::sort(seconds.begin(), seconds.end());
    return seconds[kRuns / 2];
}

size_t BareSubfolders(const std::string& folder) {
    dirent** entries = nullptr;
    int count = scandir(folder.c_str(), &entries, nullptr, nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        std::string_view name = entries[i]->d_name;
        if (entries[i]->d_type == DT_DIR && name != "." && name != "..") names.emplace_back(name);
        std::free(entries[i]);
    }
    std::free(entries);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    return names.size();
}

}  // namespace

int main(int argc, char** argv) {
    const int folders = argc > 1 ? std::max(10, std::atoi(argv[1])) : 50000;
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("korvo-bench-" + std::to_string(getpid()));
    const std::filesystem::path big = root / "big";
    for (int i = 0; i < folders; ++i) {
        // Names in the order of a folder whose subfolders were made over the years, not in sorted order.
        int n = static_cast<int>((static_cast<long long>(i) * 7919) % folders);
        std::filesystem::create_directories(big / ("アルバム " + std::to_string(n)));
    }
    platform::testing::UseHeadlessDisplay();
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 400, 700);
    auto* list = new TDirectoryListBox(form);
    list->SetParent(form);
    list->SetBounds(8, 8, 300, 645);
    form->Show();
    platform::testing::DispatchPending();

    const std::string rootPath = platform::kernel::WindowsPathOf(root.string());
    const std::string bigPath = platform::kernel::WindowsPathOf(big.string());
    list->SetDirPath(rootPath);
    size_t bare = 0;
    const double floor = Median([&] { bare = BareSubfolders(big.string()); });
    const double move = Median([&] { list->SetDirPath(bigPath); },
                               [&] {
                                   list->SetDirPath(rootPath);
                                   platform::testing::DispatchPending();
                               });
    list->SetDirPath(bigPath);
    std::printf("%d subfolders (bare read found %zu, the list holds %d lines)\n", folders, bare,
                list->Items().LineCount());
    std::printf("%-44s %8.4f s\n", "scandir + subfolders kept + sort", floor);
    std::printf("%-44s %8.4f s  (%.1f times the floor)\n", "the directory list moving into the folder", move,
                move / floor);
    delete form;
    std::filesystem::remove_all(root);
    return 0;
}
