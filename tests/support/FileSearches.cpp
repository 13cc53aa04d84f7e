#include "tests/support/FileSearches.h"

#include <gtest/gtest.h>

std::map<std::string, DWORD> Search(const std::string& pattern, DWORD* error) {
    std::map<std::string, DWORD> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        if (error) *error = GetLastError();
        return found;
    }
    do found[data.cFileName] = data.dwFileAttributes;
    while (FindNextFileA(search, &data));
    if (error) *error = GetLastError();
    EXPECT_TRUE(FindClose(search));
    return found;
}

std::vector<std::string> Names(const std::map<std::string, DWORD>& found) {
    std::vector<std::string> names;
    for (auto& [name, attributes] : found) names.push_back(name);
    return names;
}
