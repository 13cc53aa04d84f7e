// Kinds of drives as the running system shows them, from a mount table and the kernel's and udev's device folders
// (here a copy of their shape in a test folder): a USB stick is removable while it is mounted, and an optical
// drive without a disc is a drive that is not ready.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/kernel/LetterMemory.h"
#include "platform/kernel/Volumes.h"
#include "platform/testing/FakeVolumes.h"
#include "platform/win32.h"
#include "tests/support/TempFolder.h"

using platform::kernel::DeviceFolders;
using platform::kernel::MountEntry;
using platform::kernel::SnapshotOf;
using platform::testing::Volume;

namespace {

// /sys/class/block and /dev/disk/by-label as the kernel and udev lay them out: a link per device into the device
// tree, where a disk has its "removable" flag and its partitions below it; label links point at "../../sdb1".
class DeviceTree {
  public:
    DeviceTree() {
        folders_ = {(folder_.Path() / "sys/class/block").string(), (folder_.Path() / "by-label").string(),
                    (folder_.Path() / "by-uuid").string()};
    }

    // A disk on a bus, with its partitions ("sdb" with {"sdb1"}); an empty list for a disk used whole.
    void Disk(const std::string& bus, const std::string& disk, bool removable, const std::vector<std::string>& parts) {
        std::string device = "sys/devices/" + bus + "/block/" + disk;
        folder_.Write(device + "/removable", removable ? "1\n" : "0\n");
        Link(disk, device);
        for (const std::string& part : parts) {
            folder_.MakeFolder(device + "/" + part);
            Link(part, device + "/" + part);
        }
    }
    void Label(const std::string& label, const std::string& device) {
        std::filesystem::create_directories(folders_.labels);
        std::filesystem::create_symlink("../../" + device, std::filesystem::path(folders_.labels) / label);
    }
    void Uuid(const std::string& uuid, const std::string& device) {
        std::filesystem::create_directories(folders_.uuids);
        std::filesystem::create_symlink("../../" + device, std::filesystem::path(folders_.uuids) / uuid);
    }
    // A disk's size in 512-byte sectors, as the kernel gives it.
    void Size(const std::string& device, const std::string& sectors) {
        std::ofstream(std::filesystem::path(folders_.blockDevices) / device / "size") << sectors << "\n";
    }
    const DeviceFolders& Folders() const { return folders_; }

  private:
    void Link(const std::string& name, const std::string& device) {
        std::filesystem::create_directories(folders_.blockDevices);
        std::filesystem::create_symlink(folder_.Path() / device, std::filesystem::path(folders_.blockDevices) / name);
    }

    TempFolder folder_;
    DeviceFolders folders_;
};

std::map<char, Volume> ByLetter(const std::vector<Volume>& volumes) {
    std::map<char, Volume> drives;
    for (const Volume& volume : volumes) drives[volume.letter] = volume;
    return drives;
}

}  // namespace

