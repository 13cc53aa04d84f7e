// The drives as the folder tree lists them: which letters exist, what kind each is, and the current drive's volume.
// These run against the machine's own volumes (or Wine's drives), so they hold only what holds on any machine.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "tests/winapi/Suite.h"

namespace {

// "C:\" for the drive of the current directory.
std::string CurrentRoot() {
    char current[MAX_PATH];
    const DWORD length = GetCurrentDirectoryA(sizeof current, current);
    EXPECT_GT(length, 2u);
    EXPECT_EQ(current[1], ':') << current;
    return {static_cast<char>(std::toupper(static_cast<unsigned char>(current[0]))), ':', '\\'};
}

bool IsDriveKind(UINT type) {
    return type == DRIVE_REMOVABLE || type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_CDROM ||
           type == DRIVE_RAMDISK;
}

}  // namespace

TEST(Drives, EveryLetterInTheMaskIsADriveAndEveryOtherHasNoRoot) {
    const DWORD drives = GetLogicalDrives();
    ASSERT_NE(drives, 0u);
    EXPECT_EQ(drives >> 26, 0u) << "letters A to Z only";
    const std::string current = CurrentRoot();
    EXPECT_TRUE(drives & (1u << (current[0] - 'A'))) << "the current directory's drive is listed";

    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string root{letter, ':', '\\'};
        const UINT type = GetDriveTypeA(root.c_str());
        if (drives & (1u << (letter - 'A'))) {
            EXPECT_TRUE(IsDriveKind(type) || type == DRIVE_UNKNOWN) << root << " is " << type;
        } else {
            EXPECT_EQ(type, static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << root;
        }
    }
}

TEST(Drives, TheCurrentDriveIsAReadyDriveOfAKnownKindWhateverTheCaseOfItsLetter) {
    const std::string root = CurrentRoot();
    const UINT type = GetDriveTypeA(root.c_str());
    EXPECT_TRUE(IsDriveKind(type)) << root << " is " << type;
    // A null root is the current directory's drive.
    EXPECT_EQ(GetDriveTypeA(nullptr), type);
    const std::string lower{static_cast<char>(std::tolower(static_cast<unsigned char>(root[0]))), ':', '\\'};
    EXPECT_EQ(GetDriveTypeA(lower.c_str()), type);
    // The root itself is a folder.
    const DWORD attributes = GetFileAttributesA(root.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Drives, TheCurrentDrivesVolumeHasAFileSystemAndALongestName) {
    const std::string root = CurrentRoot();
    char label[MAX_PATH + 1] = "#";
    char system[MAX_PATH + 1] = "#";
    DWORD longest = 0, flags = 0, serial = 0;
    ASSERT_TRUE(GetVolumeInformationA(root.c_str(), label, sizeof label, &serial, &longest, &flags, system,
                                      sizeof system));
    EXPECT_NE(std::string(system), "");
    EXPECT_NE(std::string(system), "#");
    EXPECT_NE(std::string(label), "#") << "the label (empty or not) is written";
    EXPECT_GE(longest, 12u) << "at least an 8.3 name";
    EXPECT_TRUE(flags & FILE_CASE_PRESERVED_NAMES) << "every file system the program runs on keeps the case";

    // Every out parameter may be left out, and a null root is the current drive.
    EXPECT_TRUE(GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0));
    char again[MAX_PATH + 1] = "";
    ASSERT_TRUE(GetVolumeInformationA(nullptr, nullptr, 0, nullptr, nullptr, nullptr, again, sizeof again));
    EXPECT_EQ(std::string(again), std::string(system));
}

TEST(Drives, ALetterWithoutADriveHasNoVolume) {
    const DWORD drives = GetLogicalDrives();
    char missing = 0;
    for (char letter = 'Z'; letter >= 'D' && !missing; --letter)
        if (!(drives & (1u << (letter - 'A')))) missing = letter;
    if (!missing) GTEST_SKIP() << "every letter from D: to Z: is a drive here";
    const std::string root{missing, ':', '\\'};
    char label[MAX_PATH + 1];
    SetLastError(0);
    EXPECT_FALSE(GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(GetFileAttributesA(root.c_str()), INVALID_FILE_ATTRIBUTES);
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA((root + "*").c_str(), &data), INVALID_HANDLE_VALUE);
}
