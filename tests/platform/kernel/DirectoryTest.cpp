#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/kernel/Paths.h"
#include "platform/testing/FakeVolumes.h"
#include "platform/win32.h"
#include "tests/support/TempFolder.h"

using platform::kernel::ResolvePath;
using platform::kernel::WindowsPathOf;

namespace {

std::string Current() {
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return std::string(buffer, length);
}

std::string Resolve(const std::string& path) {
    std::string posix;
    DWORD error = 0;
    return ResolvePath(path, posix, error) ? posix : "error " + std::to_string(error);
}

DWORD ChangeFails(const char* path) {
    SetLastError(0);
    return SetCurrentDirectoryA(path) ? 0 : GetLastError();
}

// Points HOME and the XDG user folders at a test folder for the life of the object.
class UserFolders {
  public:
    UserFolders(const TempFolder& folder, bool withDocuments) {
        Save("HOME");
        Save("XDG_CONFIG_HOME");
        setenv("HOME", folder.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder.Path() / "config").c_str(), 1);
        folder.Write("config/user-dirs.dirs",
                     "# written by the desktop\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\nXDG_MUSIC_DIR=\"$HOME/Musik\"\n");
        if (withDocuments) folder.MakeFolder("Dokumente");
        folder.MakeFolder("Musik/Jazz");
    }
    ~UserFolders() {
        for (auto& [name, value] : saved_) value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }

  private:
    void Save(const char* name) {
        const char* value = getenv(name);
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

}  // namespace

TEST(Paths, WindowsFormsResolveAgainstTheCurrentDirectory) {
    CurrentDirectoryGuard guard;
    TempFolder folder;
    folder.MakeFolder("Music/Jazz");
    ASSERT_TRUE(SetCurrentDirectoryA(folder.WindowsPath("Music").c_str()));
    const std::string music = (folder.Path() / "Music").string();

    EXPECT_EQ(Resolve("C:\\"), "/");
    EXPECT_EQ(Resolve("c:/usr/share"), "/usr/share");
    EXPECT_EQ(Resolve("Jazz"), music + "/Jazz");
    EXPECT_EQ(Resolve(".\\Jazz\\..\\Jazz\\."), music + "/Jazz");
    EXPECT_EQ(Resolve("..\\Music"), music);
    EXPECT_EQ(Resolve("\\usr"), "/usr");
    EXPECT_EQ(Resolve("C:Jazz"), music + "/Jazz");  // drive-relative to the current directory of C:
    EXPECT_EQ(Resolve("C:\\..\\..\\usr"), "/usr");  // ".." stops at the root
    EXPECT_EQ(Resolve(""), "error 3");
    EXPECT_EQ(Resolve("Q:\\x"), "error 3");
    // Every character but the separators is a name's: wildcards, colons after the drive, carried characters.
    EXPECT_EQ(Resolve("C:\\a*b\\Disc 1: Live?\\x\uF05Cy\uF00Az"), "/a*b/Disc 1: Live?/x\\y\nz");
    EXPECT_EQ(WindowsPathOf("/a*b/x\\y\nz"), "C:\\a*b\\x\uF05Cy\uF00Az");
    // "B: Side.mp3" is an entry of the current directory when there is one, and otherwise drive-relative.
    folder.Write("Music/B: Side.mp3", "x");
    EXPECT_EQ(Resolve("B: Side.mp3"), music + "/B: Side.mp3");
    EXPECT_EQ(Resolve("C: Side.mp3"), music + "/ Side.mp3");
    EXPECT_EQ(Resolve("\\\\nowhere\\share\\x"), "error 53");
    EXPECT_EQ(WindowsPathOf(music + "/Jazz"), folder.WindowsPath("Music\\Jazz"));
    EXPECT_EQ(WindowsPathOf("/"), "C:\\");
}

TEST(Paths, ShellFoldersResolveToTheUsersFolders) {
    TempFolder folder;
    UserFolders users(folder, true);
    const std::string home = folder.Path().string();

    EXPECT_EQ(Resolve("c:\\My Documents"), home + "/Dokumente");
    EXPECT_EQ(Resolve("C:\\MY DOCUMENTS\\my music\\Jazz"), home + "/Musik/Jazz");
    // Walking there one folder at a time reaches the same place.
    EXPECT_EQ(Resolve(folder.WindowsPath("Dokumente") + "\\My Music"), home + "/Musik");
    EXPECT_EQ(GetFileAttributesA("c:\\My Documents\\My Music") & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));

