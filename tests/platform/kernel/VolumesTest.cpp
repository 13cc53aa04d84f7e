#include <gtest/gtest.h>

#include <map>

#include "platform/testing/FakeVolumes.h"
#include "platform/win32.h"
#include "tests/support/TempFolder.h"

using platform::kernel::MountEntry;
using platform::testing::FakeVolumeTable;
using platform::testing::RootVolume;
using platform::testing::Volume;

namespace {

Volume MakeVolume(char letter, std::string mountPoint, UINT type, std::string label = {}, std::string share = {}) {
    Volume volume;
    volume.letter = letter;
    volume.mountPoint = std::move(mountPoint);
    volume.driveType = type;
    volume.label = std::move(label);
    volume.shareName = std::move(share);
    volume.fileSystem = type == DRIVE_REMOVABLE ? "FAT32" : "EXT4";
    volume.fileSystemFlags = type == DRIVE_REMOVABLE ? FILE_CASE_PRESERVED_NAMES
                                                     : FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES;
    return volume;
}

class FakeDrives : public ::testing::Test {
  protected:
    FakeDrives()
        : table_({RootVolume(), MakeVolume('D', folder_.MakeFolder("d"), DRIVE_FIXED, "DATA"),
                  MakeVolume('E', folder_.MakeFolder("e"), DRIVE_REMOVABLE, "STICK"), NotReadyCdrom(),
                  MakeVolume('G', folder_.MakeFolder("g"), DRIVE_REMOTE, "", "\\\\server\\music"),
                  MakeVolume('H', folder_.MakeFolder("h"), DRIVE_RAMDISK)}) {}

    Volume NotReadyCdrom() {
        Volume cd = MakeVolume('F', folder_.MakeFolder("f"), DRIVE_CDROM);
        cd.ready = false;
        return cd;
    }

    TempFolder folder_;
    FakeVolumeTable table_;
};

}  // namespace

