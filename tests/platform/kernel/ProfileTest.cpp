#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/kernel/Paths.h"
#include "platform/win32.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const std::string& file, const char* app, const char* key, const char* fallback = "default") {
    char buffer[256];
    DWORD count = GetPrivateProfileStringA(app, key, fallback, buffer, sizeof buffer, file.c_str());
    return std::string(buffer, count);
}

// 0 when the write succeeded, else the last error it set.
DWORD WriteFails(const std::string& file, const char* app, const char* key, const char* value) {
    SetLastError(0);
    return WritePrivateProfileStringA(app, key, value, file.c_str()) ? 0 : GetLastError();
}

// Every name in the folder, so that a test sees a temporary file left behind.
std::vector<std::string> Names(const TempFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t Permissions(const fs::path& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

}  // namespace

TEST(Profile, WhatCannotBeReadGivesTheDefault) {
    TempFolder folder;
    folder.MakeFolder("folder.ini");
    ASSERT_EQ(mkfifo((folder.Path() / "fifo.ini").c_str(), 0600), 0);

    EXPECT_EQ(Read(folder.WindowsPath("folder.ini"), "S", "k"), "default");
    EXPECT_EQ(Read(folder.WindowsPath("fifo.ini"), "S", "k"), "default");  // no writer: must not wait for one
    EXPECT_EQ(Read("C:\\dev\\zero", "S", "k"), "default");                 // endless: must not read it all
    EXPECT_EQ(Read(folder.WindowsPath("missing.ini"), "S", nullptr), "") << "an empty list, not the default";

    char buffer[16];
    EXPECT_EQ(GetPrivateProfileStringA("S", "k", "d", buffer, sizeof buffer, nullptr), 1u);
    EXPECT_EQ(GetPrivateProfileStringA("S", "k", "d", buffer, sizeof buffer, "Q:\\no drive.ini"), 1u);
}

TEST(Profile, AFileWithoutReadPermissionGivesTheDefaultAndIsNeverOverwritten) {
    TempFolder folder;
    fs::path file = folder.Write("locked.ini", "[S]\nk=v\n");
    chmod(folder.Path().c_str(), 0777);  // the folder itself is open, so only the unreadable file stands in the way
    chmod(file.c_str(), 0);
    int result = RunWithoutPrivileges(
        [](const std::string& path) {
            bool readDefault = Read(path, "S", "k") == "default";
            DWORD error = WriteFails(path, "S", "k", "w");
            return readDefault && error == ERROR_ACCESS_DENIED ? 0 : 1;
        },
        folder.WindowsPath("locked.ini"));
    EXPECT_EQ(result, 0);
    chmod(file.c_str(), 0600);
    EXPECT_EQ(folder.Read("locked.ini"), "[S]\nk=v\n");
    EXPECT_EQ(Names(folder), std::vector<std::string>{"locked.ini"});
}

TEST(Profile, OnlyTheFirstSixteenMegabytesOfAFileCount) {
    TempFolder folder;
    fs::path file = folder.Write("huge.ini", "[S]\nk=v\n");
    fs::resize_file(file, 17 << 20);  // zeros after the text, without writing them
    std::string tail = "\n[T]\nk=beyond\n";
    int fd = open(file.c_str(), O_WRONLY | O_APPEND);
    ASSERT_EQ(write(fd, tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
    close(fd);
    auto before = fs::file_size(file);

    EXPECT_EQ(Read(folder.WindowsPath("huge.ini"), "S", "k"), "v");
    EXPECT_EQ(Read(folder.WindowsPath("huge.ini"), "T", "k"), "default");
    // Writing it back would lose the rest, so the write is refused.
    EXPECT_EQ(WriteFails(folder.WindowsPath("huge.ini"), "S", "k", "w"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(fs::file_size(file), before);
    EXPECT_EQ(Read(folder.WindowsPath("huge.ini"), "S", "k"), "v");
}

TEST(Profile, WritesCreateTheFileAndReadBack) {
    TempFolder folder;
    const std::string file = folder.WindowsPath("Korvo.ini");
    mode_t saved = umask(027);
    EXPECT_EQ(WriteFails(file, "File", "Mask", "*.mp3;*.wav"), 0u);
    umask(saved);
    EXPECT_EQ(WriteFails(file, "Play", "Style", "2"), 0u);
    EXPECT_EQ(WriteFails(file, "Data", "Directory", "c:\\My Documents\\My Music"), 0u);
    EXPECT_EQ(WriteFails(file, "play", "STYLE", "0"), 0u);
    EXPECT_EQ(WriteFails(file, "Play", "Repeat", ""), 0u);

    EXPECT_EQ(folder.Read("Korvo.ini"),
              "[File]\nMask=*.mp3;*.wav\n\n[Play]\nStyle=0\nRepeat=\n\n[Data]\nDirectory=c:\\My Documents\\My Music\n");
    EXPECT_EQ(Permissions(folder.Path() / "Korvo.ini"), 0640u);
    EXPECT_EQ(Names(folder), std::vector<std::string>{"Korvo.ini"});
    EXPECT_EQ(WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str()), TRUE);  // nothing to flush

    // A relative name is relative to the current directory.
    CurrentDirectoryGuard guard;
    ASSERT_TRUE(SetCurrentDirectoryA(folder.WindowsPath().c_str()));
    EXPECT_EQ(WriteFails("Korvo.ini", "Play", "Style", "1"), 0u);
    EXPECT_EQ(Read(file, "Play", "Style"), "1");
}

TEST(Profile, WritesKeepEveryOtherByteOfTheFile) {
    TempFolder folder;
    const std::string original =
        "\xEF\xBB\xBF; Korvo\r\n[Play]\r\nStyle = 1  ; two\r\nunknown line\r\n\r\n[File]\r\nMask=*.mp3\r\n\xFF\x01";
    fs::path file = folder.Write("Korvo.ini", original);
    chmod(file.c_str(), 0604);

    EXPECT_EQ(WriteFails(folder.WindowsPath("Korvo.ini"), "PLAY", "style", "2"), 0u);
    EXPECT_EQ(WriteFails(folder.WindowsPath("Korvo.ini"), "Play", "Repeat", "1"), 0u);
    EXPECT_EQ(folder.Read("Korvo.ini"),
              "\xEF\xBB\xBF; Korvo\r\n[Play]\r\nStyle = 2\r\nunknown line\r\nRepeat=1\r\n\r\n[File]\r\nMask=*.mp3\r\n"
              "\xFF\x01");
    EXPECT_EQ(Permissions(file), 0604u);

    // Through a symbolic link, the link stays and its target changes.
    fs::create_symlink("Korvo.ini", folder.Path() / "link.ini");
    EXPECT_EQ(WriteFails(folder.WindowsPath("link.ini"), "File", "Mask", "*.wav"), 0u);
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "link.ini"));
    EXPECT_EQ(Read(folder.WindowsPath("Korvo.ini"), "File", "Mask"), "*.wav");
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"Korvo.ini", "link.ini"}));
}

