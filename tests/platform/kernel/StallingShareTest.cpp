// A file system that stops answering, as a network share does when its server goes away: the FUSE file system of
// the tests' own, mounted in a test folder and then told to stall. Listing the folder that holds it never looks
// into it, and a look into it gives up after about a second with "not ready", an open of a song on it with a read
// failure. Each call is bounded by a limit far beyond that second: a call that would hang the suite fails instead.

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <string>

#include "platform/kernel/Patience.h"
#include "platform/mci/MciSystem.h"
#include "platform/win32.h"
#include "tests/support/TempFolder.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

constexpr auto kLimit = 10s;  // a call that has not returned by then is taken to hang

class StallingShare {
  public:
    explicit StallingShare(const std::filesystem::path& mountPoint) : mountPoint_(mountPoint) {
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string path = mountPoint.string();
        char program[] = KORVO_STALLING_SHARE;
        char* arguments[] = {program, path.data(), nullptr};
        if (posix_spawn(&pid_, program, &actions, nullptr, arguments, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        // "mounted", once the kernel has the file system in place.
        pollfd ready{out[0], POLLIN, 0};
        char said[16] = {};
        mounted_ = pid_ > 0 && poll(&ready, 1, 10000) > 0 && read(out[0], said, sizeof said - 1) > 0 &&
                   std::string(said).starts_with("mounted");
        close(out[0]);
    }
    ~StallingShare() {
        // Killed, the file system's program leaves the kernel to fail whatever still waits for it.
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        umount2(mountPoint_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    void Stall() const { kill(pid_, SIGUSR1); }

  private:
    std::filesystem::path mountPoint_;
    pid_t pid_ = -1;
    bool mounted_ = false;
};

std::map<std::string, DWORD> Search(const std::string& pattern, DWORD& error) {
    std::map<std::string, DWORD> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return found;
    }
    do found[data.cFileName] = data.dwFileAttributes;
    while (FindNextFileA(search, &data));
    error = GetLastError();
    FindClose(search);
    return found;
}

std::string toldOfWait;
void WatchWait(bool waiting) { toldOfWait += waiting ? "busy " : "idle "; }

}  // namespace

TEST(StallingShare, ItsFolderIsListedWithoutALookInAndALookInGivesUpAsNotReady) {
    TempFolder folder;
    folder.MakeFolder("share");
    folder.Write("local.mp3", "x");
    auto share = std::make_unique<StallingShare>(folder.Path() / "share");
    if (!share->Mounted()) GTEST_SKIP() << "this machine cannot mount a FUSE file system";
    const std::string music = folder.WindowsPath("share\\Music");

    // While it answers, it is a folder like another.
    DWORD error = 0;
    EXPECT_EQ(GetFileAttributesA(music.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(Search(music + "\\*.mp3", error).count("song.mp3"), 1u);

    share->Stall();
    // Each call on a thread of the test's, so that one that hangs fails the test rather than holding the suite:
    // the file system is killed before the thread is waited for, and the kernel then lets it go.
    auto bounded = [&share](std::function<void()> call) {
        auto done = std::async(std::launch::async, std::move(call));
        if (done.wait_for(kLimit) == std::future_status::ready) return true;
        share.reset();
        return false;
    };
    std::map<std::string, DWORD> listed;
    ASSERT_TRUE(bounded([&] { listed = Search(folder.WindowsPath("*"), error); })) << "the folder holding it hung";
    EXPECT_EQ(listed["share"], static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY)) << "its kind from the folder's entry";
    EXPECT_EQ(listed["local.mp3"], static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));

    DWORD attributes = 0, attributesError = 0, searchError = 0, changeError = 0;
    ASSERT_TRUE(bounded([&] {
        attributes = GetFileAttributesA(music.c_str());
        attributesError = GetLastError();
    }));
    EXPECT_EQ(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributesError, static_cast<DWORD>(ERROR_NOT_READY));
    ASSERT_TRUE(bounded([&] { Search(music + "\\*.mp3", searchError); }));
    EXPECT_EQ(searchError, static_cast<DWORD>(ERROR_NOT_READY));
    CurrentDirectoryGuard stay;
    // The wait is told of while it lasts, so that the window can show the busy cursor, and its end too.
    platform::kernel::WatchLongWaits(&WatchWait);
    ASSERT_TRUE(bounded([&] {
        if (!SetCurrentDirectoryA(music.c_str())) changeError = GetLastError();
    }));
    platform::kernel::WatchLongWaits(nullptr);
    EXPECT_EQ(changeError, static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(toldOfWait, "busy idle ");

    // A song listed before the share went away and opened after: a failure to read it, not a window held.
    const std::string song = music + "\\song.mp3";
    MCI_OPEN_PARMSA open{};
    open.lpstrElementName = song.c_str();
    MCIERROR openError = 0;
    std::string noOutput;
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", 44100, {}}, noOutput)) << noOutput;
    ASSERT_TRUE(bounded([&] {
        openError = mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open));
    }));
    EXPECT_EQ(openError, static_cast<MCIERROR>(MCIERR_FILE_READ));
}
