#include <gtest/gtest.h>

#include "runtime/FileNames.h"

TEST(FileNames, PartsOfDrivePathsAndSharePaths) {
    EXPECT_EQ(FileDrivePart("C:\\Music\\a.mp3"), "C:");
    EXPECT_EQ(FileDirectoryPart("C:\\Music\\a.mp3"), "C:\\Music\\");
    EXPECT_EQ(FileNamePart("C:\\Music\\a.mp3"), "a.mp3");
    EXPECT_EQ(FileExtensionPart("C:\\Music\\a.b.MP3"), ".MP3");
    EXPECT_EQ(FileExtensionPart("C:\\Music.d\\noext"), "");

    EXPECT_EQ(FileDrivePart("\\\\server\\share\\dir\\x.wav"), "\\\\server\\share");
    EXPECT_EQ(FileDrivePart("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(FileDrivePart("\\Music"), "");
    EXPECT_EQ(FileDrivePart("a"), "");

    EXPECT_EQ(FileDirectoryPart("D:song.mid"), "D:");  // a colon separates too
    EXPECT_EQ(FileNamePart("D:song.mid"), "song.mid");
    EXPECT_EQ(FileNamePart("C:\\Music\\"), "");
    EXPECT_EQ(FileDirectoryPart("a.mp3"), "");
}

TEST(FileNames, MultiByteNamesSplitAtWholeCharacters) {
    EXPECT_EQ(FileDirectoryPart("C:\\音楽\\曲.mp3"), "C:\\音楽\\");
    EXPECT_EQ(FileNamePart("C:\\音楽\\曲.mp3"), "曲.mp3");
    EXPECT_EQ(LastCharacter("C:\\音楽"), "楽");
    EXPECT_EQ(LastCharacter("C:\\"), "\\");
    EXPECT_EQ(LastCharacter(""), "");
}

TEST(FileNames, CaseMappingForFileNames) {
    EXPECT_EQ(LowerCaseFileName("C:\\MUSIC\\ÄRGER.MP3"), "c:\\music\\ärger.mp3");
    EXPECT_EQ(UpperCaseFileName("c: [system]"), "C: [SYSTEM]");
    EXPECT_EQ(UpperCaseFileName("日本.mp3"), "日本.MP3");
}