    CurrentDirectoryGuard guard;
    ASSERT_TRUE(SetCurrentDirectoryA("c:\\My Documents\\My Music"));
    EXPECT_EQ(Current(), folder.WindowsPath("Musik"));  // reads back as the real path
}

TEST(Paths, MissingDocumentsFolderFallsBackToHome) {
    TempFolder folder;
    UserFolders users(folder, false);
    EXPECT_EQ(Resolve("C:\\My Documents"), folder.Path().string());
    EXPECT_EQ(Resolve("C:\\My Documents\\My Music"), folder.Path().string() + "/Musik");
}

TEST(CurrentDirectory, ChangesReadBackAndReportWindowsErrors) {
    CurrentDirectoryGuard guard;
    TempFolder folder;
    folder.MakeFolder("Music");
    folder.Write("song.mp3", "x");
    ASSERT_TRUE(SetCurrentDirectoryA(folder.WindowsPath("Music\\").c_str()));
    EXPECT_EQ(Current(), folder.WindowsPath("Music"));  // no trailing separator except at a root
    ASSERT_TRUE(SetCurrentDirectoryA(".."));
    EXPECT_EQ(Current(), folder.WindowsPath());

    EXPECT_EQ(ChangeFails("Missing"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ChangeFails("Missing\\Deeper"), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(ChangeFails("song.mp3"), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_EQ(ChangeFails(""), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Current(), folder.WindowsPath());  // failures leave the directory where it was

    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_EQ(Current(), "C:\\");
}

TEST(CurrentDirectory, BufferTooSmallReportsTheSizeNeeded) {
    CurrentDirectoryGuard guard;
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\usr"));
    char buffer[8] = "unset";
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), 7u);
    EXPECT_EQ(GetCurrentDirectoryA(6, buffer), 7u);
    EXPECT_STREQ(buffer, "unset");
    EXPECT_EQ(GetCurrentDirectoryA(7, buffer), 6u);
    EXPECT_STREQ(buffer, "C:\\usr");
}

TEST(CurrentDirectory, RemovedDirectoryReadsBackAsTheLastOne) {
    CurrentDirectoryGuard guard;
    TempFolder folder;
    auto doomed = folder.MakeFolder("doomed");
    ASSERT_TRUE(SetCurrentDirectoryA(folder.WindowsPath("doomed").c_str()));
    std::filesystem::remove(doomed);
    EXPECT_EQ(Current(), folder.WindowsPath("doomed"));
}

TEST(CurrentDirectory, EachDriveRemembersItsOwnDirectory) {
    CurrentDirectoryGuard guard;
    TempFolder folder;
    folder.MakeFolder("d/Albums/One");
    folder.MakeFolder("f");
    platform::testing::Volume d, cd;
    d.letter = 'D';
    d.mountPoint = (folder.Path() / "d").string();
    cd.letter = 'F';
    cd.mountPoint = (folder.Path() / "f").string();
    cd.driveType = DRIVE_CDROM;
    cd.ready = false;
    platform::testing::FakeVolumeTable table({platform::testing::RootVolume(), d, cd});

    ASSERT_TRUE(SetCurrentDirectoryA("d:"));
    EXPECT_EQ(Current(), "D:\\");  // the root the first time
    ASSERT_TRUE(SetCurrentDirectoryA("Albums\\One"));
    EXPECT_EQ(Current(), "D:\\Albums\\One");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\usr"));
    EXPECT_EQ(Resolve("D:.."), d.mountPoint + "/Albums");
    ASSERT_TRUE(SetCurrentDirectoryA("D:"));
    EXPECT_EQ(Current(), "D:\\Albums\\One");
    ASSERT_TRUE(SetCurrentDirectoryA("C:"));
    EXPECT_EQ(Current(), "C:\\usr");
    // The mount point's own folder maps back to the drive, not to C:.
    ASSERT_TRUE(SetCurrentDirectoryA(WindowsPathOf(d.mountPoint).c_str()));
    EXPECT_EQ(Current(), "D:\\");

    // A remembered folder removed since gives way to its nearest parent that still exists.
    ASSERT_TRUE(SetCurrentDirectoryA("D:\\Albums\\One"));
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\usr"));
    std::filesystem::remove(folder.Path() / "d/Albums/One");
    ASSERT_TRUE(SetCurrentDirectoryA("D:"));
    EXPECT_EQ(Current(), "D:\\Albums");

    EXPECT_EQ(ChangeFails("F:"), static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(ChangeFails("F:\\Music"), static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(ChangeFails("Q:"), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}
