// Making folders and files by name, and the shell's folders: what the player needs to find a place for its
// settings.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/win32.h"
#include "tests/support/TempFolder.h"

namespace {

int WriteIntoFolder(const std::string& folder) {
    char name[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), "kor", 0, name) != 0) return 0;
    return static_cast<int>(GetLastError());
}

}  // namespace

TEST(FolderFiles, FoldersAndUniqueFilesAreMadeAndRemoved) {
    TempFolder folder;
    std::string inner = folder.WindowsPath("inner");
    ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "inner"));
    EXPECT_FALSE(CreateDirectoryA(inner.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA(folder.WindowsPath("missing\\deeper").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    char first[MAX_PATH], second[MAX_PATH];
    UINT one = GetTempFileNameA(inner.c_str(), "korvo", 0, first);
    UINT two = GetTempFileNameA((inner + "\\").c_str(), "korvo", 0, second);
    ASSERT_NE(one, 0u);
    ASSERT_NE(two, 0u);
    EXPECT_NE(std::string(first), std::string(second));
    EXPECT_EQ(std::string(first).rfind(inner + "\\kor", 0), 0u) << first;
    EXPECT_EQ(GetFileAttributesA(first) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    EXPECT_TRUE(DeleteFileA(first));
    EXPECT_EQ(GetFileAttributesA(first), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(DeleteFileA(first));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(inner.c_str())) << "a folder is not a file";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(FolderFiles, AFolderWithoutWritePermissionTakesNoFile) {
    TempFolder folder;
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                                                    std::filesystem::perms::others_read |
                                                    std::filesystem::perms::others_exec);
    EXPECT_EQ(RunWithoutPrivileges(WriteIntoFolder, folder.WindowsPath()), ERROR_ACCESS_DENIED);
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_all);
}

TEST(FolderFiles, TheSettingsFolderIsTheDesktopsConfigurationFolder) {
    TempFolder folder;
    const char* saved = getenv("XDG_CONFIG_HOME");
    std::string restore = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", (folder.Path() / "config").c_str(), 1);
    char path[MAX_PATH];
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(std::string(path), folder.WindowsPath("config"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "config")) << "made when asked to";
    EXPECT_EQ(SHGetFolderPathA(nullptr, 0x7777, nullptr, SHGFP_TYPE_CURRENT, path), E_INVALIDARG);
    if (saved) setenv("XDG_CONFIG_HOME", restore.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
}
