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
#include "platform/kernel/Patience.h"
#include "platform/kernel/Volumes.h"

namespace platform::kernel {

// Lists a folder and looks its entries up, on a thread of its own (see FolderRead.h).
class Lister final : public Errand {
  public:
    static constexpr size_t kBatch = 256;

    Lister(std::string path, bool unreliable, bool root, std::vector<std::string> mountNames,
           std::vector<std::string> virtualNames)
        : path_(std::move(path)),
          unreliable_(unreliable),
          root_(root),
          mountNames_(std::move(mountNames)),
          virtualNames_(std::move(virtualNames)) {}
    ~Lister() override {
        if (descriptor_ >= 0) close(descriptor_);
    }

    void Run() override {
        List();
        states_ = std::make_unique<std::atomic<uint8_t>[]>(entries_.size());
        listed_.store(true);
        Notify();
        // Where the caller looks entries up too, it goes from the first and this thread from the last, so that the
        // two meet once in the middle rather than at every entry. Where the caller waits, the first come first.
        const size_t count = entries_.size();
        for (size_t step = 0; step < count && !Abandoned(); ++step) {
            const size_t i = unreliable_ ? step : count - 1 - step;
            if (Claim(i)) LookUp(i);
            else if (!unreliable_) break;  // the caller has come this far: the rest is done or under way
            Progressed();
            // A search that caught up waits for a batch, not an entry at a time: a wake-up an entry would cost more
            // than the lookup.
            if ((step + 1) % kBatch == 0 || step + 1 == count) Notify();
        }
        Notify();
    }

    // Waits for `done` as long as the read moves; a reliable file system is waited for however slow it is.
    bool Wait(const std::function<bool()>& done) {
        while (!WaitFor(done))
            if (unreliable_) return false;
        return true;
    }

    // Whether the entry has been looked up, looking it up at once on the caller's thread when the thread of the
    // read has not come to it yet and the file system cannot hold the caller up: the two then share the work.
    bool LookedUp(size_t index) {
        if (states_[index].load() == kDone) return true;
        if (!unreliable_ && Claim(index)) {
            LookUp(index);
            return true;
        }
        while (!unreliable_ && states_[index].load() == kClaimed) std::this_thread::yield();  // a moment's work
        return Wait([this, index] { return states_[index].load() == kDone; });
    }

    bool Listed() const { return listed_.load(); }
    int Error() const { return error_; }
    bool Root() const { return root_; }
    const std::vector<FolderEntry>& Entries() const { return entries_; }

  private:
    void List() {
        descriptor_ = open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor_ < 0) {
            error_ = errno;
            return;
        }
        // The listing reads through a descriptor of its own, so that the folder's stays for looking entries up.
        const int listing = dup(descriptor_);
        DIR* directory = listing < 0 ? nullptr : fdopendir(listing);
        if (!directory) {
            error_ = errno;
            if (listing >= 0) close(listing);
            return;
        }
        errno = 0;
        while (const dirent* entry = readdir(directory)) {
            FolderEntry& added = entries_.emplace_back();
            added.name = entry->d_name;
            added.kind = entry->d_type;
            added.carried = NeedsCarrying(added.name);
            if (!mountNames_.empty()) {
                added.mountPoint =
                    std::find(mountNames_.begin(), mountNames_.end(), added.name) != mountNames_.end();
                added.virtualMount =
                    std::find(virtualNames_.begin(), virtualNames_.end(), added.name) != virtualNames_.end();
            }
            if (entries_.size() % 256 == 0) Progressed();
        }
        // A read that failed part of the way is no listing of the folder.
        if (errno != 0) error_ = errno;
        closedir(directory);
    }

    static constexpr uint8_t kNew = 0, kClaimed = 1, kDone = 2;

    bool Claim(size_t index) {
        uint8_t expected = kNew;
        return states_[index].compare_exchange_strong(expected, kClaimed);
    }

    void LookUp(size_t index) {
        LookUp(entries_[index]);
        states_[index].store(kDone);
    }

