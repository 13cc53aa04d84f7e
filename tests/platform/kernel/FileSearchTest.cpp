#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "platform/kernel/Names.h"
#include "platform/testing/FakeVolumes.h"
#include "platform/win32.h"
#include "tests/support/FileSearches.h"
#include "tests/support/TempFolder.h"

namespace {

using Strings = std::vector<std::string>;

}  // namespace

TEST(FileSearch, MasksFoldCaseBeyondAsciiAndTakeEveryCharacterAsWritten) {
    TempFolder folder;
    for (const char* name : {"b.MP3", "a.wav", "c.txt", "Song.Mp3", "noext", "x.mp3.bak"}) folder.Write(name, "data");
    const std::string base = folder.WindowsPath() + "\\";

    EXPECT_EQ(Names(Search(base + "?.*")), (Strings{".", "..", "a.wav", "b.MP3", "c.txt", "x.mp3.bak"}));
    EXPECT_EQ(Names(Search(base + "*.mp3")), (Strings{"Song.Mp3", "b.MP3"})) << "an extension is not a name's middle";
    EXPECT_EQ(Names(Search(base + "*.")), (Strings{"noext"})) << "neither \".\" nor \"..\" is a name without one";

    // The Kelvin sign folds to a plain k, so a name ending in it matches a pattern ending in k.
    folder.Write("kelvin.\u212A", "data");
    folder.Write("plain.k", "data");
    EXPECT_EQ(Names(Search(base + "*.K")), (Strings{"kelvin.\u212A", "plain.k"}));

    DWORD error = 0;
    EXPECT_TRUE(Search(base + " *.mp3", &error).empty());  // a leading blank is part of the pattern
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(FileSearch, AttributesFollowTheEntryKind) {
    TempFolder folder;
    folder.Write("plain.mp3", "12345");
    folder.Write(".hidden.mp3", "x");
    folder.MakeFolder("folder.mp3");
    auto locked = folder.Write("locked.mp3", "x");
    chmod(locked.c_str(), 0444);
    ASSERT_EQ(mkfifo((folder.Path() / "pipe.mp3").c_str(), 0600), 0);
    ASSERT_EQ(symlink("nowhere", (folder.Path() / "dangling.mp3").c_str()), 0);
    ASSERT_EQ(symlink("plain.mp3", (folder.Path() / "link.mp3").c_str()), 0);

    auto found = Search(folder.WindowsPath("*.mp3"));
    EXPECT_EQ(found["plain.mp3"], static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(found["link.mp3"], static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));  // a link is what it points to
    EXPECT_EQ(found[".hidden.mp3"], static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(found["folder.mp3"], static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(found["locked.mp3"], static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(found["pipe.mp3"] & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(found["dangling.mp3"] & FILE_ATTRIBUTE_SYSTEM);

    auto dots = Search(folder.WindowsPath("*"));
    EXPECT_EQ(dots["."], static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));  // neither is hidden
    EXPECT_EQ(dots[".."], static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));

    EXPECT_EQ(GetFileAttributesA(folder.WindowsPath("locked.mp3").c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesA(folder.WindowsPath("folder.mp3").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(GetFileAttributesA(folder.WindowsPath("pipe.mp3").c_str()) & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(GetFileAttributesA(folder.WindowsPath("missing.mp3").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA(folder.WindowsPath("missing\\x.mp3").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(FileSearch, SizeAndLastWriteTimeAreReported) {
    TempFolder folder;
    auto file = folder.Write("a.wav", std::string(70000, 'x'));
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};  // 2001-09-09 01:46:40 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(folder.WindowsPath("a.wav").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_EQ(data.nFileSizeLow, 70000u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    SYSTEMTIME utc;
    ASSERT_TRUE(FileTimeToSystemTime(&data.ftLastWriteTime, &utc));
    EXPECT_EQ(utc.wYear, 2001);
    EXPECT_EQ(utc.wMonth, 9);
    EXPECT_EQ(utc.wDay, 9);
    EXPECT_EQ(utc.wHour, 1);
    EXPECT_EQ(utc.wMinute, 46);
    EXPECT_EQ(utc.wSecond, 40);
}

TEST(FileSearch, EveryLinuxNameIsListedAndFoundAgainByTheNameListed) {
    TempFolder folder;
    for (const char* name : {"Who Are You?.mp3", "Op. 27: No. 2.mp3", "Say \"Hi\".mp3", "a<b>|c*.mp3", "back\\slash.mp3",
                             "line\nbreak.mp3", "\xff\xfe invalid utf8.mp3", "日本語の歌.mp3"})
        folder.Write(name, "x");
    const std::string base = folder.WindowsPath() + "\\";
    // A backslash and a control character are carried as U+F000 plus their code; every other byte as it is.
    const Strings listed = Names(Search(base + "*.mp3"));
    EXPECT_EQ(listed, (Strings{"Op. 27: No. 2.mp3", "Say \"Hi\".mp3", "Who Are You?.mp3", "a<b>|c*.mp3",
                               "back\uF05Cslash.mp3", "line\uF00Abreak.mp3", "日本語の歌.mp3",
                               "\xff\xfe invalid utf8.mp3"}));
    for (const std::string& name : listed) {
        EXPECT_EQ(GetFileAttributesA((base + name).c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE)) << name;
        EXPECT_EQ(Names(Search(base + name)), Strings{name}) << "a listed name, as a pattern, finds itself";
    }
    EXPECT_EQ(Names(Search(base + "日本?の歌.MP3")), (Strings{"日本語の歌.mp3"}));

    // Wildcards act in the pattern only: in the folder part they are characters of a name.
    folder.Write("Disc 1: Live?/track.mp3", "x");
    folder.Write("Disc 1: Live!/other.mp3", "x");
    EXPECT_EQ(Names(Search(base + "Disc 1: Live?\\*.mp3")), Strings{"track.mp3"});
    DWORD error = 0;
    EXPECT_TRUE(Search(base + "Disc*\\*.mp3", &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(Names, CarriedCharactersGoBackToTheirBytesAndShowAsThemselves) {
    using namespace platform::kernel;
    std::string everyByte;
    for (int c = 1; c < 256; ++c)
        if (c != '/') everyByte += static_cast<char>(c);
    EXPECT_EQ(PosixNameOf(WindowsNameOf(everyByte)), everyByte);
    EXPECT_EQ(WindowsNameOf("a\\b\tc?:*"), "a\uF05Cb\uF009c?:*");
    EXPECT_EQ(PosixNameOf("a\uF05Cb\uF009c\uF041"), "a\\b\tc\uF041") << "U+F041 carries nothing: \"A\" needs no carrying";
    EXPECT_EQ(ShownText("a\uF05Cb\uF009c"), "a\\b\u2409c") << "a control character shows as its picture";
    EXPECT_EQ(ShownText("a\uF05Cb\uF009c", true), "a\\b\tc");
    EXPECT_EQ(ShownText("\xff."), "\uFFFD.");
}

TEST(FileSearch, DriveRootsListNeitherDotNorDotDotAndVirtualMountsAreSystem) {
    TempFolder folder;
    folder.MakeFolder("d/proc");
    folder.Write("d/song.mp3", "x");
    platform::testing::Volume d;
    d.letter = 'D';
    d.mountPoint = (folder.Path() / "d").string();
    platform::testing::FakeVolumeTable table({platform::testing::RootVolume(), d}, {d.mountPoint + "/proc"});

    auto found = Search("D:\\*.*");
    EXPECT_EQ(Names(found), (Strings{"proc", "song.mp3"}));
    EXPECT_EQ(found["proc"], static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
}

TEST(FileSearch, InvalidHandlesAreRefused) {
    WIN32_FIND_DATAA data;
    int notASearch = 0;
    EXPECT_FALSE(FindNextFileA(&notASearch, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(FindFirstFileA(nullptr, &data), INVALID_HANDLE_VALUE);
}

TEST(FileSearch, UnreadableFolderFailsWithAccessDenied) {
    TempFolder folder;
    folder.Write("locked/song.mp3", "x");
    chmod(folder.Path().c_str(), 0755);  // others may pass through to the folder under test
    chmod((folder.Path() / "locked").c_str(), 0700);
    int error = RunWithoutPrivileges(
        [](const std::string& pattern) {
            WIN32_FIND_DATAA data;
            return FindFirstFileA(pattern.c_str(), &data) == INVALID_HANDLE_VALUE ? static_cast<int>(GetLastError()) : 0;
        },
        folder.WindowsPath("locked\\*.*"));
    EXPECT_EQ(error, ERROR_ACCESS_DENIED);
}

TEST(FileSearch, ASearchForDirectoriesPassesOverWhatTheDirectoryEntrySaysIsNone) {
    TempFolder folder;
    folder.MakeFolder("album");
    folder.Write("song.mp3", "x");
    ASSERT_EQ(symlink("album", (folder.Path() / "link").c_str()), 0);
    ASSERT_EQ(mkfifo((folder.Path() / "pipe").c_str(), 0600), 0);
    auto directories = [&](const std::string& pattern) {
        std::map<std::string, DWORD> found;
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &data, FindExSearchLimitToDirectories,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (search == INVALID_HANDLE_VALUE) return found;
        do found[data.cFileName] = data.dwFileAttributes;
        while (FindNextFileA(search, &data));
        FindClose(search);
        return found;
    };
    // A link is looked at, to find what it points to; a file and a pipe are passed over.
    const auto found = directories(folder.WindowsPath("*"));
    EXPECT_EQ(Names(found), (Strings{".", "..", "album", "link"}));
    EXPECT_EQ(found.at("link"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(directories(folder.WindowsPath("*.mp3")).empty());

    // What the platform cannot do is refused, not done another way.
    WIN32_FIND_DATAA data;
    for (DWORD flags : {static_cast<DWORD>(FIND_FIRST_EX_CASE_SENSITIVE), DWORD{0x100}}) {
        EXPECT_EQ(FindFirstFileExA(folder.WindowsPath("*").c_str(), FindExInfoStandard, &data, FindExSearchNameMatch,
                                   nullptr, flags),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(FindFirstFileExA(folder.WindowsPath("*").c_str(), FindExInfoStandard, &data,
                               FindExSearchLimitToDevices, nullptr, 0),
              INVALID_HANDLE_VALUE);
}