namespace {

// A group of this process's other than its own, or nothing.
std::optional<gid_t> SecondGroup() {
    std::vector<gid_t> groups(static_cast<size_t>(std::max(getgroups(0, nullptr), 0)));
    groups.resize(static_cast<size_t>(std::max(getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    for (gid_t group : groups)
        if (group != getegid()) return group;
    return std::nullopt;
}

// Gives a settings file in the folder to the writer's second group and saves into it: 0 when the file keeps that
// group, its content saved; no privilege is needed for either step.
int SaveKeepsTheGroup(const std::string& folder) {
    const std::optional<gid_t> second = SecondGroup();
    if (!second) return 1;
    const fs::path file = fs::path(folder) / "group.ini";
    std::ofstream(file) << "[Play]\nRepeat=1\n";
    if (chown(file.c_str(), static_cast<uid_t>(-1), *second) != 0) return 2;
    const std::string path = platform::kernel::WindowsPathOf(file.string());
    if (!WritePrivateProfileStringA("Play", "Repeat", "0", path.c_str())) return 3;
    struct stat status;
    if (stat(file.c_str(), &status) != 0 || status.st_gid != *second) return 4;
    return Read(path, "Play", "Repeat") == "0" ? 0 : 5;
}

}  // namespace

TEST(Profile, ASavedFileKeepsItsOwnerAndGroup) {
    TempFolder folder;
    chmod(folder.Path().c_str(), 0777);  // open to the unprivileged writer below
    if (geteuid() != 0) {
        // A user can give a file to another group of their own, but to no other owner: only the group is tested.
        if (!SecondGroup()) GTEST_SKIP() << "this user belongs to one group only, so no file can change hands";
        EXPECT_EQ(SaveKeepsTheGroup(folder.Path().string()), 0);
        return;
    }
    // The superuser saving a user's settings leaves the file with the user.
    fs::path file = folder.Write("Korvo.ini", "[Play]\nRepeat=1\n");
    chmod(file.c_str(), 0604);
    ASSERT_EQ(chown(file.c_str(), 65534, 65534), 0);
    EXPECT_EQ(WriteFails(folder.WindowsPath("Korvo.ini"), "Play", "Repeat", "0"), 0u);
    struct stat status;
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
    EXPECT_EQ(Permissions(file), 0604u);
    EXPECT_EQ(folder.Read("Korvo.ini"), "[Play]\nRepeat=0\n");
    // And a user without privileges in two groups, as a contributor runs the tests.
    EXPECT_EQ(RunWithoutPrivileges(SaveKeepsTheGroup, folder.Path().string(), {100}), 0);
}

TEST(Profile, RemovalsTakeKeysAndSectionsAndTouchNothingWhenAbsent) {
    TempFolder folder;
    const std::string file = folder.WindowsPath("Korvo.ini");
    folder.Write("Korvo.ini", "[A]\na=1\nb=2\n\n[B]\nc=3\n");

    EXPECT_EQ(WriteFails(file, "a", "A", nullptr), 0u);
    EXPECT_EQ(folder.Read("Korvo.ini"), "[A]\nb=2\n\n[B]\nc=3\n");
    EXPECT_EQ(WriteFails(file, "b", nullptr, "ignored"), 0u);
    EXPECT_EQ(folder.Read("Korvo.ini"), "[A]\nb=2\n\n");

    // Removing what is not there succeeds without writing, even where a write would fail.
    chmod((folder.Path() / "Korvo.ini").c_str(), 0444);
    EXPECT_EQ(WriteFails(file, "A", "missing", nullptr), 0u);
    EXPECT_EQ(WriteFails(file, "missing", nullptr, nullptr), 0u);
    EXPECT_EQ(WriteFails(folder.WindowsPath("absent.ini"), "A", "a", nullptr), 0u);
    EXPECT_EQ(WriteFails(folder.WindowsPath("absent.ini"), "A", nullptr, nullptr), 0u);
    EXPECT_EQ(Names(folder), std::vector<std::string>{"Korvo.ini"});
}

TEST(Profile, FailedWritesLeaveTheOldFileAsItWas) {
    TempFolder folder;
    const std::string original = "[Play]\nStyle=1\n";
    fs::path file = folder.Write("Korvo.ini", original);
    folder.MakeFolder("folder.ini");
    const std::string ini = folder.WindowsPath("Korvo.ini");

    chmod(file.c_str(), 0444);  // read-only holds for the superuser too, as it does on Windows
    EXPECT_EQ(WriteFails(ini, "Play", "Style", "2"), ERROR_ACCESS_DENIED);
    chmod(file.c_str(), 0644);
    EXPECT_EQ(WriteFails(folder.WindowsPath("folder.ini"), "Play", "Style", "2"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(WriteFails(folder.WindowsPath("no folder\\Korvo.ini"), "Play", "Style", "2"), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(WriteFails(folder.WindowsPath("Korvo.ini\\x.ini"), "Play", "Style", "2"), ERROR_PATH_NOT_FOUND);

    // Values and names that would break the file's structure.
    EXPECT_EQ(WriteFails(ini, "Play", "Style", "2\r\n[Evil]"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WriteFails(ini, "Play", "Style", "2\n"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WriteFails(ini, "Play", "Sty=le", "2"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WriteFails(ini, "Pl]ay", "Style", "2"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WriteFails(ini, "  ", "Style", "2"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WriteFails(ini, nullptr, "Style", "2"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WriteFails(ini, "Play", "", "2"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WritePrivateProfileStringA("Play", "Style", "2", nullptr), FALSE);

    // A write that fails half-way (here at a file size limit, as a full disk would) leaves no trace either.
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    auto* previous = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    DWORD error = WriteFails(ini, "Play", "Style", std::string(1000, 'x').c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_NE(error, 0u);

    EXPECT_EQ(folder.Read("Korvo.ini"), original);
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"Korvo.ini", "folder.ini"}));
}
