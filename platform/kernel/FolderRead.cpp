#include "platform/kernel/FolderRead.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>

#include "platform/kernel/Files.h"
#include "platform/kernel/Names.h"
#include "platform/kernel/Volumes.h"

namespace platform::kernel {
namespace {

// The last read, and what the folder looked like then: a read is shared only with searches of the same folder,
// on the same thread, before the next message, while the folder keeps its identity and its change times.
struct Cache {
    std::mutex mutex;
    std::shared_ptr<FolderRead> read;
    std::thread::id reader;
    struct stat folder {};
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

std::atomic<bool> anyRead{false};

bool SameFolder(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

std::shared_ptr<FolderRead> ReadAnew(const std::string& posixPath) {
    auto read = std::make_shared<FolderRead>();
    read->posixPath = posixPath;
    read->descriptor = open(posixPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (read->descriptor < 0) return nullptr;
    // The listing reads through a descriptor of its own, so that the folder's stays for looking entries up.
    const int listing = dup(read->descriptor);
    DIR* directory = listing < 0 ? nullptr : fdopendir(listing);
    if (!directory) {
        if (listing >= 0) close(listing);
        return nullptr;
    }
    struct CloseDirectory {
        DIR* dir;
        ~CloseDirectory() { closedir(dir); }
    } closeDirectory{directory};
    auto volume = VolumeOfPath(posixPath);
    read->root = volume && volume->mountPoint == posixPath;
    // The mount points directly in this folder: their kind is known, and looking at one touches its file system,
    // which may be a network share that no longer answers.
    const std::string prefix = posixPath == "/" ? "/" : posixPath + "/";
    auto mounts = Mounts();
    auto inFolder = [&prefix](const std::string& mountPoint) {
        return mountPoint.size() > prefix.size() && mountPoint.starts_with(prefix) &&
               mountPoint.find('/', prefix.size()) == std::string::npos;
    };
    std::vector<std::string> virtualNames, mountNames;
    for (const std::string& mountPoint : mounts->virtualMountPoints)
        if (inFolder(mountPoint)) virtualNames.push_back(mountPoint.substr(prefix.size()));
    for (const Volume& other : mounts->volumes)
        if (inFolder(other.mountPoint)) mountNames.push_back(other.mountPoint.substr(prefix.size()));
    errno = 0;
    while (const dirent* entry = readdir(directory)) {
        FolderEntry& added = read->entries.emplace_back();
        added.name = entry->d_name;
        added.kind = entry->d_type;
        added.carried = NeedsCarrying(added.name);
        if (!virtualNames.empty() || !mountNames.empty()) {
            added.virtualMount = std::find(virtualNames.begin(), virtualNames.end(), added.name) != virtualNames.end();
            added.mountPoint =
                added.virtualMount || std::find(mountNames.begin(), mountNames.end(), added.name) != mountNames.end();
        }
    }
    if (errno != 0) return nullptr;  // a read that failed part of the way is no listing of the folder
    return read;
}

}  // namespace

FolderRead::~FolderRead() {
    if (descriptor >= 0) close(descriptor);
}

std::shared_ptr<FolderRead> ReadFolder(const std::string& posixPath) {
    struct stat now;
    if (stat(posixPath.c_str(), &now) != 0) return nullptr;
    Cache& cache = TheCache();
    {
        std::lock_guard lock(cache.mutex);
        if (cache.read && cache.read->posixPath == posixPath && cache.reader == std::this_thread::get_id() &&
            SameFolder(cache.folder, now))
            return cache.read;
    }
    std::shared_ptr<FolderRead> read = ReadAnew(posixPath);
    if (!read) return nullptr;
    std::lock_guard lock(cache.mutex);
    cache.read = read;
    cache.reader = std::this_thread::get_id();
    cache.folder = now;
    anyRead.store(true, std::memory_order_relaxed);
    return read;
}

void LookUp(const FolderRead& folder, FolderEntry& entry) {
    if (entry.lookedUp) return;
    entry.lookedUp = true;
    const bool hidden = entry.name.size() > 1 && entry.name[0] == '.' && entry.name != "..";
    if (entry.mountPoint) {
        entry.attributes = FILE_ATTRIBUTE_DIRECTORY | (entry.virtualMount ? FILE_ATTRIBUTE_SYSTEM : 0) |
                           (hidden ? FILE_ATTRIBUTE_HIDDEN : 0);
        return;
    }
    // Only metadata is read: a FIFO or a device in the folder is never opened, and no automount is set off.
    const char* name = entry.name.c_str();
    struct stat status;
    bool dangling = false;
    if (fstatat(folder.descriptor, name, &status, AT_NO_AUTOMOUNT) != 0) {
        if (fstatat(folder.descriptor, name, &status, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0) {
            entry.gone = true;
            return;
        }
        dangling = true;
    }
    entry.attributes = AttributesOf(entry.name, status, false) | (dangling ? FILE_ATTRIBUTE_SYSTEM : 0);
    if (S_ISREG(status.st_mode)) entry.size = static_cast<uint64_t>(status.st_size);
    entry.written = FileTimeOf(status.st_mtim);
    entry.accessed = FileTimeOf(status.st_atim);
    entry.created = FileTimeOf(status.st_ctim);
}

void ForgetFolderReads() {
    if (!anyRead.load(std::memory_order_relaxed)) return;
    Cache& cache = TheCache();
    std::shared_ptr<FolderRead> released;
    {
        std::lock_guard lock(cache.mutex);
        released = std::move(cache.read);
        anyRead.store(false, std::memory_order_relaxed);
    }
}

}  // namespace platform::kernel
