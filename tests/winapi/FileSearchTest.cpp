// FindFirstFileA's masks, as the player's folder mask uses them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/winapi/Suite.h"

namespace {

std::vector<std::string> Found(const std::string& mask) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(mask.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileA(search, &data));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(FileSearch, AMaskMatchesNamesWhateverTheirCase) {
    winapi::WorkFolder folder;
    for (const char* name : {"a.wav", "B.WAV", "c.Wav", "d.mp3", "wav"}) folder.Write(name);
    EXPECT_EQ(Found(folder.Path("*.wav")), (std::vector<std::string>{"B.WAV", "a.wav", "c.Wav"}));
    EXPECT_EQ(Found(folder.Path("?.mp3")), (std::vector<std::string>{"d.mp3"}));
}
