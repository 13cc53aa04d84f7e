#pragma once
// Drives are volumes: C: is the root file system, and every other volume the user can see (below /media,
// /run/media and /mnt, and network file systems anywhere) gets the next free letter from D: on, in the order of
// its mount point. A letter stays with its volume for as long as the volume is mounted. An optical drive that
// nothing is mounted from (no disc in it) is a drive too, one that is not ready, as an empty CD drive is on
// Windows; it is noticed when the mount table next changes.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"

namespace platform::kernel {

struct Volume {
    char letter = 0;               // 'C' to 'Z'
    std::string mountPoint;        // absolute POSIX path without a trailing "/" (except the root itself); empty
                                   // for an optical drive with nothing mounted
    UINT driveType = DRIVE_FIXED;  // DRIVE_REMOVABLE … DRIVE_RAMDISK
    std::string label;             // volume label; empty when it has none
    std::string shareName;         // "\\server\share" for a remote drive
    std::string fileSystem;        // as Windows names them: "NTFS", "FAT32", "EXT4"…
    DWORD fileSystemFlags = FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES;
    DWORD serialNumber = 0;
    bool ready = true;  // false for a drive without its medium
};

// One line of /proc/self/mountinfo, unescaped.
struct MountEntry {
    std::string mountPoint;
    std::string fileSystemType;
    std::string source;
};

// What the platform knows about mounts at one moment: the lettered drives and the mount points of virtual file
// systems (proc, sysfs…), whose entries a directory search reports as system entries.
struct MountSnapshot {
    std::vector<Volume> volumes;
    std::vector<std::string> virtualMountPoints;
    // Every mount point, lettered or not: a folder's listing never looks into one, since that would touch another
    // file system.
    std::vector<std::string> mountPoints;
    // The mount points of file systems that may stop answering while mounted (network shares, FUSE file systems,
    // automounts): calls into them are made so that they cannot hold the program up.
    std::vector<std::string> unreliableMountPoints;
    // Letters remembered for volumes that are not here now (a stick that was pulled): a drive that is not ready.
    std::string absentLetters;
};

// Where the snapshot comes from: the running system, or a table that tests install and change.
class VolumeSource {
  public:
    virtual ~VolumeSource() = default;
    // Returns a fresh snapshot, or nothing when the one returned last is still current.
    virtual std::optional<MountSnapshot> Refresh() = 0;
    // A descriptor that becomes ready when the table changes, and the poll events that say so; -1 when the table
    // cannot be watched.
    virtual int ChangeDescriptor(short& events) = 0;
    // Clears a change the descriptor reported.
    virtual void TakeChange() {}
};

// The parts of reading the real system that tests exercise on their own.
std::vector<MountEntry> ParseMountInfo(std::string_view text);
bool IsVirtualFileSystem(std::string_view type);
bool IsNetworkFileSystem(std::string_view type);
// Network file systems, FUSE file systems (served by a program that may hang or die) and automounts.
bool MayStopAnswering(std::string_view type);
bool IsUserVisibleMount(const MountEntry& entry);
// A remote mount's source as a Windows share name: //server/share and server:/export/dir both become
// \\server\share and \\server\export\dir.
std::string ShareNameFromSource(std::string_view source);

// Where the kernel and udev describe block devices; tests give folders of their own.
struct DeviceFolders {
    std::string blockDevices = "/sys/class/block";  // an entry per disk, partition and optical drive
    std::string labels = "/dev/disk/by-label";      // links to devices, named by their volume labels
    std::string uuids = "/dev/disk/by-uuid";        // links to devices, named by their file systems' UUIDs
};

class LetterMemory;

// The drives of a mount table. Letters already given stay with their mount points (an empty optical drive's with
// its device, "/dev/sr0"); a volume that is gone frees its letter; each new volume takes the lowest free letter
// from D: on, in the order of its mount point (or device).
// With a memory of letters, a new volume takes the letter it had before when that is free, and otherwise the
// lowest letter that neither a volume mounted now nor a remembered one holds; what it takes is remembered.
MountSnapshot SnapshotOf(const std::vector<MountEntry>& entries, std::map<std::string, char>& letters,
                         const DeviceFolders& devices = {}, LetterMemory* memory = nullptr);

// The current snapshot; cheap to call (the mount table is re-read only after the kernel reports a change).
std::shared_ptr<const MountSnapshot> Mounts();
std::optional<Volume> FindVolume(char letter);
std::optional<Volume> FindVolumeByShare(std::string_view shareName);
// The lettered volume whose mount point is the longest prefix of the POSIX path.
std::optional<Volume> VolumeOfPath(std::string_view posixPath);
// Whether the path lies on a file system that may stop answering: the mount holding it, lettered or not, is one.
bool OnUnreliableFileSystem(std::string_view posixPath);

// Replaces the source; nullptr returns to the real system. Used by platform/testing.
void SetVolumeSource(std::unique_ptr<VolumeSource> source);

// What to wait on for the next change of the mount table (see VolumeSource), and taking a change it reported. The
// descriptor of a source lives as long as the source; VolumeSourceGeneration tells a watcher that it was replaced.
int VolumeChangeDescriptor(short& events);
void TakeVolumeChange();
uint64_t VolumeSourceGeneration();

}  // namespace platform::kernel
