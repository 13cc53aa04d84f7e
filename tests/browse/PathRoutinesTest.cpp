#include <gtest/gtest.h>

#include "browse/PathRoutines.h"
#include "platform/testing/FakeVolumes.h"
#include "runtime/Exception.h"
#include "tests/support/TempFolder.h"

namespace {

// The error a change of directory raises, as code and message.
std::pair<int32_t, std::string> ChangeError(const std::string& path) {
    try {
        ChangeDirectory(path);
    } catch (const EInOutError& error) {
        return {error.ErrorCode(), error.Message()};
    }
    return {0, "no error"};
}

}  // namespace

TEST(PathRoutines, JoinPathAddsOneSeparator) {
    EXPECT_EQ(JoinPath("C:\\", "a.mp3"), "C:\\a.mp3");
    EXPECT_EQ(JoinPath("C:\\Music", "a.mp3"), "C:\\Music\\a.mp3");
    EXPECT_EQ(JoinPath("C:\\音楽", "曲.mp3"), "C:\\音楽\\曲.mp3");
    EXPECT_EQ(JoinPath("", "a.mp3"), "\\a.mp3");
}

TEST(PathRoutines, SplitPathChecksDirectoriesAndKeepsTheCurrentDirectory) {
    CurrentDirectoryGuard guard;
    TempFolder folder;
    folder.Write("Music/a.mp3", "x");
    folder.MakeFolder("Music/Jazz");
    const std::string music = folder.WindowsPath("Music");
    const std::string musicWithoutDrive = music.substr(2);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\usr"));

    TSplitPath file = SplitPath(music + "\\a.mp3");
    EXPECT_EQ(file.DriveLetter, 'C');
    EXPECT_EQ(file.Directory, musicWithoutDrive);
    EXPECT_EQ(file.File, "a.mp3");

    TSplitPath directory = SplitPath(music);
    EXPECT_EQ(directory.DriveLetter, 'C');
    EXPECT_EQ(directory.Directory, musicWithoutDrive);
    EXPECT_EQ(directory.File, "");

    TSplitPath mask = SplitPath(music + "\\*.mp3");
    EXPECT_EQ(mask.Directory, musicWithoutDrive);
    EXPECT_EQ(mask.File, "*.mp3");

    TSplitPath root = SplitPath("C:\\usr");
    EXPECT_EQ(root.Directory, "\\usr");
    EXPECT_EQ(root.File, "");

    EXPECT_EQ(CurrentDirectory(), "C:\\usr");
    EXPECT_THROW(SplitPath(music + "\\Missing\\b.mp3"), EInOutError);
    EXPECT_THROW(SplitPath(music + "\\Missing"), EInOutError);  // neither a file nor a directory
    EXPECT_EQ(CurrentDirectory(), "C:\\usr");
}

TEST(PathRoutines, SplitPathTakesRelativeAndBracketedNamesFromTheCurrentDirectory) {
    CurrentDirectoryGuard guard;
    TempFolder folder;
    folder.Write("Music/a.mp3", "x");
    ASSERT_TRUE(SetCurrentDirectoryA(folder.WindowsPath().c_str()));

    TSplitPath relative = SplitPath("Music\\a.mp3");
    EXPECT_EQ(relative.DriveLetter, 'C');
    EXPECT_EQ(relative.Directory, "Music");
    EXPECT_EQ(relative.File, "a.mp3");

    // A directory line of the file list, "[Music]", names a directory below the current one.
    TSplitPath bracketed = SplitPath("[Music]");
    EXPECT_EQ(bracketed.DriveLetter, 'C');
    EXPECT_EQ(bracketed.Directory, folder.WindowsPath("Music").substr(2));
    EXPECT_EQ(bracketed.File, "");
    EXPECT_EQ(CurrentDirectory(), folder.WindowsPath());
}

TEST(PathRoutines, SplitPathOfANetworkPathHasNoDriveLetter) {
    CurrentDirectoryGuard guard;
    TempFolder folder;
    folder.Write("share/Jazz/x.mp3", "x");
    platform::testing::Volume share;
    share.letter = 'G';
    share.mountPoint = (folder.Path() / "share").string();
    share.driveType = DRIVE_REMOTE;
    share.shareName = "\\\\server\\music";
    platform::testing::FakeVolumeTable table({platform::testing::RootVolume(), share});

    TSplitPath split = SplitPath("\\\\server\\music\\Jazz\\x.mp3");
    EXPECT_EQ(split.DriveLetter, 0);
    EXPECT_EQ(split.Directory, "\\\\server\\music\\Jazz");
    EXPECT_EQ(split.File, "x.mp3");
}

TEST(PathRoutines, ExistenceTests) {
    TempFolder folder;
    folder.Write("a.mp3", "x");
    EXPECT_TRUE(IsExistingDirectory(folder.WindowsPath()));
    EXPECT_FALSE(IsExistingDirectory(folder.WindowsPath("a.mp3")));
    EXPECT_FALSE(IsExistingDirectory(folder.WindowsPath("nothing")));
    EXPECT_FALSE(IsExistingDirectory(""));
    EXPECT_TRUE(IsExistingFile(folder.WindowsPath("a.mp3")));
    EXPECT_FALSE(IsExistingFile(folder.WindowsPath()));
}

TEST(PathRoutines, FileNamesCompareIgnoringCase) {
    EXPECT_EQ(CompareFileNames("C:\\MUSIC\\A.MP3", "c:\\music\\a.mp3"), 0);
    EXPECT_EQ(CompareFileNames("Ärger.wav", "ärger.WAV"), 0);
    EXPECT_LT(CompareFileNames("a.wav", "B.mp3"), 0);
    EXPECT_GT(CompareFileNames("b.wav", "a.mp3"), 0);
    EXPECT_NE(CompareFileNames("a.mp3", "a.mp3 "), 0);
}

TEST(PathRoutines, FailedChangesRaiseTheMessageOfTheErrorCode) {
    CurrentDirectoryGuard guard;
    TempFolder folder;
    folder.Write("file.txt", "x");
    folder.MakeFolder("cd");
    platform::testing::Volume cd;
    cd.letter = 'F';
    cd.mountPoint = (folder.Path() / "cd").string();
    cd.driveType = DRIVE_CDROM;
    cd.ready = false;
    platform::testing::FakeVolumeTable table({platform::testing::RootVolume(), cd});

    EXPECT_EQ(ChangeError(folder.WindowsPath("missing")), (std::pair<int32_t, std::string>{2, "ファイルが見つかりません"}));
    EXPECT_EQ(ChangeError(folder.WindowsPath("missing\\x")), (std::pair<int32_t, std::string>{3, "不正なファイル名です"}));
    EXPECT_EQ(ChangeError("F:"), (std::pair<int32_t, std::string>{21, "I/O エラー (21)"}));
    EXPECT_EQ(ChangeError(folder.WindowsPath("file.txt")), (std::pair<int32_t, std::string>{267, "I/O エラー (267)"}));
    EXPECT_EQ(GetLastError(), 0u);  // the pending error is cleared with the exception

    ChangeDirectory(folder.WindowsPath());
    EXPECT_EQ(CurrentDirectory(), folder.WindowsPath());
}
