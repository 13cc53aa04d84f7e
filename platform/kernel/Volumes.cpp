#include "platform/kernel/Volumes.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <array>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include "platform/kernel/LetterMemory.h"
#include "platform/kernel/Locale.h"

namespace platform::kernel {
namespace {

// mountinfo writes blanks, tabs, newlines and backslashes in paths as three-digit octal escapes.
std::string UnescapeOctal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() &&
            std::all_of(text.begin() + i + 1, text.begin() + i + 4, [](char c) { return c >= '0' && c <= '7'; })) {
            out += static_cast<char>(((text[i + 1] - '0') << 6) | ((text[i + 2] - '0') << 3) | (text[i + 3] - '0'));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// udev names links in /dev/disk/by-label with "\xHH" for bytes that are not safe in a file name.
std::string UnescapeHex(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "\\x" && i + 3 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool StartsWithDirectory(std::string_view path, std::string_view directory) {
    if (directory == "/") return !path.empty() && path[0] == '/';
    return path.starts_with(directory) && (path.size() == directory.size() || path[directory.size()] == '/');
}

std::string ReadWholeFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The kernel's name of the device a mount's source or a udev link stands for ("sdb1"). A link that cannot be
// followed (its device is gone) still names it.
std::string DeviceName(const std::string& path) {
    std::string target = RealPath(path);
    if (target == path) {
        char buffer[PATH_MAX];
        ssize_t length = readlink(path.c_str(), buffer, sizeof buffer);
        if (length > 0) target.assign(buffer, static_cast<size_t>(length));
    }
    return BaseName(target);
}

// A partition is removable when its disk is: the flag sits on the disk, one folder up in sysfs.
bool IsRemovableDevice(const std::string& name, const DeviceFolders& devices) {
    std::string sysPath = RealPath(devices.blockDevices + "/" + name);
    for (const std::string& candidate : {sysPath + "/removable", sysPath.substr(0, sysPath.rfind('/')) + "/removable"}) {
        std::ifstream in(candidate);
        char flag = 0;
        if (in >> flag) return flag == '1';
    }
    return false;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
        closedir(dir);
    }
    return names;
}

// Volume labels by device name.
std::map<std::string, std::string> LabelsByDevice(const DeviceFolders& devices) {
    std::map<std::string, std::string> labels;
    for (const std::string& link : FolderEntries(devices.labels))
        labels[DeviceName(devices.labels + "/" + link)] = UnescapeHex(link);
    return labels;
}

// The SCSI optical drives the kernel knows ("sr0", "sr1"…), whatever is in them.
std::vector<std::string> OpticalDrives(const DeviceFolders& devices) {
    std::vector<std::string> drives;
    for (const std::string& name : FolderEntries(devices.blockDevices))
        if (name.size() > 2 && name.starts_with("sr") &&
            std::all_of(name.begin() + 2, name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            drives.push_back(name);
    return drives;
}

std::string WindowsFileSystemName(const std::string& type) {
    static const std::map<std::string, std::string> names = {
        {"vfat", "FAT32"}, {"msdos", "FAT"}, {"exfat", "exFAT"}, {"ntfs", "NTFS"}, {"ntfs3", "NTFS"},
        {"fuseblk", "NTFS"}, {"iso9660", "CDFS"}, {"udf", "UDF"}};
    if (auto it = names.find(type); it != names.end()) return it->second;
    std::string upper = type;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

DWORD FileSystemFlags(const std::string& type) {
    static const std::array<std::string_view, 9> caseInsensitive = {"vfat",  "msdos", "exfat", "ntfs", "ntfs3",
                                                                     "fuseblk", "cifs", "smb3", "smbfs"};
    bool insensitive = std::find(caseInsensitive.begin(), caseInsensitive.end(), type) != caseInsensitive.end();
    return FILE_CASE_PRESERVED_NAMES | FILE_UNICODE_ON_DISK | (insensitive ? 0 : FILE_CASE_SENSITIVE_SEARCH);
}

DWORD SerialNumber(std::string_view text) {
    uint32_t hash = 2166136261u;  // FNV-1a: stable across runs, so a volume keeps its number
    for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

// The device a mount comes from, or the empty text for one without (tmpfs, a network share).
std::string MountedDevice(const MountEntry& entry) {
    return entry.source.starts_with("/dev/") ? DeviceName(entry.source) : std::string();
}

Volume Classify(const MountEntry& entry, const std::map<std::string, std::string>& labels,
                const DeviceFolders& devices) {
    Volume volume;
    volume.mountPoint = entry.mountPoint;
    volume.fileSystem = WindowsFileSystemName(entry.fileSystemType);
    volume.fileSystemFlags = FileSystemFlags(entry.fileSystemType);
    volume.serialNumber = SerialNumber(entry.source + entry.mountPoint);
    const std::string deviceName = MountedDevice(entry);
    if (IsNetworkFileSystem(entry.fileSystemType)) {
        volume.driveType = DRIVE_REMOTE;
        volume.shareName = ShareNameFromSource(entry.source);
    } else if (entry.fileSystemType == "iso9660" || entry.fileSystemType == "udf" || deviceName.starts_with("sr")) {
        volume.driveType = DRIVE_CDROM;
    } else if (entry.fileSystemType == "tmpfs" || entry.fileSystemType == "ramfs") {
        volume.driveType = DRIVE_RAMDISK;
    } else if (!deviceName.empty() && IsRemovableDevice(deviceName, devices)) {
        volume.driveType = DRIVE_REMOVABLE;
    } else {
        volume.driveType = DRIVE_FIXED;
    }
    if (auto it = labels.find(deviceName); !deviceName.empty() && it != labels.end()) volume.label = it->second;
    return volume;
}

// Device names by the UUIDs of their file systems, as udev links them.
std::map<std::string, std::string> UuidsByDevice(const DeviceFolders& devices) {
    std::map<std::string, std::string> uuids;
    for (const std::string& link : FolderEntries(devices.uuids)) uuids[DeviceName(devices.uuids + "/" + link)] = link;
    return uuids;
}

// What a volume is, whatever it is mounted at and whichever device name it has this time: its file system's UUID,
// else its label and size; a share by its name; an optical drive without a disc by its device.
std::string IdentityOf(const MountEntry* entry, const std::string& key, const Volume& volume,
                       const std::map<std::string, std::string>& uuids, const DeviceFolders& devices) {
    std::string identity;
    const std::string deviceName = entry ? MountedDevice(*entry) : std::string();
    if (!entry) {
        identity = "drive " + key;
    } else if (volume.driveType == DRIVE_REMOTE) {
        identity = "share " + volume.shareName;
    } else if (auto uuid = uuids.find(deviceName); !deviceName.empty() && uuid != uuids.end()) {
        identity = "uuid " + uuid->second;
    } else if (!deviceName.empty() && !volume.label.empty()) {
        std::ifstream sizeFile(devices.blockDevices + "/" + deviceName + "/size");
        std::string size;
        sizeFile >> size;
        identity = "label " + volume.label + " " + size;
    } else {
        identity = "mount " + volume.mountPoint;
    }
    std::replace(identity.begin(), identity.end(), '\n', ' ');
    return identity;
}

Volume EmptyOpticalDrive() {
    Volume volume;
    volume.driveType = DRIVE_CDROM;
    volume.ready = false;
    return volume;
}

class SystemVolumeSource final : public VolumeSource {
  public:
    SystemVolumeSource() : fd_(open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC)) {}
    ~SystemVolumeSource() override {
        if (fd_ >= 0) close(fd_);
        if (watch_ >= 0) close(watch_);
    }

    std::optional<MountSnapshot> Refresh() override {
        // The kernel flags the open mount table with a priority event after every mount and unmount, so an
        // unchanged table costs one poll instead of a read and a parse.
        pollfd request{fd_, POLLPRI, 0};
        bool changed = fd_ < 0 || poll(&request, 1, 0) > 0;
        if (read_ && !changed) return std::nullopt;
        read_ = true;
        return SnapshotOf(ParseMountInfo(ReadWholeFile("/proc/self/mountinfo")), letters_, {}, &memory_);
    }

    // A descriptor of its own, so that a watcher's wait does not take the change Refresh looks for.
    int ChangeDescriptor(short& events) override {
        if (watch_ < 0) watch_ = open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
        events = POLLPRI;
        return watch_;
    }

  private:
    int fd_;
    int watch_ = -1;
    bool read_ = false;
    std::map<std::string, char> letters_;
    LetterMemory memory_{LetterMemory::DefaultFile()};
};

struct State {
    std::mutex mutex;
    std::unique_ptr<VolumeSource> source = std::make_unique<SystemVolumeSource>();
    std::shared_ptr<const MountSnapshot> snapshot = std::make_shared<MountSnapshot>();
    std::atomic<uint64_t> generation{0};  // counts the sources installed; read without the lock by each wait
};

State& TheState() {
    static State state;
    return state;
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        // id parent major:minor root mount-point options [optional fields…] - type source super-options
        std::istringstream fields(line);
        std::vector<std::string> parts;
        for (std::string part; fields >> part;) parts.push_back(part);
        auto separator = std::find(parts.begin(), parts.end(), "-");
        if (parts.size() < 5 || separator == parts.end() || parts.end() - separator < 3) continue;
        entries.push_back({UnescapeOctal(parts[4]), separator[1], UnescapeOctal(separator[2])});
    }
    return entries;
}

bool IsVirtualFileSystem(std::string_view type) {
    static constexpr std::array<std::string_view, 22> types = {
        "proc",   "sysfs",     "devtmpfs", "devpts",    "cgroup",      "cgroup2",   "securityfs", "pstore",
        "bpf",    "tracefs",   "debugfs",  "configfs",  "fusectl",     "mqueue",    "hugetlbfs",  "binfmt_misc",
        "efivarfs", "rpc_pipefs", "nsfs",  "autofs",    "selinuxfs",   "fuse.gvfsd-fuse"};
    return std::find(types.begin(), types.end(), type) != types.end();
}

bool IsNetworkFileSystem(std::string_view type) {
    static constexpr std::array<std::string_view, 16> types = {
        "nfs",        "nfs4",          "cifs",         "smb3",       "smbfs",   "ncpfs",     "afs",        "9p",
        "ceph",       "glusterfs",     "fuse.sshfs",   "sshfs",      "davfs",   "fuse.davfs2", "fuse.rclone", "coda"};
    return std::find(types.begin(), types.end(), type) != types.end();
}

bool MayStopAnswering(std::string_view type) {
    return IsNetworkFileSystem(type) || type == "fuse" || type.starts_with("fuse.") || type == "autofs";
}

bool IsUserVisibleMount(const MountEntry& entry) {
    if (entry.mountPoint == "/" || IsVirtualFileSystem(entry.fileSystemType) || entry.fileSystemType == "squashfs")
        return false;
    if (IsNetworkFileSystem(entry.fileSystemType)) return true;
    for (std::string_view place : {"/media", "/run/media", "/mnt"})
        if (StartsWithDirectory(entry.mountPoint, place) && entry.mountPoint.size() > place.size()) return true;
    return false;
}

std::string ShareNameFromSource(std::string_view source) {
    std::string path;
    if (source.starts_with("//")) {
        path = std::string(source.substr(2));
    } else if (auto colon = source.find(':'); colon != std::string_view::npos) {
        std::string_view host = source.substr(0, colon);
        if (auto at = host.rfind('@'); at != std::string_view::npos) host = host.substr(at + 1);
        std::string_view rest = source.substr(colon + 1);
        while (rest.starts_with('/')) rest.remove_prefix(1);
        path = std::string(host) + "/" + std::string(rest);
    } else {
        path = std::string(source);
    }
    while (path.ends_with('/')) path.pop_back();
    std::replace(path.begin(), path.end(), '/', '\\');
    return "\\\\" + path;
}

MountSnapshot SnapshotOf(const std::vector<MountEntry>& entries, std::map<std::string, char>& letters,
                         const DeviceFolders& devices, LetterMemory* memory) {
    MountSnapshot snapshot;
    auto labels = LabelsByDevice(devices);
    // The drives by the key their letters are kept under: a mount point (the topmost mount of a stack), or for an
    // optical drive that nothing is mounted from, its device (with no mount entry).
    std::map<std::string, const MountEntry*> visible;
    std::set<std::string> mountedDevices;
    const MountEntry* root = nullptr;
    for (const MountEntry& entry : entries) {
        if (entry.mountPoint == "/") root = &entry;
        if (IsVirtualFileSystem(entry.fileSystemType)) snapshot.virtualMountPoints.push_back(entry.mountPoint);
        if (entry.mountPoint != "/") snapshot.mountPoints.push_back(entry.mountPoint);
        if (MayStopAnswering(entry.fileSystemType)) snapshot.unreliableMountPoints.push_back(entry.mountPoint);
        if (IsUserVisibleMount(entry)) visible[entry.mountPoint] = &entry;
        if (std::string device = MountedDevice(entry); !device.empty()) mountedDevices.insert(device);
    }
    for (const std::string& drive : OpticalDrives(devices))
        if (!mountedDevices.contains(drive)) visible["/dev/" + drive] = nullptr;
    Volume c = root ? Classify(*root, labels, devices) : Volume{};
    c.letter = 'C';
    c.mountPoint = "/";
    c.driveType = DRIVE_FIXED;
    snapshot.volumes.push_back(c);

    std::erase_if(letters, [&visible](const auto& kept) { return !visible.contains(kept.first); });
    const auto uuids = memory ? UuidsByDevice(devices) : std::map<std::string, std::string>{};
    auto used = [&letters](char letter) {
        return std::any_of(letters.begin(), letters.end(), [letter](const auto& kept) { return kept.second == letter; });
    };
    for (auto& [key, entry] : visible) {
        Volume volume = entry ? Classify(*entry, labels, devices) : EmptyOpticalDrive();
        if (!letters.contains(key)) {
            const std::string identity = memory ? IdentityOf(entry, key, volume, uuids, devices) : std::string();
            char letter = memory ? memory->LetterOf(identity).value_or('\0') : '\0';
            if (letter && used(letter)) letter = '\0';
            // The lowest letter free of the volumes here and of the ones remembered; failing that, any letter free
            // of the volumes here.
            for (bool spareRemembered : {true, false}) {
                for (char next = 'D'; !letter && next <= 'Z'; ++next)
                    if (!used(next) && !(spareRemembered && memory && memory->HeldForAnother(next, identity)))
                        letter = next;
            }
            if (!letter) continue;  // more volumes than letters: the rest stay reachable through C:
            letters[key] = letter;
            if (memory) memory->Remember(identity, letter);
        }
        volume.letter = letters[key];
        snapshot.volumes.push_back(volume);
    }
    if (memory)
        for (const auto& [identity, letter] : memory->Letters())
            if (!used(letter)) snapshot.absentLetters += letter;
    std::sort(snapshot.volumes.begin(), snapshot.volumes.end(),
              [](const Volume& a, const Volume& b) { return a.letter < b.letter; });
    return snapshot;
}

std::shared_ptr<const MountSnapshot> Mounts() {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    if (auto fresh = state.source->Refresh()) state.snapshot = std::make_shared<MountSnapshot>(std::move(*fresh));
    return state.snapshot;
}

std::optional<Volume> FindVolume(char letter) {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    auto mounts = Mounts();
    for (const Volume& volume : mounts->volumes)
        if (volume.letter == letter) return volume;
    return std::nullopt;
}

std::optional<Volume> FindVolumeByShare(std::string_view shareName) {
    auto mounts = Mounts();
    for (const Volume& volume : mounts->volumes)
        if (!volume.shareName.empty() && EqualIgnoringCase(volume.shareName, shareName)) return volume;
    return std::nullopt;
}

std::optional<Volume> VolumeOfPath(std::string_view posixPath) {
    std::optional<Volume> best;
    auto mounts = Mounts();
    for (const Volume& volume : mounts->volumes)
        if (!volume.mountPoint.empty() && StartsWithDirectory(posixPath, volume.mountPoint) &&
            (!best || volume.mountPoint.size() > best->mountPoint.size()))
            best = volume;
    return best;
}

bool OnUnreliableFileSystem(std::string_view posixPath) {
    auto mounts = Mounts();
    if (mounts->unreliableMountPoints.empty()) return false;
    // The mount holding the path is the one with the longest mount point that is a prefix of it.
    const std::string* holder = nullptr;
    for (const std::string& mountPoint : mounts->mountPoints)
        if (StartsWithDirectory(posixPath, mountPoint) && (!holder || mountPoint.size() > holder->size()))
            holder = &mountPoint;
    return holder && std::find(mounts->unreliableMountPoints.begin(), mounts->unreliableMountPoints.end(), *holder) !=
                         mounts->unreliableMountPoints.end();
}

void SetVolumeSource(std::unique_ptr<VolumeSource> source) {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    state.source = source ? std::move(source) : std::make_unique<SystemVolumeSource>();
    ++state.generation;
    state.snapshot = std::make_shared<MountSnapshot>();
    if (auto fresh = state.source->Refresh()) state.snapshot = std::make_shared<MountSnapshot>(std::move(*fresh));
}

int VolumeChangeDescriptor(short& events) {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    return state.source->ChangeDescriptor(events);
}

void TakeVolumeChange() {
    State& state = TheState();
    std::lock_guard lock(state.mutex);
    state.source->TakeChange();
}

uint64_t VolumeSourceGeneration() { return TheState().generation.load(); }

}  // namespace platform::kernel
