#include "platform/testing/FakeVolumes.h"

#include <sys/eventfd.h>
#include <poll.h>
#include <unistd.h>

#include <mutex>

namespace platform::testing {

namespace {

platform::kernel::MountSnapshot SnapshotOf(std::vector<Volume> volumes, std::vector<std::string> virtualMountPoints) {
    platform::kernel::MountSnapshot snapshot;
    // Every drive but C: and every virtual file system is mounted somewhere in the folders the table names.
    for (const Volume& volume : volumes)
        if (!volume.mountPoint.empty() && volume.mountPoint != "/") snapshot.mountPoints.push_back(volume.mountPoint);
    snapshot.mountPoints.insert(snapshot.mountPoints.end(), virtualMountPoints.begin(), virtualMountPoints.end());
    snapshot.volumes = std::move(volumes);
    snapshot.virtualMountPoints = std::move(virtualMountPoints);
    return snapshot;
}

}  // namespace

// The table's latest state, and an event descriptor that a change makes ready until it is taken.
class Source final : public platform::kernel::VolumeSource {
  public:
    explicit Source(platform::kernel::MountSnapshot snapshot)
        : snapshot_(std::move(snapshot)), changed_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~Source() override {
        if (changed_ >= 0) close(changed_);
    }

    std::optional<platform::kernel::MountSnapshot> Refresh() override {
        std::lock_guard lock(mutex_);
        if (delivered_) return std::nullopt;
        delivered_ = true;
        return snapshot_;
    }
    int ChangeDescriptor(short& events) override {
        events = POLLIN;
        return changed_;
    }
    void TakeChange() override {
        uint64_t count = 0;
        [[maybe_unused]] ssize_t taken = read(changed_, &count, sizeof count);
    }

    void Change(platform::kernel::MountSnapshot snapshot) {
        {
            std::lock_guard lock(mutex_);
            snapshot_ = std::move(snapshot);
            delivered_ = false;
        }
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t told = write(changed_, &one, sizeof one);
    }

  private:
    std::mutex mutex_;
    platform::kernel::MountSnapshot snapshot_;
    bool delivered_ = false;
    int changed_;
};

FakeVolumeTable::FakeVolumeTable(std::vector<Volume> volumes, std::vector<std::string> virtualMountPoints)
    : virtualMountPoints_(virtualMountPoints) {
    for (const Volume& volume : volumes) seen_ += volume.letter;
    auto source = std::make_unique<Source>(SnapshotOf(std::move(volumes), std::move(virtualMountPoints)));
    source_ = source.get();
    platform::kernel::SetVolumeSource(std::move(source));
}

FakeVolumeTable::~FakeVolumeTable() { platform::kernel::SetVolumeSource(nullptr); }

void FakeVolumeTable::Change(std::vector<Volume> volumes) {
    // The letters of the drives that went away stay held for them, as the platform's memory of letters holds them.
    std::string letters;
    for (const Volume& volume : volumes) letters += volume.letter;
    for (char letter : seen_)
        if (letters.find(letter) == std::string::npos) absent_ += letter;
    seen_ += letters;
    auto snapshot = SnapshotOf(std::move(volumes), virtualMountPoints_);
    for (char letter : absent_)
        if (letters.find(letter) == std::string::npos && snapshot.absentLetters.find(letter) == std::string::npos)
            snapshot.absentLetters += letter;
    source_->Change(std::move(snapshot));
}

Volume RootVolume() {
    Volume root;
    root.letter = 'C';
    root.mountPoint = "/";
    root.driveType = DRIVE_FIXED;
    root.fileSystem = "EXT4";
    return root;
}

}  // namespace platform::testing