TEST(MountTable, ParsesEscapedMountPointsAndSources) {
    auto entries = platform::kernel::ParseMountInfo(
        "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
        "90 27 8:17 / /media/ayumi/MY\\040MUSIC rw,nosuid shared:42 - vfat /dev/sdb1 rw\n"
        "91 27 0:50 / /mnt/nas rw master:1 - cifs //nas/music rw\n"
        "garbage line\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].mountPoint, "/media/ayumi/MY MUSIC");
    EXPECT_EQ(entries[1].fileSystemType, "vfat");
    EXPECT_EQ(entries[1].source, "/dev/sdb1");
    EXPECT_EQ(entries[2].fileSystemType, "cifs");
}

TEST(MountTable, OnlyUserVisibleVolumesBecomeDrives) {
    using platform::kernel::IsUserVisibleMount;
    EXPECT_TRUE(IsUserVisibleMount({"/media/ayumi/STICK", "vfat", "/dev/sdb1"}));
    EXPECT_TRUE(IsUserVisibleMount({"/run/media/ayumi/CD", "iso9660", "/dev/sr0"}));
    EXPECT_TRUE(IsUserVisibleMount({"/mnt/backup", "ext4", "/dev/sdc1"}));
    EXPECT_TRUE(IsUserVisibleMount({"/srv/nfs", "nfs4", "server:/export"}));
    EXPECT_FALSE(IsUserVisibleMount({"/", "ext4", "/dev/sda1"}));
    EXPECT_FALSE(IsUserVisibleMount({"/media", "ext4", "/dev/sda2"}));
    EXPECT_FALSE(IsUserVisibleMount({"/mediafiles", "ext4", "/dev/sda3"}));
    EXPECT_FALSE(IsUserVisibleMount({"/home", "ext4", "/dev/sda4"}));
    EXPECT_FALSE(IsUserVisibleMount({"/mnt/proc", "proc", "proc"}));
    EXPECT_FALSE(IsUserVisibleMount({"/media/snap", "squashfs", "/dev/loop0"}));
}

TEST(MountTable, RemoteSourcesBecomeShareNames) {
    using platform::kernel::ShareNameFromSource;
    EXPECT_EQ(ShareNameFromSource("//nas/music"), "\\\\nas\\music");
    EXPECT_EQ(ShareNameFromSource("//nas/music/"), "\\\\nas\\music");
    EXPECT_EQ(ShareNameFromSource("server:/export/audio"), "\\\\server\\export\\audio");
    EXPECT_EQ(ShareNameFromSource("ayumi@host:/home/ayumi"), "\\\\host\\home\\ayumi");
}

TEST_F(FakeDrives, LogicalDrivesAndTheirTypes) {
    EXPECT_EQ(GetLogicalDrives(), 0b11111100u);
    EXPECT_EQ(GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("d:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeA("F:\\"), static_cast<UINT>(DRIVE_CDROM));  // known even without its disc
    EXPECT_EQ(GetDriveTypeA("G:\\"), static_cast<UINT>(DRIVE_REMOTE));
    EXPECT_EQ(GetDriveTypeA("H:\\"), static_cast<UINT>(DRIVE_RAMDISK));
    EXPECT_EQ(GetDriveTypeA("Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveTypeA("D:\\sub\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_EQ(GetDriveTypeA("\\\\SERVER\\Music\\"), static_cast<UINT>(DRIVE_REMOTE));
}

TEST_F(FakeDrives, VolumeInformationGivesLabelsFlagsAndNotReady) {
    char label[261] = "x";
    char system[32] = "";
    DWORD serial = 0, longest = 0, flags = 0;
    ASSERT_TRUE(GetVolumeInformationA("D:\\", label, sizeof label, &serial, &longest, &flags, system, sizeof system));
    EXPECT_STREQ(label, "DATA");
    EXPECT_STREQ(system, "EXT4");
    EXPECT_EQ(flags & (FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES), 3u);
    EXPECT_GT(longest, 0u);

    ASSERT_TRUE(GetVolumeInformationA("E:\\", label, sizeof label, nullptr, nullptr, &flags, nullptr, 0));
    EXPECT_STREQ(label, "STICK");
    EXPECT_EQ(flags & FILE_CASE_SENSITIVE_SEARCH, 0u);  // FAT keeps case but does not search by it

    ASSERT_TRUE(GetVolumeInformationA("H:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_STREQ(label, "");

    SetLastError(0);
    EXPECT_FALSE(GetVolumeInformationA("F:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_FALSE(GetVolumeInformationA("Q:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_FALSE(GetVolumeInformationA("D:\\", label, 3, nullptr, nullptr, nullptr, nullptr, 0));  // "DATA" needs 5
}

TEST_F(FakeDrives, NetworkConnectionsGiveShareNames) {
    char remote[261];
    DWORD length = sizeof remote;
    EXPECT_EQ(WNetGetConnectionA("g:", remote, &length), static_cast<DWORD>(NO_ERROR));
    EXPECT_STREQ(remote, "\\\\server\\music");

    DWORD tooShort = 4;
    EXPECT_EQ(WNetGetConnectionA("G:", remote, &tooShort), static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(tooShort, 15u);

    EXPECT_EQ(WNetGetConnectionA("D:", remote, &length), static_cast<DWORD>(ERROR_NOT_CONNECTED));
    EXPECT_EQ(WNetGetConnectionA("D:\\", remote, &length), static_cast<DWORD>(ERROR_BAD_DEVICE));
}

TEST_F(FakeDrives, ErrorModeIsRememberedAndReturned) {
    UINT before = SetErrorMode(SEM_FAILCRITICALERRORS);
    EXPECT_EQ(SetErrorMode(before), static_cast<UINT>(SEM_FAILCRITICALERRORS));
}

TEST(MountTable, LettersFollowMountPointOrderAndStayWithTheirVolumes) {
    std::map<std::string, char> letters;
    const platform::kernel::DeviceFolders noDevices{"", ""};  // this machine's own optical drives stay out of it
    auto first = platform::kernel::SnapshotOf({{"/", "ext4", "/dev/vda"},
                                               {"/proc", "proc", "proc"},
                                               {"/media/b", "ext4", "server-b"},
                                               {"/media/a", "tmpfs", "tmpfs"},
                                               {"/srv/share", "cifs", "//nas/music"},
                                               {"/home", "ext4", "/dev/vdb"}},
                                              letters, noDevices);
    std::vector<std::pair<char, std::string>> drives;
    for (const Volume& volume : first.volumes) drives.emplace_back(volume.letter, volume.mountPoint);
    EXPECT_EQ(drives, (std::vector<std::pair<char, std::string>>{
                          {'C', "/"}, {'D', "/media/a"}, {'E', "/media/b"}, {'F', "/srv/share"}}));
    EXPECT_EQ(first.volumes[1].driveType, static_cast<UINT>(DRIVE_RAMDISK));
    EXPECT_EQ(first.volumes[3].driveType, static_cast<UINT>(DRIVE_REMOTE));
    EXPECT_EQ(first.volumes[3].shareName, "\\\\nas\\music");
    EXPECT_EQ(first.virtualMountPoints, std::vector<std::string>{"/proc"});

    // /media/a goes away and /media/z arrives: E: and F: keep their letters, the newcomer takes the free D:.
    auto second = platform::kernel::SnapshotOf(
        {{"/", "ext4", "/dev/vda"}, {"/media/b", "ext4", "server-b"}, {"/srv/share", "cifs", "//nas/music"},
         {"/media/z", "vfat", "stick"}},
        letters, noDevices);
    drives.clear();
    for (const Volume& volume : second.volumes) drives.emplace_back(volume.letter, volume.mountPoint);
    EXPECT_EQ(drives, (std::vector<std::pair<char, std::string>>{
                          {'C', "/"}, {'D', "/media/z"}, {'E', "/media/b"}, {'F', "/srv/share"}}));
    EXPECT_EQ(second.volumes[1].fileSystemFlags & FILE_CASE_SENSITIVE_SEARCH, 0u);  // FAT does not search by case
}
