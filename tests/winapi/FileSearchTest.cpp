// FindFirstFileA's masks, as the player's folder mask and its folder tree use them, and the folder functions around
// them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/winapi/Suite.h"

namespace {

using Strings = std::vector<std::string>;

// The names a search finds, sorted, with their attributes; the last error is the one the search ended with.
std::map<std::string, DWORD> Search(const std::string& mask, DWORD* error = nullptr) {
    std::map<std::string, DWORD> found;
    WIN32_FIND_DATAA data;
    SetLastError(0);
    HANDLE search = FindFirstFileA(mask.c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do found[data.cFileName] = data.dwFileAttributes;
        while (FindNextFileA(search, &data));
    }
    if (error) *error = GetLastError();
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return found;
}

Strings Found(const std::string& mask) {
    Strings names;
    for (const auto& [name, attributes] : Search(mask)) names.push_back(name);
    return names;
}

// The current directory, put back when the object goes, whatever the test did to it.
class CurrentDirectoryKept {
  public:
    CurrentDirectoryKept() { GetCurrentDirectoryA(sizeof saved_, saved_); }
    ~CurrentDirectoryKept() { SetCurrentDirectoryA(saved_); }
    CurrentDirectoryKept(const CurrentDirectoryKept&) = delete;
    CurrentDirectoryKept& operator=(const CurrentDirectoryKept&) = delete;
    const char* Saved() const { return saved_; }

  private:
    char saved_[MAX_PATH] = "";
};

}  // namespace

TEST(FileSearch, AMaskMatchesNamesWhateverTheirCase) {
    winapi::WorkFolder folder;
    for (const char* name : {"a.wav", "B.WAV", "c.Wav", "d.mp3", "wav"}) folder.Write(name);
    EXPECT_EQ(Found(folder.Path("*.wav")), (Strings{"B.WAV", "a.wav", "c.Wav"}));
    EXPECT_EQ(Found(folder.Path("?.mp3")), (Strings{"d.mp3"}));
    EXPECT_EQ(Found(folder.Path("A.WAV")), (Strings{"a.wav"})) << "a name without wildcards finds the file itself";
    EXPECT_EQ(Found(folder.Path("*A*")), (Strings{"B.WAV", "a.wav", "c.Wav", "wav"}));
}

TEST(FileSearch, StarMasksFindEveryNameOrThoseOfAnExtension) {
    winapi::WorkFolder folder;
    for (const char* name : {"song.mp3", "two.dots.mp3", "noext", ".hidden"}) folder.Write(name);
    folder.MakeFolder("Album");
    const Strings everything{".", "..", ".hidden", "Album", "noext", "song.mp3", "two.dots.mp3"};
    EXPECT_EQ(Found(folder.Path("*")), everything);
    EXPECT_EQ(Found(folder.Path("*.*")), everything) << "*.* also finds names without a dot";
    EXPECT_EQ(Found(folder.Path("*.mp3")), (Strings{"song.mp3", "two.dots.mp3"}));
    EXPECT_EQ(Found(folder.Path("*.dots.*")), (Strings{"two.dots.mp3"}));
    EXPECT_EQ(Found(folder.Path("two.*")), (Strings{"two.dots.mp3"}));
    EXPECT_EQ(Found(folder.Path("noext.*")), (Strings{"noext"})) << "a final .* may match no extension at all";
    EXPECT_EQ(Found(folder.Path("*oext")), (Strings{"noext"}));
    EXPECT_EQ(Found(folder.Path("*NOEXT")), (Strings{"noext"}));
    EXPECT_EQ(Found(folder.Path("*s*.mp3")), (Strings{"song.mp3", "two.dots.mp3"}));
    EXPECT_EQ(Found(folder.Path("*xnoext")), Strings{}) << "an end longer than the name";

    // "*." finds the names without an extension. Windows' documentation does not say whether names with one match
    // as well (Wine finds every name), nor whether "." and ".." do, so only the names without one are asked for.
    const Strings withoutExtension = Found(folder.Path("*."));
    for (const char* name : {"Album", "noext"})
        EXPECT_NE(std::find(withoutExtension.begin(), withoutExtension.end(), name), withoutExtension.end()) << name;
}

TEST(FileSearch, AQuestionMarkStandsForOneCharacter) {
    winapi::WorkFolder folder;
    for (const char* name : {"a1.wav", "a12.wav", "b2.wav", "a.wav"}) folder.Write(name);
    EXPECT_EQ(Found(folder.Path("a?.wav")), (Strings{"a1.wav"}));
    EXPECT_EQ(Found(folder.Path("??.wav")), (Strings{"a1.wav", "b2.wav"}));
    EXPECT_EQ(Found(folder.Path("a??.wav")), (Strings{"a12.wav"}));
    EXPECT_EQ(Found(folder.Path("?1.*")), (Strings{"a1.wav"}));
}

