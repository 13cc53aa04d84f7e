// Profile writes under faults: a folder the user cannot write, a disk that fills half-way, a kill at any moment.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/kernel/ProfileSaves.h"
#include "tests/support/TempFolder.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

DWORD WriteFails(const std::string& file, const char* app, const char* key, const char* value) {
    SetLastError(0);
    return WritePrivateProfileStringA(app, key, value, file.c_str()) ? 0 : GetLastError();
}

ino_t Inode(const fs::path& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? status.st_ino : 0;
}

// Starts the saving program on the file, first with each setting's value of that index, and returns once it is about
// to save, or -1 when it could not be started.
pid_t StartSaving(const std::string& file, int firstValue) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    std::string program = KORVO_PROFILE_SAVE_PROGRAM;
    std::string value = std::to_string(firstValue);
    std::vector<char*> argv = {program.data(), const_cast<char*>(file.c_str()), value.data(), nullptr};
    pid_t child = -1;
    if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) child = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    char ready = 0;
    ssize_t count;
    while ((count = read(pipeFds[0], &ready, 1)) < 0 && errno == EINTR) {
    }
    close(pipeFds[0]);
    if (child > 0 && count != 1) {
        waitpid(child, nullptr, 0);
        child = -1;
    }
    return child;
}

// Whether the bytes are the whole saved file for some choice of value for each setting.
bool IsSavedSettingsFile(const std::string& bytes) {
    for (unsigned choice = 0; choice < (1u << kSavedSettingCount); ++choice) {
        int chosen[kSavedSettingCount];
        for (size_t i = 0; i < kSavedSettingCount; ++i) chosen[i] = (choice >> i) & 1;
        if (SavedSettingsFile(chosen) == bytes) return true;
    }
    return false;
}

}  // namespace

TEST(ProfileFaults, AWritableFileInAFolderTheUserCannotWriteIsRewrittenInPlace) {
    TempFolder folder;
    fs::path file = folder.Write("Korvo.ini", "; Korvo\n[Play]\nStyle=1\n");
    chmod(file.c_str(), 0666);
    chmod(folder.Path().c_str(), 0555);  // no temporary file can be made beside it
    ino_t inode = Inode(file);

    int result = RunWithoutPrivileges(
        [](const std::string& ini) {
            if (WriteFails(ini, "Play", "Style", "2") != 0) return 1;
            if (WriteFails(ini, "Data", "Directory", "C:\\My Documents\\My Music") != 0) return 2;
            // Nor can a new file be made there.
            std::string absent = ini.substr(0, ini.rfind('\\') + 1) + "New.ini";
            if (WriteFails(absent, "Play", "Style", "2") != ERROR_ACCESS_DENIED) return 3;
            // A write that fails half-way (at a file size limit, as on a full disk) puts the old bytes back.
            signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit;
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 80;
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 4;
            if (WriteFails(ini, "Play", "Style", std::string(200, 'x').c_str()) != ERROR_FILE_TOO_LARGE) return 5;
            return 0;
        },
        folder.WindowsPath("Korvo.ini"));
    EXPECT_EQ(result, 0);

    EXPECT_EQ(folder.Read("Korvo.ini"), "; Korvo\n[Play]\nStyle=2\n\n[Data]\nDirectory=C:\\My Documents\\My Music\n");
    EXPECT_EQ(Inode(file), inode);
    struct stat status;
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0666u);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path())) names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"Korvo.ini"});
}

TEST(ProfileFaults, AKillAtAnyMomentLeavesEachSettingOldOrNewAndTheFileWhole) {
    constexpr int kKills = 200;
    TempFolder folder;
    const int firstValues[kSavedSettingCount] = {};
    folder.Write("Korvo.ini", SavedSettingsFile(firstValues));
    const std::string ini = folder.WindowsPath("Korvo.ini");

    // The kills land anywhere in the first two rounds of saves, however fast this disk takes them.
    folder.Write("Timing.ini", SavedSettingsFile(firstValues));
    auto begin = steady_clock::now();
    for (const SavedSetting& setting : kSavedSettings)
        ASSERT_TRUE(WritePrivateProfileStringA(setting.section, setting.key, setting.values[1],
                                               folder.WindowsPath("Timing.ini").c_str()));
    auto round = duration_cast<microseconds>(steady_clock::now() - begin);
    fs::remove(folder.Path() / "Timing.ini");
    microseconds longest = std::min<microseconds>(2 * round, milliseconds(50));  // within the test's time budget

    unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed) + ", one round of saves " + std::to_string(round.count()) + " µs");
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(0, longest.count());
    std::uniform_int_distribution<int> firstValue(0, 1);  // else the file would settle on the first values
    std::set<std::string> seen;
    for (int kill = 0; kill < kKills; ++kill) {
        pid_t child = StartSaving(ini, firstValue(random));
        ASSERT_GT(child, 0) << "the saving program did not start";
        std::this_thread::sleep_for(microseconds(delay(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the saving program ended by itself";

        std::string bytes = folder.Read("Korvo.ini");
        ASSERT_TRUE(IsSavedSettingsFile(bytes)) << "after kill " << kill << " the file is:\n" << bytes;
        seen.insert(bytes);
    }
    // The saves really went on between the kills.
    EXPECT_GE(seen.size(), 4u);
    // A kill between making the temporary file and renaming it leaves that file behind, hidden; nothing else.
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "Korvo.ini" || name.starts_with(".Korvo.ini.")) << name;
    }
}
