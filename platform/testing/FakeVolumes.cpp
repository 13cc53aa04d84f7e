#include "platform/testing/FakeVolumes.h"

namespace platform::testing {
namespace {

class FixedSource final : public platform::kernel::VolumeSource {
  public:
    explicit FixedSource(platform::kernel::MountSnapshot snapshot) : snapshot_(std::move(snapshot)) {}

    std::optional<platform::kernel::MountSnapshot> Refresh() override {
        if (delivered_) return std::nullopt;
        delivered_ = true;
        return snapshot_;
    }

  private:
    platform::kernel::MountSnapshot snapshot_;
    bool delivered_ = false;
};

}  // namespace

FakeVolumeTable::FakeVolumeTable(std::vector<Volume> volumes, std::vector<std::string> virtualMountPoints) {
    platform::kernel::MountSnapshot snapshot;
    // Every drive but C: and every virtual file system is mounted somewhere in the folders the table names.
    for (const Volume& volume : volumes)
        if (!volume.mountPoint.empty() && volume.mountPoint != "/") snapshot.mountPoints.push_back(volume.mountPoint);
    snapshot.mountPoints.insert(snapshot.mountPoints.end(), virtualMountPoints.begin(), virtualMountPoints.end());
    snapshot.volumes = std::move(volumes);
    snapshot.virtualMountPoints = std::move(virtualMountPoints);
    platform::kernel::SetVolumeSource(std::make_unique<FixedSource>(std::move(snapshot)));
}

FakeVolumeTable::~FakeVolumeTable() { platform::kernel::SetVolumeSource(nullptr); }

Volume RootVolume() {
    Volume root;
    root.letter = 'C';
    root.mountPoint = "/";
    root.driveType = DRIVE_FIXED;
    root.fileSystem = "EXT4";
    return root;
}

}  // namespace platform::testing