    void LookUp(FolderEntry& entry) const {
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
        if (fstatat(descriptor_, name, &status, AT_NO_AUTOMOUNT) != 0) {
            if (fstatat(descriptor_, name, &status, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) != 0) {
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

    // Member order: what the thread is given, then what it makes.
    const std::string path_;
    const bool unreliable_;
    const bool root_;
    const std::vector<std::string> mountNames_;
    const std::vector<std::string> virtualNames_;
    int descriptor_ = -1;
    int error_ = 0;
    std::vector<FolderEntry> entries_;  // whole once listed_ holds; an entry's lookup once its state is kDone
    std::unique_ptr<std::atomic<uint8_t>[]> states_;  // who looks each entry up, and whether it is done
    std::atomic<bool> listed_{false};
};

namespace {

// The last read, and what the folder looked like then: a read is shared only with searches of the same folder,
// on the same thread, before the next message, while the folder keeps its identity and its change times.
struct Cache {
    std::mutex mutex;
    std::shared_ptr<FolderRead> read;
    std::string path;
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

struct Identity {
    int error = 0;
    struct stat status {};
};

}  // namespace

FolderRead::FolderRead(std::shared_ptr<Lister> lister) : lister_(std::move(lister)) {}

FolderRead::~FolderRead() { lister_->Abandon(); }

bool FolderRead::Root() const { return lister_->Root(); }

size_t FolderRead::Count() const { return lister_->Entries().size(); }

const FolderEntry& FolderRead::At(size_t index) const { return lister_->Entries()[index]; }

bool FolderRead::LookedUp(size_t index) const { return lister_->LookedUp(index); }

std::shared_ptr<FolderRead> ReadFolder(const std::string& posixPath) {
    std::optional<Identity> identity = AskPatiently<Identity>(posixPath, [posixPath] {
        Identity found;
        if (stat(posixPath.c_str(), &found.status) != 0) found.error = errno;
        return found;
    });
    if (!identity || identity->error) {
        errno = identity ? identity->error : ETIMEDOUT;
        return nullptr;
    }
    Cache& cache = TheCache();
    {
        std::lock_guard lock(cache.mutex);
        if (cache.read && cache.path == posixPath && cache.reader == std::this_thread::get_id() &&
            SameFolder(cache.folder, identity->status))
            return cache.read;
    }

    // The mount points directly in this folder (every volume's and every virtual file system's among them): their
    // kind is known, and looking at one touches its file system, which may be a network share that no longer answers.
    const std::string prefix = posixPath == "/" ? "/" : posixPath + "/";
    auto inFolder = [&prefix](const std::string& mountPoint) {
        return mountPoint.size() > prefix.size() && mountPoint.starts_with(prefix) &&
               mountPoint.find('/', prefix.size()) == std::string::npos;
    };
    auto mounts = Mounts();
    std::vector<std::string> mountNames, virtualNames;
    for (const std::string& mountPoint : mounts->mountPoints)
        if (inFolder(mountPoint)) mountNames.push_back(mountPoint.substr(prefix.size()));
    for (const std::string& mountPoint : mounts->virtualMountPoints)
        if (inFolder(mountPoint)) virtualNames.push_back(mountPoint.substr(prefix.size()));
    auto volume = VolumeOfPath(posixPath);
    auto lister = std::make_shared<Lister>(posixPath, OnUnreliableFileSystem(posixPath),
                                           volume && volume->mountPoint == posixPath, std::move(mountNames),
                                           std::move(virtualNames));
    if (!Dispatch(lister) || !lister->Wait([&lister] { return lister->Listed(); })) {
        lister->Abandon();
        errno = ETIMEDOUT;
        return nullptr;
    }
    if (lister->Error()) {
        errno = lister->Error();
        return nullptr;
    }
    auto read = std::make_shared<FolderRead>(std::move(lister));
    std::lock_guard lock(cache.mutex);
    cache.read = read;
    cache.path = posixPath;
    cache.reader = std::this_thread::get_id();
    cache.folder = identity->status;
    anyRead.store(true, std::memory_order_relaxed);
    return read;
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
