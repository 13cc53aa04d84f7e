// Profile files through GetPrivateProfileStringA and WritePrivateProfileStringA, as the settings file uses them.
// Files are named by a relative path with a folder ("winapi-...\Korvo.ini"): a name without any folder would be
// looked for in the Windows directory, not in the current one.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/winapi/Suite.h"

namespace {

using Strings = std::vector<std::string>;

// The value (or the default) as the call gives it, its count checked against the length of the text.
std::string Read(const std::string& file, const char* section, const char* key, const char* fallback = "default") {
    char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    const DWORD count = GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, file.c_str());
    EXPECT_EQ(count, std::strlen(buffer)) << "the count leaves out the terminating zero";
    return std::string(buffer, count);
}

// A list of names (section null, or key null) as the zero-terminated names it holds, checking the final zero. The
// default is left out: what a list that comes out empty gives instead is not said by Windows' documentation, and Wine
// gives the default there.
Strings Names(const std::string& file, const char* section, DWORD size = 256) {
    std::vector<char> buffer(size, '#');
    const DWORD count = GetPrivateProfileStringA(section, nullptr, nullptr, buffer.data(), size, file.c_str());
    Strings names;
    for (size_t at = 0; at < count; at += names.back().size() + 1) names.emplace_back(buffer.data() + at);
    EXPECT_EQ(buffer[count], '\0') << "a list ends in a second zero";
    return names;
}

bool Write(const std::string& file, const char* section, const char* key, const char* value) {
    return WritePrivateProfileStringA(section, key, value, file.c_str()) != FALSE;
}

}  // namespace

TEST(Profile, WhatIsMissingReadsAsTheDefaultWithoutItsTrailingBlanks) {
    winapi::WorkFolder folder;
    const std::string missing = folder.Path("missing.ini");
    EXPECT_EQ(Read(missing, "Play", "Style"), "default");
    EXPECT_EQ(Read(folder.Path("no folder\\missing.ini"), "Play", "Style"), "default");
    EXPECT_EQ(Read(missing, "Play", "Style", nullptr), "");
    EXPECT_EQ(Read(missing, "Play", "Style", "  two words  "), "  two words");
    EXPECT_FALSE(std::filesystem::exists(folder.Name() + "/missing.ini")) << "a read never makes the file";

    const std::string file = folder.Path("Korvo.ini");
    folder.Write("Korvo.ini", "[Play]\r\nStyle=2\r\n");
    EXPECT_EQ(Read(file, "Play", "Style"), "2");
    EXPECT_EQ(Read(file, "Play", "Repeat"), "default");
    EXPECT_EQ(Read(file, "File", "Style"), "default");
    EXPECT_EQ(Read(file, "Play", "Style2"), "default");
    EXPECT_EQ(Read(file, "Pla", "Style"), "default");
    EXPECT_EQ(Names(missing, nullptr), Strings{});
    EXPECT_EQ(Names(file, "File"), Strings{});
}

TEST(Profile, AValueTooLongForTheBufferIsCutAndCountedAsTheBufferLessOne) {
    winapi::WorkFolder folder;
    const std::string file = folder.Path("Korvo.ini");
    folder.Write("Korvo.ini", "[Data]\r\nDirectory=c:\\My Music\r\n");
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA("Data", "Directory", "", buffer, sizeof buffer, file.c_str()), 7u);
    EXPECT_EQ(std::string(buffer), "c:\\My M");
    // A default is cut the same way.
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA("Data", "Missing", "0123456789", buffer, sizeof buffer, file.c_str()), 7u);
    EXPECT_EQ(std::string(buffer), "0123456");
    // A value that fills the buffer but for its zero is not cut.
    folder.Write("Korvo.ini", "[Data]\r\nDirectory=1234567\r\n");
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA("Data", "Directory", "", buffer, sizeof buffer, file.c_str()), 7u);
    EXPECT_EQ(std::string(buffer), "1234567");
}

TEST(Profile, ANullNameListsTheSectionsOrTheKeysOfASection) {
    winapi::WorkFolder folder;
    const std::string file = folder.Path("Korvo.ini");
    folder.Write("Korvo.ini", "[File]\r\nMask=*.wav\r\n[Play]\r\nStyle=2\r\nRepeat=1\r\nVolume=80\r\n[Data]\r\n");
    EXPECT_EQ(Names(file, nullptr), (Strings{"File", "Play", "Data"}));
    EXPECT_EQ(Names(file, "Play"), (Strings{"Style", "Repeat", "Volume"}));
    EXPECT_EQ(Names(file, "PLAY"), (Strings{"Style", "Repeat", "Volume"}));
    EXPECT_EQ(Names(file, "Data"), Strings{});
    EXPECT_EQ(Names(file, "Missing"), Strings{});
}

TEST(Profile, AListCutShortEndsInTwoZerosAndIsCountedAsTheBufferLessTwo) {
    KORVO_KNOWN_TO_DIFFER_ON_WINE(
        "GetPrivateProfileStringA: \"If either lpAppName or lpKeyName is NULL and the supplied destination buffer is "
        "too small to hold all the strings, the last string is truncated and followed by two null characters. In "
        "this case, the return value is equal to nSize minus two.\" Wine's ANSI function writes one null only.");
    winapi::WorkFolder folder;
    const std::string file = folder.Path("Korvo.ini");
    folder.Write("Korvo.ini", "[File]\r\nMask=*.wav\r\n[Play]\r\nStyle=2\r\nRepeat=1\r\nVolume=80\r\n[Data]\r\n");
    // "Style\0Repeat\0Volume\0\0" needs 21 bytes; in 16 the list is cut and still closed with two zeros.
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA("Play", nullptr, "", buffer, sizeof buffer, file.c_str()), 14u);
    EXPECT_EQ(std::string(buffer, 6), std::string("Style\0", 6));
    EXPECT_EQ(buffer[14], '\0');
    EXPECT_EQ(buffer[15], '\0');
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 8, file.c_str()), 6u);
    EXPECT_EQ(std::string(buffer, 5), std::string("File\0", 5));
    EXPECT_EQ(buffer[6], '\0');
    EXPECT_EQ(buffer[7], '\0');
}