TEST(FileSearch, FoldersAreFoundWithTheirAttributeAndFilesWithout) {
    winapi::WorkFolder folder;
    folder.Write("song.mp3", "12345");
    folder.MakeFolder("Album.mp3");
    const auto found = Search(folder.Path("*"));
    ASSERT_EQ(found.size(), 4u);
    for (const char* name : {".", "..", "Album.mp3"})
        EXPECT_TRUE(found.at(name) & FILE_ATTRIBUTE_DIRECTORY) << name;
    EXPECT_FALSE(found.at("song.mp3") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(Found(folder.Path("*.mp3")), (Strings{"Album.mp3", "song.mp3"})) << "a mask matches folders too";

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(folder.Path("song.mp3").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);

    EXPECT_TRUE(GetFileAttributesA(folder.Path("Album.mp3").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    const DWORD file = GetFileAttributesA(folder.Path("song.mp3").c_str());
    EXPECT_NE(file, INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(file & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FileSearch, WhatIsNotThereFailsWithFileOrPathNotFound) {
    winapi::WorkFolder folder;
    folder.Write("song.mp3");
    folder.MakeFolder("Empty");
    DWORD error = 0;
    EXPECT_TRUE(Search(folder.Path("*.ogg"), &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "a mask that matches nothing";
    EXPECT_TRUE(Search(folder.Path("missing.mp3"), &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "a name that is not there";
    EXPECT_TRUE(Search(folder.Path("Missing\\*.*"), &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND)) << "a folder that is not there";
    EXPECT_TRUE(Search(folder.Path("song.mp3\\*"), &error).empty());
    EXPECT_NE(error, 0u) << "a file is no folder";
    EXPECT_TRUE(Search(folder.Path("Empty\\*.mp3"), &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Found(folder.Path("Empty\\*")), (Strings{".", ".."})) << "an empty folder still has its two";

    // A search that found something ends with no more files.
    Search(folder.Path("*.mp3"), &error);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_MORE_FILES));

    SetLastError(0);
    EXPECT_EQ(GetFileAttributesA(folder.Path("missing.mp3").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    SetLastError(0);
    EXPECT_EQ(GetFileAttributesA(folder.Path("Missing\\song.mp3").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(FileSearch, FoldersAndFilesAreMadeAndRemovedByName) {
    winapi::WorkFolder folder;
    ASSERT_TRUE(CreateDirectoryA(folder.Path("Album").c_str(), nullptr));
    EXPECT_EQ(Found(folder.Path("*")), (Strings{".", "..", "Album"}));
    SetLastError(0);
    EXPECT_FALSE(CreateDirectoryA(folder.Path("Album").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    SetLastError(0);
    EXPECT_FALSE(CreateDirectoryA(folder.Path("Missing\\Album").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND)) << "one level at a time";

    folder.Write("Album/song.mp3");
    // Whether a name in another case names the file is the volume's to say (FILE_CASE_SENSITIVE_SEARCH).
    ASSERT_TRUE(DeleteFileA(folder.Path("Album\\song.mp3").c_str()));
    EXPECT_TRUE(Search(folder.Path("Album\\*.mp3")).empty());
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA(folder.Path("Album\\song.mp3").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA(folder.Path("Missing\\song.mp3").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(folder.Path("Album").c_str())) << "a folder is not removed as a file";
    EXPECT_TRUE(GetFileAttributesA(folder.Path("Album").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FileSearch, RelativeMasksSearchTheCurrentDirectory) {
    winapi::WorkFolder folder;
    folder.MakeFolder("Album");
    folder.Write("Album/one.wav");
    folder.Write("top.wav");
    CurrentDirectoryKept kept;
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Name().c_str()));
    char current[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(sizeof current, current);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(length, std::strlen(current));
    EXPECT_EQ(std::string(current), std::string(kept.Saved()) + "\\" + folder.Name());
    // A buffer too small is not written; the length that would fit is returned, its zero counted.
    char small[4] = "xyz";
    EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), length + 1);

    EXPECT_EQ(Found("*.wav"), (Strings{"top.wav"}));
    EXPECT_EQ(Found("Album\\*.wav"), (Strings{"one.wav"}));
    EXPECT_EQ(Found(".\\Album\\..\\*.wav"), (Strings{"top.wav"}));
    ASSERT_TRUE(SetCurrentDirectoryA("Album"));
    EXPECT_EQ(Found("*.wav"), (Strings{"one.wav"}));
    EXPECT_EQ(Found("..\\*.wav"), (Strings{"top.wav"}));
    EXPECT_EQ(Found(std::string(1, current[0]) + ":*.wav"), (Strings{"one.wav"})) << "the drive's own directory";

    SetLastError(0);
    EXPECT_FALSE(SetCurrentDirectoryA("Missing"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(SetCurrentDirectoryA("one.wav")) << "a file is no directory";
    EXPECT_EQ(Found("*.wav"), (Strings{"one.wav"})) << "a failed change leaves the directory as it was";
}

TEST(FileSearch, FindNextAndFindCloseRefuseWhatIsNoSearch) {
    winapi::WorkFolder folder;
    folder.Write("a.wav");
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(folder.Path("*.wav").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "a.wav");
    SetLastError(0);
    EXPECT_FALSE(FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_FALSE(FindNextFileA(search, &data)) << "and stays at its end";
    EXPECT_TRUE(FindClose(search));
    SetLastError(0);
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}
