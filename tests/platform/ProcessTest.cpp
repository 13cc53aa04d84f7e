#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/kernel/Clock.h"
#include "platform/win32.h"
#include "tests/support/TempFolder.h"

TEST(Process, ModuleFileNameIsTheExecutableInWindowsForm) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    ASSERT_GT(length, 3u);
    std::string name(path, length);
    EXPECT_EQ(name.substr(1, 2), ":\\");
    EXPECT_TRUE(name.ends_with("\\korvo_platform_tests")) << name;
    EXPECT_EQ(GetFileAttributesA(name.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    char small[6];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 6u);
    EXPECT_EQ(std::string(small), name.substr(0, 5));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Process, VolumeControlStartsItsDesktopCounterpartWithoutAShell) {
    TempFolder folder;
    auto marker = folder.Path() / "started";
    auto program = folder.Write("bin/pavucontrol", "#!/bin/sh\necho \"$0 $#\" > '" + marker.string() + "'\n");
    chmod(program.c_str(), 0755);
    const char* oldPath = getenv("PATH");
    std::string saved = oldPath ? oldPath : "";
    setenv("PATH", (folder.Path() / "bin").c_str(), 1);

    UINT started = WinExec("SNDVOL32.EXE", SW_SHOW);
    UINT unknown = WinExec("C:\\WINDOWS\\NOTEPAD.EXE readme.txt", SW_SHOW);
    setenv("PATH", saved.c_str(), 1);

    EXPECT_GT(started, 31u);
    EXPECT_EQ(unknown, static_cast<UINT>(ERROR_FILE_NOT_FOUND));
    for (int i = 0; i < 200 && !std::filesystem::exists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(folder.Read("started"), program.string() + " 0\n");  // no arguments
}

TEST(Process, VolumeControlMissingStartsNothing) {
    TempFolder folder;
    const char* oldPath = getenv("PATH");
    std::string saved = oldPath ? oldPath : "";
    setenv("PATH", folder.Path().c_str(), 1);
    UINT result = WinExec("sndvol32.exe", SW_SHOW);
    setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(result, static_cast<UINT>(ERROR_FILE_NOT_FOUND));
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
