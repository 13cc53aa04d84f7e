#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/kernel/Clock.h"
#include "platform/kernel/Process.h"
#include "platform/win32.h"
#include "tests/support/TempFolder.h"

TEST(Process, ModuleFileNameIsTheExecutableInWindowsForm) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    ASSERT_GT(length, 3u);
    std::string name(path, length);
    EXPECT_EQ(name.substr(1, 2), ":\\");
    EXPECT_TRUE(name.ends_with("\\korvo_platform_kernel_tests")) << name;
    EXPECT_EQ(GetFileAttributesA(name.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    char small[6];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 6u);
    EXPECT_EQ(std::string(small), name.substr(0, 5));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

namespace {

using platform::kernel::ProgramSearch;

// Puts the environment's search back when a test that sets its own ends.
struct SearchGuard {
    explicit SearchGuard(ProgramSearch search) { platform::kernel::SetProgramSearch(std::move(search)); }
    ~SearchGuard() { platform::kernel::SetProgramSearch(std::nullopt); }
};

// A stand-in that writes its name and arguments to `started` in its folder.
std::filesystem::path WriteStandIn(const TempFolder& folder, const std::string& name) {
    const std::string record = (folder.Path() / "started").string();
    auto program = folder.Write(name, "#!/bin/sh\necho \"${0##*/} $*\" > '" + record + ".part' && mv '" + record +
                                          ".part' '" + record + "'\n");
    chmod(program.c_str(), 0755);
    return program;
}

// What a started stand-in wrote, once it has; the record is taken away for the next one.
std::string TakeRecord(const TempFolder& folder) {
    const auto record = folder.Path() / "started";
    for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::string text = std::filesystem::exists(record) ? folder.Read("started") : "(nothing started)";
    std::filesystem::remove(record);
    return text;
}

}  // namespace

TEST(Process, VolumeControlStartsDetachedAndClean) {
    // Our process as it runs the player: SIGTERM and SIGHUP blocked for the session watch, a signal ignored, a
    // variable set after the start, a descriptor without close-on-exec, and a music folder as current directory.
    TempFolder folder;
    folder.Write("descriptor", "OUR DESCRIPTOR\n");
    folder.Write("music-folder-marker", "IN THE MUSIC FOLDER\n");
    int opened = open((folder.Path() / "descriptor").c_str(), O_RDONLY);  // no O_CLOEXEC
    int descriptor = fcntl(opened, F_DUPFD, 200);
    close(opened);
    ASSERT_GE(descriptor, 200);
    // The stand-in copies what it was started with into `started`, through env and sed, which change none of it
    // (a shell would clear the signal mask it was given): its status (blocked and ignored signals, parent,
    // session), its environment, our descriptor and the marker in the folder we are in, if it can read them.
    const std::string record = (folder.Path() / "started").string();
    auto program = folder.Write("bin/pavucontrol", "#!/usr/bin/env -S sed -n w" + record +
                                                       " /proc/self/status /proc/self/environ /proc/self/fd/" +
                                                       std::to_string(descriptor) + " music-folder-marker\nEND\n");
    chmod(program.c_str(), 0755);
    SearchGuard search({(folder.Path() / "bin").string(), ""});
    sigset_t sessionSignals, saved;
    sigemptyset(&sessionSignals);
    sigaddset(&sessionSignals, SIGTERM);
    sigaddset(&sessionSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &sessionSignals, &saved);
    auto oldUsr2 = signal(SIGUSR2, SIG_IGN);
    setenv("KORVO_SET_AFTER_START", "1", 1);
    CurrentDirectoryGuard directory;
    std::filesystem::current_path(folder.Path());

    UINT started = WinExec("SNDVOL32.EXE", SW_SHOWNORMAL);

    close(descriptor);
    unsetenv("KORVO_SET_AFTER_START");
    signal(SIGUSR2, oldUsr2);
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    EXPECT_GT(started, 31u);
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child of ours is left to reap";
    EXPECT_EQ(errno, ECHILD);
    std::string seen;
    for (int i = 0; i < 500 && !seen.ends_with("\nEND\n"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (std::filesystem::exists(record)) seen = folder.Read("started");
    }
    ASSERT_TRUE(seen.ends_with("\nEND\n")) << seen;
    auto field = [&seen](const std::string& name) {
        size_t at = seen.find("\n" + name + ":\t");
        if (at == std::string::npos) return "(no " + name + ")";
        at += name.size() + 3;
        return seen.substr(at, seen.find('\n', at) - at);
    };
    EXPECT_EQ(field("SigBlk"), "0000000000000000");
    EXPECT_EQ(field("SigIgn"), "0000000000000000");
    EXPECT_NE(field("PPid"), std::to_string(getpid()));
    EXPECT_NE(field("NSsid"), std::to_string(getsid(0)));
    EXPECT_NE(seen.find("PATH="), std::string::npos) << "the environment goes along";
    EXPECT_EQ(seen.find("KORVO_SET_AFTER_START"), std::string::npos) << "as the process was started with";
    EXPECT_EQ(seen.find("OUR DESCRIPTOR"), std::string::npos);
    EXPECT_EQ(seen.find("IN THE MUSIC FOLDER"), std::string::npos) << "it starts in the home folder";
}

TEST(Process, VolumeControlPrefersTheDesktopsOwnThenTheFirstMixerThatRuns) {
    TempFolder folder;
    for (const char* name : {"gnome-control-center", "kcmshell5", "mate-volume-control", "pwvucontrol"})
        WriteStandIn(folder, name);
    // Installed but broken: it cannot be run, so the next one is started.
    auto broken = folder.Write("pavucontrol", "not a program\n");
    chmod(broken.c_str(), 0755);
    struct Case {
        std::string desktop, started;
    };
    const Case cases[] = {
        {"ubuntu:GNOME", "gnome-control-center sound\n"},
        {"KDE", "kcmshell5 kcm_pulseaudio\n"},  // the older settings shell when the newer one is missing
        {"mate", "mate-volume-control \n"},
        {"XFCE", "pwvucontrol \n"},
        {"", "pwvucontrol \n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.desktop);
        SearchGuard search({folder.Path().string(), c.desktop});
        EXPECT_GT(WinExec("\"C:\\WINDOWS\\SNDVOL32.EXE\"", SW_SHOWNORMAL), 31u);
        EXPECT_EQ(TakeRecord(folder), c.started);
    }
}

TEST(Process, WithoutAVolumeControlNothingStarts) {
    TempFolder folder;
    WriteStandIn(folder, "pavucontrol");
    {
        SearchGuard search({"", "GNOME"});
        EXPECT_EQ(WinExec("sndvol32.exe", SW_SHOWNORMAL), static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    }
    SearchGuard search({folder.Path().string(), ""});
    EXPECT_EQ(WinExec("C:\\WINDOWS\\NOTEPAD.EXE readme.txt", SW_SHOW), static_cast<UINT>(ERROR_FILE_NOT_FOUND))
        << "only the volume control has a stand-in";
    EXPECT_EQ(WinExec(nullptr, SW_SHOW), static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "started"));
}

namespace {

class FixedClock final : public platform::kernel::ClockSource {
  public:
    std::chrono::nanoseconds Monotonic() override { return std::chrono::milliseconds(4321); }
    std::chrono::system_clock::time_point WallTime() override {
        return std::chrono::system_clock::time_point(std::chrono::milliseconds(1000000000123));
    }
};

}  // namespace

TEST(Clock, PlatformTimeComesFromTheInstalledClock) {
    platform::kernel::SetClockSource(std::make_unique<FixedClock>());
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    DWORD ticks = GetTickCount();
    platform::kernel::SetClockSource(nullptr);

    EXPECT_EQ(ticks, 4321u);
    EXPECT_EQ(utc.wYear, 2001);
    EXPECT_EQ(utc.wHour, 1);
    EXPECT_EQ(utc.wMinute, 46);
    EXPECT_EQ(utc.wSecond, 40);
    EXPECT_EQ(utc.wMilliseconds, 123);
    EXPECT_EQ(utc.wDayOfWeek, 0);  // a Sunday
}