TEST(Profile, WritesMakeTheFileAndReplaceValuesWhateverTheCaseOfTheNames) {
    winapi::WorkFolder folder;
    const std::string file = folder.Path("Korvo.ini");
    ASSERT_TRUE(Write(file, "File", "Mask", "*.mp3;*.wav"));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder.Name() + "/Korvo.ini")) << "in the folder named";
    ASSERT_TRUE(Write(file, "Play", "Style", "2"));
    ASSERT_TRUE(Write(file, "Data", "Directory", "c:\\My Documents\\My Music"));
    ASSERT_TRUE(Write(file, "play", "STYLE", "0"));
    ASSERT_TRUE(Write(file, "Play", "Repeat", ""));

    EXPECT_EQ(Read(file, "File", "Mask"), "*.mp3;*.wav");
    EXPECT_EQ(Read(file, "PLAY", "style"), "0");
    EXPECT_EQ(Read(file, "DATA", "directory"), "c:\\My Documents\\My Music");
    EXPECT_EQ(Read(file, "Play", "Repeat"), "") << "an empty value is there, so the default is not used";
    // The replaced key keeps its place and the names keep the case they were first written in.
    EXPECT_EQ(Names(file, nullptr), (Strings{"File", "Play", "Data"}));
    EXPECT_EQ(Names(file, "Play"), (Strings{"Style", "Repeat"}));

    // A second file in a folder below is a file of its own.
    folder.MakeFolder("Sub");
    const std::string other = folder.Path("Sub\\Korvo.ini");
    ASSERT_TRUE(Write(other, "Play", "Style", "1"));
    EXPECT_EQ(Read(other, "Play", "Style"), "1");
    EXPECT_EQ(Read(file, "Play", "Style"), "0");
}

TEST(Profile, ANullValueRemovesAKeyAndANullKeyItsWholeSection) {
    winapi::WorkFolder folder;
    const std::string file = folder.Path("Korvo.ini");
    folder.Write("Korvo.ini", "[A]\r\na=1\r\nb=2\r\n\r\n[B]\r\nc=3\r\n");

    ASSERT_TRUE(Write(file, "a", "A", nullptr));
    EXPECT_EQ(Read(file, "A", "a"), "default");
    EXPECT_EQ(Read(file, "A", "b"), "2");
    EXPECT_EQ(Names(file, "A"), Strings{"b"});
    ASSERT_TRUE(Write(file, "b", nullptr, "ignored"));
    EXPECT_EQ(Read(file, "B", "c"), "default");
    EXPECT_EQ(Names(file, nullptr), Strings{"A"});

    // Removing what is not there is no failure.
    EXPECT_TRUE(Write(file, "A", "missing", nullptr));
    EXPECT_TRUE(Write(file, "missing", nullptr, nullptr));
    EXPECT_EQ(Read(file, "A", "b"), "2");
}

TEST(Profile, ValuesLoseTheBlanksAroundThemAndOneMatchingPairOfQuotes) {
    winapi::WorkFolder folder;
    const std::string file = folder.Path("Korvo.ini");
    folder.Write("Korvo.ini",
                 "[S]\r\nplain =  x y  \t\r\n  spaced key  = v\r\ndouble=\"q\"\r\nsingle='q'\r\nquoted=\"  padded  \"\r\n"
                 "equals=a=b\r\nempty=\r\n");
    EXPECT_EQ(Read(file, "S", "plain"), "x y");
    EXPECT_EQ(Read(file, "S", "spaced key"), "v");
    EXPECT_EQ(Read(file, "S", "double"), "q");
    EXPECT_EQ(Read(file, "S", "single"), "q");
    EXPECT_EQ(Read(file, "S", "quoted"), "  padded  ");
    EXPECT_EQ(Read(file, "S", "equals"), "a=b");
    EXPECT_EQ(Read(file, "S", "empty"), "");

    // A value written with blanks around it reads back without them.
    ASSERT_TRUE(Write(file, "S", "written", "  inner  "));
    EXPECT_EQ(Read(file, "S", "written"), "inner");
}

TEST(Profile, ARelativePathIsRelativeToTheCurrentDirectory) {
    winapi::WorkFolder folder;
    folder.MakeFolder("Settings");
    ASSERT_TRUE(Write(folder.Path("Settings\\Korvo.ini"), "Play", "Style", "1"));

    char saved[MAX_PATH];
    ASSERT_GT(GetCurrentDirectoryA(sizeof saved, saved), 0u);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Name().c_str()));
    const bool written = Write(".\\Settings\\Korvo.ini", "Play", "Repeat", "0");
    const std::string style = Read("Settings\\Korvo.ini", "Play", "Style");
    ASSERT_TRUE(SetCurrentDirectoryA(saved));

    EXPECT_TRUE(written);
    EXPECT_EQ(style, "1");
    EXPECT_EQ(Read(folder.Path("Settings\\Korvo.ini"), "Play", "Repeat"), "0");
}