TEST(DriveKinds, AStickUnderMediaIsRemovableWhileItIsMounted) {
    DeviceTree tree;
    tree.Disk("pci0/ata1", "sda", false, {"sda1", "sda2"});
    tree.Disk("pci0/usb2", "sdb", true, {"sdb1"});
    tree.Disk("pci0/usb3", "sdc", true, {});  // a stick formatted without partitions
    tree.Label("STICK", "sdb1");
    tree.Label("DATA", "sda2");
    std::map<std::string, char> letters;

    auto mounted = ByLetter(SnapshotOf({{"/", "ext4", "/dev/sda1"},
                                        {"/media/ayumi/DATA", "ext4", "/dev/sda2"},
                                        {"/media/ayumi/STICK", "vfat", "/dev/sdb1"},
                                        {"/media/ayumi/WHOLE", "exfat", "/dev/sdc"}},
                                       letters, tree.Folders())
                                .volumes);
    ASSERT_EQ(mounted.size(), 4u);
    EXPECT_EQ(mounted['D'].mountPoint, "/media/ayumi/DATA");
    EXPECT_EQ(mounted['D'].driveType, static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(mounted['D'].label, "DATA");
    EXPECT_EQ(mounted['E'].mountPoint, "/media/ayumi/STICK");
    EXPECT_EQ(mounted['E'].driveType, static_cast<UINT>(DRIVE_REMOVABLE)) << "the partition of a removable disk";
    EXPECT_EQ(mounted['E'].label, "STICK");
    EXPECT_EQ(mounted['E'].fileSystem, "FAT32");
    EXPECT_EQ(mounted['F'].driveType, static_cast<UINT>(DRIVE_REMOVABLE)) << "a removable disk used whole";

    auto unplugged = ByLetter(SnapshotOf({{"/", "ext4", "/dev/sda1"}, {"/media/ayumi/DATA", "ext4", "/dev/sda2"},
                                          {"/media/ayumi/WHOLE", "exfat", "/dev/sdc"}},
                                         letters, tree.Folders())
                                  .volumes);
    EXPECT_EQ(unplugged.size(), 3u);
    EXPECT_FALSE(unplugged.contains('E')) << "the stick's drive goes with its mount";
    EXPECT_EQ(unplugged['F'].mountPoint, "/media/ayumi/WHOLE") << "the other drives keep their letters";
}

TEST(DriveKinds, AnOpticalDriveWithoutItsDiscIsListedButNotReady) {
    CurrentDirectoryGuard guard;
    DeviceTree tree;
    tree.Disk("pci0/ata1", "sda", false, {"sda1"});
    tree.Disk("pci0/ata2", "sr0", true, {});
    tree.Disk("pci0/usb2", "sdb", true, {"sdb1"});
    std::map<std::string, char> letters;

    auto empty = SnapshotOf({{"/", "ext4", "/dev/sda1"}, {"/media/ayumi/STICK", "vfat", "/dev/sdb1"}}, letters,
                            tree.Folders());
    auto drives = ByLetter(empty.volumes);
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives['D'].driveType, static_cast<UINT>(DRIVE_CDROM));
    EXPECT_FALSE(drives['D'].ready);
    EXPECT_EQ(drives['D'].mountPoint, "");
    EXPECT_EQ(drives['E'].mountPoint, "/media/ayumi/STICK");

    {
        platform::testing::FakeVolumeTable table(empty.volumes);
        EXPECT_EQ(GetLogicalDrives(), 0b11100u);
        EXPECT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_CDROM));
        char label[261] = "x";
        SetLastError(0);
        EXPECT_FALSE(GetVolumeInformationA("D:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
        SetLastError(0);
        EXPECT_FALSE(SetCurrentDirectoryA("D:"));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
        WIN32_FIND_DATAA found;
        EXPECT_EQ(FindFirstFileA("D:\\*", &found), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
        char current[MAX_PATH];
        GetCurrentDirectoryA(sizeof current, current);
        EXPECT_EQ(current[0], 'C') << "a drive without a mount point owns no path";
    }

    // A disc goes in and is mounted: the same drive, ready, with its file system; the empty drive's letter was
    // freed for it, and the stick keeps its own.
    auto disc = ByLetter(SnapshotOf({{"/", "ext4", "/dev/sda1"},
                                     {"/media/ayumi/STICK", "vfat", "/dev/sdb1"},
                                     {"/media/ayumi/AUDIO", "iso9660", "/dev/sr0"}},
                                    letters, tree.Folders())
                             .volumes);
    ASSERT_EQ(disc.size(), 3u);
    EXPECT_EQ(disc['D'].mountPoint, "/media/ayumi/AUDIO");
    EXPECT_EQ(disc['D'].driveType, static_cast<UINT>(DRIVE_CDROM));
    EXPECT_TRUE(disc['D'].ready);
    EXPECT_EQ(disc['D'].fileSystem, "CDFS");
    EXPECT_EQ(disc['E'].mountPoint, "/media/ayumi/STICK");
}

TEST(DriveKinds, AVolumeKeepsItsLetterFromStartToStartAndHoldsItWhileAway) {
    DeviceTree tree;
    tree.Disk("pci0/ata1", "sda", false, {"sda1"});
    tree.Disk("pci0/usb2", "sdb", true, {"sdb1"});
    tree.Disk("pci0/usb3", "sdc", true, {"sdc1"});
    tree.Uuid("AAAA-1111", "sdb1");
    tree.Label("NOUUID", "sdc1");
    tree.Size("sdc1", "31457280");
    TempFolder state;
    const std::string memoryFile = (state.Path() / "korvo" / "drives").string();
    auto start = [&](const std::vector<MountEntry>& mounts) {
        std::map<std::string, char> letters;  // a new run of the program
        platform::kernel::LetterMemory memory(memoryFile);
        auto snapshot = SnapshotOf(mounts, letters, tree.Folders(), &memory);
        std::map<std::string, char> drives;
        for (const Volume& volume : snapshot.volumes) drives[volume.mountPoint] = volume.letter;
        return std::make_pair(drives, snapshot.absentLetters);
    };
    const MountEntry root{"/", "ext4", "/dev/sda1"};
    const MountEntry first{"/media/ayumi/A", "vfat", "/dev/sdb1"};   // known by its UUID
    const MountEntry second{"/media/ayumi/B", "vfat", "/dev/sdc1"};  // by its label and size

    EXPECT_EQ(start({root, first}).first.at("/media/ayumi/A"), 'D');
    // The next start with another stick alone: D: is held for the first, which is away and so not ready.
    auto [alone, absent] = start({root, second});
    EXPECT_EQ(alone.at("/media/ayumi/B"), 'E');
    EXPECT_EQ(absent, "D");
    // Both at once, mounted the other way round and at other places: each has its own letter back.
    auto both = start({root, {"/media/ayumi/second", "vfat", "/dev/sdc1"}, {"/media/ayumi/first", "vfat", "/dev/sdb1"}})
                    .first;
    EXPECT_EQ(both.at("/media/ayumi/first"), 'D');
    EXPECT_EQ(both.at("/media/ayumi/second"), 'E');

    // A memory that cannot be read is no error: the letters start afresh, from D:.
    std::filesystem::remove_all(state.Path() / "korvo");
    std::filesystem::create_directories(memoryFile);  // a folder where the file should be
    EXPECT_EQ(start({root, second}).first.at("/media/ayumi/B"), 'D');
}

TEST(DriveKinds, APulledStickIsADriveThatIsNotReady) {
    TempFolder folder;
    Volume stick;
    stick.letter = 'E';
    stick.mountPoint = folder.MakeFolder("e").string();
    stick.driveType = DRIVE_REMOVABLE;
    platform::testing::FakeVolumeTable table({platform::testing::RootVolume(), stick});
    EXPECT_EQ(GetFileAttributesA("E:\\"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    table.Change({platform::testing::RootVolume()});
    for (const char* path : {"E:\\", "E:\\Music\\song.mp3"}) {
        SetLastError(0);
        EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY)) << path;
    }
    SetLastError(0);
    EXPECT_FALSE(SetCurrentDirectoryA("E:"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
    SetLastError(0);
    EXPECT_EQ(GetFileAttributesA("Q:\\"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND)) << "a letter no volume ever had";
}
